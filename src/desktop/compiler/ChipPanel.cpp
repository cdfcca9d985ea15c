#include "desktop/compiler/ChipPanel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/platform/TextFile.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::compiler {

namespace fs = std::filesystem;
using platform::qs;
using platform::us;

namespace {

template <class W>
W* named(W* w, const char* name) {
  w->setObjectName(QString::fromUtf8(name));
  return w;
}

QString sizeText(std::size_t bytes) {
  return bytes >= 1024 * 1024 ? QStringLiteral("%1 MB").arg(bytes / (1024 * 1024))
                              : QStringLiteral("%1 KB").arg(bytes / 1024);
}

}  // namespace

ChipPanel::ChipPanel(QWidget* parent, QWidget* listParent) : QGroupBox(QStringLiteral("芯片"), parent) {
  setObjectName(QStringLiteral("chipPanel"));
  auto* form = new QFormLayout(this);
  form->setContentsMargins(8, 6, 8, 6);

  chipType = named(new QComboBox(this), "chipType");
  chipType->addItem(QString::fromUtf8(kAnyChip), QString());
  for (const Chip& chip : chipTable()) {
    chipType->addItem(QStringLiteral("%1（%2）").arg(QString::fromUtf8(chip.name), sizeText(chip.bytes)),
                      QString::fromUtf8(chip.name));
  }
  chipType->setToolTip(QStringLiteral("EPROM芯片型号：超出容量的文件不写入；“不限”不检查也不填充"));
  form->addRow(QStringLiteral("型号："), chipType);

  padding = named(new QComboBox(this), "padding");
  padding->addItem(QStringLiteral("不填充"), QStringLiteral("off"));
  padding->addItem(QStringLiteral("全灭填充"), QStringLiteral("dark"));
  padding->addItem(QStringLiteral("重复花式"), QStringLiteral("repeat"));
  padding->setToolTip(QStringLiteral("把文件填充到芯片容量：全灭，或从头重复整遍花式、其余全灭"));
  form->addRow(QStringLiteral("填充："), padding);

  auto* formats = new QHBoxLayout();
  hexFormat = named(new QCheckBox(QStringLiteral("HEX"), this), "hexFormat");
  hexFormat->setToolTip(QStringLiteral("在每个 .bin 旁另写 Intel HEX 文件（.hex）"));
  srecFormat = named(new QCheckBox(QStringLiteral("S-record"), this), "srecFormat");
  srecFormat->setToolTip(QStringLiteral("在每个 .bin 旁另写 Motorola S-record 文件（.s19）"));
  formats->addWidget(hexFormat);
  formats->addWidget(srecFormat);
  formats->addStretch(1);
  form->addRow(QStringLiteral("另写："), formats);

  verifyButton = named(new QPushButton(QStringLiteral("校验芯片…"), this), "校验芯片");
  verifyButton->setToolTip(QStringLiteral("把编程器读回的芯片文件与上次编译的结果比较"));
  form->addRow(verifyButton);

  checksumList = named(new QListWidget(listParent ? listParent : this), "checksumList");
  checksumList->setToolTip(QStringLiteral("写入的文件：16位和与CRC-32"));
  checksumList->setMinimumWidth(220);
  checksumList->setFont(QFont(QStringLiteral("monospace")));

  connect(chipType, &QComboBox::currentIndexChanged, this, [this] { choiceChanged(); });
  connect(padding, &QComboBox::currentIndexChanged, this, [this] { choiceChanged(); });
  connect(hexFormat, &QCheckBox::toggled, this, [this] { choiceChanged(); });
  connect(srecFormat, &QCheckBox::toggled, this, [this] { choiceChanged(); });
  connect(verifyButton, &QPushButton::clicked, this, &ChipPanel::verifyRequested);
  updateEnabled();
}

QString ChipPanel::currentProject() const {
  return projectDirectory ? projectDirectory() : QString();
}

void ChipPanel::showEvent(QShowEvent* event) {
  if (currentProject() != loadedProject_) loadProject();
  QGroupBox::showEvent(event);
}

ChipChoice ChipPanel::choice() const {
  ChipChoice c;
  c.chip = findChip(us(chipType->currentData().toString()));
  c.padding = paddingFromName(us(padding->currentData().toString())).value_or(Padding::Off);
  c.hex = hexFormat->isChecked();
  c.srec = srecFormat->isChecked();
  return c;
}

void ChipPanel::setChoice(const ChipChoice& c) {
  loading_ = true;
  const int chipIndex = c.chip ? chipType->findData(QString::fromUtf8(c.chip->name)) : 0;
  chipType->setCurrentIndex(chipIndex < 0 ? 0 : chipIndex);
  const int padIndex = padding->findData(QString::fromUtf8(paddingName(c.padding)));
  padding->setCurrentIndex(padIndex < 0 ? 0 : padIndex);
  hexFormat->setChecked(c.hex);
  srecFormat->setChecked(c.srec);
  loading_ = false;
  updateEnabled();
}

void ChipPanel::loadProject() {
  loadedProject_ = currentProject();
  setChoice(loadedProject_.isEmpty() ? ChipChoice{}
                                     : readChipSettings(platform::pathFromUtf8(us(loadedProject_))));
}

ChipOptions ChipPanel::compileOptions() {
  if (currentProject() != loadedProject_) loadProject();
  ChipOptions o = choice().options();
  o.checksums = true;
  return o;
}

void ChipPanel::updateEnabled() {
  // Padding fills a chip: without a chip type there is nothing to fill.
  padding->setEnabled(chipType->currentIndex() > 0);
}

void ChipPanel::choiceChanged() {
  updateEnabled();
  if (loading_) return;
  const QString project = currentProject();
  if (project.isEmpty()) return;
  // The choices shown are the ones the user changed: they become the current project's.
  loadedProject_ = project;
  std::error_code ec;
  const fs::path dir = platform::pathFromUtf8(us(project));
  if (!fs::is_directory(dir, ec)) return;  // a project not saved yet has no directory to hold it
  if (auto written = writeChipSettings(dir, choice()); !written) tell(written.error());
}

void ChipPanel::showChecksums(const std::vector<FileChecksum>& checksums) {
  checksumList->clear();
  for (const FileChecksum& c : checksums) checksumList->addItem(qs(checksumLine(c)));
}

void ChipPanel::tell(const std::string& message) {
  if (dialogs != nullptr) dialogs->message(message, platform::Buttons::Ok, platform::Answer::Ok);
}

}  // namespace lumafex::compiler
