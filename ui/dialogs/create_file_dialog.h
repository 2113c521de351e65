#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace gestalon::ui {

class EditorSession;

// The file creation dialog (201, "ファイルの新規作成"): a project file name (1142, with the
// chooser 1110) and a size in bytes (1017). OK creates or replaces that file holding as many zero
// bytes, remembers the size as the next proposal and says so; a file that cannot be written is
// reported and the dialog stays open.
class CreateFileDialog : public QDialog {
  Q_OBJECT

 public:
  // `name` is the proposed file name; the size proposed is that file's size when it exists,
  // else the size remembered from the last creation.
  CreateFileDialog(EditorSession& session, const QString& name, QWidget* parent = nullptr);

  // Runs the dialog modally: 1 when the file was created, 0 otherwise.
  int Run();

  // The file name as typed or chosen.
  QString FileName() const;

 private:
  void Choose();
  void TryCreate();

  EditorSession& session_;
  QLineEdit* name_ = nullptr;
  QLineEdit* size_ = nullptr;
};

}  // namespace gestalon::ui
