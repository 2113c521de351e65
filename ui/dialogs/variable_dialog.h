#pragma once

#include <QDialog>
#include <QTimer>
#include <cstddef>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QTableWidget;
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

// Dialog 187: the project's variables with their addresses, sizes and the values the board
// memory mirror holds, filtered by a name search. It doubles as the memory map: while online it
// asks the board for the values of the next definitions every 500 ms and shows what arrives.
// OK (or a double click on a row) stores the selected row's address in `address` and its size
// in `size` (when given); with no row selected the outputs stay as they were.
class VariableDialog : public QDialog {
  Q_OBJECT

 public:
  VariableDialog(EditorSession& session, std::uint16_t currentAddress, std::uint16_t* address,
                 std::int32_t* size, QWidget* parent = nullptr);

 private:
  // Rows for the definitions the search text lets through, with the values of the mirror.
  void Fill();
  // One refresh tick: ask for the next values while online, then rewrite the shown ones.
  void Refresh();
  // Rewrites the address and value columns in the current number style from the mirror; rows
  // keep their texts while another task holds the board.
  void RewriteNumbers();
  void SelectAddress(std::uint16_t address);
  void Accept();
  void done(int result) override;

  EditorSession& session_;
  std::uint16_t* address_;
  std::int32_t* size_;
  QTableWidget* list_ = nullptr;
  QLineEdit* search_ = nullptr;
  QCheckBox* hexadecimal_ = nullptr;
  QTimer timer_;
  std::size_t readCursor_ = 0;
};

}  // namespace gestalon::ui
