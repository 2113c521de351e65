#include "board/board_progress_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "strings/text_id.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

BoardProgressDialog::BoardProgressDialog(std::atomic<bool>* cancelRequest, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      cancelRequest_(cancelRequest) {
  setObjectName(QStringLiteral("204"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  using namespace core::TextId;
  for (const int id : {kWriteDlgPhaseBinarize, kWriteDlgStepPass1, kWriteDlgCurrentFile,
                       kWriteDlgFileCounts, kWriteDlgEscToAbort}) {
    auto* label = new QLabel(Text(id), this);
    label->setObjectName(QString::number(id));
    label->setMinimumWidth(360);
    layout->addWidget(label);
    texts_.emplace(id, label);
  }
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 0);
  layout->addWidget(bar_);
}

void BoardProgressDialog::SetText(int controlId, const QString& text) {
  if (const auto found = texts_.find(controlId); found != texts_.end()) {
    found->second->setText(text);
  }
}

void BoardProgressDialog::SetProgress(int value, int maximum) {
  bar_->setRange(0, maximum);
  bar_->setValue(value);
}

void BoardProgressDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (cancelRequest_) {
      cancelRequest_->store(true);
    }
    return;  // the work ends the dialog when it has stopped
  }
  QDialog::keyPressEvent(event);
}

void BoardProgressDialog::closeEvent(QCloseEvent* event) {
  // Only the work closes the dialog; the close box asks it to stop like Escape.
  if (cancelRequest_) {
    cancelRequest_->store(true);
  }
  event->ignore();
}

void ProgressForwarder::SetText(int controlId, std::u16string_view text) {
  QMetaObject::invokeMethod(
      this,
      [this, controlId, copy = ToQString(text)] {
        if (dialog_) {
          dialog_->SetText(controlId, copy);
        }
      },
      Qt::QueuedConnection);
}

void ProgressForwarder::SetProgress(int value, int maximum) {
  QMetaObject::invokeMethod(
      this,
      [this, value, maximum] {
        if (dialog_) {
          dialog_->SetProgress(value, maximum);
        }
      },
      Qt::QueuedConnection);
}

void ProgressForwarder::Finish(int result) {
  QMetaObject::invokeMethod(
      this,
      [this, result] {
        if (dialog_) {
          dialog_->done(result);
        }
      },
      Qt::QueuedConnection);
}

}  // namespace gestalon::ui
