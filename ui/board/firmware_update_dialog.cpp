#include "board/firmware_update_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "board/drive_selection_dialog.h"
#include "board/firmware_progress_dialog.h"
#include "board/firmware_update.h"
#include "cpusettings/cpu_settings.h"
#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_prompter.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kFileFieldWidth = 320;

}  // namespace

FirmwareUpdateDialog::FirmwareUpdateDialog(EditorSession& session,
                                           std::filesystem::path programFolder, QWidget* parent)
    : QDialog(parent), session_(session), programFolder_(std::move(programFolder)) {
  setObjectName(QStringLiteral("122"));
  setWindowTitle(Text(TextId::kFwDlgTitle));
  file_ = Named(new QLineEdit(this), 1019);
  file_->setMaxLength(static_cast<int>(core::kFileNameChars));
  file_->setMinimumWidth(kFileFieldWidth);
  auto* browse = Named(new QPushButton(Text(TextId::kButtonOpenFile), this), 1018);
  auto* start = Named(new QPushButton(Text(TextId::kFwDlgStartWriting), this), 1);
  auto* cancel = Named(new QPushButton(Text(TextId::kButtonCancel), this), 2);
  start->setDefault(true);
  connect(browse, &QPushButton::clicked, this, &FirmwareUpdateDialog::Browse);
  connect(start, &QPushButton::clicked, this, &FirmwareUpdateDialog::Start);
  connect(cancel, &QPushButton::clicked, this, &FirmwareUpdateDialog::reject);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browse);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(start);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fileRow);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void FirmwareUpdateDialog::Browse() {
  const FileChoice choice{Text(TextId::kTitleOpenMotion),
                          {FileFilter(TextId::kFilterBinName, TextId::kFilterBinPattern)},
                          false,
                          QStringLiteral("bin")};
  const QString chosen =
      session_.dialogs.pickFile(this, choice, ToQString(session_.project.project.folder));
  if (!chosen.isEmpty()) {
    file_->setText(chosen);
  }
}

void FirmwareUpdateDialog::Start() {
  core::Prompter* prompter = session_.context.prompter;
  if (prompter &&
      prompter->Ask(core::PromptIcon::kQuestion, core::LoadText(TextId::kMsgConfirmFirmwareWrite),
                    core::PromptButtons::kYesNo) == core::PromptAnswer::kNo) {
    return;
  }
  core::FirmwareUpdateRequest request;
  request.firmwareFile = core::PathFromText(ToU16(file_->text()));
  request.programFolder = programFolder_;
  request.candidates = session_.DriveCandidates();
  {
    std::lock_guard lock(session_.sessionMutex);
    request.robotName = core::RobotName(session_.project.cpu);
  }
  request.online = session_.online.get();
  request.prompter = prompter;
  request.chooseBoard = [choose = MakeBoardChooser(this, dynamic_cast<QtPrompter*>(prompter)),
                         &link = session_.link](const core::BoardScanResult& scan) {
    return choose(link, scan);
  };

  FirmwareProgressDialog progress(this);
  {
    const PrompterOwnerScope owner(prompter, &progress);
    progress.Run(session_.link, std::move(request));
  }
  accept();
}

void UpdateFirmware(EditorSession& session, const std::filesystem::path& programFolder,
                    QWidget* parent) {
  FirmwareUpdateDialog dialog(session, programFolder, parent);
  const PrompterOwnerScope owner(session.context.prompter, &dialog);
  dialog.exec();
}

}  // namespace gestalon::ui
