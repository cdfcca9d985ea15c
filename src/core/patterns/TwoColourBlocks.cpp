// Two-colour flip, radiate, bars, push, close, shrink, building blocks, split and cross (D30 … D60).
// Lamp j of a two-colour sign is the pair of positions 2j - 1 (colour 1) and 2j (colour 2), so the
// rules build their lines from two-character units: "X " lights colour 1, " X" colour 2, "XX" both.

#include <algorithm>
#include <string>
#include <string_view>

#include "core/patterns/Generators.h"

namespace lumafex::patterns::双色花式 {

namespace {

constexpr std::string_view kColour1 = "X ";
constexpr std::string_view kColour2 = " X";
constexpr std::string_view kBoth = "XX";

// Flip, colour-2 radiate and the mixed radiate draw only on a two-colour sign.
bool twoColours(int colours) {
  return colours == 2;
}

// One sixteenth of the sign from 16 channels on, the whole sign below: the scale of the bars,
// building blocks and splits.
int sixteenth(int n) {
  return n >= 16 ? 16 : n;
}

// Radiate: lamps added in pairs from the middle outward. Each step adds `pair` (two lamps) to the
// growing block. Returns the last line written.
std::string radiate(int n, std::string_view pair, StepWriter& out) {
  const long half = idiv(n, 2);
  std::string block;
  std::string line;
  for (long i = 0; i <= Int(n / 2.0); i += 2) {
    block += pair;
    line = Blanks(half - i);
    line += block;
    addBlanks(line, half - i);
    out.write(line);
  }
  return line;
}

// Dark radiate: a dark gap opening from the middle of a sign lit in one colour.
void darkRadiate(int n, std::string_view unit, StepWriter& out) {
  const long half = idiv(n, 2);
  const std::string w = Repeat(unit, half + 1);
  for (long i = 0; i <= Int(n / 2.0); i += 2) {
    const std::string_view side = Mid(w, 1, half - i);
    out.put(side).blanks(2 * i).put(side).end();
  }
}

// Light bar: a bar of `unit` lamps moving one lamp per step. Its width comes from the sign size
// rounded to a whole number of sixteenths and halved, so small signs get no bar at all.
void lightBar(int n, std::string_view unit, StepWriter& out) {
  const long c = idiv(static_cast<double>(n) / sixteenth(n), 2);
  const std::string bar = Repeat(unit, c);
  for (int i = 1; i <= n; i += 2) out.blanks(i - 1).put(bar).blanks(n - i).end();
}

// Dark bar: g blanks travelling through a sign lit with `unit`. `shift` is 0 when the blanks start
// at the lamp's own colour-1 position, 1 when they start one position later.
void darkBar(int n, std::string_view unit, int shift, StepWriter& out) {
  const long g = idiv(n, sixteenth(n));
  const std::string w = Repeat(unit, idiv(n, 2));
  for (int i = 1; i <= n; i += 2)
    out.put(Mid(w, 1, i - 1 + shift)).blanks(g).put(Mid(w, i + g + shift)).end();
}

// Close: lamps of `unit` filling in from both ends.
void closeFromEnds(int n, std::string_view unit, StepWriter& out) {
  for (long i = 0; i <= n / 4.0; ++i) out.repeat(unit, i).blanks(n - 4 * i).repeat(unit, i).end();
}

// Shrink: a sign lit with `unit` going dark from both ends, two lamps per step.
void shrink(int n, std::string_view unit, StepWriter& out) {
  const long half = idiv(n, 2);
  const std::string w = Repeat(unit, half);
  for (long i = 0; i <= half; i += 2) out.blanks(i).put(Mid(w, 1, n - 2 * i)).blanks(i).end();
}

// Geometry of the building blocks and splits: a block of g positions (a whole number of lamps,
// one lamp below 48 channels) and the block itself built from `unit`.
struct LampBlock {
  long g;
  std::string block;
};

LampBlock lampBlock(int n, std::string_view unit) {
  const long h = Int(static_cast<double>(n) / sixteenth(n));
  LampBlock b{h % 2 == 1 ? h + 1 : h, {}};
  for (long k = 1; k <= h; k += 2) b.block += unit;
  return b;
}

// Building blocks on lamps: each block enters at position 1 and moves one block width per step
// until it rests on the stack at the far end. A block travels in the colour of `travelling`; when
// `landed` is given the stack is redrawn in that colour as each block comes to rest.
void buildingBlocks(int n, std::string_view travelling, std::string_view landed, StepWriter& out) {
  const LampBlock moving = lampBlock(n, travelling);
  const long g = moving.g;
  const std::string restingBlock = landed.empty() ? std::string() : lampBlock(n, landed).block;
  std::string previous;  // the stack as the next block sees it
  std::string stack;     // the landed blocks in their resting colour
  std::string line;
  for (long j = 1; j <= n; j += g) {
    const long e = n - j + 1;
    for (long m = 1; m <= e; m += g) {
      line = Blanks(m - 1);
      line += moving.block;
      line += Mid(previous, g + m, n - m);
      line.resize(std::min(line.size(), static_cast<std::size_t>(n)));
      out.write(line);
    }
    if (landed.empty()) {
      previous = line;
      continue;
    }
    stack += restingBlock;
    // After the last block the room left can be negative: the stack is no longer needed then,
    // and the last line stands in for it.
    const long room = n - j - g + 1;
    if (room < 0 && j > 1) {
      previous = cutTo(line, n);
    } else {
      previous = cutTo(std::string(Mid(line, 1, room)) + stack, n);
    }
  }
}

// Split on lamps: the stack of `unit` lamps loses one block at a time; the departing block,
// Mid(W, departFrom, g), is first drawn one block after the stack and then moves one block per
// step past the end of the sign.
void split(int n, std::string_view unit, long departFrom, StepWriter& out) {
  const long g = lampBlock(n, unit).g;
  std::string w;
  for (long i = 1; i <= n; i += 2) w += unit;
  const std::string_view departing = Mid(w, departFrom, g);
  for (long k = n; k >= 0; k -= g) {
    long c = 0;
    for (long m = k; m <= n; m += g) {
      ++c;
      out.put(Mid(w, 1, k)).blanks(g * c).put(departing).end();
    }
  }
}

// The cross: block A enters at position 1 and block B at the far end; they meet and vanish in the
// middle, reappear there and travel back out, B now on the left, and a final dark step follows.
struct CrossStyle {
  std::string_view unitA;
  std::string_view unitB;
  bool evenVanishWidth;  // the vanishing width starts at the even block width rather than N \ 8
  bool tailOfB;          // while vanishing, B shows its last characters rather than its first
  long middleShift;      // positions the reappearing pair starts to the left of the middle
};

void cross(int n, const CrossStyle& style, StepWriter& out) {
  const long b = idiv(n, 8);
  const long v = b % 2 == 1 ? b + 1 : b;
  const long half = idiv(n, 2);
  long c = style.evenVanishWidth ? v : b;
  std::string a;
  std::string bb;
  std::string line;

  for (long i = 0; i <= v - 2; i += 2) {
    a += style.unitA;
    bb += style.unitB;
    line = a;
    addBlanks(line, n - 2 * i - 4);
    line += bb;
    out.write(line);
  }

  for (long i = 2; i <= half; i += 2) {
    const long gap = n - 2 * v - 2 * i;
    if (gap >= 0) {
      line = Blanks(i);
      line += a;
      addBlanks(line, gap);
      line += bb;
      addBlanks(line, i);
    } else {
      c -= 2;
      if (c >= 0) {
        line = Blanks(i);
        line += Mid(a, 1, c);
        line += style.tailOfB ? Right(bb, c) : Mid(bb, 1, c);
        addBlanks(line, i);
      }
      // Once the blocks have gone, the previous line is written again.
    }
    out.write(line);
  }

  long k = 0;
  for (long j = 0; j <= v - 2; j += 2) {
    k += 2;
    out.blanks(half - j - style.middleShift).put(Mid(a, 1, k)).put(Mid(bb, 1, k)).blanks(half - j).end();
  }

  for (long i = v - 2; i <= half - 4; i += 2) {
    out.blanks(half - i - 4).put(bb).blanks(2 * (i - v + 2) + 6).put(a).blanks(half - i - 2).end();
  }

  for (long i = v - 2; i >= 0; i -= 2) out.put(Mid(bb, 1, i)).blanks(n - 2 * i + 2).put(Mid(a, 1, i)).end();
}

// A block of `unit`s growing from the middle over `line`: for i from 0 to Int(N / 2) step 2 the
// middle grows by one unit and the line becomes its first N \ 2 − i characters, the middle, and
// those characters again. Each line is built from the one before.
void growFromTheMiddle(int n, std::string_view unit, std::string& line, StepWriter& out) {
  const long half = idiv(n, 2);
  std::string middle;
  std::string next;
  for (long i = 0; i <= Int(n / 2.0); i += 2) {
    middle += unit;
    const std::string_view side = Mid(line, 1, half - i);
    next.assign(side);
    next += middle;
    next += side;
    line.swap(next);
    out.write(line);
  }
}

}  // namespace

// Flip: four colour-2 lamps and four colour-1 lamps per eight lamps; each step flips one lamp
// between the colours, and the whole sign is flipped twice.
bool D30(int n, int colours, StepWriter& out) {
  if (!twoColours(colours)) return false;
  std::string w;
  for (int k = 1; k <= n; k += 8) w += " X X X XX X X X ";
  for (int rep = 0; rep < 2; ++rep) {
    for (int i = 1; i <= n; i += 2) {
      setPos(w, i, Mid(w, i, 2) != kColour1 ? kColour1 : kColour2);
      out.write(w);
    }
  }
  return true;
}

bool D31(int n, int, StepWriter& out) {
  radiate(n, "X X ", out);
  return true;
}

bool D32(int n, int colours, StepWriter& out) {
  if (!twoColours(colours)) return false;
  radiate(n, " X X", out);
  return true;
}

// Mixed radiate: the colour-1 radiate, then a block lit in both colours growing over it from the
// middle.
bool D33(int n, int colours, StepWriter& out) {
  if (!twoColours(colours)) return false;
  std::string line = radiate(n, "X X ", out);
  growFromTheMiddle(n, "XXXX", line, out);
  return true;
}

bool D34(int n, int, StepWriter& out) {
  darkRadiate(n, kColour1, out);
  return true;
}

bool D35(int n, int, StepWriter& out) {
  darkRadiate(n, kColour2, out);
  return true;
}

// Mixed dark radiate: colour 1 radiates into a fully lit sign, then a dark gap opens in the
// middle. Each line is rebuilt from the one before, so the lengths vary.
bool D36(int n, int, StepWriter& out) {
  const long half = idiv(n, 2);
  const long last = Int(n / 2.0);
  std::string line = Xs(n);
  growFromTheMiddle(n, "X X ", line, out);
  std::string middle;
  std::string next;
  for (long i = 0; i <= last; i += 2) {
    middle += "    ";
    next.assign(Mid(line, 1, half - i));
    next += middle;
    next += Mid(line, 1, half - i + 1);
    line.swap(next);
    out.write(line);
  }
  return true;
}

bool D37(int n, int, StepWriter& out) {
  lightBar(n, kColour1, out);
  return true;
}

bool D38(int n, int, StepWriter& out) {
  lightBar(n, kColour2, out);
  return true;
}

bool D39(int n, int, StepWriter& out) {
  lightBar(n, kBoth, out);
  return true;
}

bool D40(int n, int, StepWriter& out) {
  darkBar(n, kColour1, 0, out);
  return true;
}

bool D41(int n, int, StepWriter& out) {
  darkBar(n, kColour2, 1, out);
  return true;
}

// On a sign lit in both colours the blanks start at colour 2, so the passing lamp shows colour 1.
bool D42(int n, int, StepWriter& out) {
  darkBar(n, kBoth, 1, out);
  return true;
}

// Push: the outward pass runs i = 0, 2, … up to N / 4 and the return pass N / 4, N / 4 - 2, …
// down to 0 (the same values only when N / 4 is an even whole number). On signs of fewer than ten
// channels the middle block has a negative length: the line is not built and the last line built
// so far (none at all there) is written instead.
bool D43(int n, int, StepWriter& out) {
  const std::string w = Repeat(kColour1, idiv(n, 2));
  const double quarter = n / 4.0;
  std::string line;
  std::string next;
  auto step = [&](double i) {
    try {
      next.assign(Mid(w, 1, i));
      addBlanks(next, n / 2.0 - 2 * i + 1);
      next += Mid(w, 1, quarter - 3);
      addBlanks(next, 2 * i);
      next += Mid(w, 1, quarter - i + 1);
      line.swap(next);
    } catch (const RuleError&) {
    }
    out.write(line);
  };
  for (double i = 0; i <= quarter; i += 2) step(i);
  for (double i = quarter; i >= 0; i -= 2) step(i);
  return true;
}

bool D44(int n, int, StepWriter& out) {
  closeFromEnds(n, kColour1, out);
  return true;
}

bool D45(int n, int, StepWriter& out) {
  closeFromEnds(n, kColour2, out);
  return true;
}

// Mixed close: colour 1 fills in from both ends, then colour 2 joins from both ends.
bool D46(int n, int, StepWriter& out) {
  const long half = idiv(n, 2);
  const std::string w = Repeat(kColour1, half);
  for (long i = 0; i <= half; i += 2) out.put(Mid(w, 1, i)).blanks(n - 2 * i).put(Mid(w, 1, i)).end();
  for (long i = 1; i <= half; i += 2) out.xs(i).put(Mid(w, i, n - 2 * i)).xs(i).end();
  return true;
}

bool D47(int n, int, StepWriter& out) {
  shrink(n, kColour1, out);
  return true;
}

bool D48(int n, int, StepWriter& out) {
  shrink(n, kColour2, out);
  return true;
}

// Mixed shrink: colour 1 withdraws from both ends of a fully lit sign, leaving colour 2; the
// colour-2 lamps then go dark from both ends.
bool D49(int n, int, StepWriter& out) {
  const long half = idiv(n, 2);
  std::string line = Xs(n);
  std::string next;
  long i = 0;
  for (; i <= half - 2; i += 2) {
    next.assign(Mid(line, 1, i));
    next += ' ';
    next += Mid(line, i + 2, n - 2 * i - 1);
    next += ' ';
    next += Mid(line, 2, i);
    next.resize(std::min(next.size(), static_cast<std::size_t>(n)));
    line.swap(next);
    out.write(line);
  }
  // i is now the first value past the loop: the width of the colour-2 pattern it left behind.
  const std::string pattern(Mid(line, 1, i));
  line = pattern + pattern;
  for (long k = 0; k <= half; k += 2) out.blanks(k).put(Mid(line, k + 1, n - 2 * k)).blanks(k).end();
  return true;
}

bool D50(int n, int, StepWriter& out) {
  buildingBlocks(n, kColour1, {}, out);
  return true;
}

bool D51(int n, int, StepWriter& out) {
  buildingBlocks(n, kColour2, {}, out);
  return true;
}

bool D52(int n, int colours, StepWriter& out) {
  return 单色花式::S24(n, colours, out);
}

// Colour-changing blocks: a block travels in colour 2 and turns to colour 1 when it lands.
bool D53(int n, int, StepWriter& out) {
  buildingBlocks(n, kColour2, kColour1, out);
  return true;
}

bool D54(int n, int, StepWriter& out) {
  split(n, kColour1, 1, out);
  return true;
}

bool D55(int n, int, StepWriter& out) {
  split(n, kColour2, 1, out);
  return true;
}

bool D56(int n, int colours, StepWriter& out) {
  return 单色花式::S19(n, colours, out);
}

// Colour-changing split: the stack stays colour 1, the departing lamp shows colour 2.
bool D57(int n, int, StepWriter& out) {
  split(n, kColour1, 2, out);
  return true;
}

bool D58(int n, int, StepWriter& out) {
  cross(n, {kColour1, kColour1, false, true, 0}, out);
  return true;
}

bool D59(int n, int, StepWriter& out) {
  cross(n, {kColour2, kColour2, true, true, 0}, out);
  return true;
}

bool D60(int n, int, StepWriter& out) {
  cross(n, {kColour1, kColour2, true, false, 1}, out);
  return true;
}

}  // namespace lumafex::patterns::双色花式
