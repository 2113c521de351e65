#pragma once

#include <QDialog>
#include <filesystem>

class QLineEdit;

namespace gestalon::ui {

class EditorSession;

// The firmware update dialog (122): the firmware file (field 1019, "開く..." 1018 to browse),
// "書き込み開始" (1) which asks first and then runs the update in the progress dialog (124) and
// closes, and "キャンセル" (2). Any file may be chosen: firmware is not project data. The updater
// sent with it is <programFolder>/firm/zupdater.bin.
class FirmwareUpdateDialog : public QDialog {
  Q_OBJECT

 public:
  FirmwareUpdateDialog(EditorSession& session, std::filesystem::path programFolder,
                       QWidget* parent = nullptr);

 private:
  void Browse();
  void Start();

  EditorSession& session_;
  std::filesystem::path programFolder_;
  QLineEdit* file_;
};

// The firmware update command: dialog 122, modal to `parent`, owning the message boxes while open.
void UpdateFirmware(EditorSession& session, const std::filesystem::path& programFolder,
                    QWidget* parent);

}  // namespace gestalon::ui
