#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pose/edit_context.h"
#include "project/slider_defs.h"
#include "project/value_offsets.h"
#include "ui_port/prompter.h"

namespace gestalon::core {

// The offset dialog edits a copy of the project's offset table. The copy's `current` is the
// dialog's working entry (-1 none): the set whose offsets the slider list shows and edits, and
// the wheel's offset choice once the copy is applied.

// The dialog's working copy: the project's table, with entry 0 as the working entry when no set
// is chosen and entry 0 is registered.
ValueOffsetTable OpenOffsetDialog(const ValueOffsetTable& offsets);

// The names of the registered entries in order; list item i is entry i.
std::vector<std::u16string> OffsetSetNames(const ValueOffsetTable& table);

// Selecting name item `index` makes that registered entry the working entry; other indexes are
// ignored.
void SelectOffsetSet(ValueOffsetTable& working, std::int32_t index);

// Add: inserts a registered set named "新しいオフセット" with all offsets 0 at `focusedIndex` (the
// focused name item, -1 none: after the last registered set), shifting later sets down. The
// working entry number is kept. Message when all 36 are registered. Returns 1 when added.
int AddOffsetSet(ValueOffsetTable& working, std::int32_t focusedIndex, Prompter* prompter);

// Delete: removes the registered set `selectedIndex` (-1 none: nothing happens); later sets move
// up. A working entry left unregistered becomes 0, or -1 when there is no set left. Returns 1
// when a set was removed.
int DeleteOffsetSet(ValueOffsetTable& working, std::int32_t selectedIndex);

// Renaming in place: the edited label (cut to 127 characters, made storable by
// SettingsFieldText) names the registered set `index`.
void RenameOffsetSet(ValueOffsetTable& working, std::int32_t index, std::u16string_view text);

// The offset edit's character check: digits, '+', '-', '.' and blanks; a text of three or more
// characters starting with "0x" may also hold 'a'..'f' after the prefix. Empty passes.
bool PassesOffsetNumberCheck(std::u16string_view text);

// "Apply to list": sets the offset of every selected slider (`selectedSliders`, indexes 0..127)
// of the working entry to the decimal value of `text` (cut to 255 characters; the conversion
// stops at the first non-digit, so "5.7" gives 5 and "0x1f" gives 0). Messages, the first that
// applies: no working entry, empty text, a character the check refuses, a value outside
// -32768..32767, no slider selected. Returns true when the offsets were set.
bool SetOffsetsFromText(ValueOffsetTable& working, std::u16string_view text,
                        const std::vector<std::int32_t>& selectedSliders, Prompter* prompter);

// Apply: after a Yes to the apply question, `working` (with its working entry as the offset
// choice) becomes the project's offset table, the menu check marks are refreshed and the offset
// file is written (a failed write is reported). Returns false when the user declined.
bool ApplyOffsetTable(EditContext& context, const ValueOffsetTable& working);

// Writes the project's offset file; a failure is reported with an error message.
bool SaveOffsetFile(const LoadedProject& project, Prompter* prompter);

// Closing the dialog, applied or not: no offset is chosen any more (the wheel steps by the
// slider steps again) and the menu check marks are refreshed. The front end then refills the
// toolbar offset selector.
void CloseOffsetDialog(EditContext& context);

// The toolbar offset selector: "(未使用)" followed by the names of the registered sets; the
// selected item is the offset choice + 1 (0 when the choice is not a registered set).
struct OffsetSelectorData {
  std::vector<std::u16string> items;
  int selected = 0;
};
OffsetSelectorData FillOffsetSelector(const ValueOffsetTable& offsets);

// A selection change in the toolbar selector: item `index` chooses set index - 1 (item 0: none).
// Indexes that name no registered set are ignored. Returns true when the choice was taken.
bool ChooseOffsetFromSelector(ValueOffsetTable& offsets, int index);

// Texts of the slider lists: "%02d:%s" with the slider number and name.
std::u16string FormatSliderNameCell(int index, const SliderDef& slider);

// The offset column: "%+d" followed by the offset in the slider's display style (hexadecimal
// " (+0x%04x)"/" (-0x%04x)" of the magnitude, degrees, percent; sign inverted sliders show the
// opposite sign). The converted part is left out when the slider's conversion has no scale (0
// counts per degree, or minimum = maximum for percent).
std::u16string FormatOffsetCell(const SliderDef& slider, std::int16_t offset);

// The step column: the step as "%d" followed by it in the slider's display style.
std::u16string FormatStepCell(const SliderDef& slider);

}  // namespace gestalon::core
