// Two-colour sweeps, collapses, ejects, stretch, flows, jump, chase and twinkle (D1 … D29).

#include "patterns/Generators.h"

namespace lumafex::patterns::双色花式 {

bool D1(int, int, StepWriter&) { return false; }
bool D2(int, int, StepWriter&) { return false; }
bool D3(int, int, StepWriter&) { return false; }
bool D4(int, int, StepWriter&) { return false; }
bool D5(int, int, StepWriter&) { return false; }
bool D6(int, int, StepWriter&) { return false; }
bool D7(int, int, StepWriter&) { return false; }
bool D8(int, int, StepWriter&) { return false; }
bool D9(int, int, StepWriter&) { return false; }
bool D10(int, int, StepWriter&) { return false; }
bool D11(int, int, StepWriter&) { return false; }
bool D12(int, int, StepWriter&) { return false; }
bool D13(int, int, StepWriter&) { return false; }
bool D14(int, int, StepWriter&) { return false; }
bool D15(int, int, StepWriter&) { return false; }
bool D16(int, int, StepWriter&) { return false; }
bool D17(int, int, StepWriter&) { return false; }
bool D18(int, int, StepWriter&) { return false; }
bool D19(int, int, StepWriter&) { return false; }
bool D20(int, int, StepWriter&) { return false; }
bool D21(int, int, StepWriter&) { return false; }
bool D22(int, int, StepWriter&) { return false; }
bool D23(int, int, StepWriter&) { return false; }
bool D24(int, int, StepWriter&) { return false; }
bool D25(int, int, StepWriter&) { return false; }
bool D26(int, int, StepWriter&) { return false; }
bool D27(int, int, StepWriter&) { return false; }
bool D28(int, int, StepWriter&) { return false; }
bool D29(int, int, StepWriter&) { return false; }

}  // namespace lumafex::patterns::双色花式
