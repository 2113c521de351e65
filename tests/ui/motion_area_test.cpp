#include "motion_area/motion_area.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <optional>

#include "main_window/editor_session.h"
#include "motion_area/arrow_router.h"
#include "motion_area/block_label.h"
#include "project/system_settings.h"
#include "recording_ports.h"
#include "widgets/qt_drawing.h"
#include "widgets/qt_text.h"
#include "widgets/qt_translations.h"
#include "window_driving.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;

core::LoadedProject DefaultProject() {
  core::LoadedProject project;
  core::SetSystemSettingsDefaults(project.system);
  return project;
}

// A motion area of 600 x 700 over its own editing session with an empty motion; the mouse works
// in content coordinates.
struct Area {
  testing::RecordingPrompter prompter;
  testing::RecordingViewNotifier views;
  EditorSession session;
  MotionArea area;
  testing::MouseOn mouse{area.viewport(), [this] { return area.ScrollPosition(); }};

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

// A point inside the block's top left corner, away from its arrows and buttons.
QPoint Inside(const MotionBlock& block) {
  return {block.xpos + 3, block.ypos + 3};
}
QPoint Centre(const Box& box) {
  return {box.left + (box.right - box.left) / 2, box.top + (box.bottom - box.top) / 2};
}

struct Rect {
  int left, top, right, bottom;
};

MotionBlock Block(BlockKind kind, Rect r = {}) {
  MotionBlock block;
  block.type = static_cast<std::int32_t>(kind);
  block.xpos = r.left;
  block.ypos = r.top;
  block.rect = {r.right, r.bottom, 0, 0};
  block.bluearrow = block.redarrow = 6;
  return block;
}

// The route of `from`'s arrow to `to`.
ArrowRoute Route(MotionBlock from, MotionBlock& to, ArrowColor color, bool oldRouter = false) {
  (color == ArrowColor::kRed ? from.branch : from.next) = &to;
  return RouteArrow(from, color, oldRouter);
}

}  // namespace

class MotionAreaTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void blocksAreMeasuredWithTheAreaFontAndKeptOnTheCanvas() {
    Area a;
    MotionBlock& start = a.Add(BlockKind::Start, 50, 10, u"");
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 100, u"P 0");
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 200, u" CALCULATION ");
    MotionBlock& far = a.Add(BlockKind::Pose, 4090, 5000);
    MotionBlock& before = a.Add(BlockKind::Pose, -30, -5);
    a.LayOut();
    QCOMPARE(pose.label, std::u16string(u"050step"));
    const int poseHeight = pose.rect[1] - pose.ypos;
    QCOMPARE(start.rect[1] - start.ypos, poseHeight / 2);
    QCOMPARE(calc.rect[1] - calc.ypos, poseHeight);
    // The pose block has room for its time buttons beside its text.
    QVERIFY(pose.rect[0] - pose.xpos >= kTimeButtonWidth + 8 + 30);
    QVERIFY(calc.rect[0] - calc.xpos > pose.rect[0] - pose.xpos - kTimeButtonWidth);
    QCOMPARE(QPoint(far.rect[0], far.rect[1]), QPoint(4096, 4096));
    QCOMPARE(QPoint(before.xpos, before.ypos), QPoint(0, 0));
  }

  void scrollRangesReachPastTheLargestBlockAndScrollIntoViewShowsIt() {
    Area a;
    MotionBlock& low = a.Add(BlockKind::Pose, 900, 2000);
    a.Ready();
    a.area.ScrollIntoView(low.xpos, low.ypos, low.rect[0], low.rect[1]);
    QCOMPARE(a.area.ScrollPosition(), QPoint(880, 1980));
    a.area.show();
    a.area.grab();  // the ranges shrink to the content again; the block stays in view
    const QSize client = a.area.viewport()->size();
    QCOMPARE(a.area.verticalScrollBar()->maximum(), low.rect[1] + 15 - client.height());
    QCOMPARE(a.area.horizontalScrollBar()->maximum(), low.rect[0] + 15 - client.width());
    const QPoint scroll = a.area.ScrollPosition();
    QVERIFY(QRect(scroll, client).contains(low.xpos, low.ypos));
    // A block already in view does not scroll; near the origin the position stops at 0.
    a.area.ScrollIntoView(low.xpos + 10, low.ypos + 10, 0, 0);
    QCOMPARE(a.area.ScrollPosition(), scroll);
    a.area.ScrollIntoView(10, 5, 0, 0);
    QCOMPARE(a.area.ScrollPosition(), QPoint(0, 0));
  }

  void clickSelectsOneBlockAndCtrlClickAddsOne() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Pose, 300, 50);
    a.Ready();
    a.mouse.Click(Inside(second));
    QVERIFY(second.Selected() && !first.Selected());
    QCOMPARE(a.Document().current, &second);
    a.mouse.Click(Inside(first), Qt::ControlModifier);
    QVERIFY(first.Selected() && second.Selected());
    QCOMPARE(a.Document().current, &first);
    a.mouse.Click(Inside(second));  // already selected: the selection stays
    QVERIFY(first.Selected());
    QCOMPARE(a.UndoSteps(), 0);
  }

  void rubberBandReplacesTheSelectionAndAddsWithCtrl() {
    Area a;
    MotionBlock& left = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& right = a.Add(BlockKind::Pose, 250, 50);
    MotionBlock& low = a.Add(BlockKind::Pose, 50, 400);
    a.Ready();
    a.mouse.Click(Inside(low));
    QVERIFY(low.Selected());
    a.mouse.Press({20, 20});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBand);
    QVERIFY(!low.Selected());  // a press without Ctrl clears the selection
    a.mouse.Move({400, 120});
    QVERIFY(left.selFlags & core::kBlockInBand);
    QVERIFY(!(low.selFlags & core::kBlockInBand));
    a.mouse.Release({400, 120});
    QVERIFY(left.Selected() && right.Selected() && !low.Selected());
    QVERIFY(!(left.selFlags & core::kBlockInBand));
    a.mouse.Drag({20, 380}, {300, 500}, Qt::ControlModifier);
    QVERIFY(left.Selected() && right.Selected() && low.Selected());
    QCOMPARE(a.UndoSteps(), 0);
  }

  void rightClickSelectsTheBlockAndSetsTheInsertionPoint() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Calc, 300, 50);
    a.Ready();
    first.selFlags |= core::kBlockSelected;
    QSignalSpy menu(&a.area, &MotionArea::contextMenuRequested);
    const auto insertionPoint = [&] {
      return QPoint(a.session.state.insertionPoint.x, a.session.state.insertionPoint.y);
    };
    a.mouse.Press(Inside(second), Qt::NoModifier, Qt::RightButton);
    QCOMPARE(menu.count(), 1);
    QCOMPARE(menu.at(0).at(0).toPoint(), a.area.viewport()->mapToGlobal(Inside(second)));
    QVERIFY(second.Selected() && !first.Selected());
    QCOMPARE(insertionPoint(), Inside(second));
    // On empty ground only the insertion point moves (content coordinates).
    a.area.ScrollIntoView(1000, 1000, 0, 0);
    const QPoint ground = a.area.ScrollPosition() + QPoint(40, 30);
    a.mouse.Press(ground, Qt::NoModifier, Qt::RightButton);
    QCOMPARE(menu.count(), 2);
    QVERIFY(second.Selected());
    QCOMPARE(insertionPoint(), ground);
  }

  void doubleClickOpensPropertiesOrReportsEmptyGround() {
    Area a;
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 50);
    a.Ready();
    QSignalSpy properties(&a.area, &MotionArea::blockPropertiesRequested);
    QSignalSpy empty(&a.area, &MotionArea::emptyAreaDoubleClicked);
    a.mouse.DoubleClick(Inside(calc));
    QCOMPARE(properties.count(), 1);
    QCOMPARE(properties.at(0).at(0).value<MotionBlock*>(), &calc);
    QCOMPARE(empty.count(), 0);
    a.mouse.Click({400, 400});
    a.mouse.Send(QEvent::MouseButtonDblClick, {400, 400}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(empty.count(), 1);
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBand);  // and it acts as a press
    a.mouse.Release({400, 400});
    QCOMPARE(properties.count(), 1);
  }

  void movedBlocksStopAtTheCanvasOrigin() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 30, 20);
    MotionBlock& other = a.Add(BlockKind::Pose, 200, 300);
    a.Ready();
    a.mouse.Drag(Inside(pose), Inside(pose));  // a click without moving records nothing
    QCOMPARE(a.UndoSteps(), 0);
    const int width = pose.rect[0] - pose.xpos;
    a.mouse.Click(Inside(other));
    a.mouse.Drag(Inside(pose), Inside(pose) + QPoint(-100, -50), Qt::ControlModifier);
    QCOMPARE(QPoint(pose.xpos, pose.ypos), QPoint(0, 0));
    QCOMPARE(pose.rect[0], width);
    QCOMPARE(QPoint(other.xpos, other.ypos), QPoint(100, 250));
    QCOMPARE(a.UndoSteps(), 1);
  }

  void shiftDragSnapsToTheGridFirst() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 53, 47);
    a.Ready();
    QCOMPARE(a.session.project.system.gridX, 10);
    const QPoint grip = Inside(pose);  // (56, 50)
    const auto at = [&] { return QPoint(pose.xpos, pose.ypos); };
    a.mouse.Press(grip);
    a.mouse.Move(grip + QPoint(2, 2), Qt::ShiftModifier);
    QCOMPARE(at(), QPoint(50, 40));
    // From x 58 to 72 the cursor crosses two grid lines (60, 70): the block moves 20.
    a.mouse.Move(grip + QPoint(16, 2), Qt::ShiftModifier);
    QCOMPARE(at(), QPoint(70, 40));
    a.mouse.Move(grip + QPoint(19, 5));  // without Shift: exact steps again
    QCOMPARE(at(), QPoint(73, 43));
    a.mouse.Release(grip + QPoint(19, 5));
    QCOMPARE(a.UndoSteps(), 1);
    // A grid of zero does not snap.
    a.session.project.system.gridX = a.session.project.system.gridY = 0;
    a.mouse.Press(Inside(pose));
    a.mouse.Move(Inside(pose) + QPoint(1, 1), Qt::ShiftModifier);
    QCOMPARE(at(), QPoint(74, 44));
  }

  void altDragRelinksTheBlueArrowButNotOntoStartOrItself() {
    Area a;
    MotionBlock& start = a.Add(BlockKind::Start, 50, 10, u"");
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 100);
    MotionBlock& other = a.Add(BlockKind::Pose, 300, 300);
    MotionBlock& end = a.Add(BlockKind::End, 50, 500);
    pose.next = &end;
    a.Ready();
    a.mouse.Press(Inside(pose), Qt::AltModifier);
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBlueEnd);
    QVERIFY(pose.selFlags & core::kBlockBlueDrag);
    a.mouse.Move(Inside(other), Qt::AltModifier);
    QCOMPARE(pose.next, &other);
    a.mouse.Move({500, 600}, Qt::AltModifier);  // nothing there
    QVERIFY(pose.next == nullptr);
    QCOMPARE(QPoint(pose.rect[2], pose.rect[3]), QPoint(500, 600));
    a.mouse.Move(Inside(other), Qt::AltModifier);
    a.mouse.Release(Inside(other), Qt::AltModifier);
    QCOMPARE(pose.next, &other);
    QVERIFY(!(pose.selFlags & core::kBlockBlueDrag));
    QCOMPARE(a.UndoSteps(), 1);
    QVERIFY(start.next == nullptr);
    for (const QPoint onto : {Inside(start), Inside(pose) + QPoint(1, 1)}) {
      pose.next = &end;
      a.mouse.Drag(Inside(pose), onto, Qt::AltModifier);
      QVERIFY(pose.next == nullptr);
    }
  }

  void altShiftDragsTheRedLinkOfBranchesOnly() {
    Area a;
    MotionBlock& calc = a.Add(BlockKind::Calc, 50, 50);
    MotionBlock& branch = a.Add(BlockKind::If, 50, 200);
    MotionBlock& target = a.Add(BlockKind::Pose, 350, 400);
    MotionBlock& end = a.Add(BlockKind::End, 50, 600);
    branch.next = &end;
    a.Ready();
    a.mouse.Drag(Inside(calc), Inside(target), Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(calc.next, &target);
    QVERIFY(calc.branch == nullptr);
    a.mouse.Drag(Inside(branch), Inside(target), Qt::AltModifier | Qt::ShiftModifier);
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
    a.mouse.Press({red.end.x, red.end.y});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kRedEnd);
    a.mouse.Move(Inside(first));
    a.mouse.Release(Inside(first));
    QCOMPARE(branch.branch, &first);
    // The arrow's far end, on the target's top edge, can be picked up again.
    a.LayOut();
    const ArrowRoute linked = RouteArrow(branch, ArrowColor::kRed, false);
    a.mouse.Press({linked.end.x, linked.end.y + 2});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kRedEnd);
    a.mouse.Move(Inside(second));
    a.mouse.Release(Inside(second));
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
    a.mouse.Drag({stub.end.x, stub.end.y}, Inside(pose));
    QCOMPARE(comment.next, &pose);
    QCOMPARE(a.UndoSteps(), 1);
  }

  void draggingTheRoutingSegmentSetsTheOffsetWithinItsLimits() {
    Area a;
    MotionBlock& source = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& target = a.Add(BlockKind::Pose, 300, 300);
    source.next = &target;
    a.Ready();
    const ArrowRoute route = RouteArrow(source, ArrowColor::kBlue, false);
    QCOMPARE(route.type, RouteType::kBelow);
    const int x = route.start.x + 60;
    a.mouse.Press({x, route.start.y + route.offset});
    QCOMPARE(a.area.MouseMode(), MotionArea::Mode::kBlueRoute);
    for (const auto& [y, offset] : {std::pair{route.start.y + 40, 40},
                                    {2000, target.ypos - route.start.y - 6},
                                    {0, 0},
                                    {route.start.y + 30, 30}}) {
      a.mouse.Move({x, y});
      QCOMPARE(source.bluearrow, offset);
    }
    a.mouse.Release({x, route.start.y + 30});
    QCOMPARE(source.bluearrow, 30);
    QVERIFY(!(source.selFlags & core::kBlockBlueDrag));
    QCOMPARE(a.UndoSteps(), 1);
  }

  void timeButtonsStepRepeatAfterAPauseAndStopAtTheLimits() {
    Area a;
    MotionBlock& pose = a.Add(BlockKind::Pose, 50, 50);
    a.Ready();
    auto* timer = a.area.findChild<QTimer*>(QStringLiteral("timeButtonRepeat"));
    QVERIFY(timer);
    const QPoint plus = Centre(TimePlusBox(BlockBox(pose)));
    a.mouse.Press(plus);
    QCOMPARE(pose.time, 51);  // at once
    // The first repeat waits for the pause: the timer holds it, whatever the machine's speed.
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(pose.time >= 52, 30000);
    QCOMPARE(timer->interval(), 50);
    QTRY_VERIFY_WITH_TIMEOUT(pose.time >= 55, 30000);
    a.mouse.Release(plus);
    QVERIFY(!timer->isActive());
    const int held = pose.time;
    QTest::qWait(120);
    QCOMPARE(int{pose.time}, held);
    QCOMPARE(a.UndoSteps(), held - 50);
    // Modifiers choose the step; the time stays within 1..65535.
    const QPoint minus = Centre(TimeMinusBox(BlockBox(pose)));
    const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    struct Case {
      QPoint button;
      Qt::KeyboardModifiers modifiers;
      int from, to;
    };
    const Case cases[] = {
        {plus, shift, 50, 60},         {minus, ctrl, 60, 55},
        {minus, ctrl | shift, 55, 54},  // not exactly one of them
        {plus, shift, 65530, 65535},   {plus, none, 65535, 65535},
        {minus, shift, 4, 1},          {minus, none, 1, 1},
    };
    for (const Case& c : cases) {
      pose.time = static_cast<std::uint16_t>(c.from);
      const int steps = a.UndoSteps();
      a.mouse.Click(c.button, c.modifiers);
      QCOMPARE(int{pose.time}, c.to);
      QCOMPARE(a.UndoSteps(), steps + (c.to != c.from ? 1 : 0));  // nothing changed, none kept
    }
  }

  void wheelChangesTheTimesOfSelectedPosesUnlessLocked() {
    Area a;
    MotionBlock& first = a.Add(BlockKind::Pose, 50, 50);
    MotionBlock& second = a.Add(BlockKind::Pose, 50, 200);
    MotionBlock& unselected = a.Add(BlockKind::Pose, 300, 50);
    MotionBlock& calc = a.Add(BlockKind::Calc, 300, 200);
    a.Ready();
    second.time = 60;
    for (MotionBlock* block : {&first, &second, &calc}) {
      block->selFlags |= core::kBlockSelected;
    }
    a.area.StepWheel(2, Qt::NoModifier);
    QCOMPARE(first.time, 52);
    QCOMPARE(second.time, 62);
    QCOMPARE(unselected.time, 50);
    QCOMPARE(a.UndoSteps(), 1);
    a.area.StepWheel(-20, Qt::ControlModifier);
    QCOMPARE(first.time, 1);
    QCOMPARE(second.time, 1);
    QCOMPARE(a.UndoSteps(), 2);
    a.area.StepWheel(-1, Qt::NoModifier);  // already at the limit
    QCOMPARE(a.UndoSteps(), 2);
    first.time = 65534;
    a.area.StepWheel(1, Qt::ControlModifier);
    QCOMPARE(first.time, 65535);
    // Locked while a motion plays (playback marks the running block): no edits.
    first.time = 50;
    a.area.SetInputLocked(true);
    const int steps = a.UndoSteps();
    a.mouse.Drag(Inside(first), Inside(first) + QPoint(40, 40));
    QCOMPARE(first.xpos, 50);
    a.mouse.Click(Centre(TimePlusBox(BlockBox(first))));
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(first.time, 50);
    QCOMPARE(a.UndoSteps(), steps);
    a.area.SetInputLocked(false);
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(first.time, 51);
  }

  void wheelWithoutSelectedPosesScrollsALineAndWheelEventsAreLeftToTheMainWindow() {
    Area a;
    a.Add(BlockKind::Pose, 50, 50);
    a.Add(BlockKind::Calc, 50, 3000).selFlags |= core::kBlockSelected;
    a.Ready();
    a.area.show();
    a.area.grab();
    // Ignored, so that the application hands a real wheel turn on to the main window.
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(a.area.viewport(), &wheel);
    QVERIFY(!wheel.isAccepted());
    QCOMPARE(a.area.ScrollPosition(), QPoint(0, 0));
    a.area.verticalScrollBar()->setValue(100);
    a.area.StepWheel(1, Qt::NoModifier);
    QCOMPARE(a.area.ScrollPosition().y(), 84);
    a.area.StepWheel(-3, Qt::ShiftModifier);
    QCOMPARE(a.area.ScrollPosition().y(), 100);
    QCOMPARE(a.UndoSteps(), 0);
  }

  void drawsEveryBlockKind() {
    using K = BlockKind;
    struct Row {
      K kind;
      int x, y;
      const char16_t* name;
      int next, branch;  // indexes of the linked blocks, -1 for none
    };
    // Start, pose, if, wait, sound, sub, end, calc, pad if, read, write, cancel, change,
    // comment, waiting pose.
    const Row rows[] = {
        {K::Start, 30, 10, u"", 1, -1},
        {K::Pose, 30, 60, u"P 0", 2, -1},
        {K::If, 30, 140, u"B", 3, 7},
        {K::Wait, 30, 220, u"<< Wait >>", 4, -1},
        {K::Sound, 30, 300, u"<<     SOUND    >>", 5, -1},
        {K::SubRoutine, 30, 380, u"<<SUB ROUTINE>>", 6, -1},
        {K::End, 30, 460, u"   END   ", -1, -1},
        {K::Calc, 250, 140, u" CALCULATION ", 8, -1},
        {K::PadIf, 250, 220, u"IF", 9, 12},
        {K::FileRead, 250, 300, u"<< FileRead >>", 10, -1},
        {K::FileWrite, 250, 380, u"<< FileWrite >>", 11, -1},
        {K::Cancel, 250, 460, u"<<キャンセル>>", 1, -1},
        {K::InterpChange, 430, 300, u"<<補間chの変更>>", 6, -1},
        {K::Comment, 430, 20, u"COMMENT", -1, -1},
        {K::Pose, 30, 560, u"歩く", -1, -1},
    };
    for (const std::uint32_t flags :
         {0u, core::SystemFlag::kArrowMarks, core::SystemFlag::kOldArrows}) {
      Area a;
      a.session.systemFlags = flags;
      std::vector<MotionBlock*> b;
      for (const Row& row : rows) {
        b.push_back(&a.Add(row.kind, row.x, row.y, row.name));
      }
      for (std::size_t i = 0; i < b.size(); ++i) {
        b[i]->next = rows[i].next < 0 ? nullptr : b[static_cast<std::size_t>(rows[i].next)];
        b[i]->branch = rows[i].branch < 0 ? nullptr : b[static_cast<std::size_t>(rows[i].branch)];
      }
      MotionBlock &pose = *b[1], &wait = *b[3], &sound = *b[4], &sub = *b[5];
      MotionBlock &pad = *b[8], &read = *b[9], &cancel = *b[11], &change = *b[12];
      MotionBlock& waiting = *b[14];
      b[2]->useConst = 1;
      b[2]->constValue = 3;
      b[2]->op = core::BranchOp::kLess;
      sound.noFile = cancel.noFile = true;
      sub.fileName = u"wave.KX4";
      sub.fileFound = true;
      pad.constValue = 0x0011;
      read.fileName = u"data.txt";
      b[10]->fileName = u"log.txt";
      change.refAddr = 1;
      b[13]->comment = u"歩き始める前に\nボタンを確かめる";
      waiting.interpWait = true;
      waiting.time = 40000;
      waiting.selFlags = core::kBlockSelected;
      a.Document().current = &pose;
      a.area.show();
      QVERIFY(QTest::qWaitForWindowExposed(&a.area));
      const QImage image = a.area.grab().toImage();
      for (const MotionBlock* block : b) {
        QVERIFY(!(block->selFlags & core::kBlockRedraw));
      }
      const auto count = [&](const MotionBlock& block, const QColor& color) {
        int n = 0;
        for (int y = block.ypos; y <= block.rect[1]; ++y) {
          for (int x = block.xpos; x <= block.rect[0]; ++x) {
            n += image.pixelColor(x, y) == color ? 1 : 0;
          }
        }
        return n;
      };
      const QColor fileMissing(255, 160, 160);  // no file found: the label's background
      for (const MotionBlock* missing : {&sound, &cancel, &read}) {
        QVERIFY(count(*missing, fileMissing) > 20);
      }
      QCOMPARE(count(sub, fileMissing), 0);
      QVERIFY(count(change, QColor(34, 255, 34)) > 100);
      QCOMPARE(image.pixelColor(pose.xpos + 10, pose.ypos + 10), QColor(255, 0, 0));
      QCOMPARE(image.pixelColor(waiting.xpos + 10, waiting.ypos + 16), QColor(Qt::white));
      QVERIFY(count(waiting, QColor(0, 0, 128)) > 10);  // the interpolation-wait zigzag
      QVERIFY(count(waiting, QColor(255, 0, 0)) > 10);  // the time bar
      const QColor selected = ToQColor(a.session.project.system.motionAreaColors[4]);
      QCOMPARE(image.pixelColor(waiting.xpos + 1, waiting.ypos + 10), selected);
      QVERIFY(image.pixelColor(wait.xpos + 1, wait.ypos + 10) != selected);
    }
  }

  void labelsSayWhatEachBlockDoes() {
    using K = BlockKind;
    // The fields a label reads.
    struct Fields {
      K kind;
      int op = 0, var = 0, varSize = 0, ref = 0, refSize = 0, useConst = 0, constValue = 0;
      int time = 0;
      const char16_t* text = u"";  // the file name, or the comment's text
      bool noFile = false;
    };
    struct Case {
      Fields block;
      const char* japanese;
      const char* english = nullptr;  // none: the same in both
      bool hex = false;               // constants in hexadecimal
    };
    using namespace core::CalcOp;
    using namespace core::BranchOp;
    const Case cases[] = {
        {{.kind = K::Pose, .time = 7}, "007step"},
        {{K::Calc, kAdd, 0x0F00, 2, 0x0F02, 1}, "3840:歩数 += 3842:速さ"},
        {{K::Calc, kNot, 0x0F00, 2, 0, 0, 1, -3}, "3840:歩数 =~ -3"},
        {{K::Calc, 40, 0x0F00, 2, 0, 0, 1, -3}, "3840:歩数  -3"},  // an unknown operator
        {{K::If, kGreaterEqual, 0x0F00, 2, 0, 0, 1, 16}, "3840:歩数 >= 16"},
        {{K::If, kGreaterEqual, 0x0100, 2, 0, 0, 1, 16}, "256:Unkown >= 16", "256:Unknown >= 16"},
        {{K::If, kNever, 0x0F00, 2, 0, 0, 1, 16}, "    FALSE    "},
        // Hexadecimal constants take the variable's width.
        {{K::If, kNotEqual, 0x0F02, 1, 0, 0, 1, -1}, "0x0f02:速さ != 0xff", nullptr, true},
        {{K::If, kNotEqual, 0x0F00, 4, 0, 0, 1, 0x1F},
         "3840:Unkown != 0x0000001f",
         "3840:Unknown != 0x0000001f",
         true},
        {{.kind = K::Sound, .text = u"HELLO.WAV"}, "HELLO.WAV"},
        {{.kind = K::Sound, .text = u"HELLO.WAV", .noFile = true}, "STOP"},
        {{.kind = K::Cancel, .useConst = 1, .text = u"SIT.KX4"}, "BC SIT.KX4"},
        {{.kind = K::Cancel, .useConst = 1, .text = u"SIT.KX4", .noFile = true}, "BC CANCEL"},
        // An interpolation change names the group without its details.
        {{.kind = K::InterpChange, .var = 0, .ref = 2}, "全部 → ch2", "All → ch2"},
        {{.kind = K::InterpChange, .var = 9}, " → ch0"},
        {{.kind = K::PadIf}, "何も入力しない", "No input"},
        // Bit 0 SELECT, bit 4 up; bit 10 L1, bit 15 square.
        {{.kind = K::PadIf, .constValue = 0x0011}, "SELECT,前を入力", "SELECT,Up pressed"},
        {{.kind = K::PadIf, .constValue = 0x8400}, "L1,□を入力", "L1,□ pressed"},
        {{.kind = K::Comment, .text = u"一行目\n二行目"}, "一行目\n二行目"},
    };
    core::LoadedProject project;
    project.variables = {{2, u"歩数", 0x0F00}, {1, u"速さ", 0x0F02}};
    const bool english = InterfaceLanguage() == QStringLiteral("en");
    for (const auto& [f, japanese, inEnglish, hex] : cases) {
      MotionBlock block = Block(f.kind);
      block.op = static_cast<std::uint16_t>(f.op);
      block.varAddr = static_cast<std::uint16_t>(f.var);
      block.varSize = static_cast<std::uint32_t>(f.varSize);
      block.refAddr = static_cast<std::uint16_t>(f.ref);
      block.refSize = static_cast<std::uint32_t>(f.refSize);
      block.useConst = static_cast<std::uint32_t>(f.useConst);
      block.constValue = f.constValue;
      block.time = static_cast<std::uint16_t>(f.time);
      (f.kind == K::Comment ? block.comment : block.fileName) = f.text;
      block.noFile = f.noFile;
      project.hexadecimalDisplay = hex;
      QCOMPARE(ToQString(BlockLabel(block, project)),
               QString::fromUtf8(english && inEnglish ? inEnglish : japanese));
    }
    QVERIFY(!ToQString(BlockLabel(Block(BlockKind::Start), project)).trimmed().isEmpty());
  }

  void routeTypesFollowWhereTheTargetLies() {
    using namespace RouteType;
    const auto blue = ArrowColor::kBlue;
    const auto red = ArrowColor::kRed;
    struct Case {
      Rect source, target;
      ArrowColor color;
      bool oldRouter;
      int type;
    };
    const Case cases[] = {
        {{0, 0, 100, 40}, {0, 60, 100, 100}, blue, false, kBelow},
        {{100, 100, 200, 140}, {110, 0, 210, 40}, blue, false, kLoopLeft},
        // Overlapping in x but starting lower than the source's top: still below.
        {{0, 100, 100, 140}, {10, 120, 110, 160}, blue, false, kBelow},
        {{0, 100, 100, 140}, {200, 100, 300, 140}, blue, false, kBesideRight},
        {{200, 100, 300, 140}, {0, 100, 100, 140}, blue, false, kBesideLeft},
        // The red arrow starts at the source's right side, (100, 120).
        {{0, 100, 100, 140}, {200, 160, 300, 200}, red, false, kRedCorner},
        {{0, 100, 100, 140}, {0, 200, 100, 240}, red, false, kRedBelow},
        {{0, 100, 100, 140}, {0, 0, 100, 40}, red, false, kRedLoopRight},
        {{0, 100, 100, 140}, {200, 50, 300, 90}, red, false, kRedRight},
        {{200, 100, 300, 140}, {0, 130, 100, 170}, red, false, kRedLeftLevel},
        // The older router's five shapes.
        {{100, 100, 200, 140}, {100, 200, 200, 240}, blue, true, kOldStraight},
        {{100, 100, 200, 140}, {300, 200, 400, 240}, red, true, kOldCorner},
        {{100, 100, 200, 140}, {300, 200, 400, 240}, blue, true, kOldStep},
        {{100, 100, 200, 140}, {0, 0, 80, 40}, blue, true, kOldLoopLeft},
        {{100, 100, 200, 140}, {300, 0, 400, 40}, blue, true, kOldLoopRight},
    };
    for (const Case& c : cases) {
      MotionBlock target = Block(BlockKind::Pose, c.target);
      const ArrowRoute route = Route(Block(BlockKind::If, c.source), target, c.color, c.oldRouter);
      QCOMPARE(route.type, c.type);
      QCOMPARE(route.points[0], route.start);
      QCOMPARE(route.points[static_cast<std::size_t>(route.pointCount - 1)], route.end);
    }
    MotionBlock straight = Block(BlockKind::Pose, {100, 200, 200, 240});
    QCOMPARE(Route(Block(BlockKind::If, {100, 100, 200, 140}), straight, blue, true).pointCount, 2);
    MotionBlock upperRight = Block(BlockKind::Pose, {300, 0, 400, 40});
    QCOMPARE(Route(Block(BlockKind::If, {100, 100, 200, 140}), upperRight, blue, true).points[2].x,
             406);
  }

  void routesStartAndEndAtTheConnectionPointsAndMarkTheirMiddle() {
    MotionBlock target = Block(BlockKind::Pose, {0, 100, 60, 140});
    const ArrowRoute blue =
        Route(Block(BlockKind::Pose, {0, 0, 100, 40}), target, ArrowColor::kBlue);
    QCOMPARE(blue.start, (Point{50, 40}));
    QCOMPARE(blue.end, (Point{30, 100}));
    const ArrowRoute red = Route(Block(BlockKind::If, {0, 0, 100, 40}), target, ArrowColor::kRed);
    QCOMPARE(red.start, (Point{100, 20}));
    // Down 6, left 20, down 54: 80 pixels, halfway 14 pixels into the last run.
    QCOMPARE(blue.Length(), 80);
    Point direction;
    QCOMPARE(blue.Midway(&direction), (Point{30, 60}));
    QCOMPARE(direction, (Point{0, 1}));
    MotionBlock far = Block(BlockKind::Pose, {300, 100, 400, 140});
    const ArrowRoute across =
        Route(Block(BlockKind::Pose, {0, 0, 100, 40}), far, ArrowColor::kBlue);
    QCOMPARE(across.Midway(&direction), (Point{224, 46}));  // 174 of 300 across
    QCOMPARE(direction, (Point{1, 0}));
  }

  // Every kind but End has the blue arrow, branches the red one.
  void arrowsFollowTheKind() {
    QVERIFY(HasBlueArrow(Block(BlockKind::Comment)));
    QVERIFY(!HasBlueArrow(Block(BlockKind::End)));
    QVERIFY(!HasRedArrow(Block(BlockKind::Calc)));
    QVERIFY(HasRedArrow(Block(BlockKind::PadIf)));
  }

  void offsetsKeepSixPixelsFromBothBlocks() {
    // Target 60 pixels below: the horizontal run stays between 6 below the source and 6 above
    // the target, whatever the stored offset.
    MotionBlock below = Block(BlockKind::Pose, {0, 100, 100, 140});
    MotionBlock source = Block(BlockKind::Pose, {200, 0, 300, 40});
    source.bluearrow = 0;
    QCOMPARE(Route(source, below, ArrowColor::kBlue).offset, 6);
    source.bluearrow = 500;
    QCOMPARE(Route(source, below, ArrowColor::kBlue).offset, 54);
    // Only 8 pixels between them: the run takes the middle of the gap.
    MotionBlock close = Block(BlockKind::Pose, {0, 48, 100, 88});
    QCOMPARE(Route(source, close, ArrowColor::kBlue).offset, 4);
    // A loop clears the left edges of both blocks by 6.
    MotionBlock above = Block(BlockKind::Pose, {180, 0, 280, 40});
    const ArrowRoute loop =
        Route(Block(BlockKind::Pose, {200, 100, 300, 140}), above, ArrowColor::kBlue);
    QCOMPARE(loop.type, RouteType::kLoopLeft);
    QCOMPARE(loop.points[2].x, 174);
    // Beside: the vertical run stays in the gap between the blocks.
    MotionBlock right = Block(BlockKind::Pose, {300, 0, 400, 40});
    MotionBlock beside = Block(BlockKind::Pose, {0, 20, 100, 60});
    beside.bluearrow = 1000;
    QCOMPARE(Route(beside, right, ArrowColor::kBlue).points[2].x, 294);
    beside.bluearrow = 0;
    QCOMPARE(Route(beside, right, ArrowColor::kBlue).points[2].x, 106);
    // A red run to a target at the right, dragged into the target, jumps clear of it.
    MotionBlock branch = Block(BlockKind::If, {0, 100, 100, 140});
    MotionBlock upperRight = Block(BlockKind::Pose, {200, 50, 300, 90});
    branch.redarrow = 120;  // x 220, inside the target's width, left of its middle
    QCOMPARE(Route(branch, upperRight, ArrowColor::kRed).points[1].x, 194);
    branch.redarrow = 170;  // right of its middle
    QCOMPARE(Route(branch, upperRight, ArrowColor::kRed).points[1].x, 306);
  }

  // The limits of a route below are driven by the motion area test; loops have no maximum.
  void draggedLoopOffsetsHaveNoMaximum() {
    MotionBlock above = Block(BlockKind::Pose, {100, 0, 200, 40});
    const ArrowRoute loop =
        Route(Block(BlockKind::Pose, {100, 100, 200, 140}), above, ArrowColor::kBlue);
    QCOMPARE(loop.maxOffset, kNoOffsetLimit);
    QCOMPARE(DraggedOffset(loop, {-850, 120}), 1000);
    QCOMPARE(DraggedOffset(loop, {400, 120}), 0);
  }

  void hitTestFindsBodiesTimeButtonsAndArrowParts() {
    core::MotionDocument document;
    MotionBlock& pose = document.Append(Block(BlockKind::Pose, {100, 100, 200, 148}));
    MotionBlock& branch = document.Append(Block(BlockKind::If, {100, 300, 200, 340}));
    MotionBlock& end = document.Append(Block(BlockKind::End, {100, 500, 200, 520}));
    pose.next = &branch;
    branch.next = &end;
    struct Case {
      Point at;
      int kind, index;
    };
    using namespace HitKind;
    const Case cases[] = {
        // Pose: middle y 124, quarter 12; the strip is x 185..200.
        {{150, 110}, kBody, 0},
        {{190, 124}, kTimePlus, 0},
        {{185, 136}, kTimeMinus, 0},
        {{184, 140}, kBody, 0},
        {{190, 120}, kBody, 0},
        // The start of the pose's blue arrow (150, 148): 6 pixels around, 7 towards the top.
        {{150, 154}, kBlueEnd, 0},
        {{150, 140}, kBody, 0},
        {{143, 150}, kBlueEnd, 0},
        {{142, 150}, kNothing, -1},
        // Its end on the branch's top edge belongs to the pose, the first in list order.
        {{150, 302}, kBlueEnd, 0},
        // Away from the arrow's ends and its run at y 154 nothing is hit.
        {{150, 220}, kNothing, -1},
        // The branch's red arrow starts at (200, 320).
        {{203, 320}, kRedEnd, 1},
    };
    for (const Case& c : cases) {
      const Hit hit = HitTest(document, c.at, false);
      QVERIFY2(hit.kind == c.kind && hit.index == c.index,
               qPrintable(QStringLiteral("at %1,%2: kind %3, index %4")
                              .arg(c.at.x)
                              .arg(c.at.y)
                              .arg(hit.kind)
                              .arg(hit.index)));
    }
  }

  void hitTestFindsTheRoutingSegment() {
    core::MotionDocument document;
    MotionBlock& source = document.Append(Block(BlockKind::If, {0, 100, 100, 140}));
    MotionBlock& right = document.Append(Block(BlockKind::Pose, {300, 100, 400, 140}));
    MotionBlock& above = document.Append(Block(BlockKind::Pose, {0, 0, 100, 40}));
    source.next = &right;    // beside, right: vertical run at x 106 from y 146 to 94
    source.branch = &above;  // red loop round the right: vertical run at x 106 from 120 up to -6
    source.redarrow = 40;    // moves the red run to x 140
    QCOMPARE(HitTest(document, {110, 120}, false).kind, HitKind::kBlueRoute);
    QCOMPARE(HitTest(document, {140, 60}, false).kind, HitKind::kRedRoute);
    QCOMPARE(HitTest(document, {147, 60}, false).kind, HitKind::kNothing);
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::MotionAreaTest)
#include "motion_area_test.moc"
