#pragma once
// Constructions that a single-colour and a two-colour effect share.

#include "core/patterns/StepText.h"

namespace lumafex::patterns {

// The jumping lamp: for i from 0 to N \ 8 step `step`, for j from 0 to 7 step `step`, the unit
// Blanks(i + j) & "X" & Blanks(i + 7 - j) written four times and cut to N. The lamp moves through a
// period that grows from one pass to the next.
void jumpingLamp(int n, long step, StepWriter& out);

}  // namespace lumafex::patterns
