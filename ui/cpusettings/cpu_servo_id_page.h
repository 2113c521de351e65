#pragma once

#include <QAbstractItemDelegate>
#include <QWidget>

#include "cpusettings/cpu_settings.h"

class QComboBox;
class QTableWidget;

namespace gestalon::ui {

class EditorSession;

// Page 215 of the CPU settings: the servo IDs of the four serial servo ports. The port combo
// (1254) chooses the port shown, the protocol combo (1041) sets its protocol, list 1049 holds
// its IDs, "追加" (1255) inserts a row at the selected one and opens it for editing, "削除"
// (1256) removes the selected rows. An edited ID must be 0..255 and not used elsewhere on the
// port; a refused new row goes again. Every change goes into the working copy at once.
class CpuServoIdPage : public QWidget {
  Q_OBJECT

 public:
  CpuServoIdPage(EditorSession& session, core::CpuSettings& copy, QWidget* parent = nullptr);

  // Shows the working copy.
  void Show();

 private:
  core::SerialBus& Bus();
  void ShowIds();
  void AddId();
  void DeleteIds();
  void EditEnded(QAbstractItemDelegate::EndEditHint hint);

  EditorSession& session_;
  core::CpuSettings& copy_;
  int port_ = 0;
  int addedRow_ = -1;  // the row Add has just inserted, while its first edit is open
  QComboBox* ports_;
  QComboBox* protocols_;
  QTableWidget* ids_;
};

}  // namespace gestalon::ui
