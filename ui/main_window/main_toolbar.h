#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <filesystem>

#include "main_window/command_actions.h"
#include "pose/offset_editing.h"
#include "project/system_settings.h"

namespace gestalon::ui {

// Number of command buttons on the toolbar (the image strip holds one 16 x 15 picture each).
inline constexpr int kToolbarButtons = 24;
// Toolbar flags after the buttons: the loop count spin and the playback override spin.
inline constexpr int kLoopSpinFlag = 24;
inline constexpr int kOverrideSpinFlag = 25;

// Command id of toolbar button `index` (0 .. kToolbarButtons - 1), in toolbar order.
int ToolbarButtonCommand(int index);

// The main toolbar: 24 command buttons in six groups (a group whose buttons are all hidden gets
// no separator), the base pose drop-down, the loop count and playback override spins with the
// "反映" button, and the wheel offset selector.
class MainToolbar : public QToolBar {
  Q_OBJECT

 public:
  MainToolbar(CommandActions& actions, const std::filesystem::path& programFolder,
              QWidget* parent = nullptr);

  // (Re)builds the buttons and spins the settings show.
  void Build(const core::SystemSettings& settings);
  // Playback override in percent: the spin's position, 100 without the spin.
  int OverridePercent() const;
  void SetOverridePercent(int percent);
  void FillOffsetSelector(const core::OffsetSelectorData& data);
  // The spins, the apply button and the selector follow the playback lock.
  void SetPlaybackLock(bool playing);
  QSpinBox* OverrideSpin() const { return overrideSpin_; }

 Q_SIGNALS:
  void overrideChanged(int percent);
  // The wheel offset selector's item `index` was chosen (0 = none).
  void offsetChosen(int index);

 private:
  CommandActions& actions_;
  QImage strip_;
  QSpinBox* overrideSpin_ = nullptr;
  QSpinBox* loopSpin_ = nullptr;
  QPushButton* applyButton_ = nullptr;
  QComboBox* offsetSelector_ = nullptr;
};

}  // namespace gestalon::ui
