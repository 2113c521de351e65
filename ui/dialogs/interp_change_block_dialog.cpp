#include "dialogs/interp_change_block_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

constexpr int kGroupTextIds[] = {TextId::kInterpGroupAll, TextId::kInterpGroupEyes,
                                 TextId::kInterpGroupNeckYaw, TextId::kInterpGroupBodyExceptHead,
                                 TextId::kInterpGroupLowerBody};
constexpr int kChannelCount = 3;

}  // namespace

InterpChangeBlockDialog::InterpChangeBlockDialog(EditorSession& session, core::MotionBlock& block,
                                                 QWidget* parent)
    : BlockDialog(session, block, TextId::kDlgInterpChangeTitle, parent) {
  setObjectName(QStringLiteral("206"));
  // OK keeps the block's name, so the field only shows it.
  FindControl<QLineEdit>(this, 1224)->setReadOnly(true);

  group_ = Named(new QComboBox(this), 40657);
  for (const int id : kGroupTextIds) {
    group_->addItem(Text(id));
  }
  group_->setCurrentIndex(block.varAddr < group_->count() ? block.varAddr : -1);
  channel_ = Named(new QComboBox(this), 40001);
  const std::u16string channelFormat = core::LoadText(TextId::kFmtInterpChannel);
  for (int channel = 0; channel < kChannelCount; ++channel) {
    channel_->addItem(ToQString(core::Format(channelFormat, channel)));
  }
  channel_->setCurrentIndex(block.refAddr < channel_->count() ? block.refAddr : -1);

  Body()->addWidget(new QLabel(Text(TextId::kLabelInterpGroup), this), 0, 0);
  Body()->addWidget(group_, 0, 1);
  Body()->addWidget(new QLabel(Text(TextId::kLabelInterpChannel), this), 1, 0);
  Body()->addWidget(channel_, 1, 1, Qt::AlignLeft);
  Body()->setColumnStretch(1, 1);
}

std::u16string InterpChangeBlockDialog::CheckAndStore(core::MotionBlock& copy) {
  // A code outside the lists selects nothing and is kept as it was.
  if (group_->currentIndex() >= 0) {
    copy.varAddr = static_cast<std::uint16_t>(group_->currentIndex());
  }
  if (channel_->currentIndex() >= 0) {
    copy.refAddr = static_cast<std::uint16_t>(channel_->currentIndex());
  }
  return {};
}

}  // namespace gestalon::ui
