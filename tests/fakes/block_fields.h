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

// A block of `kind` with a value in every field, so that a field a dialog writes by mistake shows.
inline core::MotionBlock FilledBlock(core::BlockKind kind) {
  core::MotionBlock b;
  b.type = static_cast<std::int32_t>(kind);
  b.name = u"old";
  b.label = u"label";
  b.time = 1234;
  b.slots[5] = 77;
  b.nextIndex = 3;
  b.branchIndex = 4;
  b.servoEnableMask = 0x55;
  b.poseConst = 9;
  b.selFlags = core::kBlockSelected;
  b.xpos = 10;
  b.ypos = 20;
  b.rect = {110, 50, 1, 2};
  b.bluearrow = 16;
  b.redarrow = 46;
  b.varAddr = 1;
  b.refAddr = 2;
  b.op = 3;
  b.constValue = 0x12345;
  b.varSize = 4;
  b.refSize = 1;
  b.fileName = u"old.KX4";
  b.fileFound = true;
  b.noFile = true;
  b.asJump = true;
  b.fileAddr = 0x0F00;
  b.comment = u"old comment";
  b.fileStart = 11;
  b.fileEnd = 22;
  return b;
}

}  // namespace gestalon::testing
