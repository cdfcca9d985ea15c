// All-on and all-off fills: every lamp lit (in one colour or both) or every lamp dark.

#include "core/patterns/Generators.h"

namespace lumafex::patterns::双色花式 {

bool D61(int n, int, StepWriter& out) {
  for (long i = 1; i <= Int(n / 2.0); ++i) out.xs(n).end();
  return true;
}

bool D62(int n, int, StepWriter& out) {
  for (long i = 1; i <= Int(n / 2.0); ++i) out.blanks(n).end();
  return true;
}

namespace {
void lampsInColour(int n, const char* unit, StepWriter& out) {
  std::string line;
  for (double i = 1; i <= n / 2.0; ++i) line += unit;
  for (int step = 1; step <= n; ++step) out.write(line);
}
}  // namespace

bool D63(int n, int, StepWriter& out) {
  lampsInColour(n, "X ", out);
  return true;
}

bool D64(int n, int, StepWriter& out) {
  lampsInColour(n, " X", out);
  return true;
}

bool D65(int n, int, StepWriter& out) {
  for (int step = 1; step <= n; ++step) out.xs(n).end();
  return true;
}

}  // namespace lumafex::patterns::双色花式
