#include "dialogs/block_dialogs.h"

#include <memory>

#include "dialogs/branch_dialog.h"
#include "dialogs/called_file_dialog.h"
#include "dialogs/comment_block_dialog.h"
#include "dialogs/data_file_dialog.h"
#include "dialogs/interp_change_block_dialog.h"
#include "dialogs/pad_block_dialog.h"
#include "dialogs/time_block_dialog.h"
#include "flowchart/block_properties.h"
#include "main_window/editor_session.h"

namespace gestalon::ui {

int RunBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent) {
  std::unique_ptr<BlockDialog> dialog;
  switch (core::PropertyDialogTemplate(block)) {
    case core::BlockDialog::kPose:
    case core::BlockDialog::kWait:
      dialog = std::make_unique<TimeBlockDialog>(session, block, parent);
      break;
    case core::BlockDialog::kIf:
    case core::BlockDialog::kCalc:
      dialog = std::make_unique<BranchDialog>(session, block, parent);
      break;
    case core::BlockDialog::kComment:
      dialog = std::make_unique<CommentBlockDialog>(session, block, parent);
      break;
    case core::BlockDialog::kInterpChange:
      dialog = std::make_unique<InterpChangeBlockDialog>(session, block, parent);
      break;
    case core::BlockDialog::kPadIf:
      dialog = std::make_unique<PadBlockDialog>(session, block, parent);
      break;
    case core::BlockDialog::kSubRoutine:
    case core::BlockDialog::kSound:
    case core::BlockDialog::kCancel:
      dialog = std::make_unique<CalledFileDialog>(session, block, parent);
      break;
    case core::BlockDialog::kFile:
      dialog = std::make_unique<DataFileDialog>(session, block, parent);
      break;
    default:  // Start, End and unknown kinds have no dialog
      return 0;
  }
  return dialog->Run();
}

}  // namespace gestalon::ui
