// The SDL sound player for real: cues mixed into SDL's "disk" driver, synchronous cues that last
// as long as the sound, files that cannot be played, headers that lie, cues kept between plays
// and read again when they change, and the silent fallback when no driver opens.
//
// Each test makes its own player and destroys it before the next one, so that the audio
// subsystem is shut and opened again with the driver that test asks for.
#include <QtTest>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <memory>

#include "sound.h"
#include "wav_file.h"

#include <sys/stat.h>

namespace {

const QString kSounds = QStringLiteral(TRABEL_SOURCE_DATA "/sonidos/");

/// What a WAV file's header says: the bytes of sound and how many of them make a second.
struct WavHeader
{
    qint64 dataBytes = 0;
    qint64 byteRate = 0;
    double seconds() const { return byteRate > 0 ? double(dataBytes) / double(byteRate) : 0.0; }
};

WavHeader readWavHeader(const QString &path)
{
    QFile f(path);
    WavHeader h;
    if (!f.open(QIODevice::ReadOnly))
        return h;
    const QByteArray bytes = f.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return h;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        if (id == "fmt " && pos + 8 + 12 <= bytes.size())
            h.byteRate = qFromLittleEndian<quint32>(bytes.constData() + pos + 8 + 8);
        else if (id == "data")
            h.dataBytes = size;
        pos += 8 + size + (size & 1);
    }
    return h;
}

/// A mono 16-bit sine tone.
QByteArray sineWav(double seconds, int rate = 22050, double hz = 440.0)
{
    const int frames = int(seconds * rate);
    QByteArray data(frames * 2, '\0');
    for (int i = 0; i < frames; ++i)
        qToLittleEndian<qint16>(qint16(12000 * std::sin(2 * M_PI * hz * i / rate)),
                                data.data() + 2 * i);
    QByteArray out("RIFF");
    auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto u16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    u32(quint32(36 + data.size()));
    out += "WAVEfmt ";
    u32(16);
    u16(1);            // PCM
    u16(1);            // mono
    u32(quint32(rate));
    u32(quint32(rate * 2));
    u16(2);            // block align
    u16(16);           // bits
    out += "data";
    u32(quint32(data.size()));
    return out + data;
}

