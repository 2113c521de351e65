#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/board_link.h"
#include "board/board_status.h"
#include "project/system_settings.h"
#include "ui_port/prompter.h"

namespace gestalon::ui {

// The status window's copy of what it shows, taken at each refresh.
struct StatusDisplay {
  bool communicationError = false;
  std::u16string robotName;
  core::BoardError lastError;
  std::u16string latestMotion;  // the board's text at 0x0200; empty = none
  std::u16string latestVoice;   // the board's text at 0x0400; empty = none
  core::BoardStatus status;
};

// One text of the status window: a single line at box.topLeft(), or, with `wrap`, a word-wrapped
// text kept inside `box`.
struct StatusText {
  QRect box;
  QString text;
  bool wrap = false;
};

// The texts of the status window for `display`, top to bottom. A communication error shows only
// its notice; the controller lines appear only while a controller is present.
std::vector<StatusText> StatusWindowTexts(const StatusDisplay& display);

// Width in pixels of the battery bar for a raw battery value: raw x 400 / 16384, truncated,
// within 0..400 (a negative reading shows no bar).
int BatteryBarWidth(std::int16_t batteryRaw);

// The small window that shows the board's status while online: robot name, last error, the
// motion and voice the board played last, battery voltage with a bar, and the controller's
// input. It redraws every 500 ms from the status snapshot and the last error the online worker
// keeps in the BoardLink, asks the worker once to read the latest motion's name again, and closes
// itself at the first refresh that finds the system offline. Its position lives in the system
// settings (statusWindowX / statusWindowY): it opens there, kept inside the screen's work area,
// and every move is stored back. UI thread only.
class StatusWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 450;
  static constexpr int kHeight = 200;
  static constexpr int kRefreshMs = 500;

  // `owner` is the main window (the status window stays a separate top-level window above it).
  // `robotName` is asked on every refresh, on the UI thread. `link` and `settings` must outlive
  // the window.
  StatusWindow(core::BoardLink& link, core::SystemSettings& settings,
               std::function<std::u16string()> robotName, QWidget* owner);
  ~StatusWindow() override;

  // One timer tick: takes a fresh copy of the board's status and repaints; the first tick while
  // online asks the worker to read the latest motion's name; a tick while offline closes the
  // window.
  void Refresh();

  const StatusDisplay& Display() const { return display_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void TakeSnapshot();
  void SavePosition();

  core::BoardLink& link_;
  core::SystemSettings& settings_;
  std::function<std::u16string()> robotName_;
  QTimer timer_;
  bool refreshRequested_ = false;
  StatusDisplay display_;
};

// The main window's handle on the status window: opens it on request, at most one at a time; a
// closed window deletes itself. Lives as a child of the main window; the online connection must
// have ended before it goes.
class StatusWindowHost : public QObject {
  Q_OBJECT

 public:
  // `prompter` says when the window cannot open (may be null: quiet). The references must
  // outlive the host.
  StatusWindowHost(QWidget* mainWindow, core::BoardLink& link, core::SystemSettings& settings,
                   std::function<std::u16string()> robotName, core::Prompter* prompter);

  // Opens the status window unless it is already open; while offline shows "not online" instead.
  // UI thread.
  void Open();
  // Open() carried to the UI thread, for the online worker's startStatusWindow. Any thread;
  // dropped when the host is gone by the time the UI thread gets to it.
  void OpenLater();

  // The open window, or null.
  StatusWindow* Window() const { return window_.data(); }

 private:
  QWidget* mainWindow_;
  core::BoardLink& link_;
  core::SystemSettings& settings_;
  std::function<std::u16string()> robotName_;
  core::Prompter* prompter_;
  QPointer<StatusWindow> window_;
};

}  // namespace gestalon::ui
