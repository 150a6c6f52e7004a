#pragma once

#include "controls.h"
#include "form.h"

// The results screen: the outcome of a game and the series points.
class Form4 : public Form
{
    Q_OBJECT
public:
    Form4();

    Label *Label1;           ///< player 1's line (the only line in a one-player game)
    Label *Label2;           ///< player 2's line
    CommandButton *Command1; ///< "SEGUIR JUGANDO"
    CommandButton *Command2; ///< "FIN JUEGO"
    QStringList ResultText;  ///< language lines 16 to 20

    void Command1_Click();
    void Command2_Click();

    /// The wait before the results: about three seconds on the clock, handling events meanwhile.
    static constexpr double kWaitSeconds = 3.0;

protected:
    void Form_Load() override;

private:
    void waitAboutThreeSeconds();
};
