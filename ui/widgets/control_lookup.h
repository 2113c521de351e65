#pragma once

#include <QString>
#include <QWidget>

namespace gestalon::ui {

// A dialog's controls carry their control id as objectName ("1142"); tests and the dialogs
// themselves find them by it. Null when there is none of that type.
template <typename Control>
Control* FindControl(const QWidget* dialog, int id) {
  return dialog->findChild<Control*>(QString::number(id));
}

// Names a new control by its id and returns it, for building dialogs in one expression.
template <typename Control>
Control* Named(Control* control, int id) {
  control->setObjectName(QString::number(id));
  return control;
}

}  // namespace gestalon::ui
