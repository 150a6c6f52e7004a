// Files that never end or never answer: each ends in a game that can be finished or in the one
// message. A read that blocks for good is ended by the alarm, so the suite fails, not waits.
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>
#include "app_fixture.h"
#include "scripted_random.h"
#include "board_screen.h"
#include "options_screen.h"
#include "platform.h"
#include "players_screen.h"
#include "title_screen.h"

class HostileWaitsTest : public QObject
{
    Q_OBJECT

private slots:
    void wait_data()
    {
        QTest::addColumn<QString>("file"); ///< in the application folder; the set is "set"
        QTest::addColumn<QString>("how"); ///< "sparse", "pipe", or what the file links to
        QTest::addColumn<bool>("playable"); ///< else "NO ENCUENTRO LOS DIBUJOS"
        QTest::newRow("language file of 1 TB, no line end") << "idioma/idioma.txt" << "sparse" << true;
        QTest::newRow("language file a link to /dev/zero") << "idioma/idioma.txt" << "/dev/zero" << true;
        QTest::newRow("language file a pipe") << "idioma/idioma.txt" << "pipe" << true;
        QTest::newRow("card back a pipe") << "fondo.jpg" << "pipe" << true;
        QTest::newRow("picture a link to a pipe") << "graficos/set/0.png" << "the pipe" << true;
        QTest::newRow("picture a link to /dev/zero") << "graficos/set/0.png" << "/dev/zero" << true;
        QTest::newRow("set folder a link to /proc") << "graficos/set" << "/proc" << false;
    }

    void wait()
    {
        QFETCH(QString, file);
        QFETCH(QString, how);
        QFETCH(bool, playable);
        AppFixture app;
        ScriptedRandom random;
        random.scriptInts({0}, 7); // the first picture drawn is the first listed: "0.png"
        Platform::setRandom(&random);
        const QString path = app.path(file), pipe = app.path(QStringLiteral("pipe"));
        QDir().mkpath(QFileInfo(path).path());
        if (how != QLatin1String("/proc"))
            app.makePictureSet(QStringLiteral("set"), 6);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QFile::remove(path);
        QFile f(path);
        if (how == QLatin1String("sparse"))
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(1LL << 40));
        else if (how == QLatin1String("pipe"))
            QVERIFY(QFile::rename(pipe, path));
        else
            QVERIFY(QFile::link(how == QLatin1String("the pipe") ? pipe : how, path));

        ::alarm(30);
        Runtime::Show<Form5>()->Command1_Click();
        Form3 *players = Runtime::loaded<Form3>();
        players->Command1_Click(0);
        players->Text1[0]->setText(QStringLiteral("Ana"));
        players->Command2_Click();
        Form1 *options = Runtime::loaded<Form1>();
        options->Combo1->setText(QStringLiteral("set"));
        options->Command1_Click(0);
        options->Command2_Click();
        Form2 *board = Runtime::loaded<Form2>();
        if (playable) {
            QVERIFY(app.messages.isEmpty() && board && board->TotalPairs() == 6);
            QVERIFY(!board->CardPicture().mid(0, 12).contains(QString()));
            clickAllPairs(board);
            QVERIFY(board->game().GameOver);
        } else {
            QCOMPARE(app.messages, QStringList{QStringLiteral("NO ENCUENTRO LOS DIBUJOS")});
            QCOMPARE(app.ends, 1);
        }
        ::alarm(0);
    }
};

QTEST_MAIN(HostileWaitsTest)
#include "test_hostile_waits.moc"
