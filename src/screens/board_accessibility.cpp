#include "board_accessibility.h"

#include <QAccessibleObject>
#include <QApplication>
#include <QTimer>
#include <QWindow>

#include "accessible_controls.h"
#include "board_screen.h"
#include "deal.h"

namespace {

/// Stands for the cards as one grid in the accessible tree; the cards stay children of the window.
class CardGrid : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    int marked = -1; ///< the card under the keyboard frame, −1 when it is off the cards
};

/// How long a reader is given to take one focus move before the next (milliseconds).
constexpr int kRetellMs = 600;

Form2 *boardOf(const QObject *o)
{
    return o ? qobject_cast<Form2 *>(o->parent()) : nullptr;
}

int cardCount(const Form2 *board)
{
    return board ? int(qMin<qsizetype>(2 * board->TotalPairs(), board->Picture2.size())) : 0;
}

CardGrid *gridOf(const QObject *board)
{
    return board ? board->findChild<CardGrid *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QString playerInTurn(const CardGame &game)
{
    return CardGame::playerName(game.turn);
}

QString cardName(const Form2 *board, int slot);

bool isFound(const CardGame &game, int slot)
{
    for (int k = 0; k < 2 * game.TotalPairs && k < kMaxSlots; ++k)
        if (k != slot && game.faceUp[k] && game.CardPicture[k] == game.CardPicture[slot])
            return true;
    return false;
}

void rename(Form2 *board, int slot)
{
    if (slot >= 0 && slot < cardCount(board))
        Accessible::setName(board->Picture2[slot], cardName(board, slot));
}

void tell(Form2 *board, int slot, const QString &news)
{
    if (slot >= 0 && slot < cardCount(board))
        Accessible::setDescription(board->Picture2[slot], news);
}

/// A card: a button at a row and column of the grid, pressed by Space, Enter or the reader.
class CardAccessible : public QAccessibleWidget, public QAccessibleTableCellInterface
{
public:
    explicit CardAccessible(QWidget *card) : QAccessibleWidget(card, QAccessible::Button) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    // Of what the card draws only its inner face is in the tree, nameless: see retell().
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(face()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == face() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        CardGrid *grid = gridOf(boardOf(widget()));
        return grid ? QAccessible::queryAccessibleInterface(grid) : QAccessibleWidget::parent();
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        Form2 *board = boardOf(widget());
        if (action == pressAction() && board && board->isEnabled())
            board->picture2_Click(slot());
        else
            QAccessibleWidget::doAction(action);
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return slot() % columns(); }
    int rowIndex() const override { return slot() / columns(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QWidget *face() const { return static_cast<PictureBox *>(widget())->inner(); }
    int slot() const
    {
        const Form2 *board = boardOf(widget());
        return board ? int(board->Picture2.indexOf(widget())) : 0;
    }
    int columns() const
    {
        const Form2 *board = boardOf(widget());
        return board ? qMax(1, board->columns()) : 1;
    }
};

/// The grid of cards, rows and columns as the players see them.
class GridAccessible : public QAccessibleObject, public QAccessibleTableInterface
{
public:
    explicit GridAccessible(CardGrid *grid) : QAccessibleObject(grid) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return nullptr;
    }
    QWindow *window() const override
    {
        const Form2 *board = boardOf(object());
        return board ? board->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(boardOf(object()));
    }
    int childCount() const override { return cardCount(boardOf(object())); }
    QAccessibleInterface *child(int index) const override
    {
        const Form2 *board = boardOf(object());
        if (index < 0 || index >= cardCount(board))
            return nullptr;
        return QAccessible::queryAccessibleInterface(board->Picture2[index]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const Form2 *board = boardOf(object());
        if (!board || !child)
            return -1;
        const int k = int(board->Picture2.indexOf(qobject_cast<CardSlot *>(child->object())));
        return k < cardCount(board) ? k : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int k = 0; k < childCount(); ++k)
            if (QAccessibleInterface *c = child(k); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? QStringLiteral("Cartas") : QString();
    }
    QRect rect() const override
    {
        QRect r;
        for (int k = 0; k < childCount(); ++k)
            r |= child(k)->rect();
        return r;
    }
    QAccessible::Role role() const override { return QAccessible::Table; }
    QAccessible::State state() const override { return {}; }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        const int cols = columnCount();
        return column >= 0 && column < cols ? child(row * cols + column) : nullptr;
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override
    {
        const Form2 *board = boardOf(object());
        return board ? board->columns() : 0;
    }
    int rowCount() const override
    {
        const int cols = columnCount();
        return cols > 0 ? (childCount() + cols - 1) / cols : 0;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}
};

/// The board window: the cards read as one grid among the score strip and the quit button.
class BoardAccessible : public ScreenAccessible
{
public:
    explicit BoardAccessible(QWidget *board) : ScreenAccessible(board, QAccessible::Window) {}

protected:
    QList<QObject *> children() const override
    {
        QList<QObject *> all;
        collect(widget(), all);
        QObject *grid = gridOf(widget());
        QList<QObject *> out;
        for (QObject *o : all) {
            if (!qobject_cast<CardSlot *>(o))
                out.append(o);
            else if (grid && !out.contains(grid))
                out.append(grid);
        }
        return out;
    }
};

QAccessibleInterface *boardFactory(const QString &, QObject *object)
{
    if (auto *board = qobject_cast<Form2 *>(object))
        return new BoardAccessible(board);
    if (auto *grid = qobject_cast<CardGrid *>(object))
        return new GridAccessible(grid);
    auto *card = qobject_cast<CardSlot *>(object);
    if (card && boardOf(card))
        return new CardAccessible(card);
    return nullptr;
}

QString cardName(const Form2 *board, int slot)
{
    const QString place = QStringLiteral("Carta %1, ").arg(slot + 1);
    const CardGame &game = board->game();
    if (slot < 0 || slot >= kMaxSlots || !game.faceUp[slot])
        return place + QStringLiteral("boca abajo");
    const int picture = board->pictureOf(slot);
    const QString shown = picture >= 0 ? board->pictureName(picture) : QString();
    QString name = place + (shown.isEmpty() ? QStringLiteral("boca arriba") : shown);
    if (isFound(game, slot))
        name += QStringLiteral(", pareja encontrada");
    return name;
}

QString boardName(const Form2 *board)
{
    if (board->game().GameOver)
        return QStringLiteral("Tablero, fin de la partida");
    return QStringLiteral("Tablero, le toca a ") + playerInTurn(board->game());
}

/// Has a reader speak a card anew, with its name and description, a moment later.
void retell(Form2 *board, int slot)
{
    // A reader speaks an object when the focus comes to it. This Qt's change events carry the
    // object instead of its new name, which a reader cannot speak, so the reader is told that
    // the focus stepped into the card's face and back. The step back waits until the reader
    // has taken the first, or it passes the first over; it is told also while the board takes
    // no input after a mismatch, when the card cannot hold the focus itself.
    if (slot < 0 || slot >= cardCount(board))
        return;
    CardSlot *card = board->Picture2[slot];
    QAccessibleEvent away(card->inner(), QAccessible::Focus);
    QAccessible::updateAccessibility(&away);
    QTimer::singleShot(kRetellMs, card, [card] {
        if (!card->hasFocus() && card->isEnabled())
            return; // the keyboard moved on meanwhile
        QAccessibleEvent back(card, QAccessible::Focus);
        QAccessible::updateAccessibility(&back);
    });
}

/// After a click turned a card: renames what it changed and tells the card what happened.
void cardTurned(Form2 *board, int slot, CardGame::ClickOutcome outcome)
{
    using Outcome = CardGame::ClickOutcome;
    const CardGame &game = board->game();
    const QString player = playerInTurn(game);
    rename(board, slot);
    QString news;
    switch (outcome) {
    case Outcome::Ignored:
    case Outcome::FirstCard:
        break;
    case Outcome::Match:
        rename(board, game.FirstCard);
        news = game.isTwoPlayer() ? QStringLiteral("Pareja para %1, que vuelve a jugar").arg(player)
                                  : QStringLiteral("Pareja para %1").arg(player);
        break;
    case Outcome::LastPair:
        rename(board, game.FirstCard);
        news = QStringLiteral("Pareja para %1. Fin de la partida").arg(player);
        break;
    case Outcome::Mismatch:
        news = game.isTwoPlayer() ? QStringLiteral("No es pareja. Le toca a %1").arg(player)
                                  : QStringLiteral("No es pareja");
        break;
    }
    tell(board, slot, news);
    Accessible::setName(board, boardName(board));
    if (slot == gridOf(board)->marked)
        retell(board, slot);
}

/// After the two cards of a mismatch turned back.
void turnedBack(Form2 *board)
{
    const CardGame &game = board->game();
    rename(board, game.FirstCard);
    rename(board, game.SecondCard);
    QString news = QStringLiteral("Las dos cartas vuelven a estar boca abajo");
    if (game.isTwoPlayer())
        news += QStringLiteral(". Le toca a ") + playerInTurn(game);
    tell(board, game.SecondCard, news);
    const int marked = gridOf(board)->marked;
    if (marked >= 0 && marked < cardCount(board) && board->Picture2[marked]->hasFocus())
        retell(board, marked);
}

} // namespace

void BoardAccessibility::install()
{
    QAccessible::installFactory(boardFactory);
}

void BoardAccessibility::attach(Form2 *board)
{
    if (gridOf(board))
        return;
    auto *grid = new CardGrid(board);
    for (int k = 0; k < cardCount(board); ++k)
        rename(board, k);
    Accessible::setName(board, boardName(board));
    Accessible::setDescription(
        board,
        QStringLiteral("Flechas: ir de carta en carta. Espacio o Intro: dar la vuelta a la carta. "
                       "Tabulador: botón Salir."));
    QObject::connect(
        board, &Form2::cardTurned, grid,
        [board](int slot, CardGame::ClickOutcome outcome) { cardTurned(board, slot, outcome); });
    QObject::connect(board, &Form2::turnedBack, grid, [board] { turnedBack(board); });
    QObject::connect(board, &Form2::markMoved, grid, [board, grid](int slot) {
        tell(board, grid->marked, QString()); // what the card left was told is old news
        grid->marked = slot;
    });
}

#include "board_accessibility.moc"
