#include "pose/slider_properties.h"

#include <algorithm>

#include "pose/dialog_prompts.h"
#include "settings/settings_fields.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "text/number_parse.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

struct FlagBit {
  bool second;  // flags2, else flags1
  std::uint32_t bit;
  bool setWhenChecked;
};

constexpr std::array<FlagBit, kSliderCheckCount> kCheckBits{{
    {true, SliderFlag2::kDisabled, false},
    {false, SliderFlag1::kInverted, true},
    {true, SliderFlag2::kSignInverted, true},
    {true, SliderFlag2::kAbsolute, false},
    {true, SliderFlag2::kShowName, true},
    {true, SliderFlag2::kHideTexts, false},
}};

// The characters the range and counts-per-degree fields accept: digits, signs, points and
// blanks, or "0x" followed by lower-case hexadecimal digits.
bool IsNumberText(std::u16string_view text) {
  if (text.size() > 2 && text.substr(0, 2) == u"0x") {
    return std::all_of(text.begin() + 2, text.end(), [](char16_t c) {
      return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
    });
  }
  return std::all_of(text.begin(), text.end(), [](char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' || c == u' ' ||
           c == u'\t';
  });
}

bool IsOffered(int k) {
  return k >= 0 && k < kPropertySliders;
}

bool IsSelected(const SliderDef& slider) {
  return (slider.flags1 & SliderFlag1::kSelected) != 0;
}

std::u16string Message(int textId) {
  return LoadText(textId);
}

// Position, style, font and colours, range and step: what one slider and a selection share.
void StoreCommonFields(SliderDef& slider, const SliderForm& form, PromptIcon rangeIcon,
                       Prompter* prompter) {
  for (int i = 0; i < 2; ++i) {
    const std::u16string& text = i == 0 ? form.x : form.y;
    if (!text.empty()) {
      slider.pos[static_cast<std::size_t>(i)] = ParseDecimal(text);
      slider.filePos[static_cast<std::size_t>(i)] = slider.pos[static_cast<std::size_t>(i)];
    }
  }
  if (form.font) {
    slider.font = *form.font;
  }
  if (form.textColor) {
    slider.textColor = *form.textColor;
  }
  if (form.textBkColor) {
    slider.textBkColor = *form.textBkColor;
  }
  if (form.putStyle >= 0 && form.putStyle <= 3) {
    slider.putStyle = form.putStyle;
    if (form.putStyle >= 2) {
      slider.decimals = form.decimals;
    }
    if (form.putStyle == 2 && !form.countsPerDegree.empty()) {
      slider.countsPerDegree = ParseFloat(form.countsPerDegree);
    }
  }
  const std::int32_t minimum = form.minimum.empty() ? slider.minimum : ParseDecimal(form.minimum);
  const std::int32_t maximum = form.maximum.empty() ? slider.maximum : ParseDecimal(form.maximum);
  if (minimum < maximum) {
    slider.minimum = static_cast<std::int16_t>(minimum);
    slider.maximum = static_cast<std::int16_t>(maximum);
  } else {
    ShowMessage(prompter, rangeIcon, TextId::kMsgRangeInvalid);
  }
  if (!form.step.empty()) {
    slider.step = static_cast<std::uint16_t>(ParseDecimal(form.step));
  }
}

}  // namespace

bool SliderCheckValue(const SliderDef& slider, SliderCheck check) {
  const FlagBit& flag = kCheckBits[static_cast<std::size_t>(check)];
  const bool set = ((flag.second ? slider.flags2 : slider.flags1) & flag.bit) != 0;
  return set == flag.setWhenChecked;
}

void SetSliderCheck(SliderDef& slider, SliderCheck check, bool checked) {
  const FlagBit& flag = kCheckBits[static_cast<std::size_t>(check)];
  std::uint32_t& word = flag.second ? slider.flags2 : slider.flags1;
  if (checked == flag.setWhenChecked) {
    word |= flag.bit;
  } else {
    word &= ~flag.bit;
  }
}

SliderForm FormForSlider(const SliderDef& slider) {
  SliderForm form;
  form.axisName = slider.axisName;
  form.upperText = slider.upperText;
  form.lowerText = slider.lowerText;
  form.putStyle = slider.putStyle >= 0 && slider.putStyle <= 3 ? slider.putStyle : -1;
  form.decimals = slider.decimals;
  const std::u16string decimal = LoadText(TextId::kFmtDecimal);
  form.minimum = Format(decimal, slider.minimum);
  form.maximum = Format(decimal, slider.maximum);
  form.step = Format(decimal, slider.step);
  form.countsPerDegree = Format(LoadText(TextId::kFmtFloat), slider.countsPerDegree);
  form.x = Format(decimal, slider.pos[0]);
  form.y = Format(decimal, slider.pos[1]);
  form.pairMode = slider.pairMode >= 0 && slider.pairMode <= 3 ? slider.pairMode : -1;
  form.partner = slider.partner;
  for (int c = 0; c < kSliderCheckCount; ++c) {
    form.checks[static_cast<std::size_t>(c)] = SliderCheckValue(slider, static_cast<SliderCheck>(c))
                                                   ? CheckState::kChecked
                                                   : CheckState::kUnchecked;
  }
  return form;
}

