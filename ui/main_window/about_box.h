#pragma once

#include <QDialog>

namespace gestalon::ui {

// The version information box: the product name, then one row per item with its caption in the
// left column and its value in the right one. Each value label is named by its control id
// (1193 product, 1195 version, 1194 company, 1196 copyright, 1197 comments).
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace gestalon::ui
