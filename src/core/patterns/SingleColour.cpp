// The single-colour generators S1 … S28. Most have a one-colour rule and a three-colour rule; the
// three-colour rules light the interleaved colour groups (channel k belongs to group (k-1) mod 3 + 1)
// one after the other.

#include <array>
#include <string>
#include <string_view>

#include "core/patterns/Generators.h"
#include "core/patterns/SharedConstructions.h"

namespace lumafex::patterns {

void jumpingLamp(int n, long step, StepWriter& out) {
  const long passes = idiv(n, 8);
  std::string u;
  for (long i = 0; i <= passes; i += step) {
    for (long j = 0; j <= 7; j += step) {
      u = Blanks(i + j);
      u += 'X';
      addBlanks(u, i + 7 - j);
      out.repeat(u, 4).cut(n).end();
    }
  }
}

}  // namespace lumafex::patterns

namespace lumafex::patterns::单色花式 {

namespace {

constexpr std::array<std::string_view, 3> kGroupUnits{"X  ", " X ", "  X"};

enum class Rule { None, Single, Three };

// Which rule a generator with threshold `t` writes: the one-colour rule below the threshold or for
// colour count 1, the three-colour rule from the threshold on with colour count 3, otherwise none.
Rule ruleWithThreshold(int n, int colours, int t) {
  if (n < t || colours == 1) return Rule::Single;
  if (colours == 3) return Rule::Three;
  return Rule::None;
}

// Generators without a threshold: the colour count alone decides.
Rule ruleByColours(int colours) {
  if (colours == 1) return Rule::Single;
  if (colours == 3) return Rule::Three;
  return Rule::None;
}

// Width of the moving block of the bar, split and block effects: one sixteenth of the sign from
// 16 channels on, the whole sign below.
int sixteenth(int n) {
  return n >= 16 ? 16 : n;
}

// S5's four-segment eject line.
void ejectLine(StepWriter& out, std::string_view a, double n, long q, double i) {
  const double r = n / 4 - i;
  out.put(a).blanks(q - i).put(a).blanks(r).put(a).blanks(r).put(a).blanks(q - i).end();
}

// S24's steps: blocks of g lamps entering at position 1 and coming to rest on the stack.
void buildingBlocks(int n, StepWriter& out) {
  const int g = static_cast<int>(Int(static_cast<double>(n) / sixteenth(n)));
  const std::string block = Xs(g);
  std::string previous;
  std::string line;
  for (int j = 1; j <= n; j += g) {
    const int e = n - j + 1;
    for (int m = 1; m <= e; m += g) {
      line.clear();
      addBlanks(line, m - 1);
      line += block;
      line += Mid(previous, g + m, n - m);
      if (line.size() > static_cast<std::size_t>(n)) line.resize(static_cast<std::size_t>(n));
      out.write(line);
    }
    previous = line;
  }
}

}  // namespace

bool S1(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 16)) {
    case Rule::Single:
      for (int i = 1; i <= n; ++i) out.xs(i).blanks(n - i).end();
      return true;
    case Rule::Three: {
      std::string w;
      for (int i = 1; i <= n; i += 3) {
        w += "X  ";
        out.put(w).blanks(n).cut(n).end();
      }
      for (int pass = 1; pass <= 2; ++pass) {
        for (int i = 1; i <= n; i += 3) {
          setPos(w, i + pass, "X");
          out.put(w).cut(n).end();
        }
      }
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

bool S2(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 16)) {
    case Rule::Single:
      for (int i = 0; i <= n; ++i) out.blanks(i).xs(n - i).end();
      return true;
    case Rule::Three: {
      std::string w = Xs(n);
      out.write(w);
      for (int pass = 0; pass <= 2; ++pass) {
        for (int i = 1; i <= n; i += 3) {
          setPos(w, i + pass, " ");
          out.write(w);
        }
      }
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

namespace {
// S3 and S4 three-colour: from `start`, set `mark` at positions i, i-1, i-2 in three passes from
// the far end.
void leftPasses(int n, std::string w, std::string_view mark, StepWriter& out) {
  for (int pass = 0; pass <= 2; ++pass) {
    for (int i = n; i >= pass + 1; i -= 3) {
      setPos(w, i - pass, mark);
      out.write(w);
    }
  }
}
}  // namespace

bool S3(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 16)) {
    case Rule::Single:
      for (int i = 1; i <= n; ++i) out.blanks(n - i).xs(i).end();
      return true;
    case Rule::Three:
      leftPasses(n, Blanks(n), "X", out);
      return true;
    case Rule::None:
      break;
  }
  return false;
}

bool S4(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 16)) {
    case Rule::Single:
      for (int i = 1; i <= n; ++i) out.xs(n - i).blanks(i).end();
      return true;
    case Rule::Three:
      leftPasses(n, Xs(n), " ", out);
      return true;
    case Rule::None:
      break;
  }
  return false;
}

