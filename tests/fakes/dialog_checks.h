#pragma once

// Shared steps of the dialog tests: a session or window on the sample robot, driving a modal
// dialog, and what the prompter showed; with the headers that nearly every dialog test uses.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "dialog_driving.h"
#include "main_window/command_ids.h"
#include "main_window/editor_session.h"
#include "main_window/main_window.h"
#include "recording_ports.h"
#include "sample_robot.h"
#include "shown_texts.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "temp_dir.h"
#include "widgets/control_lookup.h"
#include "widgets/qt_text.h"

namespace gestalon::testing {

// Session options with a virtual board whose card lies beside the robot.
inline ui::SessionOptions VirtualBoardOptions(const SampleRobot& robot) {
  ui::SessionOptions options;
  options.virtualBoardFolder = robot.dir.Path() / "card";
  return options;
}

// A session on a copy of the sample robot, optionally with a virtual board.
struct SampleSession {
  explicit SampleSession(bool virtualBoard = false)
      : session(robot.project, &prompter, nullptr, {},
                virtualBoard ? VirtualBoardOptions(robot) : ui::SessionOptions{}) {}
  SampleRobot robot;
  RecordingPrompter prompter;
  ui::EditorSession session;
};

// The main window on `robot` with its virtual board, shown.
inline std::unique_ptr<ui::MainWindow> WindowOnVirtualBoard(SampleRobot& robot,
                                                            core::Prompter& prompter) {
  auto window = std::make_unique<ui::MainWindow>(robot.project, prompter,
                                                 std::filesystem::path(GESTALON_RESOURCES_DIR),
                                                 VirtualBoardOptions(robot));
  window->show();
  return window;
}

// The online command, waited on until the connection is up (or, going off, its worker ended).
inline void SwitchOnline(ui::MainWindow& window, bool online) {
  window.RunCommand(ui::CommandId::kOnline);
  const ui::EditorSession& session = window.Session();
  if (online) {
    QTRY_VERIFY_WITH_TIMEOUT(session.link.Flags().online.load() == 1, 30000);
  } else {
    QTRY_VERIFY_WITH_TIMEOUT(!session.online->WorkerRunning(), 30000);
  }
}

// Whether the prompter showed the program's text `textId` at any point.
inline bool Shows(const RecordingPrompter& prompter, int textId) {
  const std::vector<std::u16string> shown = ShownTexts(prompter);
  return std::ranges::find(shown, core::LoadText(textId)) != shown.end();
}

// Types `text` into the line edit whose control id is `id`.
inline void Type(const QWidget& dialog, int id, const QString& text) {
  QLineEdit* edit = ui::FindControl<QLineEdit>(&dialog, id);
  QVERIFY(edit);
  edit->setText(text);
}

// The texts of one column of a table, top to bottom.
inline QStringList ColumnTexts(const QTableWidget* table, int column) {
  QStringList texts;
  for (int row = 0; row < table->rowCount(); ++row) {
    texts << table->item(row, column)->text();
  }
  return texts;
}

// Runs `drive` on the modal dialog that the next call opens, once that call's event loop runs.
// A check failing in `drive` closes the dialog, so that the test ends rather than waits.
inline void WhenModal(std::function<void(QDialog&)> drive) {
  QTimer::singleShot(0, [drive = std::move(drive)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog);
    drive(*dialog);
    if (QTest::currentTestFailed() && dialog->isVisible()) {
      dialog->done(0);
    }
  });
}

// With GESTALON_SCREENSHOT set, saves `widget` as "<that file>.<name>.png" for a look by eye.
inline void Screenshot(QWidget& widget, const QString& name) {
  if (const QString file = qEnvironmentVariable("GESTALON_SCREENSHOT"); !file.isEmpty()) {
    QVERIFY(widget.grab().save(file + QLatin1Char('.') + name + QStringLiteral(".png")));
  }
}

}  // namespace gestalon::testing
