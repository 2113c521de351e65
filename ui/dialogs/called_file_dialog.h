#pragma once

#include "dialogs/file_block_dialog.h"

class QCheckBox;
class QRadioButton;

namespace gestalon::ui {

// The subroutine (180), sound (178) and cancel (208) block dialogs: the file the block calls or
// plays, with the not-found notice under it. Sound and cancel choose between that file and none
// (radios 1114 / 1112; without a file the file controls are disabled) and carry checkbox 40659
// (`useConst`; hidden in the cancel dialog); the subroutine dialog carries the jump checkbox 40003
// (`asJump`; hidden, enabled only with the jump setting). "試聴" (40004) plays the sound file with
// the desktop's program; "モーション編集" (40010) opens the called motion in the editor and
// leaves the dialog.
class CalledFileDialog : public FileBlockDialog {
  Q_OBJECT

 public:
  CalledFileDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;
  std::u16string StatusText() const override;
  void ChooserClicked() override;

 private:
  void UpdateEnabled();
  void TestPlay();
  void EditMotion();

  bool sound_ = false;
  QRadioButton* useFile_ = nullptr;  // sound and cancel
  QRadioButton* noFile_ = nullptr;   // sound and cancel
  QCheckBox* useConst_ = nullptr;    // sound and cancel
  QCheckBox* asJump_ = nullptr;      // subroutine
  QPushButton* action_ = nullptr;    // test play (sound) or edit motion
};

}  // namespace gestalon::ui
