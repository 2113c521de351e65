#include "dialogs/comment_block_dialog.h"

#include <QGridLayout>
#include <QPlainTextEdit>

#include "flowchart/block_field_checks.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

CommentBlockDialog::CommentBlockDialog(EditorSession& session, core::MotionBlock& block,
                                       QWidget* parent)
    : BlockDialog(session, block, core::TextId::kDlgCommentTitle, parent) {
  setObjectName(QStringLiteral("199"));
  comment_ = Named(new QPlainTextEdit(ToQString(block.comment), this), 1142);
  comment_->setTabChangesFocus(true);
  Body()->addWidget(comment_, 0, 0);
}

std::u16string CommentBlockDialog::CheckAndStore(core::MotionBlock& copy) {
  copy.comment = core::BlockCommentFromField(ToU16(comment_->toPlainText()));
  return {};
}

}  // namespace gestalon::ui
