#include "main_window.h"

#include <QtTest>

namespace gestalon::ui {

class MainWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void titleShowsTheRobotNameInTheProgramFormat() {
    MainWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral(" -Gestalon for QT-TB40-"));
    window.SetRobotName(u"ロボット");
    QCOMPARE(window.windowTitle(), QStringLiteral("ロボット -Gestalon for QT-TB40-"));
  }

  void windowOpens() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.grab().isNull());
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::MainWindowTest)
#include "main_window_test.moc"
