#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "pose/slider_properties.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace gestalon::ui {

class EditorSession;

// Dialog 131 "ポーズスライダの設定": the properties of one pose slider 0..95, or through the
// first entry of combo 1120 of every selected slider at once (check boxes three-state, nothing
// chosen until the user chooses it). Apply (1) asks, checks the fields, stores them into the
// project's sliders, writes the slider definition file and re-lays out the pose area; the dialog
// stays open until Close (2). It reopens where it was.
class SliderPropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SliderPropertiesDialog(EditorSession& session, QWidget* parent = nullptr);

  // The Apply button's work: true when the form was accepted and stored.
  bool Apply();
  // The slider edited, or core::kSelectedSliders for the first entry.
  int Target() const;

 private:
  void FillSliderNames();
  void ShowEntry();
  void ShowStyle();
  void ShowPairing();
  void ShowSample();
  void ChooseFont();
  void ChooseBackground();
  void SelectField(core::SliderField field);
  core::SliderForm ReadForm() const;
  void done(int result) override;

  EditorSession& session_;
  QComboBox* sliders_;
  QLineEdit* name_;
  QLineEdit* upper_;
  QLineEdit* lower_;
  QLabel* sample_;
  QButtonGroup* styles_;
  QLineEdit* countsPerDegree_;
  QSpinBox* decimals_;
  QLineEdit* minimum_;
  QLineEdit* maximum_;
  QLineEdit* step_;
  QButtonGroup* pairs_;
  QComboBox* partner_;
  QLineEdit* x_;
  QLineEdit* y_;
  std::array<QCheckBox*, core::kSliderCheckCount> checks_{};
  // The font (with text colour) and background colour chosen for the entry shown; none: not
  // chosen, the sliders keep theirs.
  std::optional<core::FontSpec> font_;
  std::optional<core::ColorRef> textColor_;
  std::optional<core::ColorRef> textBkColor_;
};

// Runs the dialog modally, owning the program's message boxes while open.
void RunSliderPropertiesDialog(EditorSession& session, QWidget* owner);

}  // namespace gestalon::ui
