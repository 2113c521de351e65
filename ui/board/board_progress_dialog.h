#pragma once

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <atomic>
#include <map>

#include "ui_port/progress_sink.h"

namespace gestalon::ui {

// The writing dialog of board work (the playback preparation uses it too): the phase, step,
// current file, counts and note texts (objectNames 40005, 40011, 40019, 40026, 40033) and a
// progress bar. Escape asks the work to stop; the work closes the dialog with its result.
class BoardProgressDialog : public QDialog {
  Q_OBJECT

 public:
  BoardProgressDialog(std::atomic<bool>* cancelRequest, QWidget* parent = nullptr);

  void SetText(int controlId, const QString& text);
  void SetProgress(int value, int maximum);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  std::atomic<bool>* cancelRequest_;
  std::map<int, QLabel*> texts_;
  QProgressBar* bar_;
};

// The ProgressSink the board workers report to: calls from any thread are carried to the
// user-interface thread and go to the dialog attached at that moment (none: dropped).
class ProgressForwarder : public QObject, public core::ProgressSink {
  Q_OBJECT

 public:
  explicit ProgressForwarder(QObject* parent = nullptr) : QObject(parent) {}
  // User-interface thread.
  void Attach(BoardProgressDialog* dialog) { dialog_ = dialog; }

  void SetText(int controlId, std::u16string_view text) override;
  void SetProgress(int value, int maximum) override;
  void Finish(int result) override;

 private:
  QPointer<BoardProgressDialog> dialog_;
};

}  // namespace gestalon::ui
