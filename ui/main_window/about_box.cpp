#include "main_window/about_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("157"));
  setWindowTitle(Text(core::TextId::kAboutTitle));
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(16);
  grid->setColumnStretch(1, 1);
  int row = 0;
  // The format texts put tabs between caption and value for a fixed-pitch box: here the caption
  // (up to the first tab) and the value (after the last) go into columns of their own.
  const auto line = [&](int controlId, int formatId, const QString& value) {
    const std::u16string format = core::LoadText(formatId);
    const std::size_t firstTab = format.find(u'\t');
    auto* valueLabel = new QLabel(this);
    valueLabel->setObjectName(QString::number(controlId));
    valueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (firstTab == std::u16string::npos) {
      valueLabel->setText(ToQString(core::Format(format, ToU16(value))));
      grid->addWidget(valueLabel, row++, 0, 1, 2);
      return;
    }
    const std::u16string valueFormat = format.substr(format.rfind(u'\t') + 1);
    grid->addWidget(new QLabel(ToQString(format.substr(0, firstTab)), this), row, 0);
    valueLabel->setText(ToQString(core::Format(valueFormat, ToU16(value))));
    grid->addWidget(valueLabel, row++, 1);
  };
  using namespace core::TextId;
  line(1193, kAboutProductNameFmt, QApplication::applicationName());
  line(1195, kAboutVersionFmt, QApplication::applicationVersion());
  line(1194, kAboutCompanyFmt, QApplication::organizationName());
  line(1196, kAboutCopyrightFmt, QStringLiteral("© 2026 Gestalon developers"));
  line(1197, kAboutCommentsFmt, Text(kCaptionGestalon));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  grid->addWidget(buttons, row, 0, 1, 2);
}

}  // namespace gestalon::ui
