#include "pose/slider_properties_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <mutex>

#include "main_window/editor_session.h"
#include "pose/dialog_prompts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/control_lookup.h"
#include "widgets/prompter_owner_scope.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

namespace TextId = core::TextId;

namespace ControlId {
constexpr int kSliders = 1120;
constexpr int kName = 1128;
constexpr int kUpperText = 1154;
constexpr int kLowerText = 1145;
constexpr int kFont = 1156;
constexpr int kBackground = 1158;
constexpr std::array<int, 4> kStyles{1135, 1139, 1137, 1138};  // by putStyle
constexpr int kMinimum = 1129;
constexpr int kMaximum = 1130;
constexpr int kStep = 1188;
constexpr int kCountsPerDegree = 1190;
constexpr int kDecimals = 1140;
constexpr std::array<int, 4> kPairs{1113, 1115, 1116, 1118};  // by pairMode
constexpr int kPartner = 1125;
constexpr int kX = 1147;
constexpr int kY = 1148;
// In the order of core::SliderCheck.
constexpr std::array<int, core::kSliderCheckCount> kChecks{1099, 1131, 1174, 1108, 1167, 1250};
constexpr int kApply = 1;
constexpr int kClose = 2;
}  // namespace ControlId

constexpr std::array<int, 4> kStyleTexts{TextId::kRadioStyleDecimal, TextId::kRadioStyleHex,
                                         TextId::kRadioStyleDegrees, TextId::kRadioStylePercent};
constexpr std::array<int, 4> kPairTexts{TextId::kRadioPairNone, TextId::kRadioPairCenter,
                                        TextId::kPadRight, TextId::kPadLeft};
constexpr std::array<int, core::kSliderCheckCount> kCheckTexts{
    TextId::kCheckSliderEnabled, TextId::kCheckDisplayInvert,  TextId::kCheckSignInvert,
    TextId::kCheckBaseRelative,  TextId::kCheckShowSliderName, TextId::kCheckShowSideTexts};
constexpr int kMaxDecimals = 6;
constexpr int kNumberFieldWidth = 64;

QString SliderItemText(const core::SliderDef& slider, int k) {
  return ToQString(core::Format(core::LoadText(TextId::kFmtSliderItem), k, slider.axisName));
}

QLineEdit* NumberField(int id, QWidget* parent) {
  auto* field = Named(new QLineEdit(parent), id);
  field->setMaximumWidth(kNumberFieldWidth);
  return field;
}

// Checks a radio of `group` by id, or none with -1.
void CheckRadio(QButtonGroup* group, int id) {
  if (QAbstractButton* button = group->button(id)) {
    button->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) {
    button->setChecked(false);
  }
  group->setExclusive(true);
}

QButtonGroup* RadioGroup(const std::array<int, 4>& ids, const std::array<int, 4>& texts,
                         QWidget* parent, QBoxLayout* layout) {
  auto* group = new QButtonGroup(parent);
  for (int i = 0; i < 4; ++i) {
    auto* radio = Named(new QRadioButton(Text(texts[static_cast<std::size_t>(i)]), parent),
                        ids[static_cast<std::size_t>(i)]);
    group->addButton(radio, i);
    layout->addWidget(radio);
  }
  return group;
}

QString Field(const std::u16string& text) {
  return ToQString(text);
}

}  // namespace

