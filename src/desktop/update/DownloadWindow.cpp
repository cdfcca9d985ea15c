#include "desktop/update/DownloadWindow.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "core/update/SizeText.h"
#include "core/update/clsCount.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::update {

namespace {

using platform::qs;
using platform::us;

const char* kSection = "下载窗";

bool isLoopback(const QString& host) {
  if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) return true;
  const QHostAddress address(host);
  return !address.isNull() && address.isLoopback();
}

// The system's proxy settings, except for the own machine, which is always reached directly.
class SystemProxies : public QNetworkProxyFactory {
 public:
  QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
    if (isLoopback(query.peerHostName())) return {QNetworkProxy(QNetworkProxy::NoProxy)};
    return systemProxyForQuery(query);
  }
};

enum class Wait { Ready, TimedOut, Aborted };

// Runs the event loop (without user input, which waits for the next round) until `ready` holds, the
// step or the whole time runs out, or the loop is ended from outside (the program is quitting).
Wait waitFor(QNetworkReply* reply, const std::function<bool()>& ready, int stepMs,
             const QDeadlineTimer& whole) {
  const QDeadlineTimer step(stepMs);
  while (!ready()) {
    qint64 left = step.remainingTime();
    if (!whole.isForever()) left = std::min(left, whole.remainingTime());
    if (left <= 0) return Wait::TimedOut;
    QEventLoop loop;
    bool woke = false;
    auto wake = [&] {
      woke = true;
      loop.quit();
    };
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, wake);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, wake);
    QObject::connect(reply, &QNetworkReply::finished, &loop, wake);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, wake);
    timer.start(static_cast<int>(left));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!woke) return Wait::Aborted;
  }
  return Wait::Ready;
}

int httpStatus(QNetworkReply* reply) {
  return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

struct ReplyDeleter {
  void operator()(QNetworkReply* reply) const {
    if (!reply->isFinished()) reply->abort();
    reply->deleteLater();
  }
};

}  // namespace

