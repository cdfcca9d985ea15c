#pragma once
// The design window's run: the current effect replayed step by step on the previews (Timer1), the
// whole board run entry after entry (显示总程序, with 定时显示总程序), and the title in the state each
// step gives it. The one place where a run starts and stops.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/design/Playback.h"
#include "render/PictureRenderer.h"

namespace lumafex::app {
class Application;
}

namespace lumafex::design {

class BoardPanel;
class ProjectDocument;

class RunPlayer : public QObject {
  Q_OBJECT

 public:
  RunPlayer(app::Application& app, ProjectDocument& document, BoardPanel& board, QObject* parent = nullptr);

  // ---- Starting ----
  // The current effect from its first step (after it was generated into the scratch step file).
  void startEffect();
  // 显示总程序: the whole board on the previews, entry after entry, for ever.
  void runBoard();
  // A board entry was chosen: the run starts at entry 0 when none is active, else it goes on
  // from the chosen entry.
  void boardEntryChosen();
  // 暂停: stops or resumes the step display.
  void pause();

  // ---- Stopping ----
  // The step display only (the designers, a catalogue entry about to be generated).
  void stopDisplay();
  // The whole-board run ends and the step display stops; with `toFirstEntry` the board's first
  // entry is selected (without starting anything).
  void stopRun(bool toFirstEntry = false);
  // Everything stops: the step display, the board timer and the run (a press on the catalogue).
  void stopAll();
  // 全部清除: a run of the board ends with it; the current effect otherwise goes on.
  void boardCleared();
  // Closes the step reader of the scratch step file (before the file is rewritten).
  void closeStepReader() { stepReader_.close(); }

  // A tick of Timer1: the next step of the current effect on the previews.
  void tick();
  // Below this interval (about a display frame) a tick shows every step that came due.
  static constexpr qint64 kCatchUpBelowMs = 16;
  // Milliseconds per step.
  void setInterval(int ms) { Timer1->setInterval(ms); }

  // Draws the title for the current step on the previews that are switched on.
  void showTitle();

  bool isTotalRunActive() const { return totalRun_.active(); }
  bool isDisplaying() const { return Timer1->isActive(); }
  // The title state last drawn (the vertical preview's when it is shown, else the horizontal's).
  const QString& titleState() const { return titleState_; }
  long stepsShown() const { return stepsShown_; }
  void resetStepsShown() { stepsShown_ = 0; }
  // Stops the timer that advances the whole-board run (tests drive it tick by tick).
  void stopBoardTimer() { 定时显示总程序->stop(); }
  // Both lists' colours as the mode says.
  void showMode();

 signals:
  void statusText(const QString& text);

 private:
  // One step of a tick; false when the tick ends without a step drawn.
  bool stepOnce(bool drawTitle);
  void advanceRun();
  void setStepCounters(long step);
  void updateTitleState();
  // The state of one preview for the current step.
  void updateTitleStateOf(bool horizontal);
  void showEntryStatus(const QString& entry);
  preview::PictureFrame stepPictures(const QString& line) const;

  app::Application& app_;
  ProjectDocument& document_;
  BoardPanel& board_;
  QTimer* Timer1;
  QTimer* 定时显示总程序;
  // The step reader of the scratch step file, open between ticks.
  StepCursor stepReader_;
  CatchUpScheduler catchUp_;
  QElapsedTimer runClock_;
  // "显示总程序": totalRunActive and entryFinished.
  BoardRun totalRun_;
  QString titleState_;
  // Each preview keeps its own title state: its 启用标题花式 decides whether the title effect
  // applies, and a step without a mask keeps the state that preview had.
  QString horizontalTitleState_;
  QString verticalTitleState_;
  long stepsShown_ = 0;
};

}  // namespace lumafex::design