SliderPropertiesDialog::SliderPropertiesDialog(EditorSession& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("131"));
  setWindowTitle(Text(TextId::kDlgSliderPropsTitle));

  sliders_ = Named(new QComboBox(this), ControlId::kSliders);
  sliders_->setMaxVisibleItems(24);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(Text(TextId::kLabelSliderToEdit), this));
  top->addWidget(sliders_, 1);

  // Texts, font and colours.
  name_ = Named(new QLineEdit(this), ControlId::kName);
  name_->setMaxLength(static_cast<int>(core::kAxisNameMaxChars));
  upper_ = Named(new QLineEdit(this), ControlId::kUpperText);
  upper_->setMaxLength(static_cast<int>(core::kSideTextMaxChars));
  lower_ = Named(new QLineEdit(this), ControlId::kLowerText);
  lower_->setMaxLength(static_cast<int>(core::kSideTextMaxChars));
  auto* fontButton = Named(new QPushButton(Text(TextId::kColorItemFont), this), ControlId::kFont);
  auto* backButton =
      Named(new QPushButton(Text(TextId::kBtnTextBkColor), this), ControlId::kBackground);
  sample_ = new QLabel(this);
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setMinimumHeight(28);
  sample_->setFrameShape(QFrame::StyledPanel);
  auto* texts = new QGridLayout;
  texts->addWidget(new QLabel(Text(TextId::kLabelSliderName), this), 0, 0);
  texts->addWidget(name_, 0, 1, 1, 2);
  texts->addWidget(new QLabel(Text(TextId::kLabelUpperText), this), 1, 0);
  texts->addWidget(upper_, 1, 1, 1, 2);
  texts->addWidget(new QLabel(Text(TextId::kLabelLowerText), this), 2, 0);
  texts->addWidget(lower_, 2, 1, 1, 2);
  texts->addWidget(fontButton, 3, 1);
  texts->addWidget(backButton, 3, 2);
  texts->addWidget(sample_, 4, 0, 1, 3);

  // Display style.
  auto* styleBox = new QGroupBox(Text(TextId::kGroupStyle), this);
  auto* styleRadios = new QHBoxLayout;
  styles_ = RadioGroup(ControlId::kStyles, kStyleTexts, styleBox, styleRadios);
  countsPerDegree_ = NumberField(ControlId::kCountsPerDegree, styleBox);
  countsPerDegree_->setMaximumWidth(kNumberFieldWidth * 3 / 2);
  decimals_ = Named(new QSpinBox(styleBox), ControlId::kDecimals);
  decimals_->setRange(0, kMaxDecimals);
  auto* styleFields = new QGridLayout;
  styleFields->addWidget(new QLabel(Text(TextId::kLabelCountsPerDegree), styleBox), 0, 0);
  styleFields->addWidget(countsPerDegree_, 0, 1);
  styleFields->addWidget(new QLabel(Text(TextId::kLabelDecimals), styleBox), 1, 0);
  styleFields->addWidget(decimals_, 1, 1);
  styleFields->setColumnStretch(2, 1);
  auto* styleLayout = new QVBoxLayout(styleBox);
  styleLayout->addLayout(styleRadios);
  styleLayout->addLayout(styleFields);

  // Range and step.
  minimum_ = NumberField(ControlId::kMinimum, this);
  maximum_ = NumberField(ControlId::kMaximum, this);
  step_ = NumberField(ControlId::kStep, this);
  auto* range = new QGridLayout;
  range->addWidget(new QLabel(Text(TextId::kLabelRange), this), 0, 0);
  auto* rangeFields = new QHBoxLayout;
  rangeFields->addWidget(minimum_);
  rangeFields->addWidget(new QLabel(Text(TextId::kLabelRangeSeparator), this));
  rangeFields->addWidget(maximum_);
  rangeFields->addStretch(1);
  range->addLayout(rangeFields, 0, 1);
  range->addWidget(new QLabel(Text(TextId::kColStep), this), 1, 0);
  range->addWidget(step_, 1, 1);

  auto* left = new QVBoxLayout;
  left->addLayout(texts);
  left->addWidget(styleBox);
  left->addLayout(range);
  left->addStretch(1);

  // Pairing.
  auto* pairBox = new QGroupBox(Text(TextId::kGroupPairAttr), this);
  auto* pairRadios = new QHBoxLayout;
  pairs_ = RadioGroup(ControlId::kPairs, kPairTexts, pairBox, pairRadios);
  partner_ = Named(new QComboBox(pairBox), ControlId::kPartner);
  partner_->setMaxVisibleItems(24);
  auto* partnerRow = new QHBoxLayout;
  partnerRow->addWidget(new QLabel(Text(TextId::kLabelPartner), pairBox));
  partnerRow->addWidget(partner_, 1);
  auto* pairLayout = new QVBoxLayout(pairBox);
  pairLayout->addLayout(pairRadios);
  pairLayout->addLayout(partnerRow);

  // Position.
  x_ = NumberField(ControlId::kX, this);
  y_ = NumberField(ControlId::kY, this);
  auto* position = new QHBoxLayout;
  position->addWidget(new QLabel(Text(TextId::kLabelDisplayPos), this));
  position->addSpacing(8);
  position->addWidget(new QLabel(Text(TextId::kLabelX), this));
  position->addWidget(x_);
  position->addWidget(new QLabel(Text(TextId::kLabelY), this));
  position->addWidget(y_);
  position->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(pairBox);
  right->addLayout(position);
  for (int c = 0; c < core::kSliderCheckCount; ++c) {
    auto* check = Named(new QCheckBox(Text(kCheckTexts[static_cast<std::size_t>(c)]), this),
                        ControlId::kChecks[static_cast<std::size_t>(c)]);
    checks_[static_cast<std::size_t>(c)] = check;
    right->addWidget(check);
  }
  right->addStretch(1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addSpacing(12);
  columns->addLayout(right, 1);

  auto* apply = Named(new QPushButton(Text(TextId::kButtonApply), this), ControlId::kApply);
  auto* close = Named(new QPushButton(Text(TextId::kBtnClose), this), ControlId::kClose);
  apply->setDefault(true);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(apply);
  bottom->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(columns);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(apply, &QPushButton::clicked, this, &SliderPropertiesDialog::Apply);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(fontButton, &QPushButton::clicked, this, &SliderPropertiesDialog::ChooseFont);
  connect(backButton, &QPushButton::clicked, this, &SliderPropertiesDialog::ChooseBackground);
  connect(styles_, &QButtonGroup::idToggled, this, [this] { ShowStyle(); });
  connect(pairs_, &QButtonGroup::idToggled, this, [this] { ShowPairing(); });
  connect(name_, &QLineEdit::textChanged, this, [this] { ShowSample(); });

  FillSliderNames();
  // One selected slider is edited by itself, several through the first entry; none: slider 0.
  int selected = 0;
  int only = 0;
  for (int k = 0; k < core::kPropertySliders; ++k) {
    if ((session_.project.sliders[static_cast<std::size_t>(k)].flags1 &
         core::SliderFlag1::kSelected) != 0) {
      ++selected;
      only = k;
    }
  }
  sliders_->setCurrentIndex(selected > 1 ? 0 : only + 1);
  connect(sliders_, &QComboBox::currentIndexChanged, this, [this] { ShowEntry(); });
  ShowEntry();
  if (session_.dialogs.sliderPropertiesPosition) {
    move(*session_.dialogs.sliderPropertiesPosition);
  }
}

