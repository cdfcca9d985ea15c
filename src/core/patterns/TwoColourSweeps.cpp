// Two-colour sweeps, collapses, ejects, stretch, flows, jump, chase and twinkle (D1 … D29).
//
// In two-colour mode lamp j is the pair of positions 2j - 1 (colour 1) and 2j (colour 2), so most
// of these effects are single-colour effects built from the two-character units "X " (colour 1),
// " X" (colour 2) or "XX" (both colours).

#include <string>
#include <string_view>

#include "core/patterns/Generators.h"
#include "core/patterns/SharedConstructions.h"

namespace lumafex::patterns::双色花式 {

namespace {

constexpr std::string_view kColour1 = "X ";
constexpr std::string_view kColour2 = " X";

// The flows D19 … D21 and D24 are only offered in the two-colour list; they write nothing for any
// other colour count.
bool twoColours(int colours) {
  return colours == 2;
}

// Sweep toward the far end: one unit more per step, every line cut to the sign. Returns the last
// line written.
std::string sweepRight(int n, std::string_view unit, StepWriter& out) {
  std::string w;
  std::string line;
  for (int i = 1; i <= n; i += 2) {
    w += unit;
    line = w;
    addBlanks(line, n);
    line.resize(static_cast<std::size_t>(n));
    out.write(line);
  }
  return line;
}

// For i from 1 to N step 2: set position i + offset of `w` to `mark` and write the line, cut to the
// sign when `cut` is set.
void markUpward(std::string& w, int n, int offset, std::string_view mark, bool cut, StepWriter& out) {
  for (int i = 1; i <= n; i += 2) {
    setPos(w, i + offset, mark);
    out.put(w);
    if (cut) out.cut(n);
    out.end();
  }
}

// For i from N down to `last` step -2: set position i - offset of `w` to `mark` and write the line.
void markDownward(std::string& w, int n, int last, int offset, std::string_view mark, StepWriter& out) {
  for (int i = n; i >= last; i -= 2) {
    setPos(w, i - offset, mark);
    out.write(w);
  }
}

// A collapse toward the far end: the full line of `unit` lamps, then the position `offset` into each
// lamp goes dark lamp by lamp from position 1.
void collapseRight(int n, std::string_view unit, int offset, StepWriter& out) {
  std::string w = Repeat(unit, idiv(n, 2));
  out.write(w);
  markUpward(w, n, offset, " ", false, out);
}

// One pass of the two-colour eject: the four-segment line of the single-colour eject, with A taken
// from a run of `unit` lamps and the lit width shrinking by one lamp per step.
void ejectPass(int n, std::string_view unit, StepWriter& out) {
  const long q = Int(n / 4.0);
  const long quarter = idiv(n, 4);
  std::string u;
  for (long k = 1; k <= quarter; k += 2) u += unit;
  for (long i = q; i >= 1; i -= 2) {
    const std::string_view a = Mid(u, 1, i);
    const double r = n / 4.0 - i;
    out.put(a).blanks(q - i).put(a).blanks(r).put(a).blanks(r).put(a).blanks(q - i).end();
  }
}

// The random flow: "X   " repeated; five times the window at `first` once, then the window at
// `second` twice.
void randomFlow(int n, double first, double second, StepWriter& out) {
  std::string w;
  for (double i = 1; i <= n / 2.0 + 4; ++i) w += "X   ";
  for (int rep = 0; rep < 5; ++rep) {
    out.write(Mid(w, first, n));
    out.write(Mid(w, second, n));
    out.write(Mid(w, second, n));
  }
}

// The band of the single-colour flows D19, D20, D22 and D23: an even lamp count g (Int(N / 8),
// raised by one when odd) of `unit` lamps followed by g blanks, eight times.
std::string evenBandPattern(int n, std::string_view unit) {
  long g = Int(n / 8.0);
  if (g % 2 != 0) ++g;
  std::string band = Repeat(unit, g / 2.0);
  addBlanks(band, g);
  return Repeat(band, 8);
}

// The band of the mixed flows D21 and D24: `unit` repeated for i from 1 to (N / 8) / 2, followed
// by N / 8 blanks, eight times. Below 16 channels the band holds no lamp at all.
std::string realBandPattern(int n, std::string_view unit) {
  const double g = n / 8.0;
  std::string band;
  for (double i = 1; i <= g / 2; ++i) band += unit;
  addBlanks(band, g);
  return Repeat(band, 8);
}

// The visible window moves one lamp per step toward position 1.
void flowRight(int n, std::string_view w, StepWriter& out) {
  for (int i = 1; i <= n; i += 2) out.write(Mid(w, i, n));
}

// The visible window moves one lamp per step away from position 1; the whole pattern follows it.
void flowLeft(int n, std::string_view w, StepWriter& out) {
  for (int i = n; i >= 1; i -= 2) out.put(Mid(w, i, n)).put(w).end();
}

// Twice: `lit` held for N / 8 steps, then `other` held for N / 8 steps.
void twinkle(int n, std::string_view lit, std::string_view other, StepWriter& out) {
  const double eighth = n / 8.0;
  for (int rep = 0; rep < 2; ++rep) {
    for (double k = 1; k <= eighth; ++k) out.write(lit);
    for (double k = 1; k <= eighth; ++k) out.write(other);
  }
}

// `unit` repeated for i from 1 to N / 2: one unit per whole lamp of the sign.
std::string everyLamp(int n, std::string_view unit) {
  std::string s;
  for (double i = 1; i <= n / 2.0; ++i) s += unit;
  return s;
}

}  // namespace

// Collapses: one lamp fewer per step, from position 1.

bool D1(int n, int, StepWriter& out) {
  collapseRight(n, kColour1, 0, out);
  return true;
}

bool D2(int n, int, StepWriter& out) {
  collapseRight(n, kColour2, 1, out);
  return true;
}

bool D3(int n, int, StepWriter& out) {
  std::string w = Xs(n);
  out.write(w);
  markUpward(w, n, 0, " ", false, out);  // lamps turn to colour 2 one by one
  markUpward(w, n, 1, " ", false, out);  // then go dark
  return true;
}

// Sweeps: one lamp more per step.

bool D4(int n, int, StepWriter& out) {
  std::string w = Blanks(n);
  markDownward(w, n, 2, 1, "X", out);
  return true;
}

bool D5(int n, int, StepWriter& out) {
  sweepRight(n, kColour1, out);
  return true;
}

bool D6(int n, int, StepWriter& out) {
  sweepRight(n, kColour2, out);
  return true;
}

bool D7(int n, int, StepWriter& out) {
  std::string w = sweepRight(n, kColour1, out);
  markUpward(w, n, 1, "X", true, out);
  return true;
}

bool D8(int n, int, StepWriter& out) {
  std::string w = Blanks(n);
  markDownward(w, n, 1, 0, "X", out);
  return true;
}

bool D9(int n, int, StepWriter& out) {
  std::string w = Blanks(n);
  markDownward(w, n, 1, 0, "X", out);
  markDownward(w, n, 2, 1, "X", out);
  return true;
}

// Collapses from the far end.

bool D10(int n, int, StepWriter& out) {
  std::string w = Repeat(kColour1, idiv(n, 2));
  markDownward(w, n, 2, 1, " ", out);
  return true;
}

bool D11(int n, int, StepWriter& out) {
  std::string w = Repeat(kColour2, idiv(n, 2));
  markDownward(w, n, 2, 0, " ", out);
  return true;
}

bool D12(int n, int, StepWriter& out) {
  std::string w = Repeat("XX", idiv(n, 2));
  markDownward(w, n, 1, 0, " ", out);  // colour-2 halves first
  markDownward(w, n, 2, 1, " ", out);  // then colour-1 halves
  return true;
}

// Ejects.

bool D13(int n, int, StepWriter& out) {
  for (int rep = 0; rep < 2; ++rep) ejectPass(n, kColour1, out);
  return true;
}

bool D14(int n, int, StepWriter& out) {
  for (int rep = 0; rep < 2; ++rep) ejectPass(n, kColour2, out);
  return true;
}

bool D15(int n, int, StepWriter& out) {
  for (int rep = 0; rep < 2; ++rep) {
    ejectPass(n, kColour1, out);
    ejectPass(n, kColour2, out);
  }
  return true;
}

// Stretch: a shrinking block, a gap of N / 4, a growing block; both change by two lamps per step.
bool D16(int n, int, StepWriter& out) {
  std::string w;
  for (int i = 1; i <= n; i += 2) w += kColour1;
  const double quarter = n / 4.0;
  auto line = [&](double i) {
    out.blanks(i).put(Mid(w, 1, n / 2.0 - 2 * i + 1)).blanks(quarter).put(Mid(w, 1, 2 * i + 1)).end();
  };
  for (double i = 0; i <= quarter; i += 2) line(i);
  for (double i = quarter; i >= 0; i -= 2) line(i);
  return true;
}

// Random flows: 15 steps whatever N is.

bool D17(int n, int, StepWriter& out) {
  randomFlow(n, 1, 3, out);
  return true;
}

bool D18(int n, int, StepWriter& out) {
  randomFlow(n, 2, 4, out);
  return true;
}

// Right flows.

bool D19(int n, int colours, StepWriter& out) {
  if (!twoColours(colours)) return false;
  flowRight(n, evenBandPattern(n, kColour1), out);
  return true;
}

bool D20(int n, int colours, StepWriter& out) {
  if (!twoColours(colours)) return false;
  flowRight(n, evenBandPattern(n, kColour2), out);
  return true;
}

bool D21(int n, int colours, StepWriter& out) {
  if (!twoColours(colours)) return false;
  const std::string w1 = realBandPattern(n, kColour1);
  const std::string w2 = realBandPattern(n, kColour2);
  std::string last;
  for (int i = 1; i <= n; i += 2) {
    last.assign(Mid(w1, i, n));
    out.write(last);
  }
  // The colour-2 band enters behind the leaving colour-1 band.
  for (int i = 1; i <= n; i += 2) out.put(Mid(last, i, n)).put(Mid(w2, 1, i)).cut(n).end();
  flowRight(n, w2, out);
  return true;
}

// Left flows. The colour-1 effect is built from " X" lamps and the colour-2 one from "X " lamps: for
// an even channel count the visible window starts at an even position, which shifts every lamp of
// the band by one position.

bool D22(int n, int, StepWriter& out) {
  flowLeft(n, evenBandPattern(n, kColour2), out);
  return true;
}

bool D23(int n, int, StepWriter& out) {
  flowLeft(n, evenBandPattern(n, kColour1), out);
  return true;
}

bool D24(int n, int colours, StepWriter& out) {
  if (!twoColours(colours)) return false;
  const std::string w1 = realBandPattern(n, kColour1);
  const std::string w2 = realBandPattern(n, kColour2);
  std::string last;
  for (int i = n; i >= 1; i -= 2) {
    last.assign(Mid(w1, i, n));
    last += w1;
    out.write(last);
  }
  for (int i = n; i >= 1; i -= 2) out.put(Mid(last, i, n - i)).put(Mid(w2, 1, i)).cut(n).end();
  flowLeft(n, w2, out);
  return true;
}

// Jump: a colour-1 lamp stepping one lamp at a time through a period of 2i + 8 characters that
// grows by two lamps per pass.
bool D25(int n, int, StepWriter& out) {
  jumpingLamp(n, 2, out);
  return true;
}

// Chase: the single-colour chase on lamps. A block of three lamps runs ahead; a second block is
// inserted at position i / 2 and pushes the first one along.
bool D26(int n, int, StepWriter& out) {
  std::string w;
  std::string next;
  for (int i = 1; i <= 2 * n - 8; i += 2) {
    const int k = i > n ? i - n : i;
    w.clear();
    addBlanks(w, k - 1);
    w += "X X X";
    addBlanks(w, n - k);
    next.assign(Left(w, i / 2.0));
    next += " X X X";
    next += Right(w, n - i / 2.0 - 4);
    out.write(Mid(next, 1, n));
  }
  return true;
}

// Twinkle: each phase held for N / 8 steps.

bool D27(int n, int, StepWriter& out) {
  twinkle(n, everyLamp(n, kColour1), everyLamp(n, "  "), out);
  return true;
}

bool D28(int n, int, StepWriter& out) {
  twinkle(n, everyLamp(n, kColour2), everyLamp(n, "  "), out);
  return true;
}

bool D29(int n, int, StepWriter& out) {
  twinkle(n, everyLamp(n, kColour1), everyLamp(n, kColour2), out);
  return true;
}

}  // namespace lumafex::patterns::双色花式
