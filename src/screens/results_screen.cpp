#include "results_screen.h"

#include <QEventLoop>
#include <QTimer>
#include <cmath>

#include "accessible_controls.h"
#include "board_grid.h"
#include "board_screen.h"
#include "clock.h"
#include "data_paths.h"
#include "design.h"
#include "language_file.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "results.h"
#include "sound.h"
#include "twips.h"

Form4::Form4()
{
    Accessible::setRole(this, QAccessible::Dialog);
    // The results belong to the board: they stay above it and go when it goes.
    if (Form2 *board = Runtime::loaded<Form2>())
        setParent(board, Qt::Dialog);
    setWindowTitle(QStringLiteral(" ")); // no caption: an empty title would show the program's name
    setClientTwips(7755, 4620);
    setWindowColour(this, 0x00FFC0C0);

    Label1 = designLabel(this, QString(), 0x00FF0000, {960, 480, 5895, 1095}, 24);
    Label2 = designLabel(this, QString(), 0x00FF0000, {960, 1920, 5895, 1215}, 24);
    // Long names would push the points out of the box: the lines shrink to fit instead.
    Label1->setShrinkToFit(true);
    Label2->setShrinkToFit(true);
    Command1 = designButton(this, QStringLiteral("SEGUIR JUGANDO"), 0x00FF0000,
                            {240, 3480, 3855, 975}, 18);
    Command2 =
        designButton(this, QStringLiteral("FIN JUEGO"), 0x000000FF, {4320, 3480, 3135, 975}, 18);
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
}

void Form4::waitAboutThreeSeconds()
{
    Clock &clock = Platform::clock();
    const double start = clock.secondsSinceMidnight();
    const double s = std::nearbyint(start); // halves to even
    const auto reading = [&] {
        double t = clock.secondsSinceMidnight();
        // The clock restarts at midnight: a wait begun just before it must still end.
        if (t < start - 43200.0)
            t += 86400.0;
        return t;
    };
    if (reading() >= s + kWaitSeconds)
        return;
    QPointer<Form4> self(this);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!self || Runtime::ended() || reading() >= s + kWaitSeconds)
            loop.quit();
    });
    poll.start();
    loop.exec();
}

void Form4::Form_Load()
{
    QPointer<Form4> self(this);
    waitAboutThreeSeconds();
    if (!self || Runtime::ended() || !isLoaded())
        return;

    const LanguageFile file = languageFile(20);
    Command1->setCaption(file.buffered(14, 14));
    Command2->setCaption(file.buffered(14, 15));
    ResultText.clear();
    for (int line = 16; line <= 20; ++line)
        ResultText.append(file.line(line));

    Form2 *board = Runtime::loaded<Form2>();
    const QString pairs1 = board ? board->Text1[0]->text() : QString();
    const QString pairs2 = board ? board->Text1[1]->text() : QString();
    const Results::Outcome outcome = Results::awardPoints(Val(pairs1), Val(pairs2));
    sndPlaySoundA(DataPaths::cue(Results::cueFor(outcome)), SND_SYNC);
    if (!self || Runtime::ended())
        return;

    centreOnScreen();

    if (Module1::Player2Name.isEmpty()) {
        const int attempts = pairsForOption(Module1::PairOption) + Module1::MismatchCount;
        Label1->setCaption(Results::onePlayerLine(Module1::Player1Name, ResultText, attempts));
    } else {
        Label1->setCaption(Results::twoPlayerLine(Module1::Player1Name, ResultText, pairs1,
                                                  Module1::Player1Points));
        Label2->setCaption(Results::twoPlayerLine(Module1::Player2Name, ResultText, pairs2,
                                                  Module1::Player2Points));
    }
    // A screen reader reads a dialog's name and description as it opens.
    Accessible::setName(this, Label1->caption());
    Accessible::setDescription(this, Label2->caption());
    Command1->setFocus();
}

void Form4::Command1_Click()
{
    Runtime::Unload<Form2>();
    Runtime::Unload<Form4>();
    Runtime::Show<Form1>();
}

void Form4::Command2_Click()
{
    Runtime::End();
}
