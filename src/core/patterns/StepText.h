#pragma once
// Step text: the arithmetic the effect rules are written in, and the writer that collects the
// step lines of one generator run exactly as they go into the scratch step file.

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace lumafex::patterns {

// Raised when a rule asks for something its arithmetic cannot give: a negative count, a
// substring starting before position 1, a division by zero. Most rules never do for channel
// counts 4 to 300; the few that rely on it catch it themselves.
struct RuleError {};

// A real value used as a count or a position becomes the nearest whole number, halves going to
// the even neighbour (2.5 -> 2, 3.5 -> 4).
// (Written out rather than calling the library's rounding, which is not inlined and sits on the
// hottest path of every generator.)
// Values beyond long's range (a number read from a file) are held at its ends; NaN gives 0.
inline long whole(double x) {
  // Beyond ±2^62 (and for NaN) the conversion below would be undefined: such values saturate.
  constexpr double kLimit = 4611686018427387904.0;
  if (!(x > -kLimit && x < kLimit)) [[unlikely]] {
    return x > 0 ? static_cast<long>(kLimit) : (x < 0 ? -static_cast<long>(kLimit) : 0);
  }
  const long t = static_cast<long>(x);  // toward zero
  const double frac = x - static_cast<double>(t);
  if (frac > 0.5 || (frac == 0.5 && (t & 1))) return t + 1;
  if (frac < -0.5 || (frac == -0.5 && (t & 1))) return t - 1;
  return t;
}

// Integer division: both operands become whole numbers first, the quotient is truncated.
inline long idiv(double a, double b) {
  const long d = whole(b);
  if (d == 0) throw RuleError{};
  return whole(a) / d;
}

// The greatest whole number not above x.
inline long Int(double x) {
  constexpr double kLimit = 4611686018427387904.0;
  if (!(x > -kLimit && x < kLimit)) [[unlikely]] {
    return x > 0 ? static_cast<long>(kLimit) : (x < 0 ? -static_cast<long>(kLimit) : 0);
  }
  const long t = static_cast<long>(x);
  return x < static_cast<double>(t) ? t - 1 : t;
}

namespace detail {
inline std::size_t countOf(double n) {
  const long c = whole(n);
  if (c < 0) throw RuleError{};
  return static_cast<std::size_t>(c);
}
}  // namespace detail

// Mid(s, p, n): n characters from 1-based position p (fewer when s ends earlier, none when p
// lies past the end). p below 1 or n below 0 is a RuleError.
inline std::string_view Mid(std::string_view s, double p, double n) {
  const long start = whole(p);
  const long len = whole(n);
  if (start < 1 || len < 0) throw RuleError{};
  if (static_cast<std::size_t>(start) > s.size()) return {};
  return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(len));
}
// Mid(s, p): the rest of s from position p.
inline std::string_view Mid(std::string_view s, double p) {
  const long start = whole(p);
  if (start < 1) throw RuleError{};
  if (static_cast<std::size_t>(start) > s.size()) return {};
  return s.substr(static_cast<std::size_t>(start - 1));
}
// The first / last n characters; a count of 0 or less gives nothing.
inline std::string_view Left(std::string_view s, double n) {
  const long c = whole(n);
  if (c <= 0) return {};
  return s.substr(0, static_cast<std::size_t>(c));
}
inline std::string_view Right(std::string_view s, double n) {
  const long c = whole(n);
  if (c <= 0) return {};
  const auto k = static_cast<std::size_t>(c);
  return k >= s.size() ? s : s.substr(s.size() - k);
}

// Appending pieces to a working string. Negative counts are a RuleError.
inline void addBlanks(std::string& s, double n) {
  s.append(detail::countOf(n), ' ');
}
inline void addXs(std::string& s, double n) {
  s.append(detail::countOf(n), 'X');
}
void addRepeat(std::string& s, std::string_view unit, double times);
std::string Blanks(double n);
std::string Xs(double n);
std::string Repeat(std::string_view unit, double times);

// Setting position p of a working string: the first p - 1 characters, the new unit, then the
// rest from p + unit length. A position past the end appends the unit.
void setPos(std::string& w, double p, std::string_view unit);

// The first n characters of s (all of s when it is shorter).
inline std::string_view cutTo(std::string_view s, long n) {
  return s.substr(0, n < 0 ? 0 : static_cast<std::size_t>(n));
}

// Collects the effect text of one generator run: every line followed by CR LF. A line is built
// piece by piece and finished with end(); the pieces go straight into the output bytes. The buffer
// is grown before a piece is written, so the common short pieces are plain stores.
class StepWriter {
 public:
  StepWriter() = default;
  StepWriter(const StepWriter&) = delete;
  StepWriter& operator=(const StepWriter&) = delete;
  ~StepWriter() { delete[] data_; }

  StepWriter& put(std::string_view s) {
    char* p = room(s.size());
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
    size_ += s.size();
    return *this;
  }
  StepWriter& blanks(double n) { return fill(' ', count(n)); }
  StepWriter& xs(double n) { return fill('X', count(n)); }
  StepWriter& blanks(long n) { return fill(' ', count(n)); }
  StepWriter& xs(long n) { return fill('X', count(n)); }
  StepWriter& blanks(int n) { return fill(' ', count(static_cast<long>(n))); }
  StepWriter& xs(int n) { return fill('X', count(static_cast<long>(n))); }
  StepWriter& repeat(std::string_view unit, double times);
  // Cut the line being built to its first n characters.
  StepWriter& cut(long n) {
    const std::size_t keep = n < 0 ? 0 : static_cast<std::size_t>(n);
    if (size_ - lineStart_ > keep) size_ = lineStart_ + keep;
    return *this;
  }
  // Finish the line being built (possibly empty) with CR LF.
  void end() {
    char* p = room(2);
    p[0] = '\r';
    p[1] = '\n';
    size_ += 2;
    lineStart_ = size_;
    ++lines_;
  }
  void write(std::string_view line) {
    put(line);
    end();
  }
  // Forget the unfinished part of the line being built (after a RuleError).
  void dropUnfinishedLine() { size_ = lineStart_; }
  std::string_view building() const { return std::string_view(data_ + lineStart_, size_ - lineStart_); }

  // Set when the run ended early on a RuleError that the rule did not handle itself.
  void markAbandoned() { abandoned_ = true; }
  bool abandoned() const { return abandoned_; }

  std::size_t lineCount() const { return lines_; }
  std::string_view bytes() const { return std::string_view(data_, size_); }
  std::vector<std::string> lines() const;
  void clear() {
    size_ = 0;
    lineStart_ = 0;
    lines_ = 0;
    abandoned_ = false;
  }
  void reserve(std::size_t n) {
    if (n > capacity_) grow(n - size_);
  }

 private:
  static std::size_t count(double n) {
    const long c = whole(n);
    if (c < 0) throw RuleError{};
    return static_cast<std::size_t>(c);
  }
  static std::size_t count(long n) {
    if (n < 0) throw RuleError{};
    return static_cast<std::size_t>(n);
  }
  char* room(std::size_t n) {
    if (capacity_ - size_ < n) grow(n);
    return data_ + size_;
  }
  StepWriter& fill(char c, std::size_t n) {
    if (n == 0) return *this;
    char* p = room(n);
    std::memset(p, c, n);
    size_ += n;
    return *this;
  }
  void grow(std::size_t atLeast);

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t lineStart_ = 0;
  std::size_t lines_ = 0;
  bool abandoned_ = false;
};

// Splits effect text (or any CR LF text) into its lines; a final line without CR LF counts.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace lumafex::patterns
