#include "desktop/design/SignSettingsPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>

#include "core/design/Rules.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/Named.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::design {

using controls::named;
using controls::namedButton;
using platform::qs;
using platform::us;

SignSettingsPanel::SignSettingsPanel(QWidget* parent) : QGroupBox(QStringLiteral("灯管排列"), parent) {
  setObjectName(QStringLiteral("灯管排列板"));
  auto* tubes = new QGridLayout(this);
  列数 = named(new QLineEdit(QStringLiteral("80"), this), "列数");
  列数->setToolTip(QStringLiteral("灯管的列数（路数），4 到 300"));
  行数 = named(new QLineEdit(QStringLiteral("1"), this), "行数");
  行数->setToolTip(QStringLiteral("预览中灯管的行数，1 到 10"));
  色数 = named(new QComboBox(this), "色数");
  色数->setToolTip(QStringLiteral("每个灯的颜色数：1 单色、2 双色、3 三色"));
  空心 = named(new QCheckBox(QStringLiteral("空心"), this), "空心");
  启用灯管 = named(new QCheckBox(QStringLiteral("启用灯管"), this), "启用灯管");
  启用灯管->setChecked(true);
  启用图案 = named(new QCheckBox(QStringLiteral("启用图案"), this), "启用图案");
  启用标志 = named(new QCheckBox(QStringLiteral("启用标志"), this), "启用标志");
  定位灯管 = namedButton("定位灯管", this, QStringLiteral("按列数、行数重新排列预览中的灯管"));
  速度调节 = named(new controls::AdjustableBar(this), "速度调节");
  速度调节->setMinimum(0);
  速度调节->setMaximum(999);
  速度调节->setValue(950);
  速度调节->setToolTip(QStringLiteral("速度：越往右越快"));
  速度 = named(new QLabel(QStringLiteral("50"), this), "速度");
  tubes->addWidget(new QLabel(QStringLiteral("列数："), this), 0, 0);
  tubes->addWidget(列数, 0, 1);
  tubes->addWidget(new QLabel(QStringLiteral("行数："), this), 0, 2);
  tubes->addWidget(行数, 0, 3);
  tubes->addWidget(new QLabel(QStringLiteral("色数："), this), 0, 4);
  tubes->addWidget(色数, 0, 5);
  tubes->addWidget(启用灯管, 1, 0, 1, 2);
  tubes->addWidget(启用图案, 1, 2, 1, 2);
  tubes->addWidget(启用标志, 1, 4, 1, 2);
  tubes->addWidget(空心, 2, 0, 1, 2);
  tubes->addWidget(定位灯管, 2, 2, 1, 4);
  tubes->addWidget(new QLabel(QStringLiteral("速度："), this), 3, 0);
  tubes->addWidget(速度调节, 3, 1, 1, 4);
  auto* perStep = new QHBoxLayout();
  perStep->addWidget(速度);
  perStep->addWidget(new QLabel(QStringLiteral("毫秒/步"), this));
  tubes->addLayout(perStep, 3, 5);

  // The values go into the project first (edited), so every reaction below finds them there.
  for (QLineEdit* box : {列数, 行数}) connect(box, &QLineEdit::textChanged, this, &SignSettingsPanel::edited);
  connect(色数, &QComboBox::currentIndexChanged, this, &SignSettingsPanel::edited);
  for (QCheckBox* box : {空心, 启用灯管, 启用图案, 启用标志}) {
    connect(box, &QCheckBox::toggled, this, &SignSettingsPanel::edited);
  }
  connect(速度调节, &controls::AdjustableBar::valueChanged, this, &SignSettingsPanel::edited);

  connect(定位灯管, &QPushButton::clicked, this, &SignSettingsPanel::layOutPressed);
  connect(色数, &QComboBox::currentIndexChanged, this, [this](int) { emit colourCountChosen(); });
  connect(列数, &QLineEdit::textChanged, this, &SignSettingsPanel::columnsChanged);
  connect(行数, &QLineEdit::textChanged, this, &SignSettingsPanel::rowsChanged);
  for (QLineEdit* box : {列数, 行数})
    connect(box, &QLineEdit::textEdited, this, &SignSettingsPanel::changedByUser);
  connect(速度调节, &controls::AdjustableBar::valueChanged, this, [this](double value) {
    速度->setText(QString::number(stepInterval(value)));
    emit speedChanged();
  });
  for (QCheckBox* box : {空心, 启用灯管, 启用图案, 启用标志}) {
    connect(box, &QCheckBox::clicked, this, [this] {
      emit changedByUser();
      定位灯管->click();
    });
  }
}

void SignSettingsPanel::fillColourCounts() {
  const QSignalBlocker block(色数);
  色数->clear();
  色数->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
  色数->setCurrentIndex(1);
}

void SignSettingsPanel::map(const ProjectSettings& s) {
  列数->setText(qs(s.columns));
  速度调节->setValue(s.speed);
  空心->setChecked(s.hollow == 1);
  const int index = colourCountOf(s) - 1;
  if (色数->currentIndex() == index) {
    emit colourCountChosen();  // the catalogue follows the colour count even when it stays the same
  } else {
    色数->setCurrentIndex(index);
  }
  行数->setText(qs(s.rows));
  启用标志->setChecked(s.logosOn == 1);
  启用图案->setChecked(s.imagesOn == 1);
  启用灯管->setChecked(s.tubesOn == 1);
}

void SignSettingsPanel::store(ProjectSettings& s) const {
  s.columns = us(列数->text());
  s.speed = 速度调节->value();
  s.hollow = 空心->isChecked() ? 1 : 0;
  // A colour count that stands for no catalogue shows no item; its text stays as it was read.
  if (色数->currentIndex() >= 0) s.colourCount = us(色数->currentText());
  s.rows = us(行数->text());
  s.logosOn = 启用标志->isChecked() ? 1 : 0;
  s.imagesOn = 启用图案->isChecked() ? 1 : 0;
  s.tubesOn = 启用灯管->isChecked() ? 1 : 0;
}

bool SignSettingsPanel::setPicturesShown(PictureKind kind, bool on) {
  QCheckBox* box = kind == PictureKind::Logo ? 启用标志 : 启用图案;
  if (box->isChecked() == on) return false;
  box->setChecked(on);
  return true;
}

}  // namespace lumafex::design
