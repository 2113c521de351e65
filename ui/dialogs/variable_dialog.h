#pragma once

#include <cstdint>

class QWidget;

namespace gestalon::ui {

class EditorSession;

// Lets the user pick a board variable from the project's variable definitions (dialog 187,
// "変数の選択"), starting at `currentAddress`. The definitions are read again from the project's
// variable definition file first (a failed read keeps the list in use). On OK the chosen row's
// address goes to `address` and its size to `size` (either may be null: without an address
// output only the last chosen address is remembered). 1 when the dialog ended with OK, 2 when
// there are no definitions (the program's message was shown), otherwise 0.
int SelectVariable(EditorSession& session, QWidget* owner, std::uint16_t currentAddress,
                   std::uint16_t* address, std::int32_t* size);

}  // namespace gestalon::ui
