#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "project/project_loader.h"
#include "project/slider_defs.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// The checks and the storing of the slider properties dialog. The dialog only shows and collects
// what its controls hold; what is accepted and what each slider takes is decided here.

// The dialog edits sliders 0..95; 96..127 are never offered nor changed by it.
inline constexpr int kPropertySliders = 96;
// The dialog's target meaning "every selected slider" rather than one slider.
inline constexpr int kSelectedSliders = -1;

// The dialog's check boxes, each standing for one flag bit (some for a cleared bit).
enum SliderCheck {
  kCheckEnabled,          // flags2 0x1 cleared
  kCheckDisplayInverted,  // flags1 0x1
  kCheckSignInverted,     // flags2 0x8
  kCheckBaseRelative,     // flags2 0x10 cleared
  kCheckShowName,         // flags2 0x4
  kCheckShowSideTexts,    // flags2 0x20 cleared
  kSliderCheckCount
};

enum class CheckState { kUnchecked, kChecked, kUndecided };

bool SliderCheckValue(const SliderDef& slider, SliderCheck check);
void SetSliderCheck(SliderDef& slider, SliderCheck check, bool checked);

// What the dialog's controls hold. Number fields are the texts typed; an empty one leaves its
// field as it is. -1 in `putStyle` or `pairMode`: no radio chosen (several sliders).
struct SliderForm {
  std::u16string axisName, upperText, lowerText;
  std::int32_t putStyle = -1;
  std::int32_t decimals = 0;
  std::u16string minimum, maximum, step, countsPerDegree;
  std::u16string x, y;
  std::int32_t pairMode = -1;
  std::int32_t partner = 0;
  std::array<CheckState, kSliderCheckCount> checks{CheckState::kUndecided, CheckState::kUndecided,
                                                   CheckState::kUndecided, CheckState::kUndecided,
                                                   CheckState::kUndecided, CheckState::kUndecided};
  // Chosen in the font and colour choosers; none: the sliders keep theirs.
  std::optional<FontSpec> font;
  std::optional<ColorRef> textColor;  // chosen with the font
  std::optional<ColorRef> textBkColor;
};

// The form showing one slider: its texts, numbers ("%d", counts per degree "%f"), radios and
// two-state check boxes, with nothing chosen in the font and colour choosers.
SliderForm FormForSlider(const SliderDef& slider);

// The number fields the check refuses, for the dialog to select the refused text.
enum class SliderField {
  kNone,
  kMinimum,
  kMaximum,
  kStep,
  kCountsPerDegree,
  kAxisName,
  kUpperText,
  kLowerText
};

struct SliderFormCheck {
  std::u16string message;  // empty: accepted
  SliderField field = SliderField::kNone;
  PromptIcon icon = PromptIcon::kError;
};

// Checks the non-empty number fields in this order: minimum and maximum (number characters,
// then -32768..32767 read as decimal), step (at most 32767), counts per degree (number
// characters; only with the degrees style); then the three texts, which must not hold what the
// file cannot keep ("]]", line breaks; exclamation icon). The first refusal is returned.
SliderFormCheck CheckSliderForm(const SliderForm& form);

// Pairs slider k (0..95) as `pairMode`: none and centre set the mode (the partner number stays)
// and unpair every other right/left slider that pointed at k. Right (2) and left (3): slider
// `partner` becomes its left or right partner, and every other right/left slider 0..95 that
// pointed at k or at the partner is unpaired, so no pairing is left that names only one way. A
// slider paired with itself is refused with the message returned (error icon); the pairing is
// then unchanged.
std::u16string PairSlider(SliderTable& sliders, int k, std::int32_t pairMode, std::int32_t partner);

// Stores an accepted form (CheckSliderForm) into slider `target` (0..95) or, with
// kSelectedSliders, into every selected slider 0..95, which take only the decided check boxes,
// the chosen style, font and colours, and the given position, range and step (not the texts nor
// the pairing). A range whose minimum is not below its maximum is refused per slider (one slider:
// error icon, several: exclamation) and the old range stays; a refused pairing is reported too.
void StoreSliderForm(SliderTable& sliders, int target, const SliderForm& form, Prompter* prompter);

// Writes the project's slider definition file with its current window layout; a failure is
// reported with an error message.
bool SaveSliderFile(const LoadedProject& project, Prompter* prompter);

}  // namespace gestalon::core
