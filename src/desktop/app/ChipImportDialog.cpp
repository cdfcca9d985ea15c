#include "desktop/app/ChipImportDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/app/ImportedProject.h"
#include "core/app/ProjectPaths.h"
#include "core/app/RecentFiles.h"
#include "core/platform/Dialogs.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/design/ProjectDocument.h"
#include "render/QtStrings.h"

namespace lumafex::app {

namespace {

using platform::qs;
using platform::us;

const char* kChipFilter =
    "EPROM芯片文件 (*.bin;*.hex;*.s19)|*.bin;*.hex;*.ihx;*.s19;*.s28;*.s37;*.srec;*.mot|所有文件 (*)|*";
const char* kProjectFilter = "霓虹灯花式文件 (*.hs)|*.hs";

template <class T>
T* named(T* widget, const char* name) {
  widget->setObjectName(QString::fromUtf8(name));
  return widget;
}

}  // namespace

ChipImportDialog::ChipImportDialog(platform::Dialogs& dialogs, QString directory, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), directory_(std::move(directory)) {
  setObjectName(QStringLiteral("从芯片导入"));
  setWindowTitle(QStringLiteral("从芯片导入"));

  auto* files = new QGroupBox(QStringLiteral("芯片文件（编程器读出的 .bin、.hex、.s19）"), this);
  芯片文件 = named(new QListWidget(files), "芯片文件");
  芯片文件->setMinimumHeight(90);
  选择文件 = named(new QPushButton(QStringLiteral("选择文件(&F)…"), files), "选择文件");
  auto* filesLayout = new QHBoxLayout(files);
  filesLayout->addWidget(芯片文件, 1);
  filesLayout->addWidget(选择文件, 0, Qt::AlignTop);

  auto* layoutBox = new QGroupBox(QStringLiteral("芯片布局"), this);
  单IC =
      named(new QRadioButton(QStringLiteral("单IC（每步的各路依次排在连续字节中）(&S)"), layoutBox), "单IC");
  多IC = named(new QRadioButton(QStringLiteral("多IC（每8路一IC，芯片1在前）(&M)"), layoutBox), "多IC");
  单IC->setChecked(true);
  auto* layoutLayout = new QVBoxLayout(layoutBox);
  layoutLayout->addWidget(单IC);
  layoutLayout->addWidget(多IC);

  auto* polarityBox = new QGroupBox(QStringLiteral("极性"), this);
  正相 = named(new QRadioButton(QStringLiteral("正相（置位的位点亮）(&P)"), polarityBox), "正相");
  反相 = named(new QRadioButton(QStringLiteral("反相（清零的位点亮）(&I)"), polarityBox), "反相");
  正相->setChecked(true);
  auto* polarityLayout = new QVBoxLayout(polarityBox);
  polarityLayout->addWidget(正相);
  polarityLayout->addWidget(反相);

  路数 = named(new QSpinBox(this), "路数");
  路数->setRange(compiler::kMinImportChannels, compiler::kMaxImportChannels);
  路数->setValue(8);
  建议路数 = named(new QLabel(this), "建议路数");
  建议路数->setWordWrap(true);
  保留填充 = named(new QCheckBox(QStringLiteral("保留芯片容量的填充(&K)"), this), "保留填充");
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("路数(&C)："), 路数);
  form->addRow(QString(), 建议路数);
  form->addRow(QString(), 保留填充);

  读入结果 = named(new QLabel(this), "读入结果");
  读入结果->setWordWrap(true);
  读入结果->setTextInteractionFlags(Qt::TextSelectableByMouse);
  读入结果->setMinimumHeight(110);
  读入结果->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  读入结果->setFrameShape(QFrame::StyledPanel);

