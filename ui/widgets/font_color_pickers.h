#pragma once

#include <QFont>
#include <functional>
#include <optional>

#include "project/logical_font.h"

class QWidget;

namespace gestalon::ui {

// A font chosen together with its text colour.
struct FontPick {
  core::FontSpec font;
  core::ColorRef color = 0;
};

// Shows a font chooser (with the text colour) starting at `font` and `color`; nullopt when
// cancelled. The program uses the desktop's choosers; tests put their own in its place.
using FontPicker = std::function<std::optional<FontPick>(
    QWidget* parent, const core::FontSpec& font, core::ColorRef color)>;
std::optional<FontPick> PickFontWithDialog(QWidget* parent, const core::FontSpec& font,
                                           core::ColorRef color);

// Shows a colour chooser starting at `color`; nullopt when cancelled.
using ColorPicker =
    std::function<std::optional<core::ColorRef>(QWidget* parent, core::ColorRef color)>;
std::optional<core::ColorRef> PickColorWithDialog(QWidget* parent, core::ColorRef color);

// `font` as a logical font: face (cut to 31 characters), pixel height (negative), weight and
// style; the fields Qt has no word for (character set, precisions, quality, pitch) come from
// `base`.
core::FontSpec FromQFont(const QFont& font, const core::FontSpec& base);

}  // namespace gestalon::ui
