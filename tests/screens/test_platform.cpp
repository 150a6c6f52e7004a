// What the screens rely on from the runtime: load, show, show modally, unload and End; twips;
// a disabled window; folder listings; moving a file without overwriting.
#include <QtTest>

#include <QApplication>
#include <unistd.h>

#include "app_fixture.h"
#include "controls.h"
#include "files.h"
#include "platform.h"
#include "twips.h"

namespace {

/// A screen that counts its handlers and has a timer firing at every chance.
template <char Name> class Counted : public Form {
public:
    Counted() {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, [] { ++ticks; });
        timer->start(0);
    }
    static inline int loads = 0, unloads = 0, ticks = 0;
    static inline bool endInLoad = false;

protected:
    void Form_Load() override {
        ++loads;
        if (endInLoad)
            Runtime::End();
    }
    void Form_Unload() override { ++unloads; }
};
using A = Counted<'A'>;
using B = Counted<'B'>;

template <class F> QString state(char name) {
    F *f = Runtime::loaded<F>();
    return QStringLiteral("%1 %2/%3 %4")
        .arg(QChar(name))
        .arg(F::loads)
        .arg(F::unloads)
        .arg(!f               ? QStringLiteral("gone")
             : f->isVisible() ? QStringLiteral("shown")
                              : QStringLiteral("hidden"));
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void runtime_data() {
        QTest::addColumn<QString>("steps"); // showA, loadA, unloadA, closeA (the player), hideA,
                                            // end; modalA/how: shown modally, then hidden,
                                            // unloaded, closed or ended from inside; endInLoadA
        QTest::addColumn<QString>("after");
        QTest::newRow("loaded once") << "loadA loadA showA"
                                     << "A 1/0 shown, B 0/0 gone, ends 0";
        QTest::newRow("unload, then show loads afresh") << "showB showA unloadA showA"
                                                        << "A 2/1 shown, B 1/0 shown, ends 0";
        QTest::newRow("unload of a screen not loaded") << "showB unloadA"
                                                       << "A 0/0 gone, B 1/0 shown, ends 0";
        QTest::newRow("hidden stays loaded") << "showB showA hideA"
                                             << "A 1/0 hidden, B 1/0 shown, ends 0";
        QTest::newRow("last one unloaded ends") << "showA showB unloadA unloadB"
                                                << "A 1/1 gone, B 1/1 gone, ends 1";
        QTest::newRow("last one closed ends") << "showA showB closeA closeB"
                                              << "A 1/1 gone, B 1/1 gone, ends 1";
        QTest::newRow("End: no unload handler, nothing loads after")
            << "showA showB end showA end"
            << "A 1/0 gone, B 1/0 gone, ends 1";
        QTest::newRow("End during a load") << "showB endInLoadA"
                                           << "A 1/0 gone, B 1/0 gone, ends 1";
        QTest::newRow("modal, hidden") << "showB modalA/hide"
                                       << "A 1/0 hidden, B 1/0 shown, ends 0";
        QTest::newRow("modal, unloaded") << "showB modalA/unload"
                                         << "A 1/1 gone, B 1/0 shown, ends 0";
        QTest::newRow("modal, closed") << "showB modalA/close"
                                       << "A 1/1 gone, B 1/0 shown, ends 0";
        QTest::newRow("modal, ended") << "showB modalA/end"
                                      << "A 1/0 gone, B 1/0 gone, ends 1";
        QTest::newRow("modal when already shown") << "showB showA modalA/unload"
                                                  << "A 1/1 gone, B 1/0 shown, ends 0";
    }
    void runtime() {
        QFETCH(QString, steps);
        QFETCH(QString, after);
        AppFixture app;
        A::loads = A::unloads = B::loads = B::unloads = 0;
        A::endInLoad = false;
        for (const QString &step : steps.split(u' ')) {
            const bool a = step.endsWith(u'A');
            if (step == QLatin1String("end"))
                Runtime::End();
            else if (step.startsWith(QLatin1String("load")))
                Runtime::Load<A>();
            else if (step.startsWith(QLatin1String("show")))
                a ? (void)Runtime::Show<A>() : (void)Runtime::Show<B>();
            else if (step.startsWith(QLatin1String("unload")))
                a ? Runtime::Unload<A>() : Runtime::Unload<B>();
            else if (step.startsWith(QLatin1String("close")))
                a ? Runtime::loaded<A>()->close() : Runtime::loaded<B>()->close();
            else if (step == QLatin1String("hideA"))
                Runtime::loaded<A>()->hide();
            else if (step == QLatin1String("endInLoadA")) {
                A::endInLoad = true;
                QVERIFY(!Runtime::Show<A>());
            } else if (step.startsWith(QLatin1String("modalA/"))) {
                const QString how = step.mid(7);
                bool modal = false;
                // Should the modal display never return, this frees it and the test fails.
                QTimer rescue;
                connect(&rescue, &QTimer::timeout, [] { Runtime::resetForTests(); });
                rescue.start(8000);
                whenShown<A>([&](A *f) {
                    modal = QApplication::activeModalWidget() == f;
                    how == QLatin1String("hide")     ? f->hide()
                    : how == QLatin1String("unload") ? Runtime::Unload<A>()
                    : how == QLatin1String("close")  ? (void)f->close()
                                                     : Runtime::End();
                });
                Runtime::ShowModal<A>();
                QVERIFY(modal);
                QVERIFY(!QApplication::activeModalWidget());
            }
        }
        QCOMPARE(state<A>('A') + QStringLiteral(", ") + state<B>('B') +
                     QStringLiteral(", ends %1").arg(app.ends),
                 after);
        if (Runtime::ended()) { // no handler of the program runs after the end
            const int ticks = A::ticks + B::ticks;
            QTest::qWait(50);
            QCOMPARE(A::ticks + B::ticks, ticks);
        }
    }

    void twips_data() {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("card slot") << QRect(360, 360, 1215, 1095) << QRect(24, 24, 81, 73);
        QTest::newRow("edges rounded, not cut") << QRect(8, 22, 37, 52) << QRect(1, 1, 2, 4);
        QTest::newRow("above the top") << QRect(5760, -120, 4455, 615) << QRect(384, -8, 297, 41);
        QTest::newRow("negative halves") << QRect(-8, -7, 16, 14) << QRect(-1, 0, 2, 0);
    }
    void twips() {
        QFETCH(QRect, twips);
        QFETCH(QRect, pixels);
        QWidget parent;
        auto *w = new QWidget(&parent);
        Twips::setGeometry(w, twips);
        QCOMPARE(w->geometry(), pixels);
        QCOMPARE(Twips::geometry(w), twips); // read back exactly, not from the pixels
        Twips::setLeft(w, twips.x() + 7);
        Twips::setHeight(w, twips.height() + 8);
        QCOMPARE(Twips::geometry(w), twips.adjusted(7, 0, 7, 8));
        // A neighbour placed at the right edge touches, on screen too.
        auto *east = new QWidget(&parent);
        Twips::setGeometry(east, twips.x() + 7 + twips.width(), twips.y(), 37, 52);
        QCOMPARE(east->x(), w->geometry().right() + 1);
    }

    void centred_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QPoint>("pixels");
        // Int rounds down: 3922.5 twips → 3922 → 261 pixels (3923 would give 262).
        QTest::newRow("half a twip")
            << QSize(15375, 11520) << QSize(7530, 6945) << QPoint(261, 152);
        QTest::newRow("wider than the screen")
            << QSize(9600, 7200) << QSize(12015, 6945) << QPoint(-81, 8);
    }
    void centred() {
        QFETCH(QSize, screen);
        QFETCH(QSize, client);
        QFETCH(QPoint, pixels);
        AppFixture app;
        Platform::setScreenTwips(screen);
        Form f;
        f.setClientTwips(client.width(), client.height());
        f.centreOnScreen();
        QCOMPARE(f.pos(), pixels);
    }

    void disabledWindowTakesNoClicks() {
        AppFixture app;
        Form f;
        auto *box = new PictureBox(&f);
        auto *button = new CommandButton(&f);
        button->move(100, 0);
        int clicks = 0;
        connect(box, &PictureBox::clicked, [&] { ++clicks; });
        connect(button, &QPushButton::clicked, [&] { ++clicks; });
        f.show();
        f.setEnabled(false);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 0);
        f.setEnabled(true);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
    }

    void listings_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("by name whatever the case, hidden left out")
            << "m" << QStringList{"alfa", "Beta.gif", "gamma"}
            << QStringList{"ardilla.png", "Burro.gif", "zorro"};
        QTest::newRow("missing") << "no" << QStringList() << QStringList();
        QTest::newRow("a file") << "m/zorro" << QStringList() << QStringList();
    }
    void listings() {
        QFETCH(QString, folder);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QTemporaryDir tmp;
        for (const char *d : {"m/gamma", "m/alfa", "m/Beta.gif", "m/.oculta"})
            QVERIFY(QDir(tmp.path()).mkpath(QLatin1String(d)));
        for (const char *f : {"m/zorro", "m/Burro.gif", "m/ardilla.png", "m/.escondido.png"})
            QVERIFY(writeFile(tmp.filePath(QLatin1String(f)), "x"));
        const QString path = tmp.filePath(folder);
        for (QString &name : folders)
            name = path + u'/' + name;
        QCOMPARE(Files::subFolders(path), folders);
        QCOMPARE(Files::fileNames(path), files);
    }

    void move_data() {
        QTest::addColumn<QString>("target"); // what the target path holds: "", "file" or "link"
        QTest::addColumn<bool>("moved");
        QTest::newRow("free") << "" << true;
        QTest::newRow("a file there") << "file" << false;
        QTest::newRow("a dangling link there") << "link" << false;
    }
    void move() {
        QFETCH(QString, target);
        QFETCH(bool, moved);
        QTemporaryDir tmp;
        const QString from = tmp.filePath(QStringLiteral("7.gif")),
                      to = tmp.filePath(QStringLiteral("8.gif"));
        QVERIFY(writeFile(from, "nuevo"));
        if (target == QLatin1String("file"))
            QVERIFY(writeFile(to, "viejo"));
        if (target == QLatin1String("link"))
            QCOMPARE(::symlink("nada", QFile::encodeName(to).constData()), 0);
        QCOMPARE(Files::moveFile(from, to), moved);
        QCOMPARE(readFile(from), moved ? QByteArray("(none)") : QByteArray("nuevo"));
        QCOMPARE(readFile(to), moved                             ? QByteArray("nuevo")
                               : target == QLatin1String("file") ? QByteArray("viejo")
                                                                 : QByteArray("(none)"));
        QCOMPARE(QFileInfo(to).isSymLink(), target == QLatin1String("link"));
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