int SliderPropertiesDialog::Target() const {
  return sliders_->currentIndex() - 1;  // entry 0 is the selection: core::kSelectedSliders
}

void SliderPropertiesDialog::FillSliderNames() {
  const core::SliderTable& sliders = session_.project.sliders;
  const bool fresh = sliders_->count() == 0;
  if (fresh) {
    sliders_->addItem(Text(TextId::kComboCurrentSelection));
  }
  for (int k = 0; k < core::kPropertySliders; ++k) {
    const QString text = SliderItemText(sliders[static_cast<std::size_t>(k)], k);
    if (fresh) {
      sliders_->addItem(text);
      partner_->addItem(text);
    } else {
      sliders_->setItemText(k + 1, text);
      partner_->setItemText(k, text);
    }
  }
}

void SliderPropertiesDialog::ShowEntry() {
  const int target = Target();
  const bool single = target != core::kSelectedSliders;
  const core::SliderForm form =
      single ? core::FormForSlider(session_.project.sliders[static_cast<std::size_t>(target)])
             : core::SliderForm{};
  name_->setText(Field(form.axisName));
  upper_->setText(Field(form.upperText));
  lower_->setText(Field(form.lowerText));
  // The texts and the pairing belong to one slider: with several they are not changed.
  for (QWidget* oneSliderOnly : {static_cast<QWidget*>(name_), static_cast<QWidget*>(upper_),
                                 static_cast<QWidget*>(lower_)}) {
    oneSliderOnly->setEnabled(single);
  }
  for (QAbstractButton* radio : pairs_->buttons()) {
    radio->setEnabled(single);
  }
  minimum_->setText(Field(form.minimum));
  maximum_->setText(Field(form.maximum));
  step_->setText(Field(form.step));
  countsPerDegree_->setText(Field(form.countsPerDegree));
  decimals_->setValue(form.decimals);
  x_->setText(Field(form.x));
  y_->setText(Field(form.y));
  CheckRadio(styles_, form.putStyle);
  CheckRadio(pairs_, form.pairMode);
  if (form.partner >= 0 && form.partner < core::kPropertySliders) {
    partner_->setCurrentIndex(form.partner);
  }
  for (int c = 0; c < core::kSliderCheckCount; ++c) {
    QCheckBox* check = checks_[static_cast<std::size_t>(c)];
    check->setTristate(!single);
    const core::CheckState state = form.checks[static_cast<std::size_t>(c)];
    check->setCheckState(state == core::CheckState::kUndecided ? Qt::PartiallyChecked
                         : state == core::CheckState::kChecked ? Qt::Checked
                                                               : Qt::Unchecked);
  }
  if (single) {
    const core::SliderDef& slider = session_.project.sliders[static_cast<std::size_t>(target)];
    font_ = slider.font;
    textColor_ = slider.textColor;
    textBkColor_ = slider.textBkColor;
  } else {
    font_.reset();
    textColor_.reset();
    textBkColor_.reset();
  }
  ShowStyle();
  ShowPairing();
  ShowSample();
}