DownloadWindow::DownloadWindow(platform::SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), network_(new QNetworkAccessManager(this)) {
  setObjectName(QStringLiteral("下载窗"));
  setWindowTitle(QStringLiteral("下载"));
  network_->setProxyFactory(new SystemProxies);
  network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);

  lblURL = new QLabel(QStringLiteral("地址："), this);
  lblURL->setObjectName(QStringLiteral("lblURL"));
  txtURL = new QLineEdit(this);
  txtURL->setObjectName(QStringLiteral("txtURL"));
  Label1 = new QLabel(QStringLiteral("保存到："), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  txtFile = new QLineEdit(this);
  txtFile->setObjectName(QStringLiteral("txtFile"));
  cmdStart = new QPushButton(QStringLiteral("开始(&S)"), this);
  cmdStart->setObjectName(QStringLiteral("cmdStart"));
  cmdStop = new QPushButton(QStringLiteral("停止(&T)"), this);
  cmdStop->setObjectName(QStringLiteral("cmdStop"));
  cmdStop->setEnabled(false);
  lblCount = new QLabel(this);
  lblCount->setObjectName(QStringLiteral("lblCount"));
  lblURL->setBuddy(txtURL);
  Label1->setBuddy(txtFile);

  auto* grid = new QGridLayout(this);
  grid->addWidget(lblURL, 0, 0);
  grid->addWidget(txtURL, 0, 1);
  grid->addWidget(Label1, 1, 0);
  grid->addWidget(txtFile, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lblCount, 1);
  buttons->addWidget(cmdStart);
  buttons->addWidget(cmdStop);
  grid->addLayout(buttons, 2, 0, 1, 2);
  resize(480, 120);

  txtFile->setText(qs(settings_.get(kSection, "txtFile", "")));
  txtURL->setText(qs(settings_.get(kSection, "txtURL", "")));

  connect(cmdStart, &QPushButton::clicked, this, [this] { start(); });
  connect(cmdStop, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
}

DownloadWindow::~DownloadWindow() {
  settings_.set(kSection, "txtFile", us(txtFile->text()));
  settings_.set(kSection, "txtURL", us(txtURL->text()));
}

void DownloadWindow::setProgress(const QString& text) {
  lblCount->setText(text);
  emit progressChanged(text);
}

void DownloadWindow::start() {
  txtURL->setEnabled(false);
  txtFile->setEnabled(false);
  cmdStart->setEnabled(false);
  cmdStop->setEnabled(true);
  DownloadFile(txtURL->text(), txtFile->text());
  cmdStop->setEnabled(false);
  cmdStart->setEnabled(true);
  txtFile->setEnabled(true);
  txtURL->setEnabled(true);
}

qint64 DownloadWindow::DownloadFile(const QString& url, const QString& file) {
  complete_ = false;
  setProgress(QStringLiteral("正在连接服务器..."));
  const QDeadlineTimer whole =
      limits.totalMs > 0 ? QDeadlineTimer(limits.totalMs) : QDeadlineTimer(QDeadlineTimer::Forever);

  // Only web addresses are fetched; an empty or partial address (no server configured) is never
  // sent anywhere.
  const QUrl address(url);
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || address.host().isEmpty() ||
      (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))) {
    setProgress(kOpenUrlError);
    return 0;
  }

  QNetworkRequest request(address);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("VB OpenUrl"));
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setTransferTimeout(limits.readMs);
  std::unique_ptr<QNetworkReply, ReplyDeleter> reply(network_->get(request));

  // Open: connected, asked and answered with the response headers (or failed).
  auto opened = [&] {
    if (reply->isFinished()) return true;
    const int status = httpStatus(reply.get());
    return status != 0 && (status < 300 || status >= 400);
  };
  const int status = [&] {
    const Wait w = waitFor(reply.get(), opened, limits.connectMs, whole);
    return w == Wait::Ready ? httpStatus(reply.get()) : -1;
  }();
  if (status < 0 || status >= 300 || (reply->isFinished() && reply->error() != QNetworkReply::NoError)) {
    setProgress(kOpenUrlError);
    return 0;
  }

  QSaveFile target(file);
  if (file.isEmpty() || !target.open(QIODevice::WriteOnly)) {
    setProgress(QStringLiteral("无法写入文件：") + file);
    return 0;
  }
  clsCount counter;
  counter.Clear();

  qint64 total = 0;
  bool broken = false;
  bool stopped = false;
  auto blockReady = [&] { return reply->isFinished() || reply->bytesAvailable() >= kBlockSize; };
  for (;;) {
    if (waitFor(reply.get(), blockReady, limits.readMs, whole) != Wait::Ready) {
      broken = true;
      break;
    }
    if (reply->error() != QNetworkReply::NoError) {  // cut off, refused or timed out by the transfer
      broken = true;
      break;
    }
    const QByteArray block = reply->read(kBlockSize);
    if (block.isEmpty()) break;
    if (target.write(block) != block.size()) {
      broken = true;
      break;
    }
    total += block.size();
    counter.Count(block.size());
    setProgress(QStringLiteral("已下载 ") + qs(字节数文字(static_cast<std::uint64_t>(total))) +
                QStringLiteral("  [ ") + qs(字节数文字(static_cast<std::uint64_t>(counter.Speed()))) +
                QStringLiteral(" /秒 ]"));
    QCoreApplication::processEvents();
    if (stopRequested_) {
      stopped = true;
      break;
    }
  }

  if (!stopped && !broken) {
    // The whole body: no error at the end, and as many bytes as the server announced.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    broken = reply->error() != QNetworkReply::NoError || (length.isValid() && length.toLongLong() != total);
  }
  if (broken) {
    target.cancelWriting();
    setProgress(kOpenUrlError);
    return 0;
  }
  if (stopped) {
    target.cancelWriting();
  } else if (!target.commit()) {
    setProgress(QStringLiteral("无法写入文件：") + file);
    return 0;
  }
  complete_ = !stopped;
  setProgress(QStringLiteral("共下载 ") + QString::number(total) + QStringLiteral(" 字节"));
  return total;
}

}  // namespace lumafex::update
