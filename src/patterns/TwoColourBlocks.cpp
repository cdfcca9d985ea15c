// Two-colour flip, radiate, bars, push, close, shrink, building blocks, split and cross (D30 … D60).

#include "patterns/Generators.h"

namespace lumafex::patterns::双色花式 {

bool D30(int, int, StepWriter&) { return false; }
bool D31(int, int, StepWriter&) { return false; }
bool D32(int, int, StepWriter&) { return false; }
bool D33(int, int, StepWriter&) { return false; }
bool D34(int, int, StepWriter&) { return false; }
bool D35(int, int, StepWriter&) { return false; }
bool D36(int, int, StepWriter&) { return false; }
bool D37(int, int, StepWriter&) { return false; }
bool D38(int, int, StepWriter&) { return false; }
bool D39(int, int, StepWriter&) { return false; }
bool D40(int, int, StepWriter&) { return false; }
bool D41(int, int, StepWriter&) { return false; }
bool D42(int, int, StepWriter&) { return false; }
bool D43(int, int, StepWriter&) { return false; }
bool D44(int, int, StepWriter&) { return false; }
bool D45(int, int, StepWriter&) { return false; }
bool D46(int, int, StepWriter&) { return false; }
bool D47(int, int, StepWriter&) { return false; }
bool D48(int, int, StepWriter&) { return false; }
bool D49(int, int, StepWriter&) { return false; }
bool D50(int, int, StepWriter&) { return false; }
bool D51(int, int, StepWriter&) { return false; }
bool D52(int, int, StepWriter&) { return false; }
bool D53(int, int, StepWriter&) { return false; }
bool D54(int, int, StepWriter&) { return false; }
bool D55(int, int, StepWriter&) { return false; }
bool D56(int, int, StepWriter&) { return false; }
bool D57(int, int, StepWriter&) { return false; }
bool D58(int, int, StepWriter&) { return false; }
bool D59(int, int, StepWriter&) { return false; }
bool D60(int, int, StepWriter&) { return false; }

}  // namespace lumafex::patterns::双色花式
