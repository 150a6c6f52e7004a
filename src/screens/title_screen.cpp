#include "title_screen.h"

#include "colours_fonts.h"
#include "design.h"
#include "language_file.h"
#include "module1.h"
#include "players_screen.h"
#include "twips.h"

namespace {
const QString kContact = QStringLiteral("equipo@trabel.example.org");

Label *titleLabel(QWidget *parent, const QString &caption, quint32 colour, const QRect &twips,
                  double points)
{
    Label *l = designLabel(parent, caption, colour, twips, points);
    l->setCentred(true);
    return l;
}
} // namespace

Form5::Form5()
{
    setWindowTitle(QStringLiteral("Trabel 1.0 - ") + kContact);
    setClientTwips(7530, 6945);
    setWindowColour(this, 0x008080FF);
    setFont(designFont(9.75, true));

    Shape1 = new Shape(this);
    Shape1->setBorder(0x000000FF, 4);
    Twips::setGeometry(Shape1, 240, 120, 7095, 6735);

    Label1[0] = titleLabel(this, QStringLiteral("Trabel"), 0x00FF0000, {960, 840, 5775, 1935}, 72);
    Label1[2] =
        titleLabel(this, QStringLiteral("Un programa de "), 0x000000C0, {600, 2760, 6495, 615}, 18);
    Label1[1] = titleLabel(this, QStringLiteral("el equipo de Trabel"), 0x000000C0,
                           {600, 3240, 6495, 615}, 18);
    Label2 = titleLabel(this, kContact, 0x0000FF00, {1320, 3840, 5055, 495}, 14.25);
    Label1[4] =
        titleLabel(this, QStringLiteral("Septiembre 2008"), 0x000000C0, {480, 4920, 6495, 615}, 18);

    Command1 =
        designButton(this, QStringLiteral("CONTINUAR"), 0x00FFFF00, {1080, 5640, 5535, 975}, 24);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
}

void Form5::Form_Load()
{
    centreOnScreen();
    Module1::Player1Points = 0;
    Module1::Player2Points = 0;
    const LanguageFile file = languageFile(1);
    Command1->setCaption(file.line(1));
}

void Form5::Command1_Click()
{
    Runtime::Show<Form3>();
}
