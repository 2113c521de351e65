#pragma once

#include <QStringList>

#include "motion/motion_block.h"

namespace gestalon::testing {

// The names of the fields in which two blocks differ.
inline QStringList DifferingFields(const core::MotionBlock& a, const core::MotionBlock& b) {
  QStringList fields;
#define GESTALON_FIELD(f) \
  if (!(a.f == b.f))      \
  fields << QStringLiteral(#f)
  GESTALON_FIELD(name);
  GESTALON_FIELD(label);
  GESTALON_FIELD(time);
  GESTALON_FIELD(slots);
  GESTALON_FIELD(nextIndex);
  GESTALON_FIELD(branchIndex);
  GESTALON_FIELD(servoEnableMask);
  GESTALON_FIELD(poseConst);
  GESTALON_FIELD(interpWait);
  GESTALON_FIELD(selFlags);
  GESTALON_FIELD(prev);
  GESTALON_FIELD(nextInList);
  GESTALON_FIELD(xpos);
  GESTALON_FIELD(ypos);
  GESTALON_FIELD(rect);
  GESTALON_FIELD(bluearrow);
  GESTALON_FIELD(redarrow);
  GESTALON_FIELD(next);
  GESTALON_FIELD(branch);
  GESTALON_FIELD(type);
  GESTALON_FIELD(varAddr);
  GESTALON_FIELD(refAddr);
  GESTALON_FIELD(op);
  GESTALON_FIELD(constValue);
  GESTALON_FIELD(useConst);
  GESTALON_FIELD(varSize);
  GESTALON_FIELD(refSize);
  GESTALON_FIELD(fileName);
  GESTALON_FIELD(fileFound);
  GESTALON_FIELD(noFile);
  GESTALON_FIELD(asJump);
  GESTALON_FIELD(fileAddr);
  GESTALON_FIELD(comment);
  GESTALON_FIELD(fileStart);
  GESTALON_FIELD(fileEnd);
#undef GESTALON_FIELD
  return fields;
}

}  // namespace gestalon::testing
