#pragma once
// What the design window hands to the post-processing window: 生成TXT文件 assembles the board into
// the total program and opens the post-processing window on it; 提取当前花式 hands it the current
// effect alone.

#include <QString>
#include <optional>

namespace lumafex::app {
class Application;
}

namespace lumafex::design {

class BoardPanel;
class ProjectDocument;
class RunPlayer;

// A sequence handed to the post-processing window.
struct SequenceOpening {
  QString text;                  // the sequence, lines ended by CR LF or LF
  std::optional<long> steps;     // the step slider's maximum, when known
  std::optional<double> points;  // the text size of the sequence box, when set
  bool startRun = false;         // start the one-shot start of the step run
};

class SequenceHandOff {
 public:
  SequenceHandOff(app::Application& app, ProjectDocument& document, BoardPanel& board, RunPlayer& player)
      : app_(app), document_(document), board_(board), player_(player) {}

  // 生成TXT文件: false when nothing was assembled or the total program could not be written (the
  // user has been told).
  bool assemble();
  // 提取当前花式.
  void extract();

 private:
  void openSequence(const SequenceOpening& opening);

  app::Application& app_;
  ProjectDocument& document_;
  BoardPanel& board_;
  RunPlayer& player_;
};

}  // namespace lumafex::design
