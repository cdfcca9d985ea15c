#pragma once
// The commands of lumafex-cli. Each returns the process exit status:
// 0 success, 1 the work failed (message on standard error), 2 a bad argument, 3 no rule applies.

#include <iosfwd>
#include <string>
#include <vector>

namespace lumafex::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoRule = 3;

int catalogueCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int effectCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int assembleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int compileCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Compares chip images read back by a programmer with a compile of the project, in memory.
int verifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A new project from chips read back by a programmer.
int importCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The sign as an animated GIF or one step as a PNG picture (only in builds with the desktop
// program's drawing).
int renderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

void printUsage(std::ostream& out);

// A command line the command cannot take: the message and the command's usage line on `err`;
// returns kExitUsage.
int usageError(std::ostream& err, const std::string& command, const std::string& message);

}  // namespace lumafex::cli
