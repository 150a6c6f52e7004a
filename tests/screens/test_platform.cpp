// What the screens rely on: the runtime (load, show, show modally, unload and End), twips, folder
// listings, moving a file without overwriting; the check a WAV file passes before the mixer, and
// the real player on SDL's drivers: how long a cue holds the caller, bad files, one cue at a time.
#include <QtEndian>
#include <sys/stat.h>

#include "app_fixture.h"
#include "files.h"
#include "wav_file.h"

namespace {

template <class T> QByteArray with(QByteArray b, int at, T value)
{
    qToLittleEndian<T>(value, b.data() + at);
    return b;
}

using Wav = std::tuple<QByteArray, qint64, quint32>;

/// A screen that counts its handlers, with a timer that fires at every chance.
template <char Name> struct Counted : Form
{
    void Form_Load() override
    {
        auto *timer = new QTimer(this);
        timer->callOnTimeout([] { ++ticks; });
        timer->start(0);
        if (++loads && endInLoad)
            Runtime::End();
    }
    void Form_Unload() override { ++unloads; }
    static QString state()
    {
        const Counted *f = Runtime::loaded<Counted>();
        const char *shown = !f ? "gone" : f->isVisible() ? "shown" : "hidden";
        return QString("%1 %2/%3 %4, ").arg(Name).arg(loads).arg(unloads).arg(shown);
    }
    static inline int loads, unloads, ticks;
    static inline bool endInLoad;
};
using A = Counted<'A'>;
using B = Counted<'B'>;

// Steps: showX, unloadX, closeX (as the player does), hideA, loadA, end, endInLoad (A's next load
// ends); modal/how: A shown modally, then hidden, unloaded, closed or ended from inside. Then the
// loads/unloads and state of each screen, and the times ended.
const char *const kRuns[][3] = {
    {"loaded once", "loadA loadA showA", "A 1/0 shown, B 0/0 gone, 0"},
    {"unloaded, shown: loaded afresh", "showB showA unloadA showA", "A 2/1 shown, B 1/0 shown, 0"},
    {"unload of one not loaded", "showB unloadA", "A 0/0 gone, B 1/0 shown, 0"},
    {"hidden stays loaded", "showB showA hideA", "A 1/0 hidden, B 1/0 shown, 0"},
    {"the last one unloaded ends", "showA showB unloadA unloadB", "A 1/1 gone, B 1/1 gone, 1"},
    {"the last one closed ends", "showA showB closeA closeB", "A 1/1 gone, B 1/1 gone, 1"},
    {"End: no unload, no load after", "showA showB end showA end", "A 1/0 gone, B 1/0 gone, 1"},
    {"End inside a load", "showB endInLoad showA", "A 1/0 gone, B 1/0 gone, 1"},
    {"modal, hidden", "showB modal/hideA", "A 1/0 hidden, B 1/0 shown, 0"},
    {"modal, unloaded", "showB modal/unloadA", "A 1/1 gone, B 1/0 shown, 0"},
    {"modal, closed", "showB modal/closeA", "A 1/1 gone, B 1/0 shown, 0"},
    {"modal, ended", "showB modal/end", "A 1/0 gone, B 1/0 gone, 1"},
    {"modal when shown already", "showB showA modal/unloadA", "A 1/1 gone, B 1/0 shown, 0"},
};

} // namespace

