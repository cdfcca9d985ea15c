#pragma once
// The effect generators. Each takes the channel count and the colour count, writes the step lines
// of its effect and returns true, or returns false without writing anything when no rule of it
// applies to these values.

#include "core/patterns/StepText.h"

namespace lumafex::patterns {

using Generator = bool (*)(int channels, int colours, StepWriter& out);

namespace 单色花式 {
bool S1(int channels, int colours, StepWriter& out);
bool S2(int channels, int colours, StepWriter& out);
bool S3(int channels, int colours, StepWriter& out);
bool S4(int channels, int colours, StepWriter& out);
bool S5(int channels, int colours, StepWriter& out);
bool S6(int channels, int colours, StepWriter& out);
bool S7(int channels, int colours, StepWriter& out);
bool S8(int channels, int colours, StepWriter& out);
bool S9(int channels, int colours, StepWriter& out);
bool S10(int channels, int colours, StepWriter& out);
bool S11(int channels, int colours, StepWriter& out);
bool S12(int channels, int colours, StepWriter& out);
bool S13(int channels, int colours, StepWriter& out);
bool S14(int channels, int colours, StepWriter& out);
bool S15(int channels, int colours, StepWriter& out);
bool S16(int channels, int colours, StepWriter& out);
bool S17(int channels, int colours, StepWriter& out);
bool S18(int channels, int colours, StepWriter& out);
bool S19(int channels, int colours, StepWriter& out);
bool S20(int channels, int colours, StepWriter& out);
bool S21(int channels, int colours, StepWriter& out);
bool S22(int channels, int colours, StepWriter& out);
bool S23(int channels, int colours, StepWriter& out);
bool S24(int channels, int colours, StepWriter& out);
bool S25(int channels, int colours, StepWriter& out);
bool S26(int channels, int colours, StepWriter& out);
bool S27(int channels, int colours, StepWriter& out);
bool S28(int channels, int colours, StepWriter& out);
}  // namespace 单色花式

namespace 双色花式 {
bool D1(int channels, int colours, StepWriter& out);
bool D2(int channels, int colours, StepWriter& out);
bool D3(int channels, int colours, StepWriter& out);
bool D4(int channels, int colours, StepWriter& out);
bool D5(int channels, int colours, StepWriter& out);
bool D6(int channels, int colours, StepWriter& out);
bool D7(int channels, int colours, StepWriter& out);
bool D8(int channels, int colours, StepWriter& out);
bool D9(int channels, int colours, StepWriter& out);
bool D10(int channels, int colours, StepWriter& out);
bool D11(int channels, int colours, StepWriter& out);
bool D12(int channels, int colours, StepWriter& out);
bool D13(int channels, int colours, StepWriter& out);
bool D14(int channels, int colours, StepWriter& out);
bool D15(int channels, int colours, StepWriter& out);
bool D16(int channels, int colours, StepWriter& out);
bool D17(int channels, int colours, StepWriter& out);
bool D18(int channels, int colours, StepWriter& out);
bool D19(int channels, int colours, StepWriter& out);
bool D20(int channels, int colours, StepWriter& out);
bool D21(int channels, int colours, StepWriter& out);
bool D22(int channels, int colours, StepWriter& out);
bool D23(int channels, int colours, StepWriter& out);
bool D24(int channels, int colours, StepWriter& out);
bool D25(int channels, int colours, StepWriter& out);
bool D26(int channels, int colours, StepWriter& out);
bool D27(int channels, int colours, StepWriter& out);
bool D28(int channels, int colours, StepWriter& out);
bool D29(int channels, int colours, StepWriter& out);
bool D30(int channels, int colours, StepWriter& out);
bool D31(int channels, int colours, StepWriter& out);
bool D32(int channels, int colours, StepWriter& out);
bool D33(int channels, int colours, StepWriter& out);
bool D34(int channels, int colours, StepWriter& out);
bool D35(int channels, int colours, StepWriter& out);
bool D36(int channels, int colours, StepWriter& out);
bool D37(int channels, int colours, StepWriter& out);
bool D38(int channels, int colours, StepWriter& out);
bool D39(int channels, int colours, StepWriter& out);
bool D40(int channels, int colours, StepWriter& out);
bool D41(int channels, int colours, StepWriter& out);
bool D42(int channels, int colours, StepWriter& out);
bool D43(int channels, int colours, StepWriter& out);
bool D44(int channels, int colours, StepWriter& out);
bool D45(int channels, int colours, StepWriter& out);
bool D46(int channels, int colours, StepWriter& out);
bool D47(int channels, int colours, StepWriter& out);
bool D48(int channels, int colours, StepWriter& out);
bool D49(int channels, int colours, StepWriter& out);
bool D50(int channels, int colours, StepWriter& out);
bool D51(int channels, int colours, StepWriter& out);
bool D52(int channels, int colours, StepWriter& out);
bool D53(int channels, int colours, StepWriter& out);
bool D54(int channels, int colours, StepWriter& out);
bool D55(int channels, int colours, StepWriter& out);
bool D56(int channels, int colours, StepWriter& out);
bool D57(int channels, int colours, StepWriter& out);
bool D58(int channels, int colours, StepWriter& out);
bool D59(int channels, int colours, StepWriter& out);
bool D60(int channels, int colours, StepWriter& out);
bool D61(int channels, int colours, StepWriter& out);
bool D62(int channels, int colours, StepWriter& out);
bool D63(int channels, int colours, StepWriter& out);
bool D64(int channels, int colours, StepWriter& out);
bool D65(int channels, int colours, StepWriter& out);
}  // namespace 双色花式

}  // namespace lumafex::patterns
