#pragma once

#include <QWidget>

#include "project/display_options.h"
#include "project/system_settings.h"

class QCheckBox;
class QListWidget;

namespace gestalon::ui {

// Page 138 of the display settings: list 1126 with one checkable item per toolbar button (its
// menu text) and the loop count and playback override spins, then the options "ツールバーを表示
// する" (1101) and "通信時にステータスウィンドウを表示する" (1103).
class DisplayToolbarPage : public QWidget {
  Q_OBJECT

 public:
  DisplayToolbarPage(const core::SystemSettings& settings, const core::DisplayOptions& options,
                     QWidget* parent = nullptr);

  // The toolbar flags of the listed items, as checked.
  void StoreButtons(core::SystemSettings& settings) const;
  void StoreOptions(core::DisplayOptions& options) const;

 private:
  QListWidget* list_;
  QCheckBox* showToolbar_;
  QCheckBox* showStatusWindow_;
};

}  // namespace gestalon::ui
