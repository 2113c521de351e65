#include "widgets/font_color_pickers.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "project/slider_defs.h"
#include "strings/text_id.h"
#include "text/truncate.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {
namespace {

core::ColorRef FromQColor(const QColor& color) {
  return core::MakeColorRef(static_cast<unsigned>(color.red()),
                            static_cast<unsigned>(color.green()),
                            static_cast<unsigned>(color.blue()));
}

// Shows the colour on the button that chooses it.
void PaintSwatch(QPushButton* button, core::ColorRef color) {
  QPixmap swatch(16, 16);
  swatch.fill(ToQColor(color));
  button->setIcon(QIcon(swatch));
}

}  // namespace

core::FontSpec FromQFont(const QFont& font, const core::FontSpec& base) {
  core::FontSpec logical = base;
  logical.faceName = core::TruncateText(ToU16(font.family()), core::kFaceNameMaxChars);
  const int pixels = font.pixelSize() > 0
                         ? font.pixelSize()
                         : static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
  logical.height = -pixels;
  logical.width = 0;
  logical.weight = font.weight();
  logical.italic = font.italic() ? 1 : 0;
  logical.underline = font.underline() ? 1 : 0;
  logical.strikeOut = font.strikeOut() ? 1 : 0;
  return logical;
}

std::optional<FontPick> PickFontWithDialog(QWidget* parent, const core::FontSpec& font,
                                           core::ColorRef color) {
  // The desktop's font chooser has no text colour: it is shown inside a dialog that adds one.
  QDialog dialog(parent);
  dialog.setWindowTitle(Text(core::TextId::kColorItemFont));
  auto* chooser = new QFontDialog(ToQFont(font), &dialog);
  chooser->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  chooser->setWindowFlags(Qt::Widget);
  auto* colorButton = new QPushButton(Text(core::TextId::kBtnTextColor), &dialog);
  core::ColorRef chosenColor = color;
  PaintSwatch(colorButton, chosenColor);
  QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
    if (const auto picked = PickColorWithDialog(&dialog, chosenColor)) {
      chosenColor = *picked;
      PaintSwatch(colorButton, chosenColor);
    }
  });
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(Text(core::TextId::kButtonOk), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(Text(core::TextId::kButtonCancel), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(colorButton);
  bottom->addStretch(1);
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(chooser, 1);
  layout->addLayout(bottom);
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return FontPick{FromQFont(chooser->currentFont(), font), chosenColor};
}

std::optional<core::ColorRef> PickColorWithDialog(QWidget* parent, core::ColorRef color) {
  const QColor chosen = QColorDialog::getColor(ToQColor(color), parent);
  if (!chosen.isValid()) {
    return std::nullopt;
  }
  return FromQColor(chosen);
}

}  // namespace gestalon::ui
