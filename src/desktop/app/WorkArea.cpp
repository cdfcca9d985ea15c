#include "desktop/app/WorkArea.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <algorithm>

namespace lumafex::app {

namespace {

// Along one axis: the start of a window of `length` from `start` kept in [areaStart, areaEnd).
int keptStart(int start, int length, int areaStart, int areaEnd) {
  start = std::min(start, areaEnd - length);
  return std::max(start, areaStart);
}

bool isOwnWindowKind(const QWidget* widget) {
  switch (widget->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::SplashScreen:
      return true;
    default:
      return false;  // menus, tool tips and other pop-ups place themselves
  }
}

// The scroll area around a working window stands for it in the frame: it takes the window's title
// and icon along, and closing the frame closes the window (which may refuse or hide its frame
// itself); the scroll area itself stays shown for the next time the frame is shown.
class FrameContent : public QObject {
 public:
  FrameContent(QWidget* window, QScrollArea* scroll) : QObject(scroll), window_(window), scroll_(scroll) {
    window->installEventFilter(this);
    scroll->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_) {
      if (event->type() == QEvent::WindowTitleChange) scroll_->setWindowTitle(window_->windowTitle());
      if (event->type() == QEvent::WindowIconChange) scroll_->setWindowIcon(window_->windowIcon());
      return false;
    }
    if (watched == scroll_ && event->type() == QEvent::Close && window_) {
      const bool closed = window_->close();
      if (closed) {
        if (QMdiSubWindow* frame = workingFrameOf(window_)) frame->hide();
      }
      // Refused here in any case: the frame is hidden above, and the scroll area stays shown.
      event->ignore();
      return true;
    }
    return false;
  }

 private:
  QPointer<QWidget> window_;
  QScrollArea* scroll_;
};

}  // namespace

QRect keptInside(const QRect& window, const QRect& area, const QSize& minimum) {
  if (area.isEmpty()) return window;
  const QSize size = window.size().boundedTo(area.size()).expandedTo(minimum);
  return QRect(keptStart(window.x(), size.width(), area.left(), area.left() + area.width()),
               keptStart(window.y(), size.height(), area.top(), area.top() + area.height()), size.width(),
               size.height());
}

QWidget* scrollableFrameContent(QWidget* window) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(window->objectName() + QStringLiteral("Scroll"));
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  // The window's own controls take the keyboard focus, never the scroll area around them.
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setWidget(window);
  scroll->setWindowTitle(window->windowTitle());
  scroll->setWindowIcon(window->windowIcon());
  new FrameContent(window, scroll);
  return scroll;
}

QMdiSubWindow* workingFrameOf(const QWidget* window) {
  for (QWidget* parent = window ? window->parentWidget() : nullptr; parent; parent = parent->parentWidget()) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parent)) return frame;
    // Only the scroll area around the window lies between it and its frame.
    if (!qobject_cast<QScrollArea*>(parent) && !qobject_cast<QScrollArea*>(parent->parentWidget())) {
      return nullptr;
    }
  }
  return nullptr;
}

WorkAreaKeeper::WorkAreaKeeper(QObject* parent) : QObject(parent) {}

void WorkAreaKeeper::keep(QWidget* window, bool opening) {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(window)) {
    QMdiArea* area = frame->mdiArea();
    if (!area || frame->isMaximized() || frame->isMinimized()) return;
    QRect wanted = frame->geometry();
    // A window opens large enough for what its content needs, where the area has the room; made
    // smaller by the user afterwards, it scrolls.
    auto* scroll = qobject_cast<QScrollArea*>(frame->widget());
    if (opening && scroll && scroll->widget()) {
      const QSize around = frame->size() - scroll->viewport()->size();
      wanted.setSize(wanted.size().expandedTo(scroll->widget()->minimumSizeHint() + around));
    }
    const QRect kept = keptInside(wanted, area->viewport()->rect(), frame->minimumSize());
    if (kept != frame->geometry()) frame->setGeometry(kept);
    return;
  }
  if (!window->isWindow() || !isOwnWindowKind(window)) return;
  if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
  QScreen* screen = window->screen();
  if (!screen) return;
  // The frame (title bar and borders) is kept inside as well.
  const QRect frame = window->frameGeometry();
  const QMargins margins(window->geometry().left() - frame.left(), window->geometry().top() - frame.top(),
                         frame.right() - window->geometry().right(),
                         frame.bottom() - window->geometry().bottom());
  const QRect available = screen->availableGeometry();
  const QRect kept = keptInside(frame, available, window->minimumSize().grownBy(margins));
  if (kept == frame) return;
  const QRect inner = kept.marginsRemoved(margins);
  window->resize(inner.size());
  window->move(kept.topLeft());
}

void WorkAreaKeeper::keepFrames(QMdiArea* area) {
  for (QMdiSubWindow* frame : area->subWindowList()) {
    if (frame->isVisible()) keep(frame);
  }
}

bool WorkAreaKeeper::eventFilter(QObject* watched, QEvent* event) {
  // Cheap for every other event: only shows and resizes are looked at.
  if (event->type() != QEvent::Show && event->type() != QEvent::Resize) return false;
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (event->type() == QEvent::Show) {
    if (qobject_cast<QMdiSubWindow*>(widget) || widget->isWindow()) keep(widget, true);
    return false;
  }
  // A client area that became smaller, or a window made larger than its area.
  if (auto* area = qobject_cast<QMdiArea*>(widget->parentWidget()); area && area->viewport() == widget) {
    keepFrames(area);
  } else if ((qobject_cast<QMdiSubWindow*>(widget) || widget->isWindow()) && widget->isVisible()) {
    keep(widget);
  }
  return false;
}

}  // namespace lumafex::app
