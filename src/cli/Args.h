#pragma once
// A small command-line reader: options "--name value", "--name=value" or "--flag", and positional
// words. Every option a command does not know, and a value given to a flag, is a bad argument.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lumafex::cli {

class Args {
 public:
  // `valued` names the options that take a value ("--name value" or "--name=value"; a one-letter
  // name also "-n value"), `flags` those that take none. Any other word that begins with "-"
  // (but is not "-" itself) is an unknown option; after "--" every word is positional.
  Args(const std::vector<std::string>& words, const std::set<std::string>& valued,
       const std::set<std::string>& flags);

  bool ok() const { return error_.empty(); }
  // Why the words are no valid command line (the first fault found).
  const std::string& error() const { return error_; }
  bool flag(const std::string& name) const { return flags_.count(name) != 0; }
  std::optional<std::string> value(const std::string& name) const;
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  void fail(std::string message);

  std::map<std::string, std::string> values_;
  std::set<std::string> flags_;
  std::vector<std::string> positional_;
  std::string error_;
};

// A whole number from an argument, or nullopt when the text is not one.
std::optional<long> parseWhole(const std::string& text);

}  // namespace lumafex::cli
