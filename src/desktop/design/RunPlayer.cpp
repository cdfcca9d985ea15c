#include "desktop/design/RunPlayer.h"

#include "core/design/Board.h"
#include "core/design/Rules.h"
#include "core/design/SignPictures.h"
#include "core/design/TitleEffect.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/design/BoardPanel.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/postedit/PostEditWindow.h"
#include "desktop/preview/PreviewWindow.h"

namespace lumafex::design {

using platform::qs;
using platform::us;

RunPlayer::RunPlayer(app::Application& app, ProjectDocument& document, BoardPanel& board, QObject* parent)
    : QObject(parent), app_(app), document_(document), board_(board) {
  setObjectName(QStringLiteral("runPlayer"));
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(50);
  定时显示总程序 = new QTimer(this);
  定时显示总程序->setObjectName(QStringLiteral("定时显示总程序"));
  定时显示总程序->setInterval(50);
  connect(Timer1, &QTimer::timeout, this, [this] { tick(); });
  connect(定时显示总程序, &QTimer::timeout, this, [this] { advanceRun(); });
}

void RunPlayer::showMode() {
  board_.showRunning(totalRun_.active());
}

void RunPlayer::startEffect() {
  Timer1->start();
}

void RunPlayer::stopDisplay() {
  Timer1->stop();
}

void RunPlayer::stopRun(bool toFirstEntry) {
  if (totalRun_.active()) {
    totalRun_.stop();
    if (toFirstEntry) board_.selectBoardEntry(0);
  }
  Timer1->stop();
  showMode();
}

void RunPlayer::stopAll() {
  Timer1->stop();
  定时显示总程序->stop();
  totalRun_.stop();
  showMode();
}

void RunPlayer::boardCleared() {
  if (totalRun_.active()) {
    totalRun_.stop();
    Timer1->stop();
  }
  showMode();
}

void RunPlayer::pause() {
  if (Timer1->isActive()) {
    Timer1->stop();
  } else {
    Timer1->start();
  }
}

void RunPlayer::setStepCounters(long step) {
  app_.horizontalPreview().setStep(step);
  app_.verticalPreview().setStep(step);
}

void RunPlayer::showEntryStatus(const QString& entry) {
  emit statusText(QStringLiteral("正在显示编程总程序的:“") + entry + QStringLiteral("”"));
}

void RunPlayer::tick() {
  const qint64 interval = std::max(1, Timer1->interval());
  if (interval >= kCatchUpBelowMs) {
    stepOnce(true);
    return;
  }
  // Faster than the screen refreshes, a timer of a millisecond or two falls behind: the steps that
  // came due since the last tick are all read (only the last of them can be seen anyway), so the
  // run keeps its speed.
  if (!runClock_.isValid()) runClock_.start();
  const int due = catchUp_.due(runClock_.elapsed(), interval);
  for (int i = 0; i < due; ++i) {
    if (!stepOnce(i + 1 == due)) break;
  }
}

bool RunPlayer::stepOnce(bool drawTitle) {
  if (app_.sinceSplash() > 2500) app_.hideSplash();
  const int n = columnsOf(document_.settings());
  if (n == 0 || n > kMaxChannels) {
    Timer1->stop();
    app_.dialogs().message("请先确定列数！");
    return false;
  }
  showMode();
  if (!stepReader_.isOpen()) {
    if (!stepReader_.open(platform::pathFromUtf8(us(app_.scratchFile())))) return false;
    if (!totalRun_.active()) setStepCounters(0);
    return false;
  }
  if (stepReader_.atEnd()) {
    if (totalRun_.active()) {
      totalRun_.entryEnded();
      advanceRun();
    } else {
      setStepCounters(0);
      stepReader_.rewind();
    }
    return false;
  }
  const auto parts = splitStep(stepReader_.next().value_or(std::string()), n, true);
  auto& h = app_.horizontalPreview();
  const long step = h.step() + 1;
  setStepCounters(step);
  const QString tubes = QString::fromLatin1(parts.tubes.data(), static_cast<qsizetype>(parts.tubes.size()));
  const QString images =
      QString::fromLatin1(parts.images.data(), static_cast<qsizetype>(parts.images.size()));
  const preview::PictureFrame pictures = stepPictures(tubes + images);
  const auto& s = document_.settings();
  if (s.showHorizontal == 1) h.showStep(tubes, images, pictures);
  if (s.showVertical == 1) app_.verticalPreview().showStep(tubes, images, pictures);
  ++stepsShown_;
  if (drawTitle) {
    showTitle();
  } else {
    updateTitleState();
  }
  return true;
}

void RunPlayer::runBoard() {
  app_.designWindow().消除各种物件块();
  app_.horizontalPreview().setStep(0);
  if (board_.boardCount() == 0) {
    app_.dialogs().message("请先选择花式到编程板。");
    return;
  }
  totalRun_.start();
  board_.chooseBoardEntry(0);
  showEntryStatus(board_.boardText(0));
  showMode();
  totalRun_.entryBegan();
  Timer1->start();
  定时显示总程序->start();
}

void RunPlayer::boardEntryChosen() {
  const int row = board_.boardRow();
  if (row < 0) return;
  if (!totalRun_.active()) {
    runBoard();
    return;
  }
  const QString text = board_.boardText(row);
  showEntryStatus(text);
  totalRun_.entryBegan();
  board_.selectCatalogueEntry(static_cast<int>(patterns::leadingNumber(us(text))) - 1);
  Timer1->start();
}

void RunPlayer::advanceRun() {
  const int k = board_.boardRow();
  switch (totalRun_.advance(k, board_.boardCount())) {
    case BoardRun::Advance::StopTimer:
      定时显示总程序->stop();
      return;
    case BoardRun::Advance::None:
      return;
    case BoardRun::Advance::Next:
      board_.chooseBoardEntry(k + 1);
      return;
    case BoardRun::Advance::Restart:
      break;
  }
  board_.selectBoardEntry(0);
  app_.horizontalPreview().setStep(0);
  if (board_.boardCount() > 0) {
    showEntryStatus(board_.boardText(0));
    board_.selectCatalogueEntry(static_cast<int>(patterns::leadingNumber(us(board_.boardText(0)))) - 1);
  }
}

void RunPlayer::updateTitleStateOf(bool horizontal) {
  const auto& s = document_.settings();
  QString& state = horizontal ? horizontalTitleState_ : verticalTitleState_;
  const bool titleEffect = (horizontal ? s.horizontalTitleEffect : s.verticalTitleEffect) == 1;
  if (!titleEffect) {
    state = qs(s.title);
  } else if (const auto mask = findMask(document_.project().titleEffect, app_.horizontalPreview().step())) {
    state = qs(titleStateOf(mask->mask, static_cast<std::size_t>(qs(s.title).size())));
    // Show which line of the title effect is in force: its state, up to the marker.
    app_.postEditWindow().markTitleEffectLine(static_cast<int>(mask->maskStart),
                                              static_cast<int>(mask->maskLength));
  } else if (state.isEmpty()) {
    state = qs(s.title);  // before the first mask the whole title is lit, as the chip shows it
  }
  titleState_ = state;
}

void RunPlayer::updateTitleState() {
  const auto& s = document_.settings();
  if (s.showHorizontal == 1) updateTitleStateOf(true);
  if (s.showVertical == 1) updateTitleStateOf(false);
}

void RunPlayer::showTitle() {
  const auto& s = document_.settings();
  const auto style = titleStyleOf(s);
  if (s.titleOff == 1) {
    // No title at all: take away what is drawn at once.
    app_.horizontalPreview().showTitle(style, QString());
    app_.verticalPreview().showTitle(style, QString());
    return;
  }
  updateTitleState();
  if (s.showHorizontal == 1) app_.horizontalPreview().showTitle(style, horizontalTitleState_);
  if (s.showVertical == 1) app_.verticalPreview().showTitle(style, verticalTitleState_);
}

preview::PictureFrame RunPlayer::stepPictures(const QString& line) const {
  const auto& s = document_.settings();
  preview::PictureFrame frame;
  frame.logosOn = s.logosOn == 1;
  frame.imagesOn = s.imagesOn == 1;
  if (frame.imagesOn) {
    frame.shownImages = imagesOfRunLine(line.toLatin1().toStdString(),
                                        document_.project().pictures.imageCount, s.tubesOn == 1);
  }
  return frame;
}

}  // namespace lumafex::design
