#pragma once

#include <array>

#include "controls.h"
#include "form.h"

// The title screen: start-up window; resets the series points.
class Form5 : public Form
{
    Q_OBJECT
public:
    Form5();

    std::array<Label *, 5> Label1{}; ///< 0 title, 1 author, 2 lead-in, 4 date (3 is not used)
    Label *Label2;                   ///< contact line
    Shape *Shape1;
    CommandButton *Command1; ///< "CONTINUAR"

    void Command1_Click();

protected:
    void Form_Load() override;
};