class PlatformTest : public QObject
{
    Q_OBJECT
private slots:
    void runtime_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("after");
        for (const auto &[name, steps, after] : kRuns)
            QTest::newRow(name) << steps << after;
    }
    void runtime()
    {
        QFETCH(QString, steps);
        QFETCH(QString, after);
        AppFixture app;
        A::loads = A::unloads = B::loads = B::unloads = A::endInLoad = 0;
        std::function<void(const QString &)> run = [&](const QString &step) {
            const bool a = step.endsWith(u'A');
            if (step == "end")
                Runtime::End();
            else if (step == "endInLoad")
                A::endInLoad = true;
            else if (step.startsWith("unload"))
                a ? Runtime::Unload<A>() : Runtime::Unload<B>();
            else if (step.startsWith("close"))
                a ? Runtime::loaded<A>()->close() : Runtime::loaded<B>()->close();
            else if (step == "hideA")
                Runtime::loaded<A>()->hide();
            else if (step == "loadA")
                Runtime::Load<A>();
            else if (step.startsWith("show")) { // nothing once ended, even by its own load
                const bool none = a ? !Runtime::Show<A>() : !Runtime::Show<B>();
                QCOMPARE(none, Runtime::ended());
            } else { // modal/how
                bool modal = false;
                QObject rescue; // should the modal display never return
                QTimer::singleShot(8000, &rescue, &Runtime::resetForTests);
                whenShown<A>([&](A *f) {
                    modal = QApplication::activeModalWidget() == f;
                    run(step.mid(6));
                });
                Runtime::ShowModal<A>();
                QVERIFY(modal && !QApplication::activeModalWidget());
            }
        };
        for (const QString &step : steps.split(u' '))
            run(step);
        QCOMPARE(A::state() + B::state() + QString::number(app.ends), after);
        const int ticks = A::ticks + B::ticks;
        QTest::qWait(30);
        QCOMPARE(A::ticks + B::ticks == ticks, Runtime::ended()); // no handler runs after End
    }
    void twips()
    {
        // Card slot, edges rounded, negative: each edge rounded to the nearest pixel.
        for (const auto &[twips, pixels] :
             {std::pair{QRect(360, 360, 1215, 1095), QRect(24, 24, 81, 73)},
              {QRect(8, 22, 37, 52), QRect(1, 1, 2, 4)},
              {QRect(-8, -7, 16, 14), QRect(-1, 0, 2, 0)}}) {
            QWidget w, east;
            Twips::setGeometry(&w, twips);
            QCOMPARE(w.geometry(), pixels);
            QCOMPARE(Twips::geometry(&w), twips); // read back as set, not from the pixels
            Twips::setLeft(&w, twips.x() + 7);
            Twips::setHeight(&w, twips.height() + 8);
            QCOMPARE(Twips::geometry(&w), twips.adjusted(7, 0, 7, 8));
            Twips::setGeometry(&east, twips.x() + 7 + twips.width(), twips.y(), 37, 52);
            QCOMPARE(east.x(), w.geometry().right() + 1); // neighbours touch on screen too
        }
    }
    void centred()
    {
        AppFixture app;
        // Int rounds down: 3922.5 twips is 3922, 261 pixels (3923 would be 262).
        for (const auto &[screen, client, pixels] :
             {std::tuple{QSize(15375, 11520), QSize(7530, 6945), QPoint(261, 152)},
              {QSize(9600, 7200), QSize(12015, 6945), QPoint(-81, 8)}}) {
            Twips::setScreen(screen);
            Form f;
            f.setClientTwips(client.width(), client.height());
            f.centreOnScreen();
            QCOMPARE(f.pos(), pixels);
        }
    }
    void files()
    {
        QTemporaryDir tmp;
        const QString p = tmp.path();
        for (const char *d : {"gamma", "alfa", "Beta.gif", ".oculta"})
            QVERIFY(QDir(p).mkpath(d));
        for (const char *f : {"zorro", "Burro.gif", "ardilla.png", ".escondido.png"})
            QVERIFY(writeFile(p + '/' + f, {}));
        // By name whatever the case, hidden ones left out; nothing from a missing folder or a file.
        QCOMPARE(Files::subFolders(p), QStringList({p + "/alfa", p + "/Beta.gif", p + "/gamma"}));
        QCOMPARE(Files::fileNames(p), QStringList({"ardilla.png", "Burro.gif", "zorro"}));
        for (const QString &none : {p + "/no", p + "/zorro"})
            QVERIFY(Files::subFolders(none).isEmpty() && Files::fileNames(none).isEmpty());
        // A file moves only where nothing is, not even a dangling link.
        const QString from = p + "/7.gif", to = p + "/8.gif", link = p + "/9.gif";
        const auto now = [&] { return readFile(from) + '/' + readFile(to) + '/' + readFile(link); };
        QVERIFY(writeFile(from, "nuevo") && QFile::link("nada", link));
        QVERIFY(!Files::moveFile(from, link));
        QVERIFY(Files::moveFile(from, to));
        QCOMPARE(now(), "none/nuevo/none");
        QVERIFY(writeFile(from, "otro"));
        QVERIFY(!Files::moveFile(from, to));
        QCOMPARE(now(), "otro/nuevo/none");
    }
    void wavCheck_data()
    {
        QTest::addColumn<Wav>("wav"); // file, conversion limit, data size after (0: refused)
        const QByteArray t = AppFixture::wav(1.0); // 44100 bytes of sound, 176400 at the device
        const qint64 lim = 176400, gb = 1 << 30;
        QTest::newRow("good") << Wav{t, lim, 44100};
        QTest::newRow("over the converted limit") << Wav{t, lim - 1, 0};
        QTest::newRow("data claims 1 GB") << Wav{with<quint32>(t.left(244), 40, gb), lim, 200};
        QTest::newRow("RIFF claims 4 GB") << Wav{with<quint32>(t, 4, 0xFFFFFFFF), lim, 44100};
        QTest::newRow("1 Hz: gigabytes at the device") << Wav{with<quint32>(t, 24, 1), gb, 0};
        QTest::newRow("no channels") << Wav{with<quint16>(t, 22, 0), lim, 0};
        QTest::newRow("no data chunk") << Wav{with<quint32>(t.left(36), 4, 28), lim, 0};
        QTest::newRow("not WAVE") << Wav{with<quint32>(t, 8, 0x20495641), lim, 0};
    }
    void wavCheck()
    {
        QFETCH(Wav, wav);
        auto [c, limit, dataSize] = wav;
        QCOMPARE(checkWav(c, AudioFormat{44100, 2, 2}, WavLimits{1LL << 30, limit}), dataSize > 0);
        if (dataSize > 0) { // the sizes cut to what the file holds, the sound itself untouched
            QCOMPARE(qFromLittleEndian<quint32>(c.constData() + 4), quint32(c.size() - 8));
            QCOMPARE(qFromLittleEndian<quint32>(c.constData() + 40), dataSize);
            QCOMPARE(c.mid(44), std::get<0>(wav).mid(44));
        }
    }
    void cueHolds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("toItsEnd"); // or returns at once
        QTest::newRow("0.4 s, synchronous: to its end") << "sync" << true;
        QTest::newRow("0.4 s, asynchronous: at once") << "async" << false;
        QTest::newRow("0.4 s whose header claims 2 GB") << "liar" << true;
        QTest::newRow("a pipe nobody writes to") << "fifo" << false;
        QTest::newRow("300 MB, not read") << "huge" << false;
    }
    void cueHolds()
    {
        QFETCH(QString, kind);
        QFETCH(bool, toItsEnd);
        QTemporaryDir tmp;
        const QString cue = tmp.filePath("1.wav"), good = tmp.filePath("2.wav");
        const QByteArray t = AppFixture::wav(0.4);
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(cue).constData(), 0600), 0);
        else
            QVERIFY(writeFile(cue, kind.endsWith("sync") ? t : with<quint32>(t, 40, 0x7FFFFFF0)));
        QVERIFY(kind != "huge" || QFile::resize(cue, 300 << 20)); // sparse: takes no disk
        QVERIFY(writeFile(good, AppFixture::wav(0.3)));
        SdlSoundPlayer player;
        QElapsedTimer clock;
        clock.start();
        player.play(cue, kind == "async" ? SND_ASYNC : SND_SYNC);
        const qint64 ms = clock.restart();
        QVERIFY2(toItsEnd ? ms >= 380 && ms <= 3000 : ms < 380, qPrintable(QString::number(ms)));
        player.play(good, SND_SYNC); // whatever came before, the next good sound plays to its end
        QVERIFY(clock.elapsed() >= 280);
    }
    void mixedIntoTheDevice_data()
    {
        QTest::addColumn<bool>("interrupted"); // by a silent cue while the loud one plays
        QTest::newRow("a cue is heard") << false;
        QTest::newRow("one cue at a time: the next replaces it") << true;
    }
    void mixedIntoTheDevice()
    {
        QFETCH(bool, interrupted);
        QTemporaryDir tmp;
        const QString silent = tmp.filePath("silencio.wav");
        QVERIFY(writeFile(silent, AppFixture::wav(0.6)));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(tmp.filePath("out.raw")));
        {
            SdlSoundPlayer player; // 2.2 s of fanfare
            player.play(QStringLiteral(TRABEL_SOURCE_DATA "/sonidos/ganador.wav"),
                        interrupted ? SND_ASYNC : SND_SYNC);
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

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
