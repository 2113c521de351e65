#include "dialogs/time_block_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "flowchart/block_field_checks.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

TimeBlockDialog::TimeBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent)
    : BlockDialog(session, block,
                  block.Is(core::BlockKind::Pose) ? core::TextId::kDlgPoseBlockTitle
                                                  : core::TextId::kDlgWaitTitle,
                  parent) {
  setObjectName(QString::number(block.Is(core::BlockKind::Pose) ? 209 : 203));
  time_ = Named(new QLineEdit(QString::number(block.time), this), 1142);
  Body()->addWidget(time_, 0, 0);
  Body()->addWidget(new QLabel(Text(core::TextId::kLabelTimeSteps), this), 0, 1);
  if (block.Is(core::BlockKind::Pose)) {
    interpWait_ = Named(new QCheckBox(Text(core::TextId::kCheckInterpWait), this), 1013);
    interpWait_->setChecked(block.interpWait);
    Body()->addWidget(interpWait_, 1, 0, 1, 2);
  }
}

std::u16string TimeBlockDialog::CheckAndStore(core::MotionBlock& copy) {
  copy.time = core::BlockTimeFromField(ToU16(time_->text()));
  if (interpWait_) {
    copy.interpWait = interpWait_->isChecked();
  }
  return {};
}

}  // namespace gestalon::ui
