#pragma once

#include <QObject>
#include <QString>
#include <filesystem>

class QLocalServer;

namespace gestalon::ui {

// A motion file opened from the file manager goes to an editor that already runs, which opens it
// as a dropped file. Editors listen on one local socket per application data folder (so per user,
// and per private folder in tests); the first editor to claim the name serves.
QString HandOverServerName(const std::filesystem::path& appDataFolder);

// Sends `path` to the editor listening on `serverName`. True once that editor has taken it; false
// when none listens or it does not answer within `timeoutMs` (it may be stuck).
bool HandOverToRunningEditor(const QString& serverName, const QString& path, int timeoutMs);

// The receiving end, owned by the editor's window. A name left behind by an editor that died is
// claimed; a name a living editor holds is left to it.
class FileHandOverListener : public QObject {
  Q_OBJECT

 public:
  FileHandOverListener(const QString& serverName, QObject* parent);

  bool Listening() const;

 Q_SIGNALS:
  // A path handed over; emitted after the sender has its answer, so a slow handler (a question
  // whether to save) does not keep the sender waiting.
  void Received(const QString& path);

 private:
  void Accept();

  QLocalServer* server_;
};

}  // namespace gestalon::ui
