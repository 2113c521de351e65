#include "motion_area/arrow_router.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

namespace gestalon::ui {
namespace {

using core::BlockKind;
using core::MotionBlock;
constexpr int kGap = kRouteClearance;

void SetPoints(ArrowRoute& route, std::initializer_list<Point> points) {
  route.pointCount = 0;
  for (const Point& p : points) {
    route.points[static_cast<std::size_t>(route.pointCount++)] = p;
  }
}

void SetDrag(ArrowRoute& route, bool alongX, int reference, int sign, int maxOffset) {
  route.draggable = true;
  route.dragAlongX = alongX;
  route.dragReference = reference;
  route.dragSign = sign;
  route.maxOffset = maxOffset;
}

// An offset that keeps the segment `kGap` from both edges of a gap of `room` pixels measured from
// the segment's reference; the middle of the gap when it is too narrow for that.
int OffsetInGap(int offset, int low, int high) {
  if (high >= low) {
    return std::clamp(offset, low, high);
  }
  return std::max((low + high) / 2, 0);
}

void RouteBlue(ArrowRoute& r, int offset) {
  const Box& s = r.source;
  const Box& t = r.target;
  const Point S = r.start;
  const Point T = r.end;
  if (s.bottom + kGap < t.top) {
    r.type = RouteType::kBelow;
  } else if (std::abs(T.x - S.x) < ((t.right - t.left) + (s.right - s.left)) / 2 + kGap) {
    r.type = t.top <= s.top ? RouteType::kLoopLeft : RouteType::kBelow;
  } else {
    r.type = T.x > S.x ? RouteType::kBesideRight : RouteType::kBesideLeft;
  }

  switch (r.type) {
    case RouteType::kBelow: {
      const int gap = T.y - S.y;
      r.offset = gap >= 2 * kGap ? std::clamp(offset, kGap, gap - kGap) : std::max(gap / 2, 0);
      const int y = S.y + r.offset;
      SetPoints(r, {S, {S.x, y}, {T.x, y}, T});
      r.middle = 1;
      SetDrag(r, false, S.y, 1, gap - kGap);
      break;
    }
    case RouteType::kLoopLeft: {
      r.offset = std::max(offset, S.x - std::min(s.left, t.left) + kGap);
      const int x = S.x - r.offset;
      SetPoints(r, {S, {S.x, S.y + kGap}, {x, S.y + kGap}, {x, T.y - kGap}, {T.x, T.y - kGap}, T});
      r.middle = 2;
      SetDrag(r, true, S.x, -1, kNoOffsetLimit);
      break;
    }
    default: {
      const bool right = r.type == RouteType::kBesideRight;
      // Between the source's side and the target's facing side.
      const int low = right ? s.right - S.x + kGap : S.x - s.left + kGap;
      const int high = right ? t.left - S.x - kGap : S.x - t.right - kGap;
      r.offset = OffsetInGap(offset, low, high);
      const int x = right ? S.x + r.offset : S.x - r.offset;
      SetPoints(r, {S, {S.x, S.y + kGap}, {x, S.y + kGap}, {x, T.y - kGap}, {T.x, T.y - kGap}, T});
      r.middle = 2;
      SetDrag(r, true, S.x, right ? 1 : -1, high);
      break;
    }
  }
}

void RouteRed(ArrowRoute& r, int offset) {
  const Box& s = r.source;
  const Box& t = r.target;
  const Point S = r.start;
  const Point T = r.end;
  const bool leftLevel = t.right < s.left && s.top - kGap < t.top && t.top < s.bottom + kGap;
  if (S.y < t.top) {
    r.type = S.x < T.x ? RouteType::kRedCorner
                       : (leftLevel ? RouteType::kRedLeftLevel : RouteType::kRedBelow);
  } else if (leftLevel) {
    r.type = RouteType::kRedLeftLevel;
  } else if (t.left < s.right + kGap) {
    r.type = t.top <= s.top ? RouteType::kRedLoopRight : RouteType::kRedBelow;
  } else {
    r.type = RouteType::kRedRight;
  }

  switch (r.type) {
    case RouteType::kRedCorner:
      r.offset = 0;
      SetPoints(r, {S, {T.x, S.y}, T});
      r.middle = 0;
      break;
    case RouteType::kRedBelow: {
      const int gap = t.top - s.bottom;
      r.offset = gap >= 2 * kGap ? std::clamp(offset, kGap, gap - kGap) : kGap;
      const int y = s.bottom + r.offset;
      SetPoints(r, {S, {S.x + kGap, S.y}, {S.x + kGap, y}, {T.x, y}, T});
      r.middle = 2;
      SetDrag(r, false, s.bottom, 1, gap - kGap);
      break;
    }
    case RouteType::kRedLoopRight:
    case RouteType::kRedRight: {
      if (r.type == RouteType::kRedLoopRight) {
        r.offset = std::max(offset, std::max(s.right, t.right) + kGap - S.x);
      } else {
        // The vertical segment passes the target's height: keep it out of the target's width,
        // in the gap before it or, once dragged past its middle, beyond it.
        int x = S.x + std::max(offset, kGap);
        if (x > t.left - kGap && x < t.right + kGap) {
          const bool gapFits = t.left - kGap >= S.x + kGap;
          x = (gapFits && x < t.CentreX()) ? t.left - kGap : t.right + kGap;
        }
        r.offset = x - S.x;
      }
      const int x = S.x + r.offset;
      SetPoints(r, {S, {x, S.y}, {x, T.y - kGap}, {T.x, T.y - kGap}, T});
      r.middle = 1;
      SetDrag(r, true, S.x, 1, kNoOffsetLimit);
      break;
    }
    default: {  // kRedLeftLevel
      r.offset = std::max(std::min(offset, t.left), kGap);
      const int x = t.left - r.offset;
      const int below = std::max(s.bottom, t.bottom) + kGap;
      SetPoints(r, {S,
                    {S.x + kGap, S.y},
                    {S.x + kGap, below},
                    {x, below},
                    {x, T.y - kGap},
                    {T.x, T.y - kGap},
                    T});
      r.middle = 3;
      SetDrag(r, true, t.left, -1, t.left);
      break;
    }
  }
}

void RouteOld(ArrowRoute& r, ArrowColor color, int offset) {
  const Box& s = r.source;
  const Box& t = r.target;
  const Point S = r.start;
  const Point T = r.end;
  const bool red = color == ArrowColor::kRed;
  const Point leadOut = red ? Point{S.x + kGap, S.y} : Point{S.x, S.y + kGap};
  const Point leadIn{T.x, T.y - kGap};
  r.offset = std::max(offset, kGap);
  if (!red && S.x == T.x && T.y > S.y) {
    r.type = RouteType::kOldStraight;
    SetPoints(r, {S, T});
    r.middle = 0;
  } else if (red && T.x > S.x && T.y > S.y) {
    r.type = RouteType::kOldCorner;
    SetPoints(r, {S, {T.x, S.y}, T});
    r.middle = 0;
  } else if (leadIn.y >= leadOut.y) {
    r.type = RouteType::kOldStep;
    SetPoints(r, {S, leadOut, {leadOut.x, leadIn.y}, leadIn, T});
    r.middle = 2;
  } else if (T.x <= S.x) {
    r.type = RouteType::kOldLoopLeft;
    const int edge = std::min(s.left, t.left);
    const int x = edge - r.offset;
    SetPoints(r, {S, leadOut, {x, leadOut.y}, {x, leadIn.y}, leadIn, T});
    r.middle = 2;
    SetDrag(r, true, edge, -1, kNoOffsetLimit);
  } else {
    r.type = RouteType::kOldLoopRight;
    const int edge = std::max(s.right, t.right);
    const int x = edge + r.offset;
    SetPoints(r, {S, leadOut, {x, leadOut.y}, {x, leadIn.y}, leadIn, T});
    r.middle = 2;
    SetDrag(r, true, edge, 1, kNoOffsetLimit);
  }
}

bool InSpan(int v, int a, int b, int slack) {
  return v >= std::min(a, b) - slack && v <= std::max(a, b) + slack;
}

// Within 6 pixels of an end point, 7 towards smaller coordinates.
bool NearEnd(Point p, Point end) {
  return p.x >= end.x - 7 && p.x <= end.x + 6 && p.y >= end.y - 7 && p.y <= end.y + 6;
}

bool NearSegment(Point p, Point a, Point b) {
  if (a.y == b.y) {
    return std::abs(p.y - a.y) <= kGap && InSpan(p.x, a.x, b.x, 0);
  }
  if (a.x == b.x) {
    return std::abs(p.x - a.x) <= kGap && InSpan(p.y, a.y, b.y, 0);
  }
  return false;
}

// 0, or the hit kind of the arrow's handles and middle segment under `p`.
int HitArrow(const MotionBlock& block, ArrowColor color, Point p, bool oldRouter) {
  const ArrowRoute route = RouteArrow(block, color, oldRouter);
  const bool red = color == ArrowColor::kRed;
  if (NearEnd(p, route.start) || NearEnd(p, route.end)) {
    return red ? HitKind::kRedEnd : HitKind::kBlueEnd;
  }
  if (route.draggable) {
    const auto i = static_cast<std::size_t>(route.middle);
    if (NearSegment(p, route.points[i], route.points[i + 1])) {
      return red ? HitKind::kRedRoute : HitKind::kBlueRoute;
    }
  }
  return HitKind::kNothing;
}

}  // namespace

bool HasBlueArrow(const MotionBlock& block) {
  return !block.Is(BlockKind::End);
}

bool HasRedArrow(const MotionBlock& block) {
  return block.Is(BlockKind::If) || block.Is(BlockKind::PadIf);
}

int ArrowRoute::Length() const {
  int length = 0;
  for (int i = 1; i < pointCount; ++i) {
    const Point a = points[static_cast<std::size_t>(i - 1)];
    const Point b = points[static_cast<std::size_t>(i)];
    length += std::abs(b.x - a.x) + std::abs(b.y - a.y);
  }
  return length;
}

Point ArrowRoute::Midway(Point* direction) const {
  int remaining = Length() / 2;
  for (int i = 1; i < pointCount; ++i) {
    const Point a = points[static_cast<std::size_t>(i - 1)];
    const Point b = points[static_cast<std::size_t>(i)];
    const int length = std::abs(b.x - a.x) + std::abs(b.y - a.y);
    if (length == 0 || remaining > length) {
      remaining -= length;
      continue;
    }
    const int dx = (b.x > a.x) - (b.x < a.x);
    const int dy = (b.y > a.y) - (b.y < a.y);
    if (direction) {
      *direction = {dx, dy};
    }
    return {a.x + dx * remaining, a.y + dy * remaining};
  }
  if (direction) {
    *direction = {0, 1};
  }
  return start;
}

ArrowRoute RouteArrow(const MotionBlock& block, ArrowColor color, bool oldRouter) {
  ArrowRoute r;
  const bool red = color == ArrowColor::kRed;
  r.source = BlockBox(block);
  r.start =
      red ? Point{r.source.right, r.source.MiddleY()} : Point{r.source.CentreX(), r.source.bottom};
  const MotionBlock* target = red ? block.branch : block.next;
  const bool dragged = (block.selFlags & (red ? core::kBlockRedDrag : core::kBlockBlueDrag)) != 0;
  if (target) {
    r.target = BlockBox(*target);
    r.end = {r.target.CentreX(), r.target.top};
  } else if (dragged) {
    r.end = {block.rect[2], block.rect[3]};
    r.target = {r.end.x, r.end.y, r.end.x, r.end.y};
  } else {
    r.type = RouteType::kStub;
    r.end =
        red ? Point{r.start.x + kStubLength, r.start.y} : Point{r.start.x, r.start.y + kStubLength};
    r.target = {r.end.x, r.end.y, r.end.x, r.end.y};
    SetPoints(r, {r.start, r.end});
    return r;
  }
  r.hasTarget = true;
  const int offset = red ? block.redarrow : block.bluearrow;
  if (oldRouter) {
    RouteOld(r, color, offset);
  } else if (red) {
    RouteRed(r, offset);
  } else {
    RouteBlue(r, offset);
  }
  return r;
}

int DraggedOffset(const ArrowRoute& route, Point cursor) {
  const int along = route.dragAlongX ? cursor.x : cursor.y;
  int offset = route.dragSign * (along - route.dragReference);
  if (route.maxOffset != kNoOffsetLimit) {
    offset = std::min(offset, route.maxOffset);
  }
  return std::max(offset, 0);
}

Box TimePlusBox(const Box& block) {
  const int middle = block.MiddleY();
  const int quarter = (block.bottom - block.top) / 4;
  return {block.right - kTimeButtonWidth, middle, block.right, middle + quarter - 1};
}

Box TimeMinusBox(const Box& block) {
  const int middle = block.MiddleY();
  const int quarter = (block.bottom - block.top) / 4;
  return {block.right - kTimeButtonWidth, middle + quarter, block.right, block.bottom};
}

Hit HitTest(const core::MotionDocument& document, Point p, bool oldRouter) {
  int index = 0;
  for (MotionBlock& block : document) {
    Hit hit{HitKind::kNothing, index, &block};
    if (HasBlueArrow(block)) {
      hit.kind = HitArrow(block, ArrowColor::kBlue, p, oldRouter);
    }
    if (hit.kind == HitKind::kNothing && HasRedArrow(block)) {
      hit.kind = HitArrow(block, ArrowColor::kRed, p, oldRouter);
    }
    if (hit.kind == HitKind::kNothing && block.Is(BlockKind::Pose)) {
      const Box box = BlockBox(block);
      if (TimePlusBox(box).Contains(p)) {
        hit.kind = HitKind::kTimePlus;
      } else if (TimeMinusBox(box).Contains(p)) {
        hit.kind = HitKind::kTimeMinus;
      }
    }
    if (hit.kind == HitKind::kNothing && BlockBox(block).Contains(p)) {
      hit.kind = HitKind::kBody;
    }
    if (hit.kind != HitKind::kNothing) {
      return hit;
    }
    ++index;
  }
  return {};
}

core::MotionBlock* BlockAt(const core::MotionDocument& document, Point p, int* index) {
  int i = 0;
  for (MotionBlock& block : document) {
    if (BlockBox(block).Contains(p)) {
      if (index) {
        *index = i;
      }
      return &block;
    }
    ++i;
  }
  if (index) {
    *index = -1;
  }
  return nullptr;
}

}  // namespace gestalon::ui
