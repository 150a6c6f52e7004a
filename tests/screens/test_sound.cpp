// The check a WAV file passes before the mixer sees it, and the real player on SDL's drivers:
// how long a cue holds the caller, files it cannot play, one cue at a time.
#include <QtEndian>
#include <sys/stat.h>

#include "app_fixture.h"
#include "wav_file.h"

namespace {

template <class T> QByteArray with(QByteArray b, int at, T value) {
    qToLittleEndian<T>(value, b.data() + at);
    return b;
}

qint64 msToPlay(SdlSoundPlayer &player, const QString &path, quint32 flags) {
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
        QTest::addColumn<qint64>("limit");         // converted bytes
        QTest::addColumn<quint32>("dataSize");     // after the check; 0: refused
        const QByteArray t = AppFixture::wav(1.0); // 44100 bytes of sound, 176400 at the device
        QTest::newRow("good") << t << 176400LL << 44100u;
        QTest::newRow("over the converted limit") << t << 176399LL << 0u;
        QTest::newRow("data claims 1 GB") << with<quint32>(t.left(244), 40, 1 << 30) << 176400LL << 200u;
        QTest::newRow("RIFF claims 4 GB") << with<quint32>(t, 4, 0xFFFFFFFF) << 176400LL << 44100u;
        QTest::newRow("1 Hz: gigabytes at the device") << with<quint32>(t, 24, 1) << (1LL << 30) << 0u;
        QTest::newRow("no channels") << with<quint16>(t, 22, 0) << 176400LL << 0u;
        QTest::newRow("no data chunk") << with<quint32>(t.left(36), 4, 28) << 176400LL << 0u;
        QTest::newRow("not WAVE") << with<quint32>(t, 8, 0x20495641) << 176400LL << 0u;
    }
    void wavCheck() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, limit);
        QFETCH(quint32, dataSize);
        QByteArray checked = bytes;
        QCOMPARE(checkWav(checked, AudioFormat{44100, 2, 2}, WavLimits{1LL << 30, limit}), dataSize > 0);
        if (dataSize > 0) { // the sizes cut to what the file holds, the sound itself untouched
            QCOMPARE(qFromLittleEndian<quint32>(checked.constData() + 4), quint32(checked.size() - 8));
            QCOMPARE(qFromLittleEndian<quint32>(checked.constData() + 40), dataSize);
            QCOMPARE(checked.mid(44), bytes.mid(44));
        }
    }

    void cueHolds_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("toItsEnd"); // or returns at once
        QTest::newRow("0.4 s, synchronous: to its end") << "good" << 0 << true;
        QTest::newRow("0.4 s, asynchronous: at once") << "good" << 1 << false;
        QTest::newRow("0.4 s whose header claims 2 GB") << "liar" << 0 << true;
        QTest::newRow("a pipe nobody writes to") << "fifo" << 0 << false;
        QTest::newRow("300 MB, not read") << "huge" << 0 << false;
    }
    void cueHolds() {
        QFETCH(QString, kind);
        QFETCH(int, flags);
        QFETCH(bool, toItsEnd);
        QTemporaryDir tmp;
        const QString cue = tmp.filePath("1.wav"), good = tmp.filePath("2.wav");
        const QByteArray t = AppFixture::wav(0.4);
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(cue).constData(), 0600), 0);
        else
            QVERIFY(writeFile(cue, kind == "good" ? t : with<quint32>(t, 40, 0x7FFFFFF0)));
        QVERIFY(kind != "huge" || QFile::resize(cue, 300 << 20)); // sparse: takes no disk
        SdlSoundPlayer player;
        const qint64 ms = msToPlay(player, cue, flags);
        QVERIFY2(toItsEnd ? ms >= 380 && ms <= 3000 : ms < 380, qPrintable(QString::number(ms)));
        // Whatever came before, the next good sound plays to its end.
        QVERIFY(writeFile(good, AppFixture::wav(0.3)));
        QVERIFY(msToPlay(player, good, SND_SYNC) >= 280);
    }

    void mixedIntoTheDevice_data() {
        QTest::addColumn<bool>("interrupted"); // by a silent cue while the loud one plays
        QTest::newRow("a cue is heard") << false;
        QTest::newRow("one cue at a time: the next replaces it") << true;
    }
    void mixedIntoTheDevice() {
        QFETCH(bool, interrupted);
        QTemporaryDir tmp;
        const QString silent = tmp.filePath("silencio.wav");
        QVERIFY(writeFile(silent, AppFixture::wav(0.6)));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(tmp.filePath("out.raw")));
        {
            SdlSoundPlayer player; // 2.2 s of fanfare
            player.play(QStringLiteral(TRABEL_SOURCE_DATA "/sonidos/ganador.wav"), interrupted ? SND_ASYNC : SND_SYNC);
            if (interrupted)
                player.play(silent, SND_SYNC);
        }
        qputenv("SDL_AUDIODRIVER", "dummy");
        const QByteArray all = readFile(tmp.filePath("out.raw"));
        const QByteArray samples = interrupted ? all.right(44100) : all; // the last quarter second
        QVERIFY(samples.size() >= 44100);
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
            loudest = qMax(loudest, qAbs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
        QVERIFY2(interrupted ? loudest == 0 : loudest > 1000, qPrintable(QString::number(loudest)));
    }
};

QTEST_MAIN(SoundTest)
#include "test_sound.moc"