SliderFormCheck CheckSliderForm(const SliderForm& form) {
  for (const auto& [text, field] :
       {std::pair{&form.minimum, SliderField::kMinimum}, {&form.maximum, SliderField::kMaximum}}) {
    if (text->empty()) {
      continue;
    }
    if (!IsNumberText(*text)) {
      return {Message(TextId::kMsgRangeNotNumber), field};
    }
    const std::int32_t value = ParseDecimal(*text);
    if (value < -32768 || value > 32767) {
      return {Message(TextId::kMsgRangeOutOfBounds), field};
    }
  }
  // A negative step would be stored as a large unsigned one: refused like one above the limit.
  if (!form.step.empty()) {
    const std::int32_t step = ParseDecimal(form.step);
    if (step < 0 || step > 32767) {
      return {Message(TextId::kMsgStepTooLarge), SliderField::kStep};
    }
  }
  if (form.putStyle == 2 && !form.countsPerDegree.empty() && !IsNumberText(form.countsPerDegree)) {
    return {Message(TextId::kMsgCountsPerDegreeNotNumber), SliderField::kCountsPerDegree};
  }
  for (const auto& [text, field] : {std::pair{&form.axisName, SliderField::kAxisName},
                                    {&form.upperText, SliderField::kUpperText},
                                    {&form.lowerText, SliderField::kLowerText}}) {
    if (!IsSettingsFieldText(*text)) {
      return {Message(TextId::kMsgNameNotStorable), field, PromptIcon::kWarning};
    }
  }
  return {};
}

std::u16string PairSlider(SliderTable& sliders, int k, std::int32_t pairMode,
                          std::int32_t partner) {
  if (!IsOffered(k)) {
    return {};
  }
  SliderDef& slider = sliders[static_cast<std::size_t>(k)];
  // Pairings that name a slider taking a new role would mirror into it: they are undone, so that
  // every right/left pairing left names its mate both ways.
  const auto unpairNaming = [&](int first, int second) {
    for (int j = 0; j < kPropertySliders; ++j) {
      SliderDef& other = sliders[static_cast<std::size_t>(j)];
      if (j != k && (other.pairMode == 2 || other.pairMode == 3) &&
          (other.partner == first || other.partner == second)) {
        other.pairMode = 0;
        other.partner = 0;
      }
    }
  };
  if (pairMode == 0 || pairMode == 1) {
    slider.pairMode = pairMode;
    unpairNaming(k, k);
    return {};
  }
  if (pairMode != 2 && pairMode != 3) {
    return {};
  }
  if (partner == k) {
    return Message(TextId::kMsgPartnerSameAsSelf);
  }
  if (!IsOffered(partner)) {
    return {};
  }
  slider.pairMode = pairMode;
  slider.partner = partner;
  unpairNaming(k, partner);
  SliderDef& mate = sliders[static_cast<std::size_t>(partner)];
  mate.pairMode = pairMode == 2 ? 3 : 2;
  mate.partner = k;
  return {};
}

void StoreSliderForm(SliderTable& sliders, int target, const SliderForm& form, Prompter* prompter) {
  if (target == kSelectedSliders) {
    for (int k = 0; k < kPropertySliders; ++k) {
      SliderDef& slider = sliders[static_cast<std::size_t>(k)];
      if (!IsSelected(slider)) {
        continue;
      }
      for (int c = 0; c < kSliderCheckCount; ++c) {
        const CheckState state = form.checks[static_cast<std::size_t>(c)];
        if (state != CheckState::kUndecided) {
          SetSliderCheck(slider, static_cast<SliderCheck>(c), state == CheckState::kChecked);
        }
      }
      StoreCommonFields(slider, form, PromptIcon::kWarning, prompter);
    }
    return;
  }
  if (!IsOffered(target)) {
    return;
  }
  SliderDef& slider = sliders[static_cast<std::size_t>(target)];
  for (int c = 0; c < kSliderCheckCount; ++c) {
    SetSliderCheck(slider, static_cast<SliderCheck>(c),
                   form.checks[static_cast<std::size_t>(c)] == CheckState::kChecked);
  }
  slider.axisName = TruncateText(form.axisName, kAxisNameMaxChars);
  slider.upperText = TruncateText(form.upperText, kSideTextMaxChars);
  slider.lowerText = TruncateText(form.lowerText, kSideTextMaxChars);
  if (const std::u16string refused = PairSlider(sliders, target, form.pairMode, form.partner);
      !refused.empty() && prompter) {
    prompter->Show(PromptIcon::kError, refused);
  }
  StoreCommonFields(slider, form, PromptIcon::kError, prompter);
}

bool SaveSliderFile(const LoadedProject& project, Prompter* prompter) {
  return ReportUnsavedFile(
      WriteSliderDefinitions(ProjectFilePath(project.project, project.project.SLDINI),
                             project.sliders, project.layout),
      prompter);
}

}  // namespace gestalon::core
