#include "cli/Args.h"

#include <charconv>

namespace lumafex::cli {

Args::Args(const std::vector<std::string>& words, const std::set<std::string>& valued) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.rfind("--", 0) == 0) {
      std::string name = w.substr(2);
      const auto eq = name.find('=');
      if (eq != std::string::npos) {
        values_[name.substr(0, eq)] = name.substr(eq + 1);
      } else if (valued.count(name)) {
        if (i + 1 >= words.size()) {
          error_ = "选项 --" + name + " 需要一个值";
          return;
        }
        values_[name] = words[++i];
      } else {
        flags_.insert(name);
      }
    } else if (w.size() == 2 && w[0] == '-' && w[1] != '-' && valued.count(w.substr(1))) {
      if (i + 1 >= words.size()) {
        error_ = "选项 " + w + " 需要一个值";
        return;
      }
      values_[w.substr(1)] = words[++i];
    } else {
      positional_.push_back(w);
    }
  }
}

std::optional<std::string> Args::value(const std::string& name) const {
  const auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> Args::unknownOption(const std::set<std::string>& flags) const {
  for (const auto& f : flags_) {
    if (!flags.count(f)) return "--" + f;
  }
  return std::nullopt;
}

std::optional<std::string> Args::valueForFlag(const std::set<std::string>& valued) const {
  for (const auto& [name, value] : values_) {
    if (!valued.count(name)) return "--" + name;
  }
  return std::nullopt;
}

std::optional<long> parseWhole(const std::string& text) {
  long v = 0;
  const auto* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, v);
  if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
  return v;
}

}  // namespace lumafex::cli
