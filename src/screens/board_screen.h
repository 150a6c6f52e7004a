#pragma once

#include <QHash>
#include <QSet>
#include <QTimer>
#include <array>

#include "card_game.h"
#include "card_slot.h"
#include "controls.h"
#include "face_loader.h"
#include "form.h"

/// An invisible file list: the names of one folder's pictures, fixed once the folder is set.
struct FileList
{
    QString Path;
    QStringList names;
    /// Points the list at a folder and takes its listing; a folder that can't be read lists
    /// nothing.
    void setPath(const QString &path);
    int ListCount() const { return int(names.size()); }
    QString List(int i) const { return names.value(i); }
};

// The board: one game of cards.
class Form2 : public Form
{
    Q_OBJECT
public:
    Form2();

    QList<CardSlot *> Picture2;       ///< card slots
    QList<CardFace *> Image1;         ///< face pictures, Image1[k] inside Picture2[k]
    std::array<TextBox *, 2> Text2{}; ///< series points of player 1 and 2 (orange)
    std::array<TextBox *, 2> Text1{}; ///< pairs found by player 1 and 2 in this game (green)
    std::array<Label *, 2> Label1{};  ///< turn labels
    Label *Label2;                    ///< name of the picture turned last
    CommandButton *Command1;          ///< quit
    QTimer *Timer1;                   ///< flip-back timer
    FileList File1;                   ///< the chosen picture set

    /// The game's state: counters, cards, whose turn it is.
    const CardGame &game() const { return m_game; }
    int TotalPairs() const { return m_game.TotalPairs; }
    /// Cards in a row of the board.
    int columns() const { return m_columns; }

    void picture2_Click(int Index);
    void Timer1_Timer();
    void Command1_Click();

    void present() override;

    /// The listing index of the picture dealt to `slot` (its CardPicture), or −1.
    int pictureOf(int slot) const;
    /// The name a card shows for the picture at listing index `picture`.
    QString pictureName(int picture) const;

signals:
    /// A click turned card `slot` up; the board's controls show what it meant.
    void cardTurned(int slot, CardGame::ClickOutcome outcome);
    /// The two cards of a mismatch are face down again and the board takes clicks.
    void turnedBack();
    /// The keyboard frame moved to `slot` (arrows move it; Space or Enter turns the card under
    /// it); −1 when it left the cards.
    void markMoved(int slot);

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QString chosenSet() const;
    void resetCounters();
    void LayoutBoard();
    void placeCards();
    void fitFaceToSlot(int slot);
    void placePlayer1Strip();
    void placePlayer2Strip();
    void placePlayer2Boxes();
    void placeCorner();
    void showSeriesPoints();
    void SetPairCount();
    void DealCards();
    void showTurnLabels();
    void playCue(const QString &cue, quint32 flags);
    qreal pixelRatio() const;
    void showFace(int picture, const QImage &image, bool sharp);
    void ensureFace(int slot);
    QPixmap backPicture() const;
    void markSlot(int slot);

    CardGame m_game;
    FaceLoader *m_faces;
    QSet<int> m_facesShown; ///< pictures whose faces have been handed to their cards
    QSet<int> m_facesSharp; ///< of those, the ones shown from the picture, not its preview
    int m_marked = -1;
    int m_columns = 1;
    QSize m_area;                ///< the inner area, in twips, the board is laid out for
    QHash<int, QSize> m_natural; ///< natural size of each picture dealt, in pixels
};
