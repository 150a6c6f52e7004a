#include "options_screen.h"

#include <QFileInfo>

#include "board_screen.h"
#include "files.h"
#include "language_file.h"
#include "module1.h"
#include "platform.h"
#include "results_screen.h"
#include "title_screen.h"
#include "twips.h"

namespace {

Label *legend(QWidget *parent, quint32 colour, QRect twips)
{
    auto *l = new Label(parent);
    l->setForeColour(colour);
    l->setFont(designFont(12, true));
    Twips::setGeometry(l, twips);
    return l;
}

TextBox *swatch(QWidget *parent, quint32 colour, QRect twips)
{
    auto *t = new TextBox(parent);
    t->setText(QStringLiteral("1"));
    t->setCentred(true);
    t->setBackColour(colour);
    t->setFont(designFont(18, true));
    t->setEnabled(false);
    Twips::setGeometry(t, twips);
    return t;
}

} // namespace

Form1::Form1()
{
    setWindowTitle(QStringLiteral("Trabel"));
    setClientTwips(8700, 8040);
    QPalette p = palette();
    p.setColor(QPalette::Window, bgrColour(0x00C0E0FF));
    setPalette(p);
    setAutoFillBackground(true);

    Label2[2] = legend(this, 0x00C00000, {120, 240, 3855, 735});

    Combo1 = new ComboBox(this);
    Combo1->setBackColour(0x0080FF80);
    Combo1->setFont(designFont(18, false));
    Twips::setGeometry(Combo1, 4080, 360, 4335, 525);

    static const char *const kCaptions[] = {"6", "10", "12", "15", "21"};
    static const QRect kPlaces[] = {{240, 1080, 2655, 2295},
                                    {3000, 1080, 2655, 2295},
                                    {5760, 1080, 2655, 2295},
                                    {240, 3480, 2655, 2295},
                                    {3000, 3480, 2655, 2295}};
    for (int i = 0; i < 5; ++i) {
        Command1[i] = new CommandButton(this);
        Command1[i]->setCaption(QString::fromLatin1(kCaptions[i]));
        Command1[i]->setBackColour(i == 2 ? kGreen : kYellow);
        Command1[i]->setFont(designFont(72, true));
        Twips::setGeometry(Command1[i], kPlaces[i]);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }

    Command2 = new CommandButton(this);
    Command2->setCaption(QStringLiteral("JUGAR"));
    Command2->setBackColour(0x000000FF);
    Command2->setFont(designFont(27.75, true));
    Twips::setGeometry(Command2, 5760, 3480, 2655, 2295);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    Text1[0] = swatch(this, 0x008080FF, {2520, 6240, 615, 555});
    Label2[1] = legend(this, 0x008080FF, {3240, 6240, 2415, 735});
    Text1[1] = swatch(this, 0x0000FF00, {2520, 6960, 615, 615});
    Label2[0] = legend(this, 0x0000C000, {3240, 7080, 2295, 495});

    setTabOrder(Command1[0], Command1[1]);
    setTabOrder(Command1[1], Command1[2]);
    setTabOrder(Command1[2], Command1[3]);
    setTabOrder(Command1[3], Command2);
    setTabOrder(Command2, Combo1);
    setTabOrder(Combo1, Command1[4]);
}

void Form1::Form_Load()
{
    centreOnScreen();
    Module1::PairOption = 2;
    Runtime::Unload<Form4>();

    Dir1.Path = Platform::appPath(QStringLiteral("\\graficos"));
    Dir1.entries = Files::subFolders(Dir1.Path);
    QStringList names;
    for (int i = 0; i < Dir1.ListCount(); ++i)
        names.append(QFileInfo(Dir1.List(i)).fileName());
    // Then the players' own sets, which an installed copy keeps in their data folder.
    for (const QString &folder : Files::subFolders(Platform::userPictureFolder())) {
        const QString name = QFileInfo(folder).fileName();
        if (!names.contains(name))
            names.append(name);
    }
    Combo1->addItems(names);
    Combo1->setText(Combo1->count() > 0 ? Combo1->itemText(0) : QString());

    const LanguageFile file(Platform::appPath(QStringLiteral("\\idioma\\idioma.txt")), 12);
    Label2[2]->setCaption(file.buffered(9, 9));
    Label2[1]->setCaption(file.buffered(9, 10));
    Label2[0]->setCaption(file.buffered(9, 11));
    Command2->setCaption(file.buffered(9, 12));
}

void Form1::Form_Unload()
{
    Runtime::End();
}

void Form1::Command1_Click(int Index)
{
    if (Index < 0 || Index > 4)
        return;
    Module1::PairOption = static_cast<quint8>(Index);
    for (CommandButton *b : Command1)
        b->setBackColour(kYellow);
    Command1[Index]->setBackColour(kGreen);
}

void Form1::Command2_Click()
{
    Runtime::Unload<Form5>();
    Runtime::Show<Form2>();
}
