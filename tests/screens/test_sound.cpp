// The sound player for real, on SDL's silent and disk drivers: how long a cue holds the caller,
// files that cannot be played, a cue changed on disk; and the check a WAV file passes first.
#include <QtTest>

#include <QtEndian>
#include <sys/stat.h>

#include "app_fixture.h"
#include "sound.h"
#include "wav_file.h"

namespace {

template <class T> QByteArray with(QByteArray b, int at, T value) {
    qToLittleEndian<T>(value, b.data() + at);
    return b;
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

qint64 timedPlay(SdlSoundPlayer &player, const QString &path, quint32 flags) {
    QElapsedTimer t;
    t.start();
    player.play(path, flags);
    return t.elapsed();
}

} // namespace

class SoundTest : public QObject {
    Q_OBJECT

private slots:
    void wavCheck_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("maxConverted");
        QTest::addColumn<quint32>("riffSize"); // after the check; 0: refused
        QTest::addColumn<quint32>("dataSize");
        const QByteArray t = AppFixture::tone(1.0); // 44100 bytes of sound
        const qint64 big = WavLimits{}.maxConvertedBytes;
        QTest::newRow("good, unchanged") << t << big << 44136u << 44100u;
        QTest::newRow("data claims 1 GB")
            << with<quint32>(t.left(244), 40, 1u << 30) << big << 236u << 200u;
        QTest::newRow("RIFF claims 4 GB")
            << with<quint32>(t, 4, 0xFFFFFFFFu) << big << 44136u << 44100u;
        QTest::newRow("cut in the data") << t.left(1000) << big << 992u << 956u;
        QByteArray listed = t.left(12) + QByteArray("LIST\x03\0\0\0abc\0", 12) + t.mid(12);
        QTest::newRow("odd chunk before the format, its pad skipped")
            << with<quint32>(listed, 4, 44148) << big << 44148u << 44100u;
        // At the device 1 s becomes 44100 frames × 2 channels × 2 bytes: the limit is exact.
        QTest::newRow("at the converted limit") << t << qint64(176400) << 44136u << 44100u;
        QTest::newRow("over the converted limit") << t << qint64(176399) << 0u << 0u;
        QTest::newRow("1 Hz: gigabytes at the device")
            << with<quint32>(t, 24, 1) << big << 0u << 0u;
        QTest::newRow("rate 0") << with<quint32>(t, 24, 0) << big << 0u << 0u;
        QTest::newRow("no channels") << with<quint16>(t, 22, 0) << big << 0u << 0u;
        QTest::newRow("no data chunk") << with<quint32>(t.left(36), 4, 28) << big << 0u << 0u;
        QTest::newRow("format chunk too short") << with<quint32>(t, 16, 8) << big << 0u << 0u;
        QTest::newRow("RIFF but AVI") << QByteArray("RIFF\x04\0\0\0AVI ", 12) << big << 0u << 0u;
    }
    void wavCheck() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, maxConverted);
        QFETCH(quint32, riffSize);
        QFETCH(quint32, dataSize);
        QByteArray checked = bytes;
        WavLimits limits;
        limits.maxConvertedBytes = maxConverted;
        QCOMPARE(checkWav(checked, AudioFormat{44100, 2, 2}, limits), riffSize > 0);
        if (riffSize == 0)
            return;
        const qsizetype data = checked.indexOf("data");
        QCOMPARE(qFromLittleEndian<quint32>(checked.constData() + 4), riffSize);
        QCOMPARE(qFromLittleEndian<quint32>(checked.constData() + data + 4), dataSize);
        QCOMPARE(checked.mid(data + 8), bytes.mid(data + 8)); // the sound itself untouched
    }

    void cueHolds_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("0.4 s, synchronous: the whole sound")
            << "tone" << int(SND_SYNC) << 350 << 3000;
        QTest::newRow("0.4 s, asynchronous: at once") << "tone" << int(SND_ASYNC) << 0 << 250;
        QTest::newRow("0.4 s whose header claims 2 GB") << "liar" << int(SND_SYNC) << 350 << 3000;
        QTest::newRow("missing") << "missing" << int(SND_SYNC) << 0 << 1000;
        QTest::newRow("text named .wav") << "text" << int(SND_SYNC) << 0 << 1000;
        QTest::newRow("header only") << "header" << int(SND_SYNC) << 0 << 1000;
        QTest::newRow("a pipe nobody writes to") << "fifo" << int(SND_SYNC) << 0 << 1000;
        QTest::newRow("a folder") << "folder" << int(SND_SYNC) << 0 << 1000;
        QTest::newRow("300 MB, not read") << "huge" << int(SND_SYNC) << 0 << 1000;
    }
    void cueHolds() {
        QFETCH(QString, kind);
        QFETCH(int, flags);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        QTemporaryDir tmp;
        const QString cue = tmp.filePath(QStringLiteral("1.wav"));
        const QByteArray t = AppFixture::tone(0.4);
        if (kind == QLatin1String("tone"))
            QVERIFY(writeFile(cue, t));
        else if (kind == QLatin1String("liar"))
            QVERIFY(
                writeFile(cue, with<quint32>(with<quint32>(t, 40, 0x7FFFFFF0u), 4, 0x7FFFFFF8u)));
        else if (kind == QLatin1String("text"))
            QVERIFY(writeFile(cue, "esto no es un sonido"));
        else if (kind == QLatin1String("header"))
            QVERIFY(writeFile(cue, t.left(44)));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(cue).constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(cue));
        else if (kind == QLatin1String("huge")) {
            QVERIFY(writeFile(cue, with<quint32>(t, 40, 0xFFFFFF00u)));
            QVERIFY(QFile::resize(cue, 300LL * 1024 * 1024)); // sparse: takes no disk
        }
        SdlSoundPlayer player;
        const qint64 ms = timedPlay(player, cue, quint32(flags));
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QStringLiteral("held for %1 ms").arg(ms)));
        // Whatever came before, a good sound still plays, for its whole length.
        const QString good = tmp.filePath(QStringLiteral("2.wav"));
        QVERIFY(writeFile(good, AppFixture::tone(0.3)));
        const qint64 goodMs = timedPlay(player, good, SND_SYNC);
        QVERIFY2(goodMs >= 250 && goodMs < 3000, qPrintable(QString::number(goodMs)));
    }

    void changedCueIsReadAgain() {
        QTemporaryDir tmp;
        const QString cue = tmp.filePath(QStringLiteral("1.wav"));
        QVERIFY(writeFile(cue, AppFixture::tone(0.2)));
        SdlSoundPlayer player;
        QVERIFY(timedPlay(player, cue, SND_SYNC) >= 150);
        QVERIFY(writeFile(cue, AppFixture::tone(0.9)));
        const qint64 ms = timedPlay(player, cue, SND_SYNC);
        QVERIFY2(ms >= 850 && ms < 4000, qPrintable(QString::number(ms)));
        QVERIFY(QFile::remove(cue));
        QVERIFY(timedPlay(player, cue, SND_SYNC) < 150);
    }

    void mixedIntoTheDevice() {
        QTemporaryDir tmp;
        const QString raw = tmp.filePath(QStringLiteral("out.raw"));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(raw));
        {
            SdlSoundPlayer player;
            const QString cue = QStringLiteral(TRABEL_SOURCE_DATA "/sonidos/ganador.wav");
            QVERIFY(timedPlay(player, cue, SND_SYNC) > 1000);
            QCOMPARE(player.driver(), QStringLiteral("disk"));
        }
        qputenv("SDL_AUDIODRIVER", "nosuchdriver"); // falls back to the silent driver
        {
            SdlSoundPlayer player;
            QVERIFY(writeFile(tmp.filePath(QStringLiteral("t.wav")), AppFixture::tone(0.5)));
            QVERIFY(timedPlay(player, tmp.filePath(QStringLiteral("t.wav")), SND_SYNC) >= 450);
            QCOMPARE(player.driver(), QStringLiteral("dummy"));
        }
        qputenv("SDL_AUDIODRIVER", "dummy");
        QFile out(raw);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray samples = out.readAll();
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
            loudest = qMax(loudest, qAbs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
        QVERIFY2(loudest > 1000, qPrintable(QString::number(loudest)));
    }
};

QTEST_MAIN(SoundTest)
#include "test_sound.moc"
