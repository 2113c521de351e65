#include "cpusettings/cpu_variable_field.h"

#include <QLineEdit>
#include <QPushButton>

#include "dialogs/variable_dialog.h"
#include "main_window/editor_session.h"
#include "strings/text_id.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

CpuVariableField::CpuVariableField(EditorSession& session, QWidget* page, int fieldId, int pickerId,
                                   std::function<std::uint16_t&()> address)
    : session_(session),
      page_(page),
      address_(std::move(address)),
      field_(Named(new QLineEdit(page), fieldId)),
      picker_(Named(new QPushButton(Text(core::TextId::kBtnPickVariable1), page), pickerId)) {
  field_->setReadOnly(true);
  field_->setMinimumWidth(field_->fontMetrics().horizontalAdvance(u'0') * 14);
  picker_->setFixedWidth(picker_->fontMetrics().horizontalAdvance(picker_->text()) * 3);
  QObject::connect(picker_, &QPushButton::clicked, page, [this] { Pick(); });
}

void CpuVariableField::Show() {
  field_->setText(ToQString(core::VariableLabel(session_.project, address_(), 0)));
  field_->setCursorPosition(0);
}

void CpuVariableField::Pick() {
  std::uint16_t chosen = address_();
  std::int32_t size = 0;
  if (SelectVariable(session_, page_, chosen, &chosen, &size) == 1) {
    address_() = chosen;
    Show();
  }
}

}  // namespace gestalon::ui