bool S5(int n, int colours, StepWriter& out) {
  const long q = Int(n / 4.0);
  switch (ruleWithThreshold(n, colours, 32)) {
    case Rule::Single:
      for (int rep = 0; rep < 4; ++rep) {
        const std::string lit = Xs(q);
        for (long i = q; i >= 1; --i) ejectLine(out, std::string_view(lit).substr(0, i), n, q, i);
      }
      return true;
    case Rule::Three:
      for (std::string_view unit : kGroupUnits) {
        std::string u;
        const long limit = idiv(n, 4);
        for (long k = 1; k <= limit; k += 3) u += unit;
        for (long i = q; i >= 1; i -= 3) ejectLine(out, Mid(u, 1, i), n, q, i);
      }
      return true;
    case Rule::None:
      break;
  }
  return false;
}

bool S6(int n, int colours, StepWriter& out) {
  const double quarter = n / 4.0;
  auto line = [&](std::string_view w, double i, double gap) {
    out.blanks(i).put(Mid(w, 1, n / 2.0 - 2 * i + 1)).blanks(gap).put(Mid(w, 1, 2 * i + 1)).end();
  };
  switch (ruleWithThreshold(n, colours, 32)) {
    case Rule::Single: {
      const std::string w = Xs(n);
      for (double i = 0; i <= quarter; i += 1) line(w, i, quarter - 1);
      for (double i = quarter; i >= 0; i -= 1) line(w, i, quarter - 1);
      return true;
    }
    case Rule::Three: {
      std::string w;
      for (int i = 1; i <= n; i += 3) w += "X  ";
      for (double i = 0; i <= quarter; i += 3) line(w, i, quarter);
      for (double i = quarter; i >= 0; i -= 3) line(w, i, quarter);
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

bool S7(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 48)) {
    case Rule::Single: {
      std::string w;
      for (double i = 1; i <= n / 2.0; ++i) w += "X ";
      for (int rep = 0; rep < 10; ++rep) {
        out.write(Mid(w, 1, n));
        out.write(Mid(w, 2, n - 1));
        out.write(Mid(w, 2, n - 1));
      }
      return true;
    }
    case Rule::Three: {
      std::string w;
      for (double i = 1; i <= n / 6.0; ++i) w += "X     ";
      for (int group = 1; group <= 3; ++group) {
        for (int rep = 0; rep < 5; ++rep) {
          out.write(Mid(w, group, n));
          out.write(Mid(w, group + 3, n));
          out.write(Mid(w, group + 3, n));
        }
      }
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

namespace {
// The band pattern of the flows: (A & B) repeated, A = Xs(k) for k counting 1 … N / 8.
std::string flowPattern(int n, int times) {
  std::string a;
  for (double i = 1; i <= n / 8.0; ++i) a += 'X';
  std::string band = a;
  addBlanks(band, n / 8.0);
  return Repeat(band, times);
}

// The three-colour band of one group: the unit repeated m times, then 3m blanks, nine times.
std::string groupFlowPattern(int n, std::string_view unit) {
  const long m = 3 * whole(static_cast<double>(idiv(idiv(n, 8), 3)) / 3);
  std::string band = Repeat(unit, m);
  addBlanks(band, 3 * m);
  return Repeat(band, 9);
}
}  // namespace

bool S8(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 48)) {
    case Rule::Single: {
      const std::string w = flowPattern(n, 8);
      for (int i = 1; i <= n; ++i) out.write(Mid(w, i, n));
      return true;
    }
    case Rule::Three:
      for (std::string_view unit : kGroupUnits) {
        const std::string w = groupFlowPattern(n, unit);
        for (int i = 1; i <= n; i += 3) out.write(Mid(w, i, n));
      }
      return true;
    case Rule::None:
      break;
  }
  return false;
}

bool S9(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 48)) {
    case Rule::Single: {
      const std::string w = flowPattern(n, 8);
      for (int i = n; i >= 1; --i) out.put(Mid(w, i, n - i)).put(w).end();
      return true;
    }
    case Rule::Three:
      for (std::string_view unit : kGroupUnits) {
        const std::string w = groupFlowPattern(n, unit);
        for (int i = n; i >= 1; i -= 3) out.put(Mid(w, i, n)).put(w).end();
      }
      return true;
    case Rule::None:
      break;
  }
  return false;
}

