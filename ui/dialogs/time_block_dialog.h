#pragma once

#include "dialogs/block_dialog.h"

class QCheckBox;
class QLineEdit;

namespace gestalon::ui {

// The pose block (209) and wait block (203) dialogs: the time field 1142 ("step(0～65535)"),
// stored as its low 16 bits; the pose dialog adds the interpolation-wait checkbox 1013.
class TimeBlockDialog : public BlockDialog {
  Q_OBJECT

 public:
  TimeBlockDialog(EditorSession& session, core::MotionBlock& block, QWidget* parent = nullptr);

 protected:
  std::u16string CheckAndStore(core::MotionBlock& copy) override;

 private:
  QLineEdit* time_ = nullptr;
  QCheckBox* interpWait_ = nullptr;  // pose blocks only
};

}  // namespace gestalon::ui
