#include "desktop/update/UpdateWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "Version.h"
#include "core/platform/TextFile.h"
#include "core/update/ProductList.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/update/DownloadWindow.h"

namespace lumafex::update {

namespace {

using platform::qs;
using platform::us;

QString ownVersionCaption() {
  return QStringLiteral("版本：%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

}  // namespace

QString updateServerAddress(const platform::SettingsStore& settings) {
  std::string address = qEnvironmentVariable("LUMAFEX_UPDATE_URL").toStdString();
  if (normalisedBaseAddress(address).empty()) address = settings.get("更新服务器", "");
  return qs(normalisedBaseAddress(address));
}

UpdateWindow::UpdateWindow(UpdateContext context, DownloadWindow& download, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(std::move(context)), download_(download) {
  setObjectName(QStringLiteral("获取新版本"));
  setWindowTitle(QStringLiteral("获取新版本"));

  版本 = new QLabel(ownVersionCaption(), this);
  版本->setObjectName(QStringLiteral("版本"));
  List1 = new QListWidget(this);
  List1->setObjectName(QStringLiteral("List1"));
  读产品列表 = new QPushButton(QStringLiteral("读产品列表(&L)"), this);
  读产品列表->setObjectName(QStringLiteral("读产品列表"));
  版本分析 = new QPushButton(QStringLiteral("版本分析(&V)"), this);
  版本分析->setObjectName(QStringLiteral("版本分析"));
  下载 = new QPushButton(QStringLiteral("下载"), this);
  下载->setObjectName(QStringLiteral("下载"));
  底棒 = new QStatusBar(this);
  底棒->setObjectName(QStringLiteral("底棒"));
  底棒->setSizeGripEnabled(false);
  serverPanel = new QLabel(this);
  countPanel = new QLabel(this);
  progressPanel = new QLabel(this);
  底棒->addWidget(serverPanel, 2);
  底棒->addWidget(countPanel, 1);
  底棒->addWidget(progressPanel, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(版本, 1);
  buttons->addWidget(读产品列表);
  buttons->addWidget(版本分析);
  buttons->addWidget(下载);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(List1, 1);
  layout->addLayout(buttons);
  layout->addWidget(底棒);
  fitDownloadButton();
  resize(560, 320);

  connect(读产品列表, &QPushButton::clicked, this, [this] { readProductList(); });
  connect(版本分析, &QPushButton::clicked, this, [this] { analyseVersion(); });
  connect(下载, &QPushButton::clicked, this, [this] { downloadSelected(); });
  connect(List1, &QListWidget::currentRowChanged, this, [this](int row) { selectLine(row); });
  connect(List1, &QListWidget::itemActivated, this, [this] { 下载->click(); });
  connect(&download_, &DownloadWindow::progressChanged, progressPanel, &QLabel::setText);
}

void UpdateWindow::setVersionCaption(const QString& caption) {
  版本->setText(caption);
  版本分析->click();
}

void UpdateWindow::showAndRead() {
  show();
  raise();
  activateWindow();
  读产品列表->click();
}

void UpdateWindow::selectLine(int row) {
  const QString line = row >= 0 && row < List1->count() ? List1->item(row)->text() : QString();
  下载->setText(QStringLiteral("下载") + qs(产品名称(us(line))));
}

void UpdateWindow::fitDownloadButton() {
  // Room at least for a name of six characters, and for the name of every line listed.
  QStringList captions{QStringLiteral("下载《〇〇〇〇〇〇》")};
  for (int row = 0; row < List1->count(); ++row) {
    captions << QStringLiteral("下载") + qs(产品名称(us(List1->item(row)->text())));
  }
  const QString shown = 下载->text();
  int width = 0;
  for (const QString& caption : captions) {
    下载->setText(caption);
    width = std::max(width, 下载->sizeHint().width());
  }
  下载->setText(shown);
  下载->setFixedWidth(width);
}

void UpdateWindow::readProductList() {
  if (readingList) return;
  readingList = true;
  const QString server = updateServerAddress(*context_.settings);
  serverPanel->setText(server.isEmpty() ? QStringLiteral("未设置更新服务器")
                                        : QStringLiteral("更新服务器：") + server);
  const QString listFile = context_.applicationDirectory() + QLatin1Char('/') + qs(kProductListFile);
  download_.txtURL->setText(server + QLatin1Char('/') + qs(kProductListFile));
  download_.txtFile->setText(listFile);
  download_.cmdStart->click();
  if (download_.lblCount->text() != kOpenUrlError) {
    if (auto lines = platform::readGbkLines(platform::pathFromUtf8(us(listFile)))) {
      List1->clear();
      for (const auto& line : *lines) {
        if (line) List1->addItem(qs(*line));  // a line the code page cannot read is left out
      }
      countPanel->setText(QStringLiteral("产品：%1").arg(List1->count()));
      fitDownloadButton();
    }
  }
  readingList = false;
}

void UpdateWindow::analyseVersion() {
  读产品列表->click();
  if (download_.lblCount->text() == kOpenUrlError) return;
  if (List1->count() == 0) return;
  // Down the list to the own line; without one the last line stays selected.
  for (int row = 0; row < List1->count(); ++row) {
    List1->setCurrentRow(row);
    if (产品名称(us(List1->item(row)->text())) == kOwnProductName) break;
  }
  // Another product's line (the last one, when the list does not name this program) says nothing
  // about this program's version.
  const std::string line = us(List1->currentItem()->text());
  if (产品名称(line) != kOwnProductName) return;
  const std::string listed = 版本号(line);
  const std::string own = ownVersionFromCaption(us(版本->text()));
  if (!isNewerVersion(own, listed)) return;

  QCoreApplication::processEvents();
  const std::string question =
      std::string(kOwnProductName) + "已经有新的版本，版本号为：“" + listed + "”是否下载？";
  if (context_.dialogs->message(question, platform::Buttons::YesNo, platform::Answer::No) !=
      platform::Answer::Yes) {
    return;
  }
  下载->click();
  QCoreApplication::processEvents();
  context_.endProgram();
}

void UpdateWindow::downloadSelected() {
  QListWidgetItem* item = List1->currentItem();
  if (!item) return;
  const QString server = updateServerAddress(*context_.settings);
  if (server.isEmpty()) return;
  const QUrl address(server + QLatin1Char('/') + qs(下载文件名(us(item->text()))));
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))) return;
  context_.openUrl(address);
  waitBusy(context_.handOverMs);
}

void UpdateWindow::waitBusy(int milliseconds) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace lumafex::update
