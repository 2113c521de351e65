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

class FlowchartGeometryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
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
        {{.kind = K::Wait, .time = 1234}, "1234step"},
        {{K::Calc, kAdd, 0x0F00, 2, 0x0F02, 1}, "3840:歩数 += 3842:速さ"},
        {{K::Calc, kNot, 0x0F00, 2, 0, 0, 1, -3}, "3840:歩数 =~ -3"},
        {{K::Calc, 40, 0x0F00, 2, 0, 0, 1, -3}, "3840:歩数  -3"},  // an unknown operator
        {{K::If, kGreaterEqual, 0x0F00, 2, 0, 0, 1, 16}, "3840:歩数 >= 16"},
        {{K::If, kGreaterEqual, 0x0100, 2, 0, 0, 1, 16}, "256:Unkown >= 16", "256:Unknown >= 16"},
        {{K::If, kAlways, 0x0F00, 2, 0, 0, 1, 16}, "    TRUE    "},
        {{K::If, kNever, 0x0F00, 2, 0, 0, 1, 16}, "    FALSE    "},
        // Hexadecimal constants take the variable's width.
        {{K::If, kNotEqual, 0x0F02, 1, 0, 0, 1, -1}, "0x0f02:速さ != 0xff", nullptr, true},
        {{K::If, kNotEqual, 0x0F00, 2, 0, 0, 1, 0x1F}, "0x0f00:歩数 != 0x001f", nullptr, true},
        {{K::If, kNotEqual, 0x0F00, 4, 0, 0, 1, 0x1F},
         "3840:Unkown != 0x0000001f",
         "3840:Unknown != 0x0000001f",
         true},
        {{.kind = K::Sound, .text = u"HELLO.WAV"}, "HELLO.WAV"},
        {{.kind = K::Sound, .text = u"HELLO.WAV", .noFile = true}, "STOP"},
        {{.kind = K::Cancel, .text = u"SIT.KX4"}, "SIT.KX4"},
        {{.kind = K::Cancel, .useConst = 1, .text = u"SIT.KX4"}, "BC SIT.KX4"},
        {{.kind = K::Cancel, .useConst = 1, .text = u"SIT.KX4", .noFile = true}, "BC CANCEL"},
        {{.kind = K::SubRoutine, .text = u"歩く.KX4"}, "歩く.KX4"},
        // An interpolation change names the group without its details.
        {{.kind = K::InterpChange, .var = 0, .ref = 2}, "全部 → ch2", "All → ch2"},
        {{.kind = K::InterpChange, .var = 1}, "両目LED → ch0", "Both eye LEDs → ch0"},
        {{.kind = K::InterpChange, .var = 9}, " → ch0"},
        {{.kind = K::PadIf}, "何も入力しない", "No input"},
        // Bit 0 SELECT, bit 4 up; bit 10 L1, bit 15 square.
        {{.kind = K::PadIf, .constValue = 0x0011}, "SELECT,前を入力", "SELECT,Up pressed"},
        {{.kind = K::PadIf, .constValue = 0x8400}, "L1,□を入力", "L1,□ pressed"},
        {{.kind = K::End}, "   END   "},
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

  // ---- Arrow routes.
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
        {{200, 100, 300, 140}, {0, 110, 100, 150}, red, false, kRedLeftLevel},
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
    QCOMPARE(red.end, (Point{30, 100}));
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

  // Every kind but End has the blue arrow, branches the red one; every route runs along the axes.
  void everyRouteRunsAlongTheAxes() {
    QVERIFY(HasBlueArrow(Block(BlockKind::Comment)));
    QVERIFY(!HasBlueArrow(Block(BlockKind::End)));
    QVERIFY(HasBlueArrow(Block(BlockKind::Calc)));
    QVERIFY(!HasRedArrow(Block(BlockKind::Calc)));
    QVERIFY(HasRedArrow(Block(BlockKind::PadIf)));
    const MotionBlock source = Block(BlockKind::If, {300, 300, 400, 340});
    for (int x : {0, 150, 290, 320, 450, 700}) {
      for (int y : {0, 200, 280, 310, 345, 360, 600}) {
        MotionBlock target = Block(BlockKind::Pose, {x, y, x + 80, y + 40});
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

  void draggedOffsetsStayWithinTheirLimits() {
    MotionBlock below = Block(BlockKind::Pose, {0, 100, 100, 140});
    const ArrowRoute route =
        Route(Block(BlockKind::Pose, {0, 0, 100, 40}), below, ArrowColor::kBlue);
    QVERIFY(route.draggable);
    QCOMPARE(DraggedOffset(route, {50, 70}), 30);
    QCOMPARE(DraggedOffset(route, {50, 400}), 54);  // the maximum of the route
    QCOMPARE(DraggedOffset(route, {50, 10}), 0);
    // Loops have no maximum.
    MotionBlock above = Block(BlockKind::Pose, {100, 0, 200, 40});
    const ArrowRoute loop =
        Route(Block(BlockKind::Pose, {100, 100, 200, 140}), above, ArrowColor::kBlue);
    QCOMPARE(loop.maxOffset, kNoOffsetLimit);
    QCOMPARE(DraggedOffset(loop, {-850, 120}), 1000);
    QCOMPARE(DraggedOffset(loop, {400, 120}), 0);
  }

  void unlinkedArrowsAreStubsAndDraggedOnesFollowTheDragPoint() {
    MotionBlock block = Block(BlockKind::Pose, {0, 0, 100, 40});
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

  // ---- Hit test.
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
        {{200, 135}, kTimePlus, 0},
        {{185, 136}, kTimeMinus, 0},
        {{190, 148}, kTimeMinus, 0},
        {{184, 140}, kBody, 0},
        {{190, 120}, kBody, 0},
        // The start of the pose's blue arrow (150, 148): 6 pixels around, 7 towards the top.
        {{150, 154}, kBlueEnd, 0},
        {{150, 141}, kBlueEnd, 0},
        {{150, 140}, kBody, 0},
        {{143, 150}, kBlueEnd, 0},
        {{142, 150}, kNothing, -1},
        // Its end on the branch's top edge belongs to the pose, the first in list order.
        {{150, 302}, kBlueEnd, 0},
        // Away from the arrow's ends and its run at y 154 nothing is hit.
        {{150, 220}, kNothing, -1},
        // The branch's red arrow starts at (200, 320).
        {{203, 320}, kRedEnd, 1},
        {{700, 700}, kNothing, -1},
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
    QCOMPARE(HitTest(document, {140, 60}, false).index, 0);
  }
};

}  // namespace gestalon::ui

QTEST_MAIN(gestalon::ui::FlowchartGeometryTest)
#include "flowchart_geometry_test.moc"