  auto* buttons = new QDialogButtonBox(this);
  导入 = named(buttons->addButton(QStringLiteral("导入(&O)…"), QDialogButtonBox::AcceptRole), "导入");
  named(buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole), "取消");
  导入->setEnabled(false);

  auto* root = new QVBoxLayout(this);
  root->addWidget(files);
  auto* choices = new QHBoxLayout;
  choices->addWidget(layoutBox, 1);
  choices->addWidget(polarityBox, 1);
  root->addLayout(choices);
  root->addLayout(form);
  root->addWidget(读入结果, 1);
  root->addWidget(buttons);
  resize(560, 480);

  connect(选择文件, &QPushButton::clicked, this, [this] { chooseFiles(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto layoutChanged = [this](bool on) {
    if (!on || settingUp_) return;
    suggestChannels();
    reread();
  };
  connect(单IC, &QRadioButton::toggled, this, layoutChanged);
  connect(多IC, &QRadioButton::toggled, this, layoutChanged);
  connect(反相, &QRadioButton::toggled, this, [this] {
    if (settingUp_) return;
    suggestChannels();
    reread();
  });
  connect(路数, &QSpinBox::valueChanged, this, [this] {
    if (!settingUp_) reread();
  });
  connect(保留填充, &QCheckBox::toggled, this, [this] { reread(); });
  reread();
}

QString ChipImportDialog::firstFileStem() const {
  return chips_.empty() ? QString() : QFileInfo(qs(chips_.front().name)).completeBaseName();
}

void ChipImportDialog::chooseFiles() {
  const auto paths = dialogs_.openFiles("选择芯片文件", us(directory_), kChipFilter);
  if (!paths || paths->empty()) return;
  directory_ = QFileInfo(qs(paths->front())).absolutePath();
  loadFiles(*paths);
}

void ChipImportDialog::loadFiles(const std::vector<std::string>& paths) {
  chips_.clear();
  芯片文件->clear();
  std::string problem;
  for (const std::string& path : paths) {
    auto chip = compiler::readChipFile(platform::pathFromUtf8(path));
    if (!chip) {
      problem = chip.error();
      chips_.clear();
      break;
    }
    chips_.push_back(std::move(*chip));
  }
  reordered_ = compiler::orderByChipNumber(chips_);
  for (const auto& chip : chips_) 芯片文件->addItem(qs(chip.name));
  {
    // Several files are a chip set; the compile's own names say the polarity.
    const QSignalBlocker a(单IC), b(多IC), c(正相), d(反相);
    settingUp_ = true;
    if (chips_.size() > 1) 多IC->setChecked(true);
    if (chips_.size() == 1 && compiler::invertedByName(chips_.front().name).has_value() &&
        chips_.front().name.find("单IC") != std::string::npos) {
      单IC->setChecked(true);
    }
    std::optional<bool> inverted;
    for (const auto& chip : chips_) {
      const auto byName = compiler::invertedByName(chip.name);
      if (!byName || (inverted && *inverted != *byName)) {
        inverted.reset();
        break;
      }
      inverted = byName;
    }
    if (inverted) (*inverted ? 反相 : 正相)->setChecked(true);
    settingUp_ = false;
  }
  suggestChannels();
  reread();
  if (!problem.empty()) 读入结果->setText(qs(problem));
}

void ChipImportDialog::suggestChannels() {
  if (chips_.empty()) {
    建议路数->clear();
    return;
  }
  settingUp_ = true;
  if (多IC->isChecked()) {
    const int widest = std::min<int>(8 * static_cast<int>(chips_.size()), compiler::kMaxImportChannels);
    路数->setValue(widest);
    建议路数->setText(
        QStringLiteral("%1 个芯片，每个8路：至多 %2 路。").arg(chips_.size()).arg(8 * chips_.size()));
  } else {
    const auto widths = compiler::likelyWidths(chips_.front().bytes, 反相->isChecked());
    if (!widths.empty()) 路数->setValue(widths.front().channels);
    建议路数->setText(qs(compiler::describeWidths(widths, false)));
  }
  settingUp_ = false;
}

void ChipImportDialog::reread() {
  sequence_.reset();
  if (chips_.empty()) {
    读入结果->setText(QStringLiteral("请选择编程器读出的芯片文件。"));
    导入->setEnabled(false);
    return;
  }
  compiler::ImportRequest request;
  request.layout = 多IC->isChecked() ? compiler::ChipLayout::PerEightChannels : compiler::ChipLayout::Single;
  request.chips = chips_;
  request.channels = 路数->value();
  request.inverted = 反相->isChecked();
  request.keepPadding = 保留填充->isChecked();
  auto read = compiler::importChips(std::move(request));
  if (!read) {
    读入结果->setText(qs(read.error()));
    导入->setEnabled(false);
    return;
  }
  read->reordered = reordered_;
  读入结果->setText(qs(compiler::describeImport(*read)));
  sequence_ = std::move(*read);
  导入->setEnabled(true);
}

void importFromChipCommand(Application& app, MainWindow& main) {
  platform::Dialogs& dialogs = app.dialogs();
  if (!main.askToSave()) return;
  ChipImportDialog dialog(dialogs, app.applicationDirectory(), &main);
  if (dialog.exec() != QDialog::Accepted || !dialog.sequence()) return;

  QString suggested = app.applicationDirectory() + QLatin1Char('/') + dialog.firstFileStem() +
                      QString::fromUtf8(kProjectExtension);
  for (;;) {
    const auto chosen =
        dialogs.saveFile("保存导入的工程", us(app.applicationDirectory()), us(suggested), kProjectFilter);
    if (!chosen || chosen->empty()) return;
    QString path = qs(*chosen);
    if (!path.endsWith(QString::fromUtf8(kProjectExtension))) path += QString::fromUtf8(kProjectExtension);
    path = QFileInfo(path).absoluteFilePath();
    const auto file = platform::pathFromUtf8(us(path));
    if (const auto problem = existingProjectProblem(file)) {
      // Nothing is replaced: the user picks another name.
      dialogs.message(*problem + "请另选一个名称。");
      suggested = path;
      continue;
    }
    if (auto written = createImportedProject(file, *dialog.sequence()); !written) {
      dialogs.message(written.error());
      return;
    }
    // Opened as a recent project is: at the head of the list, through the main window's own road.
    writeRecentList(app.settings(), putFirst(readRecentList(app.settings()), us(path)));
    main.调入最近打开的文件菜单();
    main.openRecent(0);
    return;
  }
}

}  // namespace lumafex::app