void SliderPropertiesDialog::ShowStyle() {
  countsPerDegree_->setEnabled(styles_->checkedId() == 2);
}

void SliderPropertiesDialog::ShowPairing() {
  const int mode = pairs_->checkedId();
  partner_->setEnabled(Target() != core::kSelectedSliders && (mode == 2 || mode == 3));
}

// The slider name as the pose area would draw it with the chosen font and colours.
void SliderPropertiesDialog::ShowSample() {
  sample_->setText(name_->text());
  sample_->setFont(font_ ? ToQFont(*font_) : font());
  QPalette palette = this->palette();
  if (textColor_) {
    palette.setColor(QPalette::WindowText, ToQColor(*textColor_));
  }
  if (textBkColor_) {
    palette.setColor(QPalette::Window, ToQColor(*textBkColor_));
  }
  sample_->setAutoFillBackground(textBkColor_.has_value());
  sample_->setPalette(palette);
}

void SliderPropertiesDialog::ChooseFont() {
  // With several sliders the chooser starts at the first selected one's font.
  core::FontSpec start;
  core::ColorRef color = 0;
  if (font_) {
    start = *font_;
    color = textColor_.value_or(0);
  } else {
    for (int k = 0; k < core::kPropertySliders; ++k) {
      const core::SliderDef& slider = session_.project.sliders[static_cast<std::size_t>(k)];
      if ((slider.flags1 & core::SliderFlag1::kSelected) != 0) {
        start = slider.font;
        color = slider.textColor;
        break;
      }
    }
  }
  if (const auto picked = session_.dialogs.pickFont(this, start, color)) {
    font_ = picked->font;
    textColor_ = picked->color;
    ShowSample();
  }
}

void SliderPropertiesDialog::ChooseBackground() {
  if (const auto picked = session_.dialogs.pickColor(this, textBkColor_.value_or(0xFFFFFF))) {
    textBkColor_ = *picked;
    ShowSample();
  }
}

