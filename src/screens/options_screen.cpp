#include "options_screen.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>

#include "accessible_controls.h"
#include "board_accessibility.h"
#include "board_grid.h"
#include "board_screen.h"
#include "colours_fonts.h"
#include "design.h"
#include "files.h"
#include "language_file.h"
#include "module1.h"
#include "picture_sets.h"
#include "results_screen.h"
#include "title_screen.h"
#include "twips.h"

Form1::Form1()
{
    setWindowTitle(QStringLiteral("Trabel"));
    setClientTwips(8700, 8040);
    setWindowColour(this, 0x00C0E0FF);

    Label2[2] = designLabel(this, QString(), 0x00C00000, {120, 240, 3855, 735}, 12);

    Combo1 = new ComboBox(this);
    Combo1->setBackColour(0x0080FF80);
    Combo1->setFont(designFont(18, false));
    Twips::setGeometry(Combo1, 4080, 360, 4335, 525);

    static const QRect kPlaces[] = {{240, 1080, 2655, 2295},
                                    {3000, 1080, 2655, 2295},
                                    {5760, 1080, 2655, 2295},
                                    {240, 3480, 2655, 2295},
                                    {3000, 3480, 2655, 2295}};
    for (int i = 0; i < 5; ++i) {
        // Each button reads the pair count it chooses.
        Command1[i] = designButton(this, QString::number(pairsForOption(i)),
                                   i == 2 ? kGreen : kYellow, kPlaces[i], 72);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        Command1[i]->setAccessibleName(Command1[i]->caption() + QStringLiteral(" parejas"));
        Accessible::setChoice(Command1[i], i == 2);
    }
    Combo1->setAccessibleName(QStringLiteral("Carpeta de imágenes"));
    // A reader that names a list by its value finds what it is for through its visible label.
    Label2[2]->setBuddy(Combo1);
    // A folder dropped anywhere on the screen, the list included, is taken as a folder.
    setAcceptDrops(true);
    Combo1->lineEdit()->setAcceptDrops(false);

    Command2 =
        designButton(this, QStringLiteral("JUGAR"), 0x000000FF, {5760, 3480, 2655, 2295}, 27.75);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    Text1[0] = displayBox(this, QStringLiteral("1"), 0x008080FF, {2520, 6240, 615, 555}, 18);
    Label2[1] = designLabel(this, QString(), 0x008080FF, {3240, 6240, 2415, 735}, 12);
    Text1[1] = displayBox(this, QStringLiteral("1"), 0x0000FF00, {2520, 6960, 615, 615}, 18);
    Label2[0] = designLabel(this, QString(), 0x0000C000, {3240, 7080, 2295, 495}, 12);

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

    Dir1.Path = PictureSets::shippedFolder();
    Dir1.entries = Files::subFolders(Dir1.Path);
    Combo1->addItems(PictureSets::names(Dir1.entries));
    Combo1->setText(Combo1->count() > 0 ? Combo1->itemText(0) : QString());

    const LanguageFile file = languageFile(12);
    // With a buddy, a lone '&' would be taken for a keyboard shortcut's mark and not be shown.
    Label2[2]->setCaption(file.buffered(9, 9).replace(u'&', QStringLiteral("&&")));
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
    for (int i = 0; i < 5; ++i)
        Accessible::setChoice(Command1[i], i == Index);
}

void Form1::Command2_Click()
{
    Runtime::Unload<Form5>();
    if (Form2 *board = Runtime::Load<Form2>()) {
        BoardAccessibility::attach(board);
        board->present();
        // The options wait out of sight for the next game: a tiling desktop would float them
        // over the cards, and a taskbar would show the game twice.
        hide();
    }
}

namespace {

/// The folder a drop brings: the first local item, or the folder of a file.
QString droppedFolder(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return {};
    const QFileInfo item(urls.first().toLocalFile());
    if (!item.exists())
        return {};
    return item.isDir() ? item.absoluteFilePath() : item.absolutePath();
}

} // namespace

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFolder(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event)
{
    const QString folder = droppedFolder(event->mimeData());
    if (folder.isEmpty())
        return;
    Combo1->setText(folder);
    event->acceptProposedAction();
}
