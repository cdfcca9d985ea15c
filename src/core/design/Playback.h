#pragma once
// Playing a sequence of step lines: the cursor over a step file, the whole-board run that plays
// the board entry after entry, and the catch-up of runs faster than the screen refreshes. The
// design window and the post-processing window drive these with their timers.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace lumafex::design {

// A step file read line by line: the scratch step file the previews replay.
class StepCursor {
 public:
  // Opens the file at its first line; false when it cannot be opened (the cursor is closed then).
  bool open(const std::filesystem::path& path);
  bool isOpen() const { return in_.is_open(); }
  void close();
  // No line left (a closed cursor has none either).
  bool atEnd();
  // The next line without its line end; nothing at the end.
  std::optional<std::string> next();
  // Back to the first line.
  void rewind();
  // Lines read since the file was opened or rewound.
  long position() const { return position_; }

 private:
  std::ifstream in_;
  long position_ = 0;
};

// The steps of a file of lines `width` characters wide plus CR LF: its length ÷ (width + 2).
long stepCount(std::uintmax_t fileBytes, long width);

// A step line cut into the tube channels (the first N characters) and the image channels (the
// characters after them, taken only when both tubes and images are on).
struct StepParts {
  std::string tubes;
  std::string images;
};
StepParts splitStep(std::string_view line, int channels, bool withImages);

// The whole-board run ("显示总程序"): the board played entry after entry, for ever.
class BoardRun {
 public:
  enum class Advance {
    None,       // the current entry has not finished
    StopTimer,  // no run: the timer that advances it stops
    Next,       // select the next board entry
    Restart,    // the last entry finished: back to entry 0, the step counter to 0
  };

  void start() {
    active_ = true;
    entryFinished_ = false;
  }
  void stop() { active_ = false; }
  bool active() const { return active_; }
  // The preview reached the end of the current entry's effect.
  void entryEnded() { entryFinished_ = true; }
  // A new entry began.
  void entryBegan() { entryFinished_ = false; }
  bool entryFinished() const { return entryFinished_; }
  // A tick of the advancing timer or the end of an effect, with the selected entry and the
  // board's entry count.
  Advance advance(int selected, int count);

 private:
  bool active_ = false;
  bool entryFinished_ = false;
};

// Below about one display frame per step a timer falls behind; each tick then shows every step
// that came due since the last one (at most kMaxStepsPerTick), so the run keeps its speed.
class CatchUpScheduler {
 public:
  static constexpr long long kMaxStepsPerTick = 50;
  // The steps due at `nowMs` (a steady clock) for steps every `intervalMs`.
  int due(long long nowMs, long long intervalMs);

 private:
  long long scheduled_ = 0;
};

}  // namespace lumafex::design
