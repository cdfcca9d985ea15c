#include "core/patterns/StepText.h"

namespace lumafex::patterns {

namespace {
std::size_t count(double n) {
  return detail::countOf(n);
}
}  // namespace

void addRepeat(std::string& s, std::string_view unit, double times) {
  const std::size_t t = count(times);
  s.reserve(s.size() + t * unit.size());
  for (std::size_t i = 0; i < t; ++i) s.append(unit);
}

std::string Blanks(double n) {
  return std::string(count(n), ' ');
}
std::string Xs(double n) {
  return std::string(count(n), 'X');
}

std::string Repeat(std::string_view unit, double times) {
  std::string s;
  addRepeat(s, unit, times);
  return s;
}

void setPos(std::string& w, double p, std::string_view unit) {
  const long pos = whole(p);
  if (pos < 1) throw RuleError{};
  const auto at = static_cast<std::size_t>(pos - 1);
  if (at >= w.size()) {
    w.append(unit);
    return;
  }
  const std::size_t restFrom = at + unit.size();
  if (restFrom >= w.size()) {
    w.resize(at);
    w.append(unit);
  } else {
    w.replace(at, unit.size(), unit);
  }
}

StepWriter& StepWriter::repeat(std::string_view unit, double times) {
  const std::size_t t = count(times);
  if (t == 0 || unit.empty()) return *this;
  char* p = room(t * unit.size());
  for (std::size_t i = 0; i < t; ++i, p += unit.size()) std::memcpy(p, unit.data(), unit.size());
  size_ += t * unit.size();
  return *this;
}

void StepWriter::grow(std::size_t atLeast) {
  std::size_t cap = capacity_ < 4096 ? 4096 : capacity_ * 2;
  while (cap - size_ < atLeast) cap *= 2;
  char* bigger = new char[cap];
  if (size_) std::memcpy(bigger, data_, size_);
  delete[] data_;
  data_ = bigger;
  capacity_ = cap;
}

std::vector<std::string> StepWriter::lines() const {
  return splitLines(bytes());
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t crlf = text.find("\r\n", from);
    if (crlf == std::string_view::npos) {
      out.emplace_back(text.substr(from));
      break;
    }
    out.emplace_back(text.substr(from, crlf - from));
    from = crlf + 2;
  }
  return out;
}

}  // namespace lumafex::patterns
