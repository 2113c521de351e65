#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <tuple>

#include "motion/motion_document.h"

// Short ways to wire up motion blocks in tests.
namespace gestalon::testing {

// The operands of a calculation or branch block.
inline void SetOperands(core::MotionBlock& block, std::uint16_t op, std::uint32_t varSize,
                        std::uint16_t varAddr, std::uint32_t refSize, std::uint16_t refAddr,
                        std::uint32_t useConst, std::int32_t constValue) {
  block.op = op;
  block.varSize = varSize;
  block.varAddr = varAddr;
  block.refSize = refSize;
  block.refAddr = refAddr;
  block.useConst = useConst;
  block.constValue = constValue;
}

// Each block's next arrow goes to the block after it.
inline void Chain(std::initializer_list<core::MotionBlock*> blocks) {
  core::MotionBlock* previous = nullptr;
  for (core::MotionBlock* block : blocks) {
    if (previous) {
      previous->next = block;
    }
    previous = block;
  }
}

// The fields of a block that the motion file carries, for its kind.
inline auto OperandFields(const core::MotionBlock& b) {
  return std::tie(b.op, b.varAddr, b.refAddr, b.varSize, b.refSize, b.constValue, b.useConst);
}

// Every field the motion file carries, and the links as list positions, are the same.
inline void ExpectSameBlocks(const core::MotionDocument& a, const core::MotionDocument& b) {
  ASSERT_EQ(a.count(), b.count());
  for (int i = 0; i < a.count(); ++i) {
    const core::MotionBlock& x = *a.At(i);
    const core::MotionBlock& y = *b.At(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(std::tie(x.name, x.type, x.xpos, x.ypos, x.bluearrow, x.redarrow, x.fileStart),
              std::tie(y.name, y.type, y.xpos, y.ypos, y.bluearrow, y.redarrow, y.fileStart));
    EXPECT_EQ(a.IndexOf(x.next), b.IndexOf(y.next));
    EXPECT_EQ(a.IndexOf(x.branch), b.IndexOf(y.branch));
    if (x.Is(core::BlockKind::Pose)) {
      EXPECT_EQ(x.slots, y.slots);
      EXPECT_EQ(std::tie(x.time, x.servoEnableMask, x.poseConst, x.interpWait),
                std::tie(y.time, y.servoEnableMask, y.poseConst, y.interpWait));
    }
    if (x.Is(core::BlockKind::Calc) || x.Is(core::BlockKind::If) || x.Is(core::BlockKind::PadIf)) {
      EXPECT_EQ(OperandFields(x), OperandFields(y));
    }
    EXPECT_EQ(std::tie(x.fileName, x.noFile, x.asJump, x.comment),
              std::tie(y.fileName, y.noFile, y.asJump, y.comment));
    if (x.Is(core::BlockKind::Wait)) {
      EXPECT_EQ(x.time, y.time);
    }
  }
}

}  // namespace gestalon::testing
