#include "players_screen.h"

#include "colours_fonts.h"
#include "data_paths.h"
#include "design.h"
#include "files.h"
#include "language_file.h"
#include "module1.h"
#include "options_screen.h"
#include "picture_sets.h"
#include "twips.h"

namespace {

TextBox *nameBox(QWidget *parent, const QRect &twips)
{
    auto *t = new TextBox(parent);
    t->setFont(designFont(18, true));
    t->setBackColour(0x00FFFFFF);
    Twips::setGeometry(t, twips);
    return t;
}

} // namespace

Form3::Form3()
{
    setWindowTitle(QStringLiteral("Trabel"));
    setClientTwips(6750, 4635);
    setWindowColour(this, 0x0080FF80);
    setFont(designFont(8.25, false));

    Command1[0] =
        designButton(this, QStringLiteral("1 jugador"), 0x008080FF, {720, 840, 5175, 1575}, 24);
    Command1[1] =
        designButton(this, QStringLiteral("2 jugadores"), 0x00C0C0FF, {720, 2400, 5175, 1455}, 24);

    Frame1[0] = new Frame(this);
    Frame1[0]->setBackColour(0x0080C0FF);
    Twips::setGeometry(Frame1[0], 840, 960, 5175, 2055);
    Frame1[0]->hide();
    Label1[0] = designLabel(Frame1[0], QStringLiteral("Nombre"), std::nullopt,
                            {240, 600, 1335, 375}, 14.25);
    Text1[0] = nameBox(Frame1[0], {1440, 480, 3375, 495});

    Frame1[1] = new Frame(this);
    Frame1[1]->setCaption(QStringLiteral("Escribe tu nombre"));
    Frame1[1]->setBackColour(0x0080FF80);
    Frame1[1]->setFont(designFont(14.25, true));
    Twips::setGeometry(Frame1[1], 720, 960, 5175, 2415);
    Frame1[1]->hide();
    Label1[1] = designLabel(Frame1[1], QStringLiteral("Jugador 1"), std::nullopt,
                            {120, 720, 1935, 375}, 14.25);
    Text1[1] = nameBox(Frame1[1], {2160, 600, 2895, 495});
    Label2 = designLabel(Frame1[1], QStringLiteral("Jugador 2"), std::nullopt,
                         {120, 1440, 1935, 495}, 14.25);
    Text2 = nameBox(Frame1[1], {2160, 1440, 2895, 495});

    // The name boxes are read by their labels' captions.
    Label1[0]->setBuddy(Text1[0]);
    Label1[1]->setBuddy(Text1[1]);
    Label2->setBuddy(Text2);

    Command2 =
        designButton(this, QStringLiteral("ACEPTAR"), 0x00FF8080, {720, 3600, 5055, 855}, 21.75);
    Command2->hide();

    for (int i = 0; i < 2; ++i)
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    // Enter in a name box accepts, as the accept button would.
    for (TextBox *box : {Text1[0], Text1[1], Text2})
        connect(box, &QLineEdit::returnPressed, this, [this] {
            if (Command2->isVisible())
                Command2_Click();
        });
}

void Form3::Form_Load()
{
    centreOnScreen();
    prepareFirstRun();

    const LanguageFile file = languageFile(8);
    QStringList lines;
    for (int i = 0; i < 7; ++i)
        lines.append(file.line(i + 2));
    Command1[0]->setCaption(lines[0]);
    Command1[1]->setCaption(lines[1]);
    Label1[0]->setCaption(lines[2]);
    Frame1[1]->setCaption(lines[3]);
    Label1[1]->setCaption(lines[4]);
    Label2->setCaption(lines[5]);
    Command2->setCaption(lines[6]);
}

void Form3::prepareFirstRun()
{
    // Only a store that is missing altogether is created and filled: an existing one is left as
    // it is, and a picture already in the store is never overwritten.
    const QString store = PictureSets::shippedFolder() + u'/';
    if (!Files::lookUpDirectory(store).isEmpty())
        return;
    Files::makeFolder(store);
    for (int n = 1; n <= 49; ++n) {
        const QString name = QString::number(n) + QStringLiteral(".gif");
        Files::moveFile(DataPaths::beside(name), store + name);
    }
}

void Form3::Command1_Click(int Index)
{
    if (Index < 0 || Index > 1)
        return;
    Command1[0]->hide();
    Command1[1]->hide();
    Frame1[Index]->show();
    setWindowColour(this, Index == 0 ? 0x0080C0FF : 0x0080FF80);
    Text1[Index]->setFocus();
    Command2->show();
}

void Form3::Command2_Click()
{
    if (Text1[0]->text().isEmpty() && Text1[1]->text().isEmpty() && Text2->text().isEmpty())
        return;
    if (Text1[0]->text().isEmpty()) {
        Module1::Player1Name = Text1[1]->text();
        Module1::Player2Name = Text2->text();
    } else {
        Module1::Player1Name = Text1[0]->text();
    }
    Runtime::Show<Form1>();
}
