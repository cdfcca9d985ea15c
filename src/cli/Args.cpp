#include "cli/Args.h"

#include <charconv>

namespace lumafex::cli {

void Args::fail(std::string message) {
  if (error_.empty()) error_ = std::move(message);
}

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valued,
           const std::set<std::string>& flags) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < words.size() && ok(); ++i) {
    const std::string& w = words[i];
    if (optionsEnded || w.size() < 2 || w[0] != '-') {
      positional_.push_back(w);
      continue;
    }
    if (w == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name", "--name=value", or "-n" for a one-letter option.
    const bool longForm = w[1] == '-';
    std::string name = w.substr(longForm ? 2 : 1);
    std::optional<std::string> attached;
    if (const auto eq = name.find('='); longForm && eq != std::string::npos) {
      attached = name.substr(eq + 1);
      name.resize(eq);
    }
    const std::string shown = (longForm ? "--" : "-") + name;
    if (!longForm && name.size() != 1) {
      fail("未知的选项 " + w);
    } else if (valued.count(name)) {
      if (attached) {
        values_[name] = *attached;
      } else if (i + 1 < words.size()) {
        values_[name] = words[++i];
      } else {
        fail("选项 " + shown + " 需要一个值");
      }
    } else if (flags.count(name) && longForm) {
      if (attached) {
        std::string message = "选项 " + shown;
        message += " 不带值（“" + w + "”）";
        fail(std::move(message));
      } else {
        flags_.insert(name);
      }
    } else {
      fail("未知的选项 " + shown);
    }
  }
}

std::optional<std::string> Args::value(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<long> parseWhole(const std::string& text) {
  long v = 0;
  const auto* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, v);
  if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
  return v;
}

}  // namespace lumafex::cli
