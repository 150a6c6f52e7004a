#pragma once

#include <array>

#include "controls.h"
#include "form.h"

// The players screen: one or two players and their names.
class Form3 : public Form
{
    Q_OBJECT
public:
    Form3();

    std::array<CommandButton *, 2> Command1{}; ///< "1 jugador", "2 jugadores"
    std::array<Frame *, 2> Frame1{};           ///< one-player panel, two-player panel
    std::array<Label *, 2> Label1{};           ///< "Nombre", "Jugador 1"
    std::array<TextBox *, 2> Text1{};          ///< the single player's name, player 1's name
    Label *Label2;                             ///< "Jugador 2"
    TextBox *Text2;                            ///< player 2's name
    CommandButton *Command2;                   ///< "ACEPTAR"

    void Command1_Click(int Index);
    void Command2_Click();

protected:
    void Form_Load() override;

private:
    void prepareFirstRun();
};
