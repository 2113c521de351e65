#include "dialogs/called_file_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "flowchart/block_file_checks.h"
#include "main_window/editor_session.h"
#include "platform/paths.h"
#include "project/system_settings.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

int TitleOf(const core::MotionBlock& block) {
  if (block.Is(core::BlockKind::Sound)) {
    return core::TextId::kDlgSoundTitle;
  }
  return block.Is(core::BlockKind::Cancel) ? core::TextId::kDlgCancelTitle
                                           : core::TextId::kDlgSubroutineTitle;
}

int TemplateOf(const core::MotionBlock& block) {
  if (block.Is(core::BlockKind::Sound)) {
    return 178;
  }
  return block.Is(core::BlockKind::Cancel) ? 208 : 180;
}

}  // namespace

CalledFileDialog::CalledFileDialog(EditorSession& session, core::MotionBlock& block,
                                   QWidget* parent)
    : FileBlockDialog(session, block, TitleOf(block), parent),
      sound_(block.Is(core::BlockKind::Sound)) {
  setObjectName(QString::number(TemplateOf(block)));
  const bool subroutine = block.Is(core::BlockKind::SubRoutine);
  int row = 0;
  if (!subroutine) {
    useFile_ =
        Named(new QRadioButton(
                  Text(sound_ ? core::TextId::kRadioSoundPlay : core::TextId::kRadioSubCall), this),
              1114);
    noFile_ = Named(
        new QRadioButton(
            Text(sound_ ? core::TextId::kRadioSoundStop : core::TextId::kRadioSubNoCall), this),
        1112);
    (block.noFile ? noFile_ : useFile_)->setChecked(true);
    Body()->addWidget(useFile_, row++, 0, 1, 3);
    connect(useFile_, &QRadioButton::toggled, this, &CalledFileDialog::UpdateEnabled);
  }
  AddFileRows(row);
  row += 2;
  if (!subroutine) {
    Body()->addWidget(noFile_, row++, 0, 1, 3);
  }

  action_ = sound_ ? Named(new QPushButton(Text(core::TextId::kBtnTestPlay), this), 40004)
                   : Named(new QPushButton(Text(core::TextId::kBtnEditMotion), this), 40010);
  Body()->addWidget(action_, row++, 2);
  if (sound_) {
    connect(action_, &QPushButton::clicked, this, &CalledFileDialog::TestPlay);
  } else {
    connect(action_, &QPushButton::clicked, this, &CalledFileDialog::EditMotion);
  }

  if (subroutine) {
    asJump_ = Named(new QCheckBox(Text(core::TextId::kCheckUseAsJump), this), 40003);
    asJump_->setChecked(block.asJump);
    asJump_->setEnabled((session.systemFlags.load() & core::SystemFlag::kUseJump) != 0);
    asJump_->setHidden(true);
    Body()->addWidget(asJump_, row++, 0, 1, 3);
  } else {
    useConst_ = Named(new QCheckBox(Text(sound_ ? core::TextId::kCheckIgnorePoseSync
                                                : core::TextId::kCheckClearCancelFlag),
                                    this),
                      40659);
    useConst_->setChecked(block.useConst != 0);
    useConst_->setHidden(!sound_);
    Body()->addWidget(useConst_, row++, 0, 1, 3);
  }
  UpdateEnabled();
}

std::u16string CalledFileDialog::StatusText() const {
  return core::CalledFileStatus(ProjectFolder(), FileName());
}

void CalledFileDialog::UpdateEnabled() {
  const bool withFile = !noFile_ || !noFile_->isChecked();
  FileField()->setEnabled(withFile);
  Chooser()->setEnabled(withFile);
  action_->setEnabled(withFile);
}

void CalledFileDialog::ChooserClicked() {
  FileChoice choice;
  choice.title = Text(core::TextId::kTitleOpenMotion);
  choice.filters = {
      sound_ ? FileFilter(core::TextId::kFilterWavName, core::TextId::kFilterWavPattern)
             : FileFilter(core::TextId::kFilterMotionDesc, core::TextId::kFilterMotionPattern),
      FileFilter(core::TextId::kFilterAll, core::TextId::kFilterAll)};
  ChooseFile(choice);
}

void CalledFileDialog::TestPlay() {
  if (!FileExists() || !Session().dialogs.openFile ||
      !Session().dialogs.openFile(ToQString(core::TextFromPath(FilePath())))) {
    QApplication::beep();
  }
}

void CalledFileDialog::EditMotion() {
  if (!FileExists()) {
    QApplication::beep();
    return;
  }
  if (Session().dialogs.openMotion && Session().dialogs.openMotion(FilePath())) {
    Leave();
  }
}

std::u16string CalledFileDialog::CheckAndStore(core::MotionBlock& copy) {
  StoreFile(copy);
  if (noFile_) {
    copy.noFile = noFile_->isChecked();
    copy.useConst = useConst_->isChecked() ? 1 : 0;
  } else {
    copy.asJump = asJump_->isChecked();
  }
  return {};
}

}  // namespace gestalon::ui
