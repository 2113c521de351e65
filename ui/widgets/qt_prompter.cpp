#include "widgets/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "strings/text_id.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

QMessageBox::Icon ToQtIcon(core::PromptIcon icon) {
  switch (icon) {
    case core::PromptIcon::kError:
      return QMessageBox::Critical;
    case core::PromptIcon::kWarning:
      return QMessageBox::Warning;
    case core::PromptIcon::kQuestion:
      return QMessageBox::Question;
    case core::PromptIcon::kInformation:
      return QMessageBox::Information;
    case core::PromptIcon::kNone:
      return QMessageBox::NoIcon;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(core::PromptButtons buttons) {
  switch (buttons) {
    case core::PromptButtons::kOk:
      return QMessageBox::Ok;
    case core::PromptButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case core::PromptButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case core::PromptButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

core::PromptAnswer FromQtButton(int button, core::PromptButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return core::PromptAnswer::kOk;
    case QMessageBox::Yes:
      return core::PromptAnswer::kYes;
    case QMessageBox::No:
      return core::PromptAnswer::kNo;
    case QMessageBox::Cancel:
      return core::PromptAnswer::kCancel;
    default:  // closed by the window's close button or Escape
      return buttons == core::PromptButtons::kOk      ? core::PromptAnswer::kOk
             : buttons == core::PromptButtons::kYesNo ? core::PromptAnswer::kNo
                                                      : core::PromptAnswer::kCancel;
  }
}

}  // namespace

core::PromptAnswer QtPrompter::Ask(core::PromptIcon icon, std::u16string_view text,
                                   core::PromptButtons buttons) {
  const QString message = ToQString(text);
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) {
    return AskOnUiThread(icon, message, buttons);
  }
  core::PromptAnswer answer = core::PromptAnswer::kCancel;
  QMetaObject::invokeMethod(
      app, [&] { answer = AskOnUiThread(icon, message, buttons); }, Qt::BlockingQueuedConnection);
  return answer;
}

core::PromptAnswer QtPrompter::AskOnUiThread(core::PromptIcon icon, const QString& text,
                                             core::PromptButtons buttons) {
  QMessageBox box(ToQtIcon(icon), Text(core::TextId::kCaptionGestalon), text, ToQtButtons(buttons),
                  owner_.data());
  return FromQtButton(box.exec(), buttons);
}

}  // namespace gestalon::ui
