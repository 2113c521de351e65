#include <QtTest>

#include "motion/motion_document.h"
#include "motion_area/arrow_router.h"
#include "motion_area/block_label.h"
#include "project/system_settings.h"
#include "widgets/qt_text.h"
#include "widgets/qt_translations.h"

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;

MotionBlock Block(BlockKind kind, int left, int top, int right, int bottom) {
  MotionBlock block;
  block.type = static_cast<std::int32_t>(kind);
  block.xpos = left;
  block.ypos = top;
  block.rect = {right, bottom, 0, 0};
  block.bluearrow = block.redarrow = 6;
  return block;
}

QString Label(const MotionBlock& block, const core::LoadedProject& project) {
  return ToQString(BlockLabel(block, project));
}

// The route of `from`'s arrow to `to`.
ArrowRoute Route(MotionBlock from, MotionBlock& to, ArrowColor color, bool oldRouter = false) {
  (color == ArrowColor::kRed ? from.branch : from.next) = &to;
  return RouteArrow(from, color, oldRouter);
}

// The text expected in the language the tests run in.
QString InLanguage(const char* japanese, const char* english) {
  return QString::fromUtf8(InterfaceLanguage() == QStringLiteral("en") ? english : japanese);
}

core::LoadedProject ProjectWithVariables() {
  core::LoadedProject project;
  project.variables = {{2, u"歩数", 0x0F00}, {1, u"速さ", 0x0F02}};
  return project;
}

}  // namespace

class FlowchartGeometryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // ---- Label lines.
  void poseAndWaitShowTheirTimeInSteps() {
    const core::LoadedProject project;
    MotionBlock pose = Block(BlockKind::Pose, 0, 0, 0, 0);
    pose.time = 7;
    QCOMPARE(Label(pose, project), QStringLiteral("007step"));
    MotionBlock wait = Block(BlockKind::Wait, 0, 0, 0, 0);
    wait.time = 1234;
    QCOMPARE(Label(wait, project), QStringLiteral("1234step"));
  }

  void calculationsAndBranchesNameTheirVariables() {
    core::LoadedProject project = ProjectWithVariables();
    MotionBlock calc = Block(BlockKind::Calc, 0, 0, 0, 0);
    calc.varAddr = 0x0F00;
    calc.varSize = 2;
    calc.refAddr = 0x0F02;
    calc.refSize = 1;
    calc.op = core::CalcOp::kAdd;
    QCOMPARE(Label(calc, project), QStringLiteral("3840:歩数 += 3842:速さ"));
    calc.op = core::CalcOp::kNot;
    calc.useConst = 1;
    calc.constValue = -3;
    QCOMPARE(Label(calc, project), QStringLiteral("3840:歩数 =~ -3"));

    MotionBlock branch = Block(BlockKind::If, 0, 0, 0, 0);
    branch.varAddr = 0x0F00;
    branch.varSize = 2;
    branch.useConst = 1;
    branch.constValue = 16;
    branch.op = core::BranchOp::kGreaterEqual;
    QCOMPARE(Label(branch, project), QStringLiteral("3840:歩数 >= 16"));
    branch.varAddr = 0x0100;
    QCOMPARE(Label(branch, project), InLanguage("256:Unkown >= 16", "256:Unknown >= 16"));
  }

  void hexadecimalConstantsTakeTheVariablesWidth() {
    core::LoadedProject project = ProjectWithVariables();
    project.hexadecimalDisplay = true;
    MotionBlock branch = Block(BlockKind::If, 0, 0, 0, 0);
    branch.varAddr = 0x0F02;
    branch.varSize = 1;
    branch.useConst = 1;
    branch.constValue = -1;
    branch.op = core::BranchOp::kNotEqual;
    QCOMPARE(Label(branch, project), QStringLiteral("0x0f02:速さ != 0xff"));
    branch.varAddr = 0x0F00;
    branch.varSize = 2;
    branch.constValue = 0x1F;
    QCOMPARE(Label(branch, project), QStringLiteral("0x0f00:歩数 != 0x001f"));
    branch.varSize = 4;
    QCOMPARE(Label(branch, project),
             InLanguage("3840:Unkown != 0x0000001f", "3840:Unknown != 0x0000001f"));
  }

  void alwaysAndNeverShowOnlyTheOperator() {
    const core::LoadedProject project;
    MotionBlock branch = Block(BlockKind::If, 0, 0, 0, 0);
    branch.op = core::BranchOp::kAlways;
    QCOMPARE(Label(branch, project), QStringLiteral("    TRUE    "));
    branch.op = core::BranchOp::kNever;
    QCOMPARE(Label(branch, project), QStringLiteral("    FALSE    "));
  }

  void unknownOperatorsShowNoOperatorText() {
    const core::LoadedProject project = ProjectWithVariables();
    MotionBlock calc = Block(BlockKind::Calc, 0, 0, 0, 0);
    calc.varAddr = 0x0F00;
    calc.useConst = 1;
    calc.constValue = 5;
    calc.op = 40;
    QCOMPARE(Label(calc, project), QStringLiteral("3840:歩数  5"));
  }

  void fileBlocksShowTheirFileOrWhatTheyDoInstead() {
    const core::LoadedProject project;
    MotionBlock sound = Block(BlockKind::Sound, 0, 0, 0, 0);
    sound.fileName = u"HELLO.WAV";
    QCOMPARE(Label(sound, project), QStringLiteral("HELLO.WAV"));
    sound.noFile = true;
    QCOMPARE(Label(sound, project), QStringLiteral("STOP"));

    MotionBlock cancel = Block(BlockKind::Cancel, 0, 0, 0, 0);
    cancel.fileName = u"SIT.KX4";
    QCOMPARE(Label(cancel, project), QStringLiteral("SIT.KX4"));
    cancel.useConst = 1;
    QCOMPARE(Label(cancel, project), QStringLiteral("BC SIT.KX4"));
    cancel.noFile = true;
    QCOMPARE(Label(cancel, project), QStringLiteral("BC CANCEL"));

    MotionBlock sub = Block(BlockKind::SubRoutine, 0, 0, 0, 0);
    sub.fileName = u"歩く.KX4";
    QCOMPARE(Label(sub, project), QStringLiteral("歩く.KX4"));
  }

  void interpolationChangeNamesTheGroupWithoutItsDetails() {
    const core::LoadedProject project;
    MotionBlock change = Block(BlockKind::InterpChange, 0, 0, 0, 0);
    change.varAddr = 0;
    change.refAddr = 2;
    QCOMPARE(Label(change, project), InLanguage("全部 → ch2", "All → ch2"));
    change.varAddr = 1;
    change.refAddr = 0;
    QCOMPARE(Label(change, project), InLanguage("両目LED → ch0", "Both eye LEDs → ch0"));
    change.varAddr = 9;
    QCOMPARE(Label(change, project), QStringLiteral(" → ch0"));
  }

  void controllerBranchListsThePressedButtons() {
    const core::LoadedProject project;
    MotionBlock pad = Block(BlockKind::PadIf, 0, 0, 0, 0);
    pad.constValue = 0;
    QCOMPARE(Label(pad, project), InLanguage("何も入力しない", "No input"));
    pad.constValue = 0x0011;  // bit 0 SELECT, bit 4 up
    QCOMPARE(Label(pad, project), InLanguage("SELECT,前を入力", "SELECT,Up pressed"));
    pad.constValue = 0x8000 | 0x0400;  // bit 10 L1, bit 15 square
    QCOMPARE(Label(pad, project), InLanguage("L1,□を入力", "L1,□ pressed"));
  }

  void startEndAndCommentTexts() {
    const core::LoadedProject project;
    QCOMPARE(Label(Block(BlockKind::End, 0, 0, 0, 0), project), QStringLiteral("   END   "));
    QVERIFY(!Label(Block(BlockKind::Start, 0, 0, 0, 0), project).trimmed().isEmpty());
    MotionBlock comment = Block(BlockKind::Comment, 0, 0, 0, 0);
    comment.comment = u"一行目\n二行目";
    QCOMPARE(Label(comment, project), QStringLiteral("一行目\n二行目"));
  }

  // ---- Arrow routes.
  void blueRouteTypesFollowWhereTheTargetLies() {
    MotionBlock below = Block(BlockKind::Pose, 0, 60, 100, 100);
    QCOMPARE(Route(Block(BlockKind::Pose, 0, 0, 100, 40), below, ArrowColor::kBlue).type,
             RouteType::kBelow);
    MotionBlock above = Block(BlockKind::Pose, 110, 0, 210, 40);
    QCOMPARE(Route(Block(BlockKind::Pose, 100, 100, 200, 140), above, ArrowColor::kBlue).type,
             RouteType::kLoopLeft);
    // Overlapping in x but starting lower than the source's top: still "below".
    MotionBlock lower = Block(BlockKind::Pose, 10, 120, 110, 160);
    QCOMPARE(Route(Block(BlockKind::Pose, 0, 100, 100, 140), lower, ArrowColor::kBlue).type,
             RouteType::kBelow);
    MotionBlock right = Block(BlockKind::Pose, 200, 100, 300, 140);
    QCOMPARE(Route(Block(BlockKind::Pose, 0, 100, 100, 140), right, ArrowColor::kBlue).type,
             RouteType::kBesideRight);
    MotionBlock left = Block(BlockKind::Pose, 0, 100, 100, 140);
    QCOMPARE(Route(Block(BlockKind::Pose, 200, 100, 300, 140), left, ArrowColor::kBlue).type,
             RouteType::kBesideLeft);
  }

  void redRouteTypesFollowWhereTheTargetLies() {
    const MotionBlock branch = Block(BlockKind::If, 0, 100, 100, 140);  // S = (100, 120)
    MotionBlock lowerRight = Block(BlockKind::Pose, 200, 160, 300, 200);
    QCOMPARE(Route(branch, lowerRight, ArrowColor::kRed).type, RouteType::kRedCorner);
    MotionBlock lower = Block(BlockKind::Pose, 0, 200, 100, 240);
    QCOMPARE(Route(branch, lower, ArrowColor::kRed).type, RouteType::kRedBelow);
    MotionBlock above = Block(BlockKind::Pose, 0, 0, 100, 40);
    QCOMPARE(Route(branch, above, ArrowColor::kRed).type, RouteType::kRedLoopRight);
    MotionBlock upperRight = Block(BlockKind::Pose, 200, 50, 300, 90);
    QCOMPARE(Route(branch, upperRight, ArrowColor::kRed).type, RouteType::kRedRight);
    const MotionBlock rightBranch = Block(BlockKind::If, 200, 100, 300, 140);
    MotionBlock levelLeft = Block(BlockKind::Pose, 0, 110, 100, 150);
    QCOMPARE(Route(rightBranch, levelLeft, ArrowColor::kRed).type, RouteType::kRedLeftLevel);
    MotionBlock slightlyLowerLeft = Block(BlockKind::Pose, 0, 130, 100, 170);
    QCOMPARE(Route(rightBranch, slightlyLowerLeft, ArrowColor::kRed).type,
             RouteType::kRedLeftLevel);
  }

  void routesStartAndEndAtTheConnectionPoints() {
    MotionBlock target = Block(BlockKind::Pose, 0, 100, 60, 140);
    const ArrowRoute blue = Route(Block(BlockKind::Pose, 0, 0, 100, 40), target, ArrowColor::kBlue);
    QCOMPARE(blue.start, (Point{50, 40}));
    QCOMPARE(blue.end, (Point{30, 100}));
    QCOMPARE(blue.points[0], blue.start);
    QCOMPARE(blue.points[static_cast<std::size_t>(blue.pointCount - 1)], blue.end);
    const ArrowRoute red = Route(Block(BlockKind::If, 0, 0, 100, 40), target, ArrowColor::kRed);
    QCOMPARE(red.start, (Point{100, 20}));
    QCOMPARE(red.end, (Point{30, 100}));
  }

  void theMarkSitsHalfwayAlongTheRoute() {
    // Down 6, left 20, down 54: 80 pixels, halfway 14 pixels into the last run.
    MotionBlock target = Block(BlockKind::Pose, 0, 100, 60, 140);
    const ArrowRoute route =
        Route(Block(BlockKind::Pose, 0, 0, 100, 40), target, ArrowColor::kBlue);
    QCOMPARE(route.Length(), 80);
    Point direction;
    QCOMPARE(route.Midway(&direction), (Point{30, 60}));
    QCOMPARE(direction, (Point{0, 1}));
    MotionBlock far = Block(BlockKind::Pose, 300, 100, 400, 140);
    const ArrowRoute across = Route(Block(BlockKind::Pose, 0, 0, 100, 40), far, ArrowColor::kBlue);
    QCOMPARE(across.Midway(&direction), (Point{224, 46}));  // 174 of 300 across
    QCOMPARE(direction, (Point{1, 0}));
  }

  void everyKindButEndHasTheBlueArrow() {
    QVERIFY(HasBlueArrow(Block(BlockKind::Comment, 0, 0, 100, 40)));
    QVERIFY(!HasBlueArrow(Block(BlockKind::End, 0, 0, 100, 40)));
    QVERIFY(HasBlueArrow(Block(BlockKind::Calc, 0, 0, 100, 40)));
    QVERIFY(!HasRedArrow(Block(BlockKind::Calc, 0, 0, 100, 40)));
    QVERIFY(HasRedArrow(Block(BlockKind::PadIf, 0, 0, 100, 40)));
  }

  void everyRouteRunsAlongTheAxes() {
    const MotionBlock source = Block(BlockKind::If, 300, 300, 400, 340);
    for (int x : {0, 150, 290, 320, 450, 700}) {
      for (int y : {0, 200, 280, 310, 345, 360, 600}) {
        MotionBlock target = Block(BlockKind::Pose, x, y, x + 80, y + 40);
        for (const ArrowColor color : {ArrowColor::kBlue, ArrowColor::kRed}) {
          for (const bool oldRouter : {false, true}) {
            const ArrowRoute route = Route(source, target, color, oldRouter);
            for (int i = 1; i < route.pointCount; ++i) {
              const Point a = route.points[static_cast<std::size_t>(i - 1)];
              const Point b = route.points[static_cast<std::size_t>(i)];
              QVERIFY2(
                  a.x == b.x || a.y == b.y,
                  qPrintable(QStringLiteral("type %1 at %2,%3").arg(route.type).arg(x).arg(y)));
            }
          }
        }
      }
    }
  }

  void offsetsKeepSixPixelsFromBothBlocks() {
    // Target 60 pixels below: the horizontal run stays between 6 below the source and 6 above
    // the target, whatever the stored offset.
    MotionBlock below = Block(BlockKind::Pose, 0, 100, 100, 140);
    MotionBlock source = Block(BlockKind::Pose, 200, 0, 300, 40);
    source.bluearrow = 0;
    QCOMPARE(Route(source, below, ArrowColor::kBlue).offset, 6);
    source.bluearrow = 500;
    QCOMPARE(Route(source, below, ArrowColor::kBlue).offset, 54);
    // Only 8 pixels between them: the run takes the middle of the gap.
    MotionBlock close = Block(BlockKind::Pose, 0, 48, 100, 88);
    QCOMPARE(Route(source, close, ArrowColor::kBlue).offset, 4);
    // A loop clears the left edges of both blocks by 6.
    MotionBlock above = Block(BlockKind::Pose, 180, 0, 280, 40);
    MotionBlock looping = Block(BlockKind::Pose, 200, 100, 300, 140);
    const ArrowRoute loop = Route(looping, above, ArrowColor::kBlue);
    QCOMPARE(loop.type, RouteType::kLoopLeft);
    QCOMPARE(loop.points[2].x, 174);
    // Beside: the vertical run stays in the gap between the blocks.
    MotionBlock right = Block(BlockKind::Pose, 300, 0, 400, 40);
    MotionBlock beside = Block(BlockKind::Pose, 0, 20, 100, 60);
    beside.bluearrow = 1000;
    const ArrowRoute gap = Route(beside, right, ArrowColor::kBlue);
    QCOMPARE(gap.type, RouteType::kBesideRight);
    QCOMPARE(gap.points[2].x, 294);
    beside.bluearrow = 0;
    QCOMPARE(Route(beside, right, ArrowColor::kBlue).points[2].x, 106);
    // A red run to a target at the right, dragged into the target, jumps clear of it.
    MotionBlock branch = Block(BlockKind::If, 0, 100, 100, 140);
    MotionBlock upperRight = Block(BlockKind::Pose, 200, 50, 300, 90);
    branch.redarrow = 120;  // x 220, inside the target's width, left of its middle
    QCOMPARE(Route(branch, upperRight, ArrowColor::kRed).points[1].x, 194);
    branch.redarrow = 170;  // right of its middle
    QCOMPARE(Route(branch, upperRight, ArrowColor::kRed).points[1].x, 306);
  }

  void draggedOffsetsStayWithinTheirLimits() {
    MotionBlock below = Block(BlockKind::Pose, 0, 100, 100, 140);
    const ArrowRoute route = Route(Block(BlockKind::Pose, 0, 0, 100, 40), below, ArrowColor::kBlue);
    QVERIFY(route.draggable);
    QCOMPARE(DraggedOffset(route, {50, 70}), 30);
    QCOMPARE(DraggedOffset(route, {50, 400}), 54);  // the maximum of the route
    QCOMPARE(DraggedOffset(route, {50, 10}), 0);
    // Loops have no maximum.
    MotionBlock above = Block(BlockKind::Pose, 100, 0, 200, 40);
    const ArrowRoute loop =
        Route(Block(BlockKind::Pose, 100, 100, 200, 140), above, ArrowColor::kBlue);
    QCOMPARE(loop.maxOffset, kNoOffsetLimit);
    QCOMPARE(DraggedOffset(loop, {-850, 120}), 1000);
    QCOMPARE(DraggedOffset(loop, {400, 120}), 0);
  }

  void unlinkedArrowsAreStubsAndDraggedOnesFollowTheDragPoint() {
    MotionBlock block = Block(BlockKind::Pose, 0, 0, 100, 40);
    const ArrowRoute stub = RouteArrow(block, ArrowColor::kBlue, false);
    QCOMPARE(stub.type, RouteType::kStub);
    QVERIFY(!stub.hasTarget);
    QCOMPARE(stub.end, (Point{50, 40 + kStubLength}));
    block.selFlags = core::kBlockBlueDrag;
    block.rect[2] = 300;
    block.rect[3] = 200;
    const ArrowRoute dragged = RouteArrow(block, ArrowColor::kBlue, false);
    QVERIFY(dragged.hasTarget);
    QCOMPARE(dragged.end, (Point{300, 200}));
  }

  void olderRouterUsesItsFiveShapes() {
    const MotionBlock source = Block(BlockKind::If, 100, 100, 200, 140);
    MotionBlock straight = Block(BlockKind::Pose, 100, 200, 200, 240);
    QCOMPARE(Route(source, straight, ArrowColor::kBlue, true).type, RouteType::kOldStraight);
    QCOMPARE(Route(source, straight, ArrowColor::kBlue, true).pointCount, 2);
    MotionBlock lowerRight = Block(BlockKind::Pose, 300, 200, 400, 240);
    QCOMPARE(Route(source, lowerRight, ArrowColor::kRed, true).type, RouteType::kOldCorner);
    QCOMPARE(Route(source, lowerRight, ArrowColor::kBlue, true).type, RouteType::kOldStep);
    MotionBlock upperLeft = Block(BlockKind::Pose, 0, 0, 80, 40);
    QCOMPARE(Route(source, upperLeft, ArrowColor::kBlue, true).type, RouteType::kOldLoopLeft);
    MotionBlock upperRight = Block(BlockKind::Pose, 300, 0, 400, 40);
    const ArrowRoute loop = Route(source, upperRight, ArrowColor::kBlue, true);
    QCOMPARE(loop.type, RouteType::kOldLoopRight);
    QCOMPARE(loop.points[2].x, 406);
  }

  // ---- Hit test.
  void hitTestFindsBodiesTimeButtonsAndArrowParts() {
    core::MotionDocument document;
    MotionBlock& pose = document.Append(Block(BlockKind::Pose, 100, 100, 200, 148));
    MotionBlock& branch = document.Append(Block(BlockKind::If, 100, 300, 200, 340));
    MotionBlock& end = document.Append(Block(BlockKind::End, 100, 500, 200, 520));
    pose.next = &branch;
    branch.next = &end;
    // Pose: middle y 124, quarter 12; the strip is x 185..200.
    QCOMPARE(HitTest(document, {150, 110}, false).kind, HitKind::kBody);
    QCOMPARE(HitTest(document, {150, 110}, false).index, 0);
    QCOMPARE(HitTest(document, {190, 124}, false).kind, HitKind::kTimePlus);
    QCOMPARE(HitTest(document, {200, 135}, false).kind, HitKind::kTimePlus);
    QCOMPARE(HitTest(document, {185, 136}, false).kind, HitKind::kTimeMinus);
    QCOMPARE(HitTest(document, {190, 148}, false).kind, HitKind::kTimeMinus);
    QCOMPARE(HitTest(document, {184, 140}, false).kind, HitKind::kBody);
    QCOMPARE(HitTest(document, {190, 120}, false).kind, HitKind::kBody);
    // The start of the pose's blue arrow (150, 148): 6 pixels around, 7 towards the top.
    QCOMPARE(HitTest(document, {150, 154}, false).kind, HitKind::kBlueEnd);
    QCOMPARE(HitTest(document, {150, 141}, false).kind, HitKind::kBlueEnd);
    QCOMPARE(HitTest(document, {150, 140}, false).kind, HitKind::kBody);
    QCOMPARE(HitTest(document, {143, 150}, false).kind, HitKind::kBlueEnd);
    QCOMPARE(HitTest(document, {142, 150}, false).kind, HitKind::kNothing);
    // Its end on the branch's top edge belongs to the pose, the first in list order.
    const Hit arrowEnd = HitTest(document, {150, 302}, false);
    QCOMPARE(arrowEnd.kind, HitKind::kBlueEnd);
    QCOMPARE(arrowEnd.index, 0);
    // Away from the arrow's ends and its run at y 154 nothing is hit.
    QCOMPARE(HitTest(document, {150, 220}, false).kind, HitKind::kNothing);
    // The branch's red arrow starts at (200, 320).
    const Hit red = HitTest(document, {203, 320}, false);
    QCOMPARE(red.kind, HitKind::kRedEnd);
    QCOMPARE(red.index, 1);
    QCOMPARE(HitTest(document, {700, 700}, false).kind, HitKind::kNothing);
    QCOMPARE(HitTest(document, {700, 700}, false).index, -1);
  }

  void hitTestFindsTheRoutingSegment() {
    core::MotionDocument document;
    MotionBlock& source = document.Append(Block(BlockKind::If, 0, 100, 100, 140));
    MotionBlock& right = document.Append(Block(BlockKind::Pose, 300, 100, 400, 140));
    MotionBlock& above = document.Append(Block(BlockKind::Pose, 0, 0, 100, 40));
    source.next = &right;    // beside, right: vertical run at x 106 from y 146 to 94
    source.branch = &above;  // red loop round the right: vertical run at x 106 from 120 up to -6
    source.redarrow = 40;    // moves the red run to x 140
    QCOMPARE(HitTest(document, {110, 120}, false).kind, HitKind::kBlueRoute);
    QCOMPARE(HitTest(document, {140, 60}, false).kind, HitKind::kRedRoute);
    QCOMPARE(HitTest(document, {147, 60}, false).kind, HitKind::kNothing);
    QCOMPARE(HitTest(document, {140, 60}, false).index, 0);
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::FlowchartGeometryTest)
#include "flowchart_geometry_test.moc"
