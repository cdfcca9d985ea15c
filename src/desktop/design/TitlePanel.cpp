#include "desktop/design/TitlePanel.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>

#include "core/design/TitleEffect.h"
#include "core/patterns/Catalogue.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/controls/Named.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::design {

using controls::named;
using platform::qs;
using platform::us;

namespace {
const QString kWhiteBox = QStringLiteral("background: rgb(255,255,255);");
const QString kRedBox = QStringLiteral("background: rgb(255,0,0);");
}  // namespace

TitlePanel::TitlePanel(app::Application& app, const bool& loadingProject, QWidget* parent)
    : QGroupBox(QStringLiteral("标题参数"), parent), app_(app), loadingProject_(loadingProject) {
  setObjectName(QStringLiteral("标题参数板"));
  auto* title = new QGridLayout(this);
  标题名称 = named(new QLineEdit(QStringLiteral("Velarn工作室"), this), "标题名称");
  标题名称->setToolTip(QStringLiteral("标题文字：请用中文或全角字符"));
  字体 = named(new QComboBox(this), "字体");
  字体->setEditable(true);
  字体->setEditText(QStringLiteral("宋体"));
  字体->setToolTip(QStringLiteral("标题的字体；按 Enter 装载系统字体"));
  字体大小 = named(new QLineEdit(QStringLiteral("48"), this), "字体大小");
  字间隔 = named(new QLineEdit(QStringLiteral("0"), this), "字间隔");
  粗体 = named(new QCheckBox(QStringLiteral("粗体"), this), "粗体");
  斜体 = named(new QCheckBox(QStringLiteral("斜体"), this), "斜体");
  禁用文字标题 = named(new QCheckBox(QStringLiteral("禁用文字标题"), this), "禁用文字标题");
  title->addWidget(new QLabel(QStringLiteral("标题："), this), 0, 0);
  title->addWidget(标题名称, 0, 1, 1, 5);
  title->addWidget(new QLabel(QStringLiteral("字体："), this), 1, 0);
  title->addWidget(字体, 1, 1, 1, 5);
  title->addWidget(new QLabel(QStringLiteral("字号："), this), 2, 0);
  title->addWidget(字体大小, 2, 1);
  title->addWidget(new QLabel(QStringLiteral("字间隔："), this), 2, 2);
  title->addWidget(字间隔, 2, 3);
  title->addWidget(粗体, 3, 0, 1, 2);
  title->addWidget(斜体, 3, 2);
  title->addWidget(禁用文字标题, 3, 3, 1, 3);
  标题字串闪烁 = named(new QTimer(this), "标题字串闪烁");
  标题字串闪烁->setInterval(250);

  for (QLineEdit* box : {标题名称, 字间隔, 字体大小}) {
    connect(box, &QLineEdit::textChanged, this, &TitlePanel::edited);
  }
  connect(字体, &QComboBox::editTextChanged, this, &TitlePanel::edited);
  connect(字体, &QComboBox::currentTextChanged, this, &TitlePanel::edited);
  for (QCheckBox* box : {粗体, 斜体, 禁用文字标题})
    connect(box, &QCheckBox::toggled, this, &TitlePanel::edited);

  for (QLineEdit* box : {字间隔, 标题名称, 字体大小}) {
    connect(box, &QLineEdit::textEdited, this, &TitlePanel::changedByUser);
  }
  connect(标题名称, &QLineEdit::textChanged, this, [this] { onTitleChanged(); });
  connect(标题字串闪烁, &QTimer::timeout, this, [this] {
    blinkRed_ = !blinkRed_;
    标题名称->setStyleSheet(blinkRed_ ? kRedBox : kWhiteBox);
  });
  connect(字体, &QComboBox::activated, this, [this](int) {
    emit changedByUser();
    emit layOutWanted();
  });
  connect(字体大小, &QLineEdit::textChanged, this, [this] {
    // An empty or zero size is drawn as 1 point: the box says so.
    if (patterns::leadingValue(us(字体大小->text())) == 0) 字体大小->setText(QStringLiteral("1"));
    emit layOutWanted();
  });
  connect(粗体, &QCheckBox::clicked, this, [this] {
    emit changedByUser();
    emit layOutWanted();
  });
  connect(斜体, &QCheckBox::clicked, this, &TitlePanel::changedByUser);
  connect(禁用文字标题, &QCheckBox::clicked, this, [this] {
    emit changedByUser();
    emit titleWanted();
  });
  setMouseTracking(true);
  标题名称->installEventFilter(this);
  字体->installEventFilter(this);
  if (字体->lineEdit()) 字体->lineEdit()->installEventFilter(this);
}

void TitlePanel::map(const ProjectSettings& s) {
  标题名称->setText(qs(s.title));
  字体->setEditText(qs(s.font));
  粗体->setChecked(s.bold == 1);
  字间隔->setText(qs(s.spacing));
  斜体->setChecked(s.italic == 1);
  禁用文字标题->setChecked(s.titleOff == 1);
  字体大小->setText(qs(s.fontSize));
}

void TitlePanel::store(ProjectSettings& s) const {
  s.title = us(标题名称->text());
  s.font = us(字体->currentText());
  s.bold = 粗体->isChecked() ? 1 : 0;
  s.spacing = us(字间隔->text());
  s.italic = 斜体->isChecked() ? 1 : 0;
  s.titleOff = 禁用文字标题->isChecked() ? 1 : 0;
  s.fontSize = us(字体大小->text());
}

void TitlePanel::onTitleChanged() {
  const QString accepted = qs(acceptedTitle(us(标题名称->text())));
  if (accepted != 标题名称->text()) {
    app_.dialogs().message("请用中文或全角字符！");
    标题名称->setText(accepted);
    return;
  }
  emit layOutWanted();
}

void TitlePanel::stopBlinking() {
  标题字串闪烁->stop();
  blinkRed_ = false;
  标题名称->setStyleSheet(kWhiteBox);
}

bool TitlePanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == 标题名称 && event->type() == QEvent::FocusIn) 标题字串闪烁->start();
  if (watched == 标题名称 && event->type() == QEvent::FocusOut) stopBlinking();
  const bool fontBox = watched == 字体 || (字体->lineEdit() && watched == 字体->lineEdit());
  // Every time the user brings the focus to the box, until the fonts are loaded; not when it comes
  // back from a dialog or a menu, which would ask again at once.
  if (fontBox && event->type() == QEvent::FocusIn && !fontsLoaded_ && !loadingFonts_ && !askingForFonts_ &&
      !loadingProject_) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      askingForFonts_ = true;
      const bool yes = app_.dialogs().message("是否装载系统字体？", platform::Buttons::YesNo,
                                              platform::Answer::Yes) == platform::Answer::Yes;
      askingForFonts_ = false;
      if (yes) 装载字体();
    }
  }
  if (fontBox && event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) 装载字体();
  }
  return QGroupBox::eventFilter(watched, event);
}

void TitlePanel::装载字体() {
  if (loadingFonts_) return;
  loadingFonts_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QWidget& main = app_.mainWindow();
  const QString caption = main.windowTitle();
  {
    const QSignalBlocker block(字体);
    字体->clear();
    字体->hide();
    for (const QString& family : QFontDatabase::families()) {
      字体->addItem(family);
      main.setWindowTitle(QStringLiteral("正在装载字体“") + family + QStringLiteral("”"));
    }
    字体->setEditText(QStringLiteral("宋体"));
  }
  emit edited();
  字体->show();
  main.setWindowTitle(caption);
  QApplication::restoreOverrideCursor();
  fontsLoaded_ = true;
  loadingFonts_ = false;
}

}  // namespace lumafex::design
