#pragma once

#include <QPushButton>
#include <QtTest>
#include <string>

#include "recording_ports.h"
#include "widgets/control_lookup.h"

namespace gestalon::testing {

// Clicks the push button whose control id is `id` in `dialog`; fails the test when it has none.
inline void Click(const QWidget& dialog, int id) {
  QPushButton* button = ui::FindControl<QPushButton>(&dialog, id);
  QVERIFY(button);
  button->click();
}

// The text of the last message box shown, empty when there was none.
inline std::u16string LastMessage(const RecordingPrompter& prompter) {
  const auto calls = prompter.Calls();
  return calls.empty() ? std::u16string() : calls.back().text;
}

}  // namespace gestalon::testing
