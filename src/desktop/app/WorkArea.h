#pragma once
// Keeping windows where a person can use them. A top-level window opens inside the available area
// of its screen, and a working window (an MDI frame of the main window) inside the main window's
// client area, made smaller when it is larger than that area. A working window whose content needs
// more room than its frame has scrolls it instead of squeezing its controls over one another.

#include <QObject>
#include <QRect>
#include <QSize>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace lumafex::app {

// The geometry a window of geometry `window` takes in `area`: at most as large as the area (but
// never below `minimum`), moved the shortest way that brings it inside. A window that stays larger
// than the area keeps its top-left corner (its title and close button) inside.
QRect keptInside(const QRect& window, const QRect& area, const QSize& minimum = {});

// Puts `window` into a scroll area that fills a working window's frame: the window is as large as
// the frame when the frame is large enough, and keeps its minimum size (scrolled) when it is not.
// The scroll area carries the window's title and icon. Returns the scroll area.
QWidget* scrollableFrameContent(QWidget* window);

// The MDI frame a working window lies in (through a scroll area when there is one), or null.
QMdiSubWindow* workingFrameOf(const QWidget* window);

// Brings windows into their work area when they are shown, and the working windows of an MDI area
// again when its client area shrinks. Installed on the application, it sees every window.
class WorkAreaKeeper : public QObject {
  Q_OBJECT

 public:
  explicit WorkAreaKeeper(QObject* parent = nullptr);

  // Brings a top-level window inside its screen's available area, or an MDI frame inside its
  // area's client area; an MDI frame that is `opening` also grows, where there is room, to what its
  // scrolled content needs.
  static void keep(QWidget* window, bool opening = false);
  // Every visible frame of the MDI area inside its client area.
  static void keepFrames(QMdiArea* area);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace lumafex::app
