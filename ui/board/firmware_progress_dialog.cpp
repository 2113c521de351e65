#include "board/firmware_progress_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <utility>

#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

constexpr int kProgressBarControl = 40642;
constexpr int kMinimumWidth = 380;

}  // namespace

FirmwareProgressDialog::FirmwareProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("124"));
  setWindowTitle(Text(core::TextId::kFwProgressDlgTitle));
  setModal(true);
  status_ = Named(new QLabel(this), core::kFirmwareStatusTextControl);
  status_->setMinimumWidth(kMinimumWidth);
  bar_ = Named(new QProgressBar(this), kProgressBarControl);
  bar_->setRange(0, 1);
  bar_->setValue(0);
  auto* note = new QLabel(Text(core::TextId::kFwProgressDlgNote), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addSpacing(4);
  layout->addWidget(note);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

FirmwareProgressDialog::~FirmwareProgressDialog() {
  if (worker_.joinable()) {
    worker_.join();
  }
}

int FirmwareProgressDialog::Run(core::BoardLink& link, core::FirmwareUpdateRequest request) {
  request.progress = this;
  worker_ = std::thread([&link, request = std::move(request)] {
    core::RunFirmwareUpdate(link, request);  // ends with Finish, which closes the dialog
  });
  const int result = exec();
  worker_.join();
  return result;
}

void FirmwareProgressDialog::SetText(int controlId, std::u16string_view text) {
  if (controlId != core::kFirmwareStatusTextControl) {
    return;
  }
  QMetaObject::invokeMethod(
      this, [this, copy = ToQString(text)] { status_->setText(copy); }, Qt::QueuedConnection);
}

void FirmwareProgressDialog::SetProgress(int value, int maximum) {
  QMetaObject::invokeMethod(
      this,
      [this, value, maximum] {
        bar_->setRange(0, maximum);
        bar_->setValue(value);
      },
      Qt::QueuedConnection);
}

void FirmwareProgressDialog::Finish(int result) {
  QMetaObject::invokeMethod(
      this, [this, result] { done(result); }, Qt::QueuedConnection);
}

}  // namespace gestalon::ui
