#include "board_screen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "board_grid.h"
#include "data_paths.h"
#include "deal.h"
#include "design.h"
#include "face_fit.h"
#include "files.h"
#include "language_file.h"
#include "module1.h"
#include "options_screen.h"
#include "picture_sets.h"
#include "pictures.h"
#include "platform.h"
#include "players_screen.h"
#include "random_source.h"
#include "results_screen.h"
#include "sound.h"
#include "twips.h"

namespace {

/// The quit button's picture: a dark blue diagonal cross on a red square, 28 × 29 pixels.
QPixmap quitPicture(qreal devicePixelRatio)
{
    const qreal dpr = qMax<qreal>(1.0, devicePixelRatio);
    QPixmap pm(QSize(28, 29) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, 28, 29), QColor(0xE0, 0x20, 0x20));
    p.setPen(QPen(QColor(0x10, 0x18, 0x70), 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 6), QPointF(22, 23));
    p.drawLine(QPointF(22, 6), QPointF(6, 23));
    return pm;
}

} // namespace

void FileList::setPath(const QString &path)
{
    Path = path;
    names.clear();
    for (const QString &name : Files::fileNames(path))
        if (Deck::isListedPicture(name))
            names.append(name);
}

Form2::Form2()
{
    setWindowTitle(QStringLiteral(" ")); // no title: an empty one would show the program's name
    setWindowColour(this, 0x00FFFFFF);

    auto *slot0 = new CardSlot(this);
    Twips::setGeometry(slot0, 360, 360, 1215, 1095);
    auto *face0 = new CardFace(slot0->inner());
    Twips::setGeometry(face0, 120, 120, 855, 735);
    Picture2.append(slot0);
    Image1.append(face0);
    connect(slot0, &PictureBox::clicked, this, [this] { picture2_Click(0); });
    connect(slot0, &CardSlot::focused, this, [this] { markSlot(0); });

    Text2[0] = displayBox(this, QStringLiteral("0"), 0x000080FF, {360, 0, 495, 375}, 12);
    Text1[0] = displayBox(this, QStringLiteral("0"), 0x0000FF00, {840, 0, 495, 375}, 12);
    Label1[0] = designLabel(this, QString(), std::nullopt, {1440, 0, 2895, 495}, 12);
    Label1[0]->setBackColour(0x00C0C0C0);
    Text2[1] = displayBox(this, QStringLiteral("0"), 0x000080FF, {4800, 0, 495, 375}, 12);
    Text2[1]->hide();
    Text1[1] = displayBox(this, QStringLiteral("0"), 0x0000FF00, {5280, 0, 495, 375}, 12);
    Label1[1] = designLabel(this, QString(), std::nullopt, {5760, -120, 4455, 615}, 12);
    Label2 = designLabel(this, QString(), std::nullopt, {1440, 3720, 3375, 255}, 12, false);
    Label2->setCentred(true);

    Command1 = new CommandButton(this);
    Command1->setBackColour(0x00FFFFFF);
    QIcon quit;
    quit.addPixmap(quitPicture(pixelRatio()), QIcon::Normal);
    quit.addPixmap(quitPicture(pixelRatio()), QIcon::Disabled); // unchanged while a mismatch shows
    Command1->setIcon(quit);
    Command1->setIconSize(QSize(28, 29));
    Command1->setFocusPolicy(Qt::TabFocus);
    Command1->setAccessibleName(QStringLiteral("Salir"));
    setFocusPolicy(Qt::StrongFocus);
    Twips::setGeometry(Command1, 7920, 0, 375, 375);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    m_faces = new FaceLoader(this);
    connect(m_faces, &FaceLoader::previewDecoded, this,
            [this](int picture, const QImage &image) { showFace(picture, image, false); });
    connect(m_faces, &FaceLoader::decoded, this,
            [this](int picture, const QImage &image) { showFace(picture, image, true); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(2000);
    Timer1->setTimerType(Qt::PreciseTimer); // a coarse timer may turn the cards back 5 % early
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
}

qreal Form2::pixelRatio() const
{
    if (const QScreen *s = QGuiApplication::primaryScreen())
        return s->devicePixelRatio();
    return 1.0;
}

void Form2::present()
{
    if (const QScreen *s = QGuiApplication::primaryScreen())
        setGeometry(s->geometry()); // what the board covers where no window manager maximises it
    showMaximized();
    setFocus();
    bringForward();
}

void Form2::Form_Load()
{
    Platform::random().seedFromTimeOfDay();
    File1.setPath(PictureSets::folder(chosenSet()));
    resetCounters();
    // Laid out on what the maximised board will show, panels and title bar left out; the desktop
    // may still give it another area (resizeEvent).
    m_area = maximisedClientTwips();
    LayoutBoard();
    placePlayer1Strip();
    if (!Module1::Player2Name.isEmpty()) {
        placePlayer2Strip();
    } else {
        Module1::MismatchCount = 0;
        Text1[1]->hide();
    }
    placeCorner();
    Runtime::Unload<Form3>();
    showSeriesPoints();
    SetPairCount();
    if (Runtime::ended())
        return;
    // Player 1 moves first.
    m_game.TurnPrefix = languageFile(13).line(13);
    m_game.turnLabel[0] = m_game.turnCaption(Module1::Player1Name);
    Label1[0]->setCaption(m_game.turnLabel[0]);
}

QString Form2::chosenSet() const
{
    const Form1 *options = Runtime::loaded<Form1>();
    return options ? options->Combo1->text() : QString();
}

void Form2::resetCounters()
{
    m_game.GameOver = false;
    m_game.Player1Pairs = 0;
    m_game.Player2Pairs = 0;
    m_game.PairsFound = 0;
    m_game.CardsTurned = 0;
}

void Form2::placePlayer1Strip()
{
    Label1[0]->show();
    Twips::setTop(Label1[0], 10);
    Twips::setLeft(Label1[0], Twips::left(Text1[0]) + Twips::width(Text1[0]) + 100);
    Label1[0]->setForeColour(kTurnRed);
    m_game.turnColour[0] = kTurnRed;
    Twips::setHeight(Text1[0], 360);
    Twips::setHeight(Text2[0], 360);
}

void Form2::placePlayer2Strip()
{
    // Player 2's boxes hang to the left of the label, which starts a third of the screen across.
    Label1[1]->show();
    Twips::setTop(Label1[1], 10);
    m_game.turnLabel[1] = Module1::Player2Name;
    Label1[1]->setCaption(Module1::Player2Name);
    Twips::setHeight(Text1[1], 360);
    Twips::setHeight(Text2[1], 360);
    placePlayer2Boxes();
    Text2[1]->show();
    Text1[1]->show();
}

void Form2::placePlayer2Boxes()
{
    Twips::setLeft(Label1[1], m_area.width() / 3 + 1100);
    Twips::setLeft(Text1[1], Twips::left(Label1[1]) - 700);
    Twips::setLeft(Text2[1], Twips::left(Text1[1]) - Twips::width(Text2[1]));
}

void Form2::placeCorner()
{
    // The last card's name and the quit button sit in the top right corner.
    Twips::setTop(Label2, 10);
    Twips::setLeft(Label2, m_area.width() - Twips::width(Label2) - Twips::width(Command1));
    Twips::setTop(Command1, 1);
    Twips::setLeft(Command1, m_area.width() - Twips::width(Command1) - 10);
}

void Form2::showSeriesPoints()
{
    Text2[0]->setAccessibleName(QStringLiteral("Puntos de la serie de ") + Module1::Player1Name);
    Text1[0]->setAccessibleName(QStringLiteral("Parejas de ") + Module1::Player1Name);
    Text2[1]->setAccessibleName(QStringLiteral("Puntos de la serie de ") + Module1::Player2Name);
    Text1[1]->setAccessibleName(QStringLiteral("Parejas de ") + Module1::Player2Name);
    Text2[0]->setText(QString::number(Module1::Player1Points));
    Text2[1]->setText(QString::number(Module1::Player2Points));
}

void Form2::LayoutBoard()
{
    const int slotCount = 2 * gridRow(Module1::PairOption).pairs;
    for (int i = 1; i < slotCount; ++i) {
        CardSlot *slot = Picture2[0]->cloneHidden(this);
        CardFace *face = Image1[0]->cloneHidden(slot->inner());
        Picture2.append(slot);
        Image1.append(face);
        connect(slot, &PictureBox::clicked, this, [this, i] { picture2_Click(i); });
        connect(slot, &CardSlot::focused, this, [this, i] { markSlot(i); });
    }
    placeCards();
    const QPixmap back = backPicture();
    for (int k = 0; k < slotCount; ++k) {
        Image1[k]->hide();
        Picture2[k]->show();
        Picture2[k]->setPicture(back);
    }
    // Captions lie on the window itself, beneath the cards.
    Label1[0]->lower();
    Label1[1]->lower();
    Label2->lower();
}

void Form2::placeCards()
{
    const GridLayout grid = layoutGrid(Module1::PairOption, m_area.width(), m_area.height(),
                                       Twips::left(Picture2[0]), Twips::top(Picture2[0]));
    m_columns = grid.columns;
    for (int k = 0; k < grid.places.size() && k < Picture2.size(); ++k) {
        Twips::setGeometry(Picture2[k], grid.places[k]);
        fitFaceToSlot(k);
    }
}

void Form2::fitFaceToSlot(int slot)
{
    // Before the deal a face covers its slot; a dealt face fills the slot's width in its
    // picture's shape.
    const int width = Twips::width(Picture2[slot]), height = Twips::height(Picture2[slot]);
    const QSize n = m_natural.value(pictureOf(slot));
    if (!n.isValid()) {
        Twips::setGeometry(Image1[slot], 1, 1, width, height);
        return;
    }
    const FaceFit fit = fitFace(width, height, qint64(n.width()) * Twips::kPerPixel,
                                qint64(n.height()) * Twips::kPerPixel);
    Twips::setGeometry(Image1[slot], Twips::left(Image1[slot]), fit.top, fit.width, fit.height);
}

void Form2::resizeEvent(QResizeEvent *event)
{
    Form::resizeEvent(event);
    // The desktop decides the area a shown board has: a compositor that maximises it later or
    // draws its frame, a tile, a move to another screen. Nothing of the game changes with it.
    QSize area = Twips::clientArea(this);
    // Maximised, it keeps the area asked for before showing while that lies within the window: a
    // window manager that drops a maximised window's borders gives it a few pixels more.
    const QSize asked = maximisedClientTwips();
    if (isMaximized() && asked.width() <= area.width() && asked.height() <= area.height())
        area = asked;
    if (!isVisible() || m_area.isEmpty() || area.isEmpty() || area == m_area)
        return;
    m_area = area;
    placeCards();
    if (!Module1::Player2Name.isEmpty())
        placePlayer2Boxes();
    placeCorner();
}

QPixmap Form2::backPicture() const
{
    // One decode of the back serves every slot. It is drawn at its own size; a dense screen
    // takes the double-density drawing beside it when there is one.
    const QString path = DataPaths::cardBack();
    if (!Pictures::isPlainFile(path))
        return {};
    const qreal dpr = pixelRatio();
    const QString sharpPath = DataPaths::cardBackSharp();
    if (dpr > 1.0 && Pictures::isPlainFile(sharpPath)) {
        QPixmap sharp(sharpPath);
        QPixmap plain(path);
        if (!sharp.isNull() && !plain.isNull() && sharp.size() == plain.size() * 2) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
        return plain;
    }
    return QPixmap(path);
}

int Form2::pictureOf(int slot) const
{
    bool ok = false;
    const int picture = m_game.CardPicture.value(slot).toInt(&ok);
    return ok ? picture : -1;
}

QString Form2::pictureName(int picture) const
{
    return Deck::displayName(File1.List(picture));
}

void Form2::markSlot(int slot)
{
    if (slot < 0 || slot >= Picture2.size() || (slot == m_marked && Picture2[slot]->isMarked()))
        return; // the focus came back to the marked card: nothing moved
    if (m_marked >= 0 && m_marked < Picture2.size())
        Picture2[m_marked]->setMarked(false);
    m_marked = slot;
    Picture2[slot]->setMarked(true);
    // The keyboard frame is the keyboard focus, so that a screen reader follows it.
    Picture2[slot]->setFocus(Qt::OtherFocusReason);
    emit markMoved(slot);
}

bool Form2::focusNextPrevChild(bool)
{
    // Disabling the board after a mismatch moves the focus on too: that is no Tab, and a player
    // using the mouse must not find the keyboard frame on a card.
    if (!isEnabled())
        return false;
    // Tab goes between the cards (one stop, at the keyboard frame) and the quit button.
    if (m_marked >= 0 && m_marked < Picture2.size() && focusWidget() == Picture2[m_marked]) {
        Picture2[m_marked]->setMarked(false);
        Command1->setFocus(Qt::TabFocusReason);
        emit markMoved(-1);
    } else {
        markSlot(m_marked < 0 ? 0 : m_marked);
    }
    return true;
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    const int count = 2 * m_game.TotalPairs;
    if (count <= 0 || count > Picture2.size()) {
        Form::keyPressEvent(event);
        return;
    }
    int next = m_marked < 0 ? 0 : m_marked;
    switch (event->key()) {
    case Qt::Key_Left:
        next = m_marked < 0 ? 0 : (next + count - 1) % count;
        break;
    case Qt::Key_Right:
        next = m_marked < 0 ? 0 : (next + 1) % count;
        break;
    case Qt::Key_Up:
        next = m_marked < 0 ? 0 : (next - m_columns + count) % count;
        break;
    case Qt::Key_Down:
        next = m_marked < 0 ? 0 : (next + m_columns) % count;
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_marked < 0)
            markSlot(0);
        else
            picture2_Click(m_marked);
        event->accept();
        return;
    default:
        Form::keyPressEvent(event);
        return;
    }
    markSlot(next);
    event->accept();
}

void Form2::SetPairCount()
{
    m_game.TotalPairs = Deck::SetPairCount(Module1::PairOption);
    DealCards();
}

void Form2::DealCards()
{
    QHash<int, QSize> natural;
    const auto pathOf = [this](int index) { return File1.Path + u'/' + File1.List(index); };
    const Deal deal =
        Deck::DealCards(m_game.TotalPairs, File1.ListCount(), Platform::random(), [&](int index) {
            const QSize size = Pictures::naturalSize(pathOf(index));
            natural.insert(index, size);
            return size.isValid();
        });
    if (deal.tooFew) {
        Runtime::messageBox(QStringLiteral("NO ENCUENTRO LOS DIBUJOS"));
        Runtime::End();
        return;
    }

    // The board opens at once: the faces are decoded in the background, each picture once, at
    // the size it is shown, or taken from the desktop's thumbnail cache; a card turned before its
    // face is ready shows the picture's preview until the picture comes, or has the picture
    // decoded on the spot when it has none.
    const qreal dpr = pixelRatio();
    for (int k = 0; k < deal.SlotOrder.size(); ++k) {
        const int p = deal.SlotOrder[k];
        const int picture = deal.PictureOf[k / 2];
        m_game.CardPicture[p] = deal.CardPicture[p];
        m_natural.insert(picture, natural.value(picture));
        fitFaceToSlot(p);
        Image1[p]->setFallbackCaption(pictureName(picture));
        if (k % 2 == 0) {
            // Both cards of a pair have the same size: one decode serves both.
            const QSize pixels = Twips::toPixels(Twips::geometry(Image1[p])).size() * dpr;
            m_faces->request(picture, pathOf(picture), m_natural.value(picture), pixels);
        }
    }
    // The decodes would take the cores from the board's first paint: they wait for it.
    m_faces->startAfterFirstPaint(this);
}

void Form2::showFace(int picture, const QImage &image, bool sharp)
{
    // The picture takes its preview's place on the same cards, shown or not, and nothing else
    // about them changes.
    if (m_facesSharp.contains(picture) || (!sharp && m_facesShown.contains(picture)))
        return;
    m_facesShown.insert(picture);
    if (sharp)
        m_facesSharp.insert(picture);
    QPixmap pm = QPixmap::fromImage(image);
    pm.setDevicePixelRatio(pixelRatio());
    for (int k = 0; k < 2 * m_game.TotalPairs && k < Image1.size(); ++k)
        if (pictureOf(k) == picture)
            Image1[k]->setPicture(pm);
}

void Form2::ensureFace(int slot)
{
    const int picture = pictureOf(slot);
    // Asked for even when its preview shows: the loader then decodes this picture next.
    if (picture >= 0 && !m_facesSharp.contains(picture)) {
        bool sharp = true;
        const QImage image = m_faces->image(picture, &sharp);
        showFace(picture, image, sharp);
    }
}

void Form2::playCue(const QString &cue, quint32 flags)
{
    sndPlaySoundA(DataPaths::cue(cue), flags);
}

void Form2::showTurnLabels()
{
    for (int i = 0; i < 2; ++i) {
        Label1[i]->setCaption(m_game.turnLabel[i]);
        if (m_game.turnColour[i])
            Label1[i]->setForeColour(*m_game.turnColour[i]);
    }
}

void Form2::picture2_Click(int Index)
{
    const CardGame::Click click = m_game.click(Index, Platform::random());
    if (click.outcome == CardGame::ClickOutcome::Ignored)
        return;

    ensureFace(Index);
    Image1[Index]->show();
    const int picture = pictureOf(Index);
    Label2->setCaption(picture >= 0 ? pictureName(picture) : QString());
    playCue(QStringLiteral("abrir"), SND_ASYNC);

    switch (click.outcome) {
    case CardGame::ClickOutcome::FirstCard:
    case CardGame::ClickOutcome::Ignored:
        break;
    case CardGame::ClickOutcome::Match:
    case CardGame::ClickOutcome::LastPair:
        Text1[0]->setText(m_game.pairText[0]);
        Text1[1]->setText(m_game.pairText[1]);
        if (click.outcome == CardGame::ClickOutcome::LastPair)
            Timer1->start();
        playCue(QString::number(click.matchCue), SND_ASYNC);
        break;
    case CardGame::ClickOutcome::Mismatch:
        showTurnLabels();
        Timer1->start();
        setEnabled(false);
        break;
    }
    emit cardTurned(Index, click.outcome);
}

void Form2::Timer1_Timer()
{
    switch (m_game.tick()) {
    case CardGame::Tick::Nothing:
        Timer1->stop();
        return;
    case CardGame::Tick::TurnedBack:
        Image1[m_game.SecondCard]->hide();
        Image1[m_game.FirstCard]->hide();
        Timer1->stop();
        setEnabled(true);
        // Disabling the board took the focus from the card: the keyboard frame gets it back.
        if (m_marked >= 0 && m_marked < Picture2.size() && Picture2[m_marked]->isMarked())
            Picture2[m_marked]->setFocus(Qt::OtherFocusReason);
        playCue(QStringLiteral("cerrar"), SND_ASYNC);
        emit turnedBack();
        return;
    case CardGame::Tick::GameFinished: {
        // One tick opens the results once: the timer must not fire again while they are shown.
        Timer1->stop();
        QPointer<Form2> self(this);
        Runtime::ShowModal<Form4>();
        if (self && !Runtime::ended())
            Runtime::unloadForm(self);
        return;
    }
    }
}

void Form2::Command1_Click()
{
    Runtime::End();
}

void Form2::Form_Unload()
{
    Runtime::Unload<Form4>();
    // However the board goes, the options come back for the next game.
    if (Form1 *options = Runtime::loaded<Form1>())
        options->present();
}
