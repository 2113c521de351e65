#pragma once

#include <array>
#include <climits>

#include "motion/motion_document.h"

namespace gestalon::ui {

// Geometry of the motion area in content coordinates (pixels of the 4096 x 4096 canvas).
struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// A block extent; right and bottom belong to it (edges included).
struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(Point p) const {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
  }
  bool Overlaps(const Box& o) const {
    return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
  }
  int CentreX() const { return left + (right - left) / 2; }
  int MiddleY() const { return top + (bottom - top) / 2; }
  bool operator==(const Box&) const = default;
};

// The extent the painter last measured: (xpos, ypos) to (rect[0], rect[1]).
inline Box BlockBox(const core::MotionBlock& block) {
  return {block.xpos, block.ypos, block.rect[0], block.rect[1]};
}

enum class ArrowColor { kBlue, kRed };

// Which arrows a block draws and offers for dragging: every kind but End has the blue arrow
// (`next`), a stub with an end handle while unlinked; If and PadIf also the red one (`branch`).
bool HasBlueArrow(const core::MotionBlock& block);
bool HasRedArrow(const core::MotionBlock& block);

// Route types. The default router uses 6..14:
//   6  blue, target below: down to S.y + offset, across, down.
//   7  blue, target above or level and overlapping in x: loop round the left of both blocks.
//   8 / 9  blue, target beside (right / left): down 6, sideways to S.x +/- offset, vertically to
//          6 above the target, across, down.
//   10 red, target lower and to the right: across, down (the offset is not used).
//   11 red, target lower: right 6, down to source bottom + offset, across, down.
//   12 red, target above and overlapping in x: loop round the right of both blocks.
//   13 red, target to the right at or above the start: right to S.x + offset, up, across, down.
//   14 red, target to the left at the same level: right 6, down below both blocks, left past
//      the target to its left - offset, up to 6 above it, across, down.
// The older router (kOldArrows) uses five shapes:
//   1 straight line; 2 red corner (across, down); 3 step (lead out, vertically to 6 above the
//   target, across, down); 4 / 5 loop round the left / right of both blocks.
// 0 is a stub: an unlinked arrow that is not being dragged.
namespace RouteType {
inline constexpr int kStub = 0;
inline constexpr int kOldStraight = 1, kOldCorner = 2, kOldStep = 3, kOldLoopLeft = 4,
                     kOldLoopRight = 5;
inline constexpr int kBelow = 6, kLoopLeft = 7, kBesideRight = 8, kBesideLeft = 9, kRedCorner = 10,
                     kRedBelow = 11, kRedLoopRight = 12, kRedRight = 13, kRedLeftLevel = 14;
}  // namespace RouteType

// A dragged offset that no maximum limits.
inline constexpr int kNoOffsetLimit = INT_MAX;
// Length of the stub of an unlinked arrow.
inline constexpr int kStubLength = 12;

// Offset corrections of the default router: every segment keeps kRouteClearance pixels from the
// edges of both blocks. Where the blocks leave no room for that, the segment runs midway through
// the gap (types 6, 8, 9) or at the clearance below or beside the source (types 11, 13, 14).
inline constexpr int kRouteClearance = 6;

// One arrow as drawn: a polyline from `start` (S) to `end` (T) with axis-parallel segments.
struct ArrowRoute {
  int type = RouteType::kStub;
  Box source;
  Box target;              // the target block, or the drag point as an empty box
  bool hasTarget = false;  // linked, or being dragged: the arrowhead is drawn
  Point start;
  Point end;
  int offset = 0;  // the routing offset after the corrections
  std::array<Point, 7> points{};
  int pointCount = 0;
  // The routing segment points[middle] -> points[middle + 1] (the one the offset moves, or the
  // main run where the offset is not used); -1 for a stub.
  int middle = -1;
  // Whether dragging the middle segment changes the offset, and how: the offset is the cursor's
  // distance from `dragReference` along x (else y), times `dragSign`, limited to 0..maxOffset.
  bool draggable = false;
  bool dragAlongX = false;
  int dragReference = 0;
  int dragSign = 1;
  int maxOffset = kNoOffsetLimit;

  // Length of the polyline in pixels.
  int Length() const;
  // The point halfway along the polyline, and the direction (-1, 0 or 1 in x and y) of the
  // segment it lies on.
  Point Midway(Point* direction) const;
};

// The route of the block's blue or red arrow to its link (or to the drag point rect[2], rect[3]
// while the block's link is being dragged and points nowhere; a stub otherwise), from the extents
// the painter measured. `oldRouter` selects the older five shapes.
ArrowRoute RouteArrow(const core::MotionBlock& block, ArrowColor color, bool oldRouter);

// The offset that dragging the route's middle segment to `cursor` stores: >= 0, and at most the
// route's maximum offset.
int DraggedOffset(const ArrowRoute& route, Point cursor);

// What lies under a content point.
namespace HitKind {
inline constexpr int kNothing = 0;
inline constexpr int kBody = 3;
inline constexpr int kTimePlus = 6;
inline constexpr int kTimeMinus = 7;
inline constexpr int kBlueRoute = 9;
inline constexpr int kRedRoute = 10;
inline constexpr int kBlueEnd = 11;
inline constexpr int kRedEnd = 12;
}  // namespace HitKind

struct Hit {
  int kind = HitKind::kNothing;
  int index = -1;  // list position of the block, -1 for nothing
  core::MotionBlock* block = nullptr;
};

// Width of the time buttons strip at the right of a pose block's lower half.
inline constexpr int kTimeButtonWidth = 15;

// The + / - time button areas of a pose block (the upper and lower quarter of its lower half).
Box TimePlusBox(const Box& block);
Box TimeMinusBox(const Box& block);

// Hit test in list order, the first match winning; per block: its arrows' end points (6 pixels
// around, 7 towards smaller coordinates) and middle segments (6 pixels), a pose block's time
// buttons, then the block's extent.
Hit HitTest(const core::MotionDocument& document, Point p, bool oldRouter);

// The first block in list order whose extent contains `p`, or null.
core::MotionBlock* BlockAt(const core::MotionDocument& document, Point p, int* index = nullptr);

}  // namespace gestalon::ui
