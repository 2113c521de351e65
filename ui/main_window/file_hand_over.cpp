#include "main_window/file_hand_over.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

// One line each way: the path in UTF-8, then the receiver's acknowledgement.
constexpr char kTaken[] = "ok\n";

}  // namespace

QString HandOverServerName(const std::filesystem::path& appDataFolder) {
  const QByteArray folder = ToQString(appDataFolder.u16string()).toUtf8();
  // A digest keeps the name short enough for a socket path whatever the folder.
  return QStringLiteral("gestalon-") +
         QString::fromLatin1(
             QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16));
}

bool HandOverToRunningEditor(const QString& serverName, const QString& path, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(serverName);
  if (!socket.waitForConnected(timeoutMs)) {
    return false;
  }
  socket.write(path.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) {
    return false;
  }
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) {
      return false;
    }
  }
  return socket.readLine() == kTaken;
}

FileHandOverListener::FileHandOverListener(const QString& serverName, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
  // Listening would take the name over from an editor that holds it: ask first.
  QLocalSocket probe;
  probe.connectToServer(serverName);
  if (probe.waitForConnected(1000)) {
    return;
  }
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(serverName)) {
    // What is left of an editor that died.
    QLocalServer::removeServer(serverName);
    server_->listen(serverName);
  }
  connect(server_, &QLocalServer::newConnection, this, &FileHandOverListener::Accept);
}

bool FileHandOverListener::Listening() const {
  return server_->isListening();
}

void FileHandOverListener::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        return;
      }
      const QString path = QString::fromUtf8(socket->readLine()).chopped(1);
      socket->write(kTaken);
      socket->flush();
      QTimer::singleShot(0, this, [this, path] { Q_EMIT Received(path); });
    });
  }
}

}  // namespace gestalon::ui