quint32 u32At(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

QByteArray withU32(QByteArray b, qsizetype at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
    return b;
}

QByteArray withU16(QByteArray b, qsizetype at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
    return b;
}

// Offsets in the files sineWav makes.
constexpr int kRiffSize = 4;
constexpr int kChannels = 22;
constexpr int kRate = 24;
constexpr int kDataSize = 40;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

/// Sets environment variables for one test and puts the old values back afterwards.
class EnvironmentGuard
{
public:
    void set(const char *name, const QByteArray &value)
    {
        m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, value);
    }
    ~EnvironmentGuard()
    {
        for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    struct Saved
    {
        const char *name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> m_saved;
};

qint64 timedPlay(SdlSoundPlayer &player, const QString &path, quint32 flags)
{
    QElapsedTimer t;
    t.start();
    player.play(path, flags);
    return t.elapsed();
}

} // namespace

class SoundTest : public QObject
{
    Q_OBJECT

private slots:
    void cuesMixedIntoTheDiskDriver()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString raw = tmp.filePath(QStringLiteral("out.raw"));
        EnvironmentGuard env;
        env.set("SDL_AUDIODRIVER", "disk");
        env.set("SDL_DISKAUDIOFILE", QFile::encodeName(raw));

        const WavHeader opening = readWavHeader(kSounds + QStringLiteral("abrir.wav"));
        const WavHeader match = readWavHeader(kSounds + QStringLiteral("3.wav"));
        const WavHeader winner = readWavHeader(kSounds + QStringLiteral("ganador.wav"));
        QVERIFY(opening.seconds() > 0.1);
        QVERIFY(match.seconds() > 0.4);
        QVERIFY(winner.seconds() > 1.0);

        auto player = std::make_unique<SdlSoundPlayer>();
        player->play(kSounds + QStringLiteral("no-esta.wav"), SND_SYNC); // opens the device
        // Asynchronous cues return at once, long before their sound has played.
        const qint64 openingMs =
            timedPlay(*player, kSounds + QStringLiteral("abrir.wav"), SND_ASYNC);
        QVERIFY2(openingMs < qint64(opening.seconds() * 1000),
                 qPrintable(QStringLiteral("abrir.wav took %1 ms").arg(openingMs)));
        const qint64 matchMs = timedPlay(*player, kSounds + QStringLiteral("3.wav"), SND_ASYNC);
        QVERIFY2(matchMs < qint64(match.seconds() * 500),
                 qPrintable(QStringLiteral("3.wav took %1 ms").arg(matchMs)));

        // A synchronous cue holds the caller for the whole sound.
        const qint64 winnerMs =
            timedPlay(*player, kSounds + QStringLiteral("ganador.wav"), SND_SYNC);
        const qint64 lengthMs = qint64(winner.seconds() * 1000);
        QVERIFY2(winnerMs >= lengthMs - 50,
                 qPrintable(QStringLiteral("ganador.wav returned after %1 ms of %2 ms")
                                .arg(winnerMs)
                                .arg(lengthMs)));
        QVERIFY2(winnerMs <= lengthMs + 3000,
                 qPrintable(QStringLiteral("ganador.wav held for %1 ms").arg(winnerMs)));

        player.reset(); // closes the device, and with it the output file

        QFile out(raw);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray samples = out.readAll();
        QVERIFY(samples.size() > 4 * 44100 / 2);
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
            loudest = qMax(loudest,
                           qAbs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
        QVERIFY2(loudest > 1000, qPrintable(QStringLiteral("loudest sample %1").arg(loudest)));
    }

    void unplayableFilesReturnAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing file") << QStringLiteral("no-esta.wav") << QByteArray() << false;
        QTest::newRow("zero bytes") << QStringLiteral("vacio.wav") << QByteArray() << true;
        QTest::newRow("text named .wav")
            << QStringLiteral("texto.wav") << QByteArray("esto no es un sonido\r\n") << true;
        QTest::newRow("header only") << QStringLiteral("cabecera.wav") << sineWav(2.0).left(44)
                                     << true;
        QTest::newRow("RIFF without WAVE")
            << QStringLiteral("riff.wav") << QByteArray("RIFF\x04\x00\x00\x00AVI ", 12) << true;
    }
    void unplayableFilesReturnAtOnce()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, create);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString path = tmp.filePath(name);
        if (create)
            QVERIFY(writeFile(path, bytes));
        EnvironmentGuard env;
        env.set("SDL_AUDIODRIVER", "dummy");

        auto player = std::make_unique<SdlSoundPlayer>();
        const qint64 ms = timedPlay(*player, path, SND_SYNC);
        QVERIFY2(ms < 1000, qPrintable(QStringLiteral("held for %1 ms").arg(ms)));
        // The player still plays a good sound afterwards, for its whole length.
        const QString good = tmp.filePath(QStringLiteral("bueno.wav"));
        QVERIFY(writeFile(good, sineWav(0.3)));
        const qint64 goodMs = timedPlay(*player, good, SND_SYNC);
        QVERIFY2(goodMs >= 250 && goodMs < 3000,
                 qPrintable(QStringLiteral("a 0.3 s sound held for %1 ms").arg(goodMs)));
        // And the unplayable one again, after a sound was playing.
        QVERIFY(timedPlay(*player, path, SND_SYNC) < 1000);
    }

    void wavCheck_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("maxConverted");
        QTest::addColumn<bool>("playable");
        QTest::addColumn<quint32>("riffSize");  // after the check, when playable
        QTest::addColumn<quint32>("dataSize");

        const QByteArray tone = sineWav(1.0); // 22050 frames, 44100 bytes of sound
        const qint64 big = WavLimits{}.maxConvertedBytes;
        QTest::newRow("good file, unchanged") << tone << big << true << quint32(36 + 44100)
                                              << quint32(44100);
        QTest::newRow("data claims 1 GB") << withU32(tone.left(244), kDataSize, 1u << 30) << big
                                          << true << quint32(236) << quint32(200);
        QTest::newRow("RIFF claims 4 GB") << withU32(tone, kRiffSize, 0xFFFFFFFFu) << big << true
                                          << quint32(36 + 44100) << quint32(44100);
        QTest::newRow("cut in the data") << tone.left(1000) << big << true << quint32(992)
                                         << quint32(956);
        // A LIST chunk of odd length before the format: its pad byte is skipped.
        QByteArray listed = tone.left(12) + QByteArray("LIST\x03\x00\x00\x00" "abc" "\x00", 12)
                            + tone.mid(12);
        listed = withU32(listed, kRiffSize, quint32(listed.size() - 8));
        QTest::newRow("odd chunk before the format")
            << listed << big << true << quint32(listed.size() - 8) << quint32(44100);
        // 1 s converts to 44100 frames x 2 channels x 2 bytes at the device: the limit is exact.
        QTest::newRow("at the converted limit") << tone << qint64(176400) << true
                                                << quint32(36 + 44100) << quint32(44100);
        QTest::newRow("over the converted limit") << tone << qint64(176399) << false << 0u << 0u;
        // 1 Hz: 44100 bytes of sound would become 44100 x 44100 frames (7.8 GB) at the device.
        QTest::newRow("rate of 1 Hz") << withU32(tone, kRate, 1) << big << false << 0u << 0u;
        QTest::newRow("rate of 0") << withU32(tone, kRate, 0) << big << false << 0u << 0u;
        QTest::newRow("no channels") << withU16(tone, kChannels, 0) << big << false << 0u << 0u;
        QTest::newRow("no data chunk") << withU32(tone.left(36), kRiffSize, 28) << big << false
                                       << 0u << 0u;
        QTest::newRow("no format chunk")
            << QByteArray("RIFF\x0c\x00\x00\x00WAVEdata\x00\x00\x00\x00", 20) << big << false
            << 0u << 0u;
        QTest::newRow("format chunk too short") << withU32(tone, 16, 8) << big << false << 0u << 0u;
        QTest::newRow("RIFF but AVI") << QByteArray("RIFF\x04\x00\x00\x00AVI ", 12) << big
                                      << false << 0u << 0u;
        QTest::newRow("Ogg named .wav") << QByteArray("OggS\x00\x02", 6) + QByteArray(100, 'x')
                                        << big << false << 0u << 0u;
        QTest::newRow("eleven bytes") << QByteArray("RIFF\x00\x00\x00\x00WAV", 11) << big << false
                                      << 0u << 0u;
    }
    void wavCheck()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, maxConverted);
        QFETCH(bool, playable);
        QFETCH(quint32, riffSize);
        QFETCH(quint32, dataSize);
        QByteArray checked = bytes;
        WavLimits limits;
        limits.maxConvertedBytes = maxConverted;
        QCOMPARE(checkWav(checked, AudioFormat{44100, 2, 2}, limits), playable);
        if (!playable)
            return;
        QCOMPARE(checked.size(), bytes.size());
        QCOMPARE(u32At(checked, kRiffSize), riffSize);
        const qsizetype data = checked.indexOf("data");
        QVERIFY(data > 0);
        QCOMPARE(u32At(checked, data + 4), dataSize);
        QCOMPARE(checked.mid(data + 8), bytes.mid(data + 8)); // the sound itself untouched
    }

    void lyingHeaderPlaysWhatIsThere()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        EnvironmentGuard env;
        env.set("SDL_AUDIODRIVER", "dummy");
        // 0.4 s of sound whose header claims 2 GB.
        const QString path = tmp.filePath(QStringLiteral("miente.wav"));
        QVERIFY(writeFile(path, withU32(withU32(sineWav(0.4), kDataSize, 0x7FFFFFF0u), kRiffSize,
                                        0x7FFFFFF8u)));
        auto player = std::make_unique<SdlSoundPlayer>();
        const qint64 ms = timedPlay(*player, path, SND_SYNC);
        QVERIFY2(ms >= 350 && ms < 3000,
                 qPrintable(QStringLiteral("a 0.4 s sound held for %1 ms").arg(ms)));
    }

    void changedCueIsReadAgain()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        EnvironmentGuard env;
        env.set("SDL_AUDIODRIVER", "dummy");
        const QString cue = tmp.filePath(QStringLiteral("1.wav"));
        const QString other = tmp.filePath(QStringLiteral("2.wav"));
        QVERIFY(writeFile(cue, sineWav(0.2)));
        QVERIFY(writeFile(other, sineWav(0.2, 22050, 660.0)));
        auto player = std::make_unique<SdlSoundPlayer>();
        player->play(tmp.filePath(QStringLiteral("no-esta.wav")), SND_SYNC); // opens the device

        // Played over and over, each cue is read once and kept.
        for (int i = 0; i < 3; ++i) {
            QVERIFY(timedPlay(*player, cue, SND_ASYNC) < 250);
            QVERIFY(timedPlay(*player, other, SND_ASYNC) < 250);
        }

        // A cue replaced by a longer one plays the new one, whole.
        QVERIFY(writeFile(cue, sineWav(0.9)));
        const qint64 ms = timedPlay(*player, cue, SND_SYNC);
        QVERIFY2(ms >= 850 && ms < 4000,
                 qPrintable(QStringLiteral("the new 0.9 s cue held for %1 ms").arg(ms)));

        // A cue removed plays nothing; one made unplayable plays nothing either.
        QVERIFY(QFile::remove(cue));
        QVERIFY(timedPlay(*player, cue, SND_SYNC) < 250);
        QVERIFY(writeFile(other, QByteArray("ya no es un sonido")));
        QVERIFY(timedPlay(*player, other, SND_SYNC) < 250);
    }

    void oddFilesNamedLikeACue()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        EnvironmentGuard env;
        env.set("SDL_AUDIODRIVER", "dummy");
        const QString pipe = tmp.filePath(QStringLiteral("abrir.wav"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        auto player = std::make_unique<SdlSoundPlayer>();
        // Nobody writes to the pipe: reading it would wait for ever.
        QVERIFY(timedPlay(*player, pipe, SND_SYNC) < 1000);
        QVERIFY(timedPlay(*player, tmp.path(), SND_SYNC) < 1000); // nor a folder
        // A 300 MB file (sparse: it takes no disk) is not read at all.
        const QString huge = tmp.filePath(QStringLiteral("enorme.wav"));
        QVERIFY(writeFile(huge, withU32(sineWav(0.1), kDataSize, 0xFFFFFF00u)));
        QVERIFY(QFile::resize(huge, 300LL * 1024 * 1024));
        QVERIFY(timedPlay(*player, huge, SND_SYNC) < 1000);
    }

    void unknownDriverFallsBackToDummy()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString tone = tmp.filePath(QStringLiteral("tono.wav"));
        QVERIFY(writeFile(tone, sineWav(0.5)));
        QCOMPARE(readWavHeader(tone).seconds(), 0.5);
        EnvironmentGuard env;
        env.set("SDL_AUDIODRIVER", "nosuchdriver");

        auto player = std::make_unique<SdlSoundPlayer>();
        const qint64 ms = timedPlay(*player, tone, SND_SYNC);
        QVERIFY2(ms >= 400 && ms < 3500,
                 qPrintable(QStringLiteral("a 0.5 s sound held for %1 ms").arg(ms)));
        const qint64 asyncMs = timedPlay(*player, tone, SND_ASYNC);
        QVERIFY2(asyncMs < 250, qPrintable(QStringLiteral("async took %1 ms").arg(asyncMs)));
    }
};

QTEST_MAIN(SoundTest)
#include "test_sound.moc"
