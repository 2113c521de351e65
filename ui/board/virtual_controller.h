#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

class QCheckBox;
class QPushButton;

namespace gestalon::sim {
class VirtualBoard;
}

namespace gestalon::ui {

// The controller of a virtual CPU board, as a small tool window that stays above its parent: the
// sixteen buttons in the bit order of the controller word at 0x0EE4 (SELECT, L3, R3, START, up,
// right, down, left, L2, R2, L1, R1, △, ○, ×, □), laid out like a gamepad. A button's bit is set
// while the mouse or its key holds it; with the latch option (54182) each click or key press
// toggles it instead. The power button (54183) switches the board off and on, as a user does with
// the robot after writing it: on again, the board starts STARTUP.BIN from its card. Each button's
// objectName is the text id of its label; its key is in its tooltip.
class VirtualControllerWindow : public QWidget {
  Q_OBJECT

 public:
  // `board` must outlive the window.
  VirtualControllerWindow(sim::VirtualBoard& board, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  // Closing lets go of every button.
  void closeEvent(QCloseEvent* event) override;

 private:
  bool Latched() const;
  void Press(std::size_t bit, bool down);
  void ReleaseAll();
  void SendButtons();
  void TogglePower();
  void ShowPower();

  sim::VirtualBoard& board_;
  std::array<QPushButton*, 16> buttons_{};
  QCheckBox* latch_;
  QPushButton* power_;
  QTimer powerWatch_;
  std::uint16_t pressed_ = 0;
};

// Shows the virtual controller of `board` above `parent`, made on first use and kept (hidden when
// closed) until `parent` deletes it.
void ShowVirtualController(sim::VirtualBoard& board, QWidget* parent);

}  // namespace gestalon::ui
