#include "motion_area/motion_area.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <optional>

#include "main_window/editor_session.h"
#include "motion/motion_reader.h"
#include "motion_area/arrow_router.h"
#include "project/project_loader.h"
#include "project/system_settings.h"
#include "recording_ports.h"
#include "widgets/qt_drawing.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;

const std::filesystem::path kRobotFolder =
    std::filesystem::path(GESTALON_RESOURCES_DIR) / "robots" / "gestaloid";

core::LoadedProject DefaultProject() {
  core::LoadedProject project;
  core::SetSystemSettingsDefaults(project.system);
  return project;
}

core::LoadedProject SampleRobot() {
  core::LoadedProject project;
  if (!core::LoadRobotProject(kRobotFolder / "gestaloid.KJZ", true, project, {})) {
    qFatal("the sample robot does not load");
  }
  return project;
}

// A motion area of 600 x 700 over its own editing session with an empty motion.
struct Area {
  testing::RecordingPrompter prompter;
  testing::RecordingViewNotifier views;
  EditorSession session;
  MotionArea area;

  explicit Area(core::LoadedProject project = DefaultProject())
      : session(std::move(project), &prompter, &views), area(session) {
    area.resize(600, 700);
  }

  core::MotionDocument& Document() { return session.motion.document; }

  MotionBlock& Add(BlockKind kind, int x, int y, std::u16string name = u"B") {
    MotionBlock record;
    record.type = static_cast<std::int32_t>(kind);
    record.name = std::move(name);
    record.time = 50;
    record.xpos = x;
    record.ypos = y;
    record.bluearrow = record.redarrow = 6;
    return Document().Append(record);
  }

  // Lays the blocks out as a paint does and starts the undo history from here.
  void Ready() {
    LayOut();
    session.undo.ResetUndoHistory();
  }
  void LayOut() { area.RenderForBenchmark(QSize(8, 8)); }
  int UndoSteps() const { return session.undo.Count() - 1; }
};

void Send(MotionArea& area, QEvent::Type type, QPoint content, Qt::MouseButton button,
          Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  const QPoint local = content - area.ScrollPosition();
  QMouseEvent event(type, QPointF(local), QPointF(area.viewport()->mapToGlobal(local)), button,
                    buttons, modifiers);
  QApplication::sendEvent(area.viewport(), &event);
}

void Press(MotionArea& area, QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           Qt::MouseButton button = Qt::LeftButton) {
  Send(area, QEvent::MouseButtonPress, p, button, button, modifiers);
}
void Move(MotionArea& area, QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
          Qt::MouseButtons buttons = Qt::LeftButton) {
  Send(area, QEvent::MouseMove, p, Qt::NoButton, buttons, modifiers);
}
void Release(MotionArea& area, QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton) {
  Send(area, QEvent::MouseButtonRelease, p, button, Qt::NoButton, modifiers);
}
void Click(MotionArea& area, QPoint p, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Press(area, p, modifiers);
  Release(area, p, modifiers);
}
void Drag(MotionArea& area, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) {
  Press(area, from, modifiers);
  Move(area, to, modifiers);
  Release(area, to, modifiers);
}

// A point inside the block's top left corner, away from its arrows and buttons.
QPoint Inside(const MotionBlock& block) {
  return {block.xpos + 3, block.ypos + 3};
}
QPoint Centre(const Box& box) {
  return {box.left + (box.right - box.left) / 2, box.top + (box.bottom - box.top) / 2};
}

}  // namespace

class MotionAreaTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // ---- Layout.
  void blocksAreMeasuredWithTheAreaFont() {
    Area a;
    MotionBlock& start = a.Add(BlockKind::Start, 50, 10, u"");
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 100, u"P 0");
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 200, u" CALCULATION ");
    a.LayOut();
    QCOMPARE(pose.label, std::u16string(u"050step"));
    const int poseHeight = pose.rect[1] - pose.ypos;
    QCOMPARE(start.rect[1] - start.ypos, poseHeight / 2);
    QCOMPARE(calc.rect[1] - calc.ypos, poseHeight);
    // The pose block has room for its time buttons beside its text.
    QVERIFY(pose.rect[0] - pose.xpos >= kTimeButtonWidth + 8 + 30);
    QVERIFY(calc.rect[0] - calc.xpos > pose.rect[0] - pose.xpos - kTimeButtonWidth);
  }

  void blocksBeyondTheCanvasMoveInside() {
    Area a;
    MotionBlock& far = a.Add(BlockKind::Pose, 4090, 5000);
    MotionBlock& before = a.Add(BlockKind::Pose, -30, -5);
    a.LayOut();
    QCOMPARE(far.rect[0], 4096);
    QCOMPARE(far.rect[1], 4096);
    QCOMPARE(before.xpos, 0);
    QCOMPARE(before.ypos, 0);
  }

  void scrollRangesReachPastTheLargestBlock() {
    Area a;
    MotionBlock& low = a.Add(BlockKind::Pose, 900, 2000);
    a.area.show();
    a.area.grab();
    const QSize client = a.area.viewport()->size();
    QCOMPARE(a.area.verticalScrollBar()->maximum(), low.rect[1] + 15 - client.height());
    QCOMPARE(a.area.horizontalScrollBar()->maximum(), low.rect[0] + 15 - client.width());
    QCOMPARE(a.area.verticalScrollBar()->singleStep(), 16);
    QCOMPARE(a.area.verticalScrollBar()->pageStep(), client.height());
  }

  void scrollIntoViewBringsABlocksCornerIntoView() {
    Area a;
    MotionBlock& low = a.Add(BlockKind::Pose, 900, 2000);
    a.Ready();
    a.area.ScrollIntoView(low.xpos, low.ypos, low.rect[0], low.rect[1]);
    QCOMPARE(a.area.ScrollPosition(), QPoint(880, 1980));
    a.area.grab();  // the ranges shrink to the content again; the block stays in view
    const QPoint scroll = a.area.ScrollPosition();
    QVERIFY(scroll.y() <= low.ypos && low.ypos <= scroll.y() + a.area.viewport()->height());
    QVERIFY(scroll.x() <= low.xpos && low.xpos <= scroll.x() + a.area.viewport()->width());
    // A block already in view does not scroll.
    a.area.ScrollIntoView(low.xpos + 10, low.ypos + 10, 0, 0);
    QCOMPARE(a.area.ScrollPosition(), scroll);
    // Near the origin the position stops at 0.
    a.area.ScrollIntoView(10, 5, 0, 0);
    QCOMPARE(a.area.ScrollPosition(), QPoint(0, 0));
  }

  // ---- Selecting.
  void clickSelectsOneBlockAndCtrlClickAddsOne() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Pose, 300, 50);
    a.Ready();
    Click(a.area, Inside(second));
    QVERIFY(second.Selected());
    QVERIFY(!first.Selected());
    QCOMPARE(a.Document().current, &second);
    Click(a.area, Inside(first), Qt::ControlModifier);
    QVERIFY(first.Selected());
    QVERIFY(second.Selected());
    QCOMPARE(a.Document().current, &first);
    Click(a.area, Inside(second));  // already selected: the selection stays
    QVERIFY(first.Selected());
    QCOMPARE(a.UndoSteps(), 0);
  }

  void rubberBandReplacesTheSelectionAndAddsWithCtrl() {
    Area a;
    MotionBlock& left = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& right = a.Add(BlockKind::Pose, 250, 50);
    MotionBlock& low = a.Add(BlockKind::Pose, 50, 400);
    a.Ready();
    Click(a.area, Inside(low));
    QVERIFY(low.Selected());

    Press(a.area, {20, 20});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBand);
    QVERIFY(!low.Selected());  // a press without Ctrl clears the selection
    Move(a.area, {400, 120});
    QVERIFY(left.selFlags & core::kBlockInBand);
    QVERIFY(!(low.selFlags & core::kBlockInBand));
    Release(a.area, {400, 120});
    QVERIFY(left.Selected());
    QVERIFY(right.Selected());
    QVERIFY(!low.Selected());
    QVERIFY(!(left.selFlags & core::kBlockInBand));

    Drag(a.area, {20, 380}, {300, 500}, Qt::ControlModifier);
    QVERIFY(left.Selected());
    QVERIFY(right.Selected());
    QVERIFY(low.Selected());
    QCOMPARE(a.UndoSteps(), 0);
  }

  void rightClickSelectsTheBlockAndSetsTheInsertionPoint() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Calc, 300, 50);
    a.Ready();
    first.selFlags |= core::kBlockSelected;
    QSignalSpy menu(&a.area, &MotionArea::contextMenuRequested);
    Press(a.area, Inside(second), Qt::NoModifier, Qt::RightButton);
    QCOMPARE(menu.count(), 1);
    QCOMPARE(menu.at(0).at(0).toPoint(), a.area.viewport()->mapToGlobal(Inside(second)));
    QVERIFY(second.Selected());
    QVERIFY(!first.Selected());
    QCOMPARE(a.session.state.insertionPoint.x, Inside(second).x());
    QCOMPARE(a.session.state.insertionPoint.y, Inside(second).y());
    // On empty ground only the insertion point moves (content coordinates).
    a.area.ScrollIntoView(1000, 1000, 0, 0);
    const QPoint scroll = a.area.ScrollPosition();
    Press(a.area, scroll + QPoint(40, 30), Qt::NoModifier, Qt::RightButton);
    QCOMPARE(menu.count(), 2);
    QVERIFY(second.Selected());
    QCOMPARE(a.session.state.insertionPoint.x, scroll.x() + 40);
    QCOMPARE(a.session.state.insertionPoint.y, scroll.y() + 30);
  }

  void doubleClickOpensPropertiesOrReportsEmptyGround() {
    Area a;
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 50);
    a.Ready();
    QSignalSpy properties(&a.area, &MotionArea::blockPropertiesRequested);
    QSignalSpy empty(&a.area, &MotionArea::emptyAreaDoubleClicked);
    Click(a.area, Inside(calc));
    Send(a.area, QEvent::MouseButtonDblClick, Inside(calc), Qt::LeftButton, Qt::LeftButton,
         Qt::NoModifier);
    Release(a.area, Inside(calc));
    QCOMPARE(properties.count(), 1);
    QCOMPARE(properties.at(0).at(0).value<MotionBlock*>(), &calc);
    QCOMPARE(empty.count(), 0);

    Click(a.area, {400, 400});
    Send(a.area, QEvent::MouseButtonDblClick, {400, 400}, Qt::LeftButton, Qt::LeftButton,
         Qt::NoModifier);
    QCOMPARE(empty.count(), 1);
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBand);  // and it acts as a press
    Release(a.area, {400, 400});
    QCOMPARE(properties.count(), 1);
  }

  // ---- Moving.
  void movedBlocksStopAtTheCanvasOrigin() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 30, 20);
    MotionBlock& other = a.Add(BlockKind::Pose, 200, 300);
    a.Ready();
    const int width = pose.rect[0] - pose.xpos;
    Click(a.area, Inside(other));
    Press(a.area, Inside(pose), Qt::ControlModifier);
    Move(a.area, Inside(pose) + QPoint(-100, -50), Qt::ControlModifier);
    Release(a.area, Inside(pose) + QPoint(-100, -50), Qt::ControlModifier);
    QCOMPARE(pose.xpos, 0);
    QCOMPARE(pose.ypos, 0);
    QCOMPARE(pose.rect[0], width);
    QCOMPARE(other.xpos, 100);
    QCOMPARE(other.ypos, 250);
    QCOMPARE(a.UndoSteps(), 1);
  }

  void shiftDragSnapsToTheGridFirst() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 53, 47);
    a.Ready();
    QCOMPARE(a.session.project.system.gridX, 10);
    const QPoint grip = Inside(pose);  // (56, 50)
    Press(a.area, grip);
    Move(a.area, grip + QPoint(2, 2), Qt::ShiftModifier);
    QCOMPARE(pose.xpos, 50);
    QCOMPARE(pose.ypos, 40);
    // From x 58 to 72 the cursor crosses two grid lines (60, 70): the block moves 20.
    Move(a.area, grip + QPoint(16, 2), Qt::ShiftModifier);
    QCOMPARE(pose.xpos, 70);
    QCOMPARE(pose.ypos, 40);
    Move(a.area, grip + QPoint(19, 5));  // without Shift: exact steps again
    QCOMPARE(pose.xpos, 73);
    QCOMPARE(pose.ypos, 43);
    Release(a.area, grip + QPoint(19, 5));
    QCOMPARE(a.UndoSteps(), 1);
  }

  void aGridOfZeroDoesNotSnap() {
    core::LoadedProject project = DefaultProject();
    project.system.gridX = 0;
    project.system.gridY = 0;
    Area a(std::move(project));
    MotionBlock& pose = a.Add(BlockKind::Pose, 53, 47);
    a.Ready();
    Press(a.area, Inside(pose));
    Move(a.area, Inside(pose) + QPoint(1, 1), Qt::ShiftModifier);
    QCOMPARE(pose.xpos, 54);
    QCOMPARE(pose.ypos, 48);
  }

  void aClickWithoutMovingRecordsNothing() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 50);
    a.Ready();
    Press(a.area, Inside(pose));
    Move(a.area, Inside(pose));
    Release(a.area, Inside(pose));
    QCOMPARE(a.UndoSteps(), 0);
  }

  // ---- Relinking.
  void altDragRelinksTheBlueArrow() {
    Area a;
    MotionBlock& start = a.Add(BlockKind::Start, 50, 10, u"");
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 100);
    MotionBlock& other = a.Add(BlockKind::Pose, 300, 300);
    MotionBlock& end = a.Add(BlockKind::End, 50, 500);
    pose.next = &end;
    a.Ready();
    Press(a.area, Inside(pose), Qt::AltModifier);
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBlueEnd);
    QVERIFY(pose.selFlags & core::kBlockBlueDrag);
    Move(a.area, Inside(other), Qt::AltModifier);
    QCOMPARE(pose.next, &other);
    Move(a.area, {500, 600}, Qt::AltModifier);  // nothing there
    QVERIFY(pose.next == nullptr);
    QCOMPARE(pose.rect[2], 500);
    QCOMPARE(pose.rect[3], 600);
    Move(a.area, Inside(other), Qt::AltModifier);
    Release(a.area, Inside(other), Qt::AltModifier);
    QCOMPARE(pose.next, &other);
    QVERIFY(!(pose.selFlags & core::kBlockBlueDrag));
    QCOMPARE(a.UndoSteps(), 1);
    QVERIFY(start.next == nullptr);
  }

  void relinkingOntoStartOrItselfLeavesTheLinkEmpty() {
    Area a;
    MotionBlock& start = a.Add(BlockKind::Start, 50, 10, u"");
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 100);
    MotionBlock& end = a.Add(BlockKind::End, 50, 500);
    pose.next = &end;
    a.Ready();
    Drag(a.area, Inside(pose), Inside(start), Qt::AltModifier);
    QVERIFY(pose.next == nullptr);
    pose.next = &end;
    Drag(a.area, Inside(pose), Inside(pose) + QPoint(1, 1), Qt::AltModifier);
    QVERIFY(pose.next == nullptr);
  }

  void altShiftDragsTheRedLinkOfBranchesOnly() {
    Area a;
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 50);
    MotionBlock& branch = a.Add(BlockKind::If, 50, 200);
    MotionBlock& target = a.Add(BlockKind::Pose, 350, 400);
    MotionBlock& end = a.Add(BlockKind::End, 50, 600);
    branch.next = &end;
    a.Ready();
    Drag(a.area, Inside(calc), Inside(target), Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(calc.next, &target);
    QVERIFY(calc.branch == nullptr);
    Drag(a.area, Inside(branch), Inside(target), Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(branch.branch, &target);
    QCOMPARE(branch.next, &end);
    QCOMPARE(a.UndoSteps(), 2);
  }

  void draggingAnArrowsEndRelinksIt() {
    Area a;
    MotionBlock& branch = a.Add(BlockKind::If, 50, 50);
    MotionBlock& first = a.Add(BlockKind::Pose, 350, 300);
    MotionBlock& second = a.Add(BlockKind::Pose, 50, 500);
    a.Ready();
    const ArrowRoute red = RouteArrow(branch, ArrowColor::kRed, false);  // a stub
    Press(a.area, {red.end.x, red.end.y});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kRedEnd);
    Move(a.area, Inside(first));
    Release(a.area, Inside(first));
    QCOMPARE(branch.branch, &first);
    // The arrow's far end, on the target's top edge, can be picked up again.
    a.LayOut();
    const ArrowRoute linked = RouteArrow(branch, ArrowColor::kRed, false);
    Press(a.area, {linked.end.x, linked.end.y + 2});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kRedEnd);
    Move(a.area, Inside(second));
    Release(a.area, Inside(second));
    QCOMPARE(branch.branch, &second);
  }

  void anUnlinkedCommentIsLinkedByItsArrowHandle() {
    Area a;
    MotionBlock& comment = a.Add(BlockKind::Comment, 50, 50);
    comment.comment = u"メモ";
    MotionBlock& pose = a.Add(BlockKind::Pose, 300, 300);
    a.Ready();
    const ArrowRoute stub = RouteArrow(comment, ArrowColor::kBlue, false);
    QCOMPARE(stub.type, RouteType::kStub);
    const Hit hit = HitTest(a.Document(), stub.end, false);
    QCOMPARE(hit.kind, HitKind::kBlueEnd);
    QCOMPARE(hit.block, &comment);
    Drag(a.area, {stub.end.x, stub.end.y}, Inside(pose), Qt::NoModifier);
    QCOMPARE(comment.next, &pose);
    QCOMPARE(a.UndoSteps(), 1);
  }

  // ---- Routing segments.
  void draggingTheRoutingSegmentSetsTheOffsetWithinItsLimits() {
    Area a;
    MotionBlock& source = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& target = a.Add(BlockKind::Pose, 300, 300);
    source.next = &target;
    a.Ready();
    const ArrowRoute route = RouteArrow(source, ArrowColor::kBlue, false);
    QCOMPARE(route.type, RouteType::kBelow);
    const QPoint grip(route.start.x + 60, route.start.y + route.offset);
    Press(a.area, grip);
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBlueRoute);
    Move(a.area, {grip.x(), route.start.y + 40});
    QCOMPARE(source.bluearrow, 40);
    Move(a.area, {grip.x(), 2000});
    QCOMPARE(source.bluearrow, target.ypos - route.start.y - 6);
    Move(a.area, {grip.x(), 0});
    QCOMPARE(source.bluearrow, 0);
    Move(a.area, {grip.x(), route.start.y + 30});
    Release(a.area, {grip.x(), route.start.y + 30});
    QCOMPARE(source.bluearrow, 30);
    QVERIFY(!(source.selFlags & core::kBlockBlueDrag));
    QCOMPARE(a.UndoSteps(), 1);
  }

  // ---- Time buttons.
  void holdingTheTimeButtonRepeatsAfterAPause() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 50);
    a.Ready();
    auto* timer = a.area.findChild<QTimer*>(QStringLiteral("timeButtonRepeat"));
    QVERIFY(timer);
    const QPoint plus = Centre(TimePlusBox(BlockBox(pose)));
    Press(a.area, plus);
    QCOMPARE(pose.time, 51);  // at once
    // The first repeat waits for the pause: the timer holds it, whatever the machine's speed.
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(pose.time >= 52, 30000);
    QCOMPARE(timer->interval(), 50);
    QTRY_VERIFY_WITH_TIMEOUT(pose.time >= 55, 30000);
    Release(a.area, plus);
    QVERIFY(!timer->isActive());
    const int held = pose.time;
    QTest::qWait(120);
    QCOMPARE(int{pose.time}, held);
    QCOMPARE(a.UndoSteps(), held - 50);
  }

  void timeButtonStepsAndLimits() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 50);
    a.Ready();
    const QPoint plus = Centre(TimePlusBox(BlockBox(pose)));
    const QPoint minus = Centre(TimeMinusBox(BlockBox(pose)));
    Click(a.area, plus, Qt::ShiftModifier);
    QCOMPARE(pose.time, 60);
    Click(a.area, minus, Qt::ControlModifier);
    QCOMPARE(pose.time, 55);
    Click(a.area, minus, Qt::ControlModifier | Qt::ShiftModifier);  // not exactly one of them
    QCOMPARE(pose.time, 54);
    pose.time = 65530;
    Click(a.area, plus, Qt::ShiftModifier);
    QCOMPARE(pose.time, 65535);
    const int steps = a.UndoSteps();
    Click(a.area, plus);
    QCOMPARE(pose.time, 65535);
    QCOMPARE(a.UndoSteps(), steps);  // nothing changed, nothing recorded
    pose.time = 4;
    Click(a.area, minus, Qt::ShiftModifier);
    QCOMPARE(pose.time, 1);
    Click(a.area, minus);
    QCOMPARE(pose.time, 1);
  }

  // ---- Wheel.
  void wheelChangesTheTimesOfSelectedPoses() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Pose, 50, 200);
    MotionBlock& unselected = a.Add(BlockKind::Pose, 300, 50);
    MotionBlock& calc = a.Add(BlockKind::Calc, 300, 200);
    a.Ready();
    second.time = 60;
    first.selFlags |= core::kBlockSelected;
    second.selFlags |= core::kBlockSelected;
    calc.selFlags |= core::kBlockSelected;
    a.area.StepWheel(2, Qt::NoModifier);
    QCOMPARE(first.time, 52);
    QCOMPARE(second.time, 62);
    QCOMPARE(unselected.time, 50);
    QCOMPARE(a.UndoSteps(), 1);
    a.area.StepWheel(-1, Qt::ShiftModifier);
    QCOMPARE(first.time, 42);
    QCOMPARE(second.time, 52);
    a.area.StepWheel(-20, Qt::ControlModifier);
    QCOMPARE(first.time, 1);
    QCOMPARE(second.time, 1);
    QCOMPARE(a.UndoSteps(), 3);
    a.area.StepWheel(-1, Qt::NoModifier);  // already at the limit
    QCOMPARE(a.UndoSteps(), 3);
    first.time = 65534;
    a.area.StepWheel(1, Qt::ControlModifier);
    QCOMPARE(first.time, 65535);
    QCOMPARE(a.area.ScrollPosition(), QPoint(0, 0));
  }

  void wheelWithoutSelectedPosesScrollsALine() {
    Area a;
    a.Add(BlockKind::Pose, 50, 50);
    a.Add(BlockKind::Calc, 50, 3000).selFlags |= core::kBlockSelected;
    a.Ready();
    a.area.show();
    a.area.grab();
    a.area.verticalScrollBar()->setValue(100);
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(a.area.ScrollPosition().y(), 84);
    a.area.StepWheel(-3, Qt::ShiftModifier);
    QCOMPARE(a.area.ScrollPosition().y(), 100);
    QCOMPARE(a.UndoSteps(), 0);
  }

  void wheelEventsAreLeftToTheMainWindow() {
    Area a;
    a.Add(BlockKind::Pose, 50, 3000);
    a.Ready();
    a.area.grab();
    // Ignored, so that the application hands a real wheel turn on to the main window.
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(a.area.viewport(), &wheel);
    QVERIFY(!wheel.isAccepted());
    QCOMPARE(a.area.ScrollPosition(), QPoint(0, 0));
  }

  void lockedInputDoesNotEdit() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 50);
    a.Ready();
    pose.selFlags |= core::kBlockSelected;  // as playback marks the running block
    a.area.SetInputLocked(true);
    Drag(a.area, Inside(pose), Inside(pose) + QPoint(40, 40), Qt::NoModifier);
    QCOMPARE(pose.xpos, 50);
    Click(a.area, Centre(TimePlusBox(BlockBox(pose))));
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(pose.time, 50);
    QCOMPARE(a.UndoSteps(), 0);
    a.area.SetInputLocked(false);
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(pose.time, 51);
  }

  // ---- Drawing.
  void drawsEveryBlockKind() {
    for (const std::uint32_t flags :
         {0u, core::SystemFlag::kArrowMarks, core::SystemFlag::kOldArrows}) {
      Area a;
      a.session.systemFlags = flags;
      MotionBlock& start = a.Add(BlockKind::Start, 30, 10, u"");
      MotionBlock& pose = a.Add(BlockKind::Pose, 30, 60, u"P 0");
      MotionBlock& branch = a.Add(BlockKind::If, 30, 140);
      MotionBlock& wait = a.Add(BlockKind::Wait, 30, 220, u"<< Wait >>");
      MotionBlock& stop = a.Add(BlockKind::Sound, 30, 300, u"<<     SOUND    >>");
      MotionBlock& sub = a.Add(BlockKind::SubRoutine, 30, 380, u"<<SUB ROUTINE>>");
      MotionBlock& end = a.Add(BlockKind::End, 30, 460, u"   END   ");
      MotionBlock& calc = a.Add(BlockKind::Calc, 250, 140, u" CALCULATION ");
      MotionBlock& pad = a.Add(BlockKind::PadIf, 250, 220, u"IF");
      MotionBlock& read = a.Add(BlockKind::FileRead, 250, 300, u"<< FileRead >>");
      MotionBlock& write = a.Add(BlockKind::FileWrite, 250, 380, u"<< FileWrite >>");
      MotionBlock& cancel = a.Add(BlockKind::Cancel, 250, 460, u"<<キャンセル>>");
      MotionBlock& change = a.Add(BlockKind::InterpChange, 430, 300, u"<<補間chの変更>>");
      MotionBlock& comment = a.Add(BlockKind::Comment, 430, 20, u"COMMENT");
      MotionBlock& waiting = a.Add(BlockKind::Pose, 30, 560, u"歩く");
      start.next = &pose;
      pose.next = &branch;
      branch.next = &wait;
      branch.branch = &calc;
      branch.useConst = 1;
      branch.constValue = 3;
      branch.op = core::BranchOp::kLess;
      wait.next = &stop;
      stop.next = &sub;
      stop.noFile = true;
      sub.next = &end;
      sub.fileName = u"wave.KX4";
      sub.fileFound = true;
      calc.next = &pad;
      pad.next = &read;
      pad.branch = &change;
      pad.constValue = 0x0011;
      read.next = &write;
      read.fileName = u"data.txt";
      write.next = &cancel;
      write.fileName = u"log.txt";
      cancel.next = &pose;
      cancel.noFile = true;
      change.next = &end;
      change.refAddr = 1;
      comment.comment = u"歩き始める前に\nボタンを確かめる";
      waiting.interpWait = true;
      waiting.time = 40000;
      waiting.selFlags = core::kBlockSelected;
      a.Document().current = &pose;
      a.area.show();
      QVERIFY(QTest::qWaitForWindowExposed(&a.area));
      const QImage image = a.area.grab().toImage();

      const auto count = [&](const MotionBlock& block, const QColor& color) {
        int n = 0;
        for (int y = block.ypos; y <= block.rect[1]; ++y) {
          for (int x = block.xpos; x <= block.rect[0]; ++x) {
            n += image.pixelColor(x, y) == color ? 1 : 0;
          }
        }
        return n;
      };
      const QColor fileMissing(255, 160, 160);
      QVERIFY(count(stop, fileMissing) > 20);  // no file found: the label's background
      QVERIFY(count(cancel, fileMissing) > 20);
      QVERIFY(count(read, fileMissing) > 20);
      QCOMPARE(count(sub, fileMissing), 0);
      QVERIFY(count(change, QColor(34, 255, 34)) > 100);
      QCOMPARE(image.pixelColor(pose.xpos + 10, pose.ypos + 10), QColor(255, 0, 0));
      QCOMPARE(image.pixelColor(waiting.xpos + 10, waiting.ypos + 16), QColor(Qt::white));
      QVERIFY(count(waiting, QColor(0, 0, 128)) > 10);  // the interpolation-wait zigzag
      QVERIFY(count(waiting, QColor(255, 0, 0)) > 10);  // the time bar
      const QColor selected = ToQColor(a.session.project.system.motionAreaColors[4]);
      QCOMPARE(image.pixelColor(waiting.xpos + 1, waiting.ypos + 10), selected);
      QVERIFY(image.pixelColor(wait.xpos + 1, wait.ypos + 10) != selected);
      if (const QByteArray folder = qgetenv("GESTALON_SCREENSHOT_DIR"); !folder.isEmpty()) {
        image.save(QString::fromLocal8Bit(folder) +
                   QStringLiteral("/motion_area_kinds_%1.png").arg(flags, 0, 16));
      }
    }
  }

  void drawsTheSampleMotions() {
    for (const char* name : {"walk.KX4", "greeting.KX4"}) {
      Area a(SampleRobot());
      auto motion = core::ReadMotionFile(kRobotFolder / name, a.session.project.sliders, nullptr);
      QVERIFY(motion);
      a.session.motion.document = std::move(*motion);
      a.Document().current = a.Document().At(2);
      a.area.show();
      QVERIFY(QTest::qWaitForWindowExposed(&a.area));
      const QImage image = a.area.grab().toImage();
      for (const MotionBlock& block : a.Document()) {
        QVERIFY(block.rect[0] > block.xpos);
        QVERIFY(block.rect[1] > block.ypos);
        QVERIFY(!(block.selFlags & core::kBlockRedraw));
      }
      // The first block's fill colour shows inside it.
      const MotionBlock& start = *a.Document().head();
      const QColor fill = ToQColor(a.session.project.system.motionAreaColors[9]);
      QCOMPARE(image.pixelColor(start.xpos + 2, start.ypos + 2), fill);
      if (const QByteArray folder = qgetenv("GESTALON_SCREENSHOT_DIR"); !folder.isEmpty()) {
        image.save(QString::fromLocal8Bit(folder) + QStringLiteral("/motion_area_") +
                   QString::fromLatin1(name) + QStringLiteral(".png"));
      }
    }
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::MotionAreaTest)
#include "motion_area_test.moc"
