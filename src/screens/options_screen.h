#pragma once

#include <array>

#include "controls.h"
#include "form.h"

/// An invisible directory list: the sub-folders of one folder.
struct DirList
{
    QString Path;
    QStringList entries; ///< full paths, by name
    int ListCount() const { return int(entries.size()); }
    QString List(int i) const { return entries.value(i); }
};

// The game options screen: picture set and number of pairs; "JUGAR" starts a game.
class Form1 : public Form
{
    Q_OBJECT
public:
    Form1();

    std::array<Label *, 3> Label2{};           ///< 0 pairs legend, 1 points legend, 2 instruction
    ComboBox *Combo1;                          ///< the picture set
    DirList Dir1;                              ///< the picture sets on disk
    std::array<CommandButton *, 5> Command1{}; ///< "6", "10", "12", "15", "21"
    CommandButton *Command2;                   ///< "JUGAR"
    std::array<TextBox *, 2> Text1{};          ///< legend swatches

    void Command1_Click(int Index);
    void Command2_Click();

    /// Colours of a pair button that is not chosen and of the chosen one.
    static constexpr quint32 kYellow = 0x0000FFFF;
    static constexpr quint32 kGreen = 0x0000FF00;

protected:
    void Form_Load() override;
    void Form_Unload() override;
    /// A folder dropped from a file manager fills the list with its path; a file, its folder's.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
