#pragma once
// A small HTTP server on 127.0.0.1 for the update tests: it answers GET requests from a table of
// paths, records every request, and can be told to keep silent or to stop in the middle of a body.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>

namespace lumafex::testing {

class LoopbackHttpServer : public QObject {
 public:
  struct Route {
    int status = 200;
    QByteArray body;
    // Bytes of the body sent before the server falls silent (-1: the whole body).
    qsizetype stallAfter = -1;
  };

  LoopbackHttpServer() {
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
    server_.listen(QHostAddress::LocalHost, 0);
  }

  QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
  bool listening() const { return server_.isListening(); }

  QMap<QByteArray, Route> routes;
  // Accepts connections and reads requests but never answers.
  bool silent = false;
  // The raw header block of every request received.
  QList<QByteArray> requests;
  int connections = 0;

  QByteArray header(int request, const QByteArray& name) const {
    for (const QByteArray& line : requests.value(request).split('\n')) {
      const qsizetype colon = line.indexOf(':');
      if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
        return line.mid(colon + 1).trimmed();
    }
    return {};
  }
  QByteArray path(int request) const { return requests.value(request).split(' ').value(1); }

 private:
  void accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      ++connections;
      socket->setParent(this);
      QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QByteArray request = buffer.left(end);
        buffer.remove(0, end + 4);
        requests << request;
        if (!silent) answer(socket, request.split(' ').value(1));
      });
    }
  }

  void answer(QTcpSocket* socket, const QByteArray& path) {
    const auto it = routes.find(path);
    const Route route = it != routes.end() ? *it : Route{404, QByteArrayLiteral("not here"), -1};
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(route.status) +
                       " X\r\nContent-Length: " + QByteArray::number(route.body.size()) +
                       "\r\nContent-Type: text/plain\r\n\r\n";
    reply += route.stallAfter < 0 ? route.body : route.body.left(route.stallAfter);
    socket->write(reply);
  }

  QTcpServer server_;
  QHash<QTcpSocket*, QByteArray> buffers_;  // what each connection sent that is not answered yet
};

}  // namespace lumafex::testing
