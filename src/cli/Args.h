#pragma once
// A small command-line reader: options "--name value" or "--flag", and positional words.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lumafex::cli {

class Args {
 public:
  // `valued` names the options that take a value; every other "--x" is a flag.
  Args(const std::vector<std::string>& words, const std::set<std::string>& valued);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  bool flag(const std::string& name) const { return flags_.count(name) != 0; }
  std::optional<std::string> value(const std::string& name) const;
  const std::vector<std::string>& positional() const { return positional_; }
  // Options given that are neither in `valued` nor in `flags`.
  std::optional<std::string> unknownOption(const std::set<std::string>& flags) const;
  // An option given a value ("--flag=x") that takes none, or nothing.
  std::optional<std::string> valueForFlag(const std::set<std::string>& valued) const;

 private:
  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::vector<std::string> positional_;
  std::string error_;
};

// A whole number from an argument, or nullopt when the text is not one.
std::optional<long> parseWhole(const std::string& text);

}  // namespace lumafex::cli
