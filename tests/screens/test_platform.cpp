// What the screens rely on underneath: the runtime (load, show, show modally, unload and End),
// twips, folder listings, moving a file without overwriting; the check a WAV file passes before
// the mixer sees it, and the real player on SDL's drivers: how long a cue holds the caller, files
// it cannot play, one cue at a time.
#include <QtEndian>
#include <sys/stat.h>

#include "app_fixture.h"
#include "files.h"
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

/// A screen that counts its handlers, with a timer that fires at every chance.
template <char Name> struct Counted : Form {
    Counted() {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, [] { ++ticks; });
        timer->start(0);
    }
    void Form_Load() override {
        if (++loads && endInLoad)
            Runtime::End();
    }
    void Form_Unload() override { ++unloads; }
    static QString state() {
        const Counted *f = Runtime::loaded<Counted>();
        const char *shown = !f ? "gone" : f->isVisible() ? "shown" : "hidden";
        return QString("%1 %2/%3 %4, ").arg(Name).arg(loads).arg(unloads).arg(shown);
    }
    static inline int loads, unloads, ticks;
    static inline bool endInLoad;
};
using A = Counted<'A'>;
using B = Counted<'B'>;

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void runtime_data() {
        // Steps: showX, unloadX, closeX (as the player does), hideA, loadA, end, endInLoadA;
        // modalA/how: A shown modally, then hidden, unloaded, closed or ended from inside.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("after"); // loads/unloads and state of each, times ended
        QTest::newRow("loaded once") << "loadA loadA showA" << "A 1/0 shown, B 0/0 gone, 0";
        QTest::newRow("unloaded, shown: loaded afresh") << "showB showA unloadA showA" << "A 2/1 shown, B 1/0 shown, 0";
        QTest::newRow("unload of one not loaded") << "showB unloadA" << "A 0/0 gone, B 1/0 shown, 0";
        QTest::newRow("hidden stays loaded") << "showB showA hideA" << "A 1/0 hidden, B 1/0 shown, 0";
        QTest::newRow("the last one unloaded ends") << "showA showB unloadA unloadB" << "A 1/1 gone, B 1/1 gone, 1";
        QTest::newRow("the last one closed ends") << "showA showB closeA closeB" << "A 1/1 gone, B 1/1 gone, 1";
        QTest::newRow("End: no unload handler, no load after") << "showA showB end showA end" << "A 1/0 gone, B 1/0 gone, 1";
        QTest::newRow("End inside a load") << "showB endInLoadA" << "A 1/0 gone, B 1/0 gone, 1";
        QTest::newRow("modal, hidden") << "showB modalA/hide" << "A 1/0 hidden, B 1/0 shown, 0";
        QTest::newRow("modal, unloaded") << "showB modalA/unload" << "A 1/1 gone, B 1/0 shown, 0";
        QTest::newRow("modal, closed") << "showB modalA/close" << "A 1/1 gone, B 1/0 shown, 0";
        QTest::newRow("modal, ended") << "showB modalA/end" << "A 1/0 gone, B 1/0 gone, 1";
        QTest::newRow("modal when shown already") << "showB showA modalA/unload" << "A 1/1 gone, B 1/0 shown, 0";
    }
    void runtime() {
        QFETCH(QString, steps);
        QFETCH(QString, after);
        AppFixture app;
        A::loads = A::unloads = B::loads = B::unloads = A::endInLoad = 0;
        std::function<void(const QString &)> run = [&](const QString &step) {
            const bool a = step.endsWith(u'A');
            if (step == "end")
                Runtime::End();
            else if (step.startsWith("show"))
                a ? void(Runtime::Show<A>()) : void(Runtime::Show<B>());
            else if (step.startsWith("unload"))
                a ? Runtime::Unload<A>() : Runtime::Unload<B>();
            else if (step.startsWith("close"))
                a ? Runtime::loaded<A>()->close() : Runtime::loaded<B>()->close();
            else if (step == "hideA")
                Runtime::loaded<A>()->hide();
            else if (step == "loadA")
                Runtime::Load<A>();
            else if (step == "endInLoadA") {
                A::endInLoad = true;
                QVERIFY(!Runtime::Show<A>());
            } else {
                const QString how = step.mid(7);
                bool modal = false;
                QTimer rescue; // should the modal display never return
                connect(&rescue, &QTimer::timeout, &Runtime::resetForTests);
                rescue.start(8000);
                whenShown<A>([&](A *f) {
                    modal = QApplication::activeModalWidget() == f;
                    run(how == "end" ? how : how + u'A');
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

    void twips_data() {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QRect>("pixels"); // each edge rounded to the nearest pixel
        QTest::newRow("card slot") << QRect(360, 360, 1215, 1095) << QRect(24, 24, 81, 73);
        QTest::newRow("edges rounded") << QRect(8, 22, 37, 52) << QRect(1, 1, 2, 4);
        QTest::newRow("negative") << QRect(-8, -7, 16, 14) << QRect(-1, 0, 2, 0);
    }
    void twips() {
        QFETCH(QRect, twips);
        QFETCH(QRect, pixels);
        QWidget parent;
        auto *w = new QWidget(&parent), *east = new QWidget(&parent);
        Twips::setGeometry(w, twips);
        QCOMPARE(w->geometry(), pixels);
        QCOMPARE(Twips::geometry(w), twips); // read back as set, not from the pixels
        Twips::setLeft(w, twips.x() + 7);
        Twips::setHeight(w, twips.height() + 8);
        QCOMPARE(Twips::geometry(w), twips.adjusted(7, 0, 7, 8));
        Twips::setGeometry(east, twips.x() + 7 + twips.width(), twips.y(), 37, 52);
        QCOMPARE(east->x(), w->geometry().right() + 1); // neighbours touch on screen too
    }

    void centred() {
        AppFixture app;
        // Int rounds down: 3922.5 twips is 3922, 261 pixels (3923 would be 262).
        for (const auto &[screen, client, pixels] : {std::tuple{QSize(15375, 11520), QSize(7530, 6945), QPoint(261, 152)},
                                                     {QSize(9600, 7200), QSize(12015, 6945), QPoint(-81, 8)}}) {
            Twips::setScreen(screen);
            Form f;
            f.setClientTwips(client.width(), client.height());
            f.centreOnScreen();
            QCOMPARE(f.pos(), pixels);
        }
    }

    void listings() {
        QTemporaryDir tmp;
        for (const char *d : {"gamma", "alfa", "Beta.gif", ".oculta"})
            QVERIFY(QDir(tmp.path()).mkpath(d));
        for (const char *f : {"zorro", "Burro.gif", "ardilla.png", ".escondido.png"})
            QVERIFY(writeFile(tmp.filePath(f), {}));
        // By name whatever the case, hidden ones left out; nothing from a missing folder or a file.
        QCOMPARE(Files::subFolders(tmp.path()), QStringList({tmp.filePath("alfa"), tmp.filePath("Beta.gif"), tmp.filePath("gamma")}));
        QCOMPARE(Files::fileNames(tmp.path()), QStringList({"ardilla.png", "Burro.gif", "zorro"}));
        for (const QString &none : {tmp.filePath("no"), tmp.filePath("zorro")})
            QVERIFY(Files::subFolders(none).isEmpty() && Files::fileNames(none).isEmpty());
    }

    void move_data() {
        QTest::addColumn<QString>("target"); // what the target path holds
        QTest::newRow("nothing: moved") << "none";
        QTest::newRow("a file: left alone") << "viejo";
        QTest::newRow("a dangling link: left alone") << "link";
    }
    void move() {
        QFETCH(QString, target);
        QTemporaryDir tmp;
        const QString from = tmp.filePath("7.gif"), to = tmp.filePath("8.gif");
        QVERIFY(writeFile(from, "nuevo"));
        if (target != "none")
            QVERIFY(target == "viejo" ? writeFile(to, "viejo") : QFile::link("nada", to));
        QCOMPARE(Files::moveFile(from, to), target == "none");
        const char *after = target == "none" ? "none/nuevo" : target == "viejo" ? "nuevo/viejo" : "nuevo/none";
        QCOMPARE(readFile(from) + '/' + readFile(to), after);
    }

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

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
