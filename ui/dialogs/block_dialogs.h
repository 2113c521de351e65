#pragma once

class QWidget;

namespace gestalon::core {
struct MotionBlock;
}

namespace gestalon::ui {

class EditorSession;

// Opens the property dialog of the block's kind on `block` and runs it: 1 when OK changed the
// block, 0 otherwise (also for Start, End and kinds without a dialog).
int RunBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent);

}  // namespace gestalon::ui