bool S10(int n, int colours, StepWriter& out) {
  switch (ruleWithThreshold(n, colours, 32)) {
    case Rule::Single: {
      std::string w;
      std::string next;
      for (int i = 1; i <= 2 * n - 8; ++i) {
        const int k = i > n ? i - n : i;
        w.clear();
        addBlanks(w, k - 1);
        w += "XXX";
        addBlanks(w, n - k);
        next.assign(Left(w, i / 2.0));
        next += "XXX";
        next += Right(w, n - i / 2.0 - 4);
        out.write(Mid(next, 1, n));
      }
      return true;
    }
    case Rule::Three: {
      long a = 1;
      long b = 1;
      const long half = idiv(n, 2);
      std::string w;
      for (int i = 1; i <= n; i += 3) {
        if (b > half) b = 1;
        if (a > n) a = 1;
        w.clear();
        addBlanks(w, a - 1);
        w += "X  X  X";
        addBlanks(w, n - a);
        out.put(Mid(w, 1, 2 * b)).put("X  X  X ").put(Mid(w, 2 * b)).cut(n).end();
        a += 3;
        b += 3;
      }
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

bool S11(int n, int colours, StepWriter& out) {
  const double eighth = n / 8.0;
  switch (ruleByColours(colours)) {
    case Rule::Single:
      for (int rep = 0; rep < 2; ++rep) {
        for (double k = 1; k <= eighth; ++k) out.blanks(n).end();
        for (double k = 1; k <= eighth; ++k) out.xs(n).end();
      }
      return true;
    case Rule::Three: {
      std::string first;
      std::string second;
      std::string third;
      for (double i = 1; i <= n / 3.0; ++i) first += "X  ";
      for (double i = 1; i <= n / 2.0; ++i) second += " X ";
      for (double i = 1; i <= n / 2.0; ++i) third += "  X";
      for (int rep = 0; rep < 2; ++rep) {
        for (double k = 1; k <= eighth; ++k) out.write(first);
        for (double k = 1; k <= eighth; ++k) out.write(second);
        for (double k = 1; k <= eighth; ++k) out.write(third);
      }
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

bool S12(int n, int colours, StepWriter& out) {
  if (ruleByColours(colours) == Rule::None) return false;
  std::string w;
  for (int k = 1; k <= n; k += 8) w += "    XXXX";
  for (int rep = 0; rep < 2; ++rep) {
    for (int i = 1; i <= n; ++i) {
      char& c = w[static_cast<std::size_t>(i - 1)];
      c = c == ' ' ? 'X' : ' ';
      out.write(w);
    }
  }
  return true;
}

bool S13(int n, int colours, StepWriter& out) {
  if (ruleByColours(colours) == Rule::None) return false;
  const long b = idiv(n, 8);
  const long half = idiv(n, 2);
  const std::string bar = Xs(b);
  for (long i = 0; i <= b - 1; ++i) out.xs(i).blanks(n - 2 * i).xs(i).end();
  long t = 2 * b;
  std::string line;
  for (long i = 0; i <= half; ++i) {
    if (n - 2 * b - 2 * i >= 0) {
      line = Blanks(i);
      line += bar;
      addBlanks(line, n - 2 * b - 2 * i);
      line += bar;
      addBlanks(line, i);
    } else {
      t -= 2;
      if (t >= 0) {
        line = Blanks(i);
        addXs(line, t);
        addBlanks(line, i);
      }
    }
    out.write(line);
  }
  for (long k = 0; k <= b; ++k) out.blanks(half - k).xs(2 * k).blanks(half - k).end();
  for (long i = b; i <= half; ++i) {
    out.blanks(half - i).put(bar).blanks(2 * (i - b)).put(bar).blanks(half - i).end();
  }
  for (long i = b; i >= 0; --i) out.xs(i).blanks(n - 2 * i).xs(i).end();
  return true;
}

bool S14(int n, int colours, StepWriter& out) {
  const long h = Int(n / 2.0);
  switch (ruleWithThreshold(n, colours, 32)) {
    case Rule::Single:
      for (long i = 1; i <= h; ++i) out.blanks(h - i).xs(2 * i).blanks(h - i).end();
      return true;
    case Rule::Three: {
      const long half = idiv(n, 2);
      for (std::string_view unit : {"X  X  ", " X  X ", "  X  X", "XXXXXX"}) {
        std::string w;
        for (long i = 1; i <= h; i += 3) {
          w += unit;
          out.blanks(half - i).put(w).blanks(half - i).end();
        }
      }
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

bool S15(int n, int colours, StepWriter& out) {
  const long h = Int(n / 2.0);
  switch (ruleWithThreshold(n, colours, 32)) {
    case Rule::Single:
      for (long i = 1; i <= h; ++i) out.xs(h - i).blanks(2 * i).xs(h - i).end();
      return true;
    case Rule::Three: {
      const long half = idiv(n, 2);
      std::string next;
      auto open = [&](std::string& w, long i, long gap) {
        const std::string_view side = Mid(w, 1, half - i + 1);
        next.assign(side);
        addBlanks(next, gap);
        next += side;
        w.swap(next);
        out.write(w);
      };
      for (std::string_view unit : kGroupUnits) {
        std::string w = Repeat(unit, idiv(n, 3));
        for (long i = 1; i <= h; i += 3) open(w, i, 2 * i - 1);
      }
      std::string w = Repeat("XX", half);
      for (long i = 1; i <= h; i += 2) open(w, i, 2 * i);
      return true;
    }
    case Rule::None:
      break;
  }
  return false;
}

bool S16(int n, int colours, StepWriter& out) {
  if (ruleByColours(colours) == Rule::None) return false;
  const long b = Int(static_cast<double>(n) / sixteenth(n));
  for (int i = 1; i <= n; ++i) out.blanks(i - 1).xs(b).blanks(n - i).end();
  return true;
}

bool S17(int n, int colours, StepWriter& out) {
  if (ruleByColours(colours) == Rule::None) return false;
  const long b = Int(static_cast<double>(n) / sixteenth(n));
  for (int i = 1; i <= n; ++i) out.xs(i - 1).blanks(b).xs(n - i).end();
  return true;
}

bool S18(int n, int colours, StepWriter& out) {
  if (ruleByColours(colours) == Rule::None) return false;
  const double quarter = n / 4.0;
  auto line = [&](double i) {
    out.xs(i).blanks(n / 2.0 - 2 * i + 1).xs(quarter - 1).blanks(2 * i + 1).xs(quarter - i + 1).end();
  };
  for (double i = 0; i <= quarter; ++i) line(i);
  for (double i = quarter; i >= 0; --i) line(i);
  return true;
}

bool S19(int n, int, StepWriter& out) {
  const long g = idiv(n, sixteenth(n));
  for (long k = n; k >= 0; k -= g) {
    long c = 0;
    for (long m = k; m <= n; m += g) {
      ++c;
      out.xs(k).blanks(g * c).xs(g).end();
    }
  }
  return true;
}

bool S20(int n, int, StepWriter& out) {
  jumpingLamp(n, 1, out);
  return true;
}

bool S21(int n, int, StepWriter& out) {
  const int d = n >= 16 ? 16 : 8;
  const long a = whole(static_cast<double>(n) / d);
  std::string w;
  for (int i = 1; i <= n; ++i) {
    addXs(w, a);
    addBlanks(w, a);
    if (w.size() > static_cast<std::size_t>(n)) break;
    out.write(w);
  }
  std::string l = w;
  addBlanks(l, n);
  l.resize(static_cast<std::size_t>(n));
  std::string next;
  for (int i = 1; i <= n; ++i) {
    next.assign(Mid(l, 2, n));
    next += Mid(l, 1, 1);
    l.swap(next);
    out.write(l);
  }
  for (int i = 1; i <= n; ++i) {
    next.assign(Mid(l, n, 1));
    next += Mid(l, 1, n - 1);
    l.swap(next);
    out.write(l);
  }
  const double step = n / (d / 2.0);
  for (double i = 1; i <= n; i += step) {
    next = Blanks(i - 1);
    next += Mid(l, i, n - i + 1);
    l.swap(next);
    out.write(l);
  }
  return true;
}

bool S22(int n, int, StepWriter& out) {
  std::string w;
  std::string l;
  for (int i = 1; i <= n; ++i) {
    addXs(w, i);
    addBlanks(w, i);
    l.assign(Mid(w, 1, n));
    out.write(l);
    out.write(l);
    if (w.size() >= static_cast<std::size_t>(n)) break;
  }
  std::string next;
  for (int i = 1; i <= n; ++i) {
    // One blank, then the line shifted right (clear and push_back: GCC 12 at -O3 reports a false
    // -Wrestrict on assigning a literal here).
    next.clear();
    next.push_back(' ');
    next += Mid(l, 1, n - 1);
    l.swap(next);
    out.write(l);
  }
  return true;
}

bool S23(int n, int, StepWriter& out) {
  const long b = whole(n / 32.0 + 1);
  const long last = idiv(n, 4);
  std::string unit;
  for (long j = 0; j <= last; ++j) {
    unit = Blanks(j);
    addXs(unit, b);
    out.repeat(unit, 4).end();
  }
  return true;
}

bool S24(int n, int, StepWriter& out) {
  buildingBlocks(n, out);
  return true;
}

bool S25(int n, int, StepWriter& out) {
  StepWriter blocks;
  buildingBlocks(n, blocks);
  const std::vector<std::string> lines = blocks.lines();
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    out.put(*it).blanks(n - static_cast<long>(it->size())).end();
  }
  return true;
}

bool S26(int n, int, StepWriter& out) {
  const long l = whole(static_cast<double>(n) / sixteenth(n));
  const std::string block = Xs(l);
  for (long m = 0; m <= 15; ++m) {
    for (long k = m; k <= 15; ++k) out.xs(m * l).blanks(l * (15 - k)).put(block).cut(n).end();
  }
  return true;
}

bool S27(int n, int colours, StepWriter& out) {
  if (ruleByColours(colours) == Rule::None) return false;
  for (long i = 0; i <= Int(n / 2.0); ++i) out.xs(i).blanks(n - 2 * i).xs(i).end();
  return true;
}

bool S28(int n, int colours, StepWriter& out) {
  if (ruleByColours(colours) == Rule::None) return false;
  for (long i = 0; i <= Int(n / 2.0); ++i) out.blanks(i).xs(n - 2 * i).blanks(i).end();
  return true;
}

}  // namespace lumafex::patterns::单色花式