core::SliderForm SliderPropertiesDialog::ReadForm() const {
  core::SliderForm form;
  form.axisName = ToU16(name_->text());
  form.upperText = ToU16(upper_->text());
  form.lowerText = ToU16(lower_->text());
  form.putStyle = styles_->checkedId();
  form.decimals = decimals_->value();
  form.minimum = ToU16(minimum_->text());
  form.maximum = ToU16(maximum_->text());
  form.step = ToU16(step_->text());
  form.countsPerDegree = ToU16(countsPerDegree_->text());
  form.x = ToU16(x_->text());
  form.y = ToU16(y_->text());
  form.pairMode = pairs_->checkedId();
  form.partner = partner_->currentIndex();
  for (int c = 0; c < core::kSliderCheckCount; ++c) {
    const Qt::CheckState state = checks_[static_cast<std::size_t>(c)]->checkState();
    form.checks[static_cast<std::size_t>(c)] =
        state == Qt::PartiallyChecked ? core::CheckState::kUndecided
        : state == Qt::Checked        ? core::CheckState::kChecked
                                      : core::CheckState::kUnchecked;
  }
  form.font = font_;
  form.textColor = textColor_;
  form.textBkColor = textBkColor_;
  return form;
}

void SliderPropertiesDialog::SelectField(core::SliderField field) {
  QLineEdit* edit = nullptr;
  switch (field) {
    case core::SliderField::kMinimum:
      edit = minimum_;
      break;
    case core::SliderField::kMaximum:
      edit = maximum_;
      break;
    case core::SliderField::kStep:
      edit = step_;
      break;
    case core::SliderField::kCountsPerDegree:
      edit = countsPerDegree_;
      break;
    case core::SliderField::kAxisName:
      edit = name_;
      break;
    case core::SliderField::kUpperText:
      edit = upper_;
      break;
    case core::SliderField::kLowerText:
      edit = lower_;
      break;
    case core::SliderField::kNone:
      return;
  }
  edit->setFocus();
  edit->selectAll();
}

bool SliderPropertiesDialog::Apply() {
  core::Prompter* prompter = session_.context.prompter;
  if (!prompter ||
      prompter->Ask(core::PromptIcon::kWarning, core::LoadText(TextId::kMsgConfirmApplySettings),
                    core::PromptButtons::kYesNo) != core::PromptAnswer::kYes) {
    return false;
  }
  const core::SliderForm form = ReadForm();
  if (const core::SliderFormCheck check = core::CheckSliderForm(form); !check.message.empty()) {
    prompter->Show(check.icon, check.message);
    SelectField(check.field);
    return false;
  }
  // The sliders are stored in a copy so that no message box holds up the online worker, which
  // reads them (and writes the robot readings) under the session lock.
  core::SliderTable edited;
  {
    std::lock_guard lock(session_.sessionMutex);
    edited = session_.project.sliders;
  }
  core::StoreSliderForm(edited, Target(), form, prompter);
  bool written = false;
  {
    std::lock_guard lock(session_.sessionMutex);
    core::SliderTable& live = session_.project.sliders;
    for (std::size_t k = 0; k < live.size(); ++k) {
      edited[k].reading = live[k].reading;
    }
    live = edited;
    written = core::SaveSliderFile(session_.project, nullptr);
  }
  core::ReportUnsavedFile(written, prompter);
  FillSliderNames();
  if (Target() != core::kSelectedSliders) {
    ShowEntry();
  }
  if (session_.context.views) {
    session_.context.views->Relayout(core::Pane::kPose);
  }
  return true;
}

void SliderPropertiesDialog::done(int result) {
  session_.dialogs.sliderPropertiesPosition = pos();
  QDialog::done(result);
}

void RunSliderPropertiesDialog(EditorSession& session, QWidget* owner) {
  SliderPropertiesDialog dialog(session, owner);
  const PrompterOwnerScope ownerScope(session.context.prompter, &dialog);
  dialog.exec();
}

}  // namespace gestalon::ui
