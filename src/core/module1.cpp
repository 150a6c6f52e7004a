#include "module1.h"

namespace Module1 {

void reset()
{
    PairOption = 0;
    Player1Name.clear();
    Player2Name.clear();
    MismatchCount = 0;
    Player1Points = 0;
    Player2Points = 0;
}

} // namespace Module1
