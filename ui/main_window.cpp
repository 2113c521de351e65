#include "main_window.h"

#include "qt_text.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::ui {
namespace {

constexpr int kDefaultClientWidth = 880;
constexpr int kDefaultClientHeight = 640;
constexpr int kDefaultX = 30;
constexpr int kDefaultY = 20;

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MyWin"));
  resize(kDefaultClientWidth, kDefaultClientHeight);
  move(kDefaultX, kDefaultY);
  SetRobotName(u"");
}

void MainWindow::SetRobotName(std::u16string_view robotName) {
  setWindowTitle(ToQString(core::Format(core::LoadText(core::TextId::kTitleFormat), robotName)));
}

}  // namespace gestalon::ui
