#pragma once

// The motion the benchmarks work on: 5,000 blocks by default, as large as motions get.
#include <string>
#include <vector>

#include "motion/motion_document.h"
#include "project/slider_defs.h"

namespace gestalon::bench {

using namespace gestalon::core;

inline constexpr int kBenchBlockCount = 5000;

inline SliderTable BenchSliders() {
  SliderTable sliders{};
  // Two servo channels with a companion slider each, as a robot with switchable servos has.
  for (int k : {40, 41}) {
    sliders[static_cast<std::size_t>(k)].flags2 = SliderFlag2::kServoCompanion;
    sliders[static_cast<std::size_t>(k)].channel = k - 40;
  }
  return sliders;
}

// A large motion: mostly full poses, with branches and calculations linked back and forth and
// a subroutine call every 500 blocks.
inline MotionDocument BenchMotion(int blockCount = kBenchBlockCount) {
  MotionDocument document;
  std::vector<MotionBlock*> blocks;
  MotionBlock start;
  start.type = static_cast<std::int32_t>(BlockKind::Start);
  start.xpos = 50;
  start.ypos = 10;
  start.bluearrow = 6;
  blocks.push_back(&document.Append(start));
  for (int i = 1; i < blockCount - 1; ++i) {
    MotionBlock block;
    block.xpos = 50 + (i % 7) * 120;
    block.ypos = 10 + i * 40;
    block.bluearrow = 6;
    block.redarrow = 6;
    if (i % 25 == 0) {
      block.type = static_cast<std::int32_t>(BlockKind::If);
      block.name = u"IF";
      block.op = static_cast<std::uint16_t>(i % 11);
      block.varAddr = 0x0F00;
      block.varSize = 2;
      block.refAddr = 0x0F02;
      block.refSize = 2;
      block.useConst = i % 2;
      block.constValue = i;
    } else if (i % 25 == 1) {
      block.type = static_cast<std::int32_t>(BlockKind::Calc);
      block.name = u" CALCULATION ";
      block.op = static_cast<std::uint16_t>(i % 10);
      block.varAddr = 0x0F00;
      block.varSize = 2;
      block.refAddr = 0x0F04;
      block.refSize = 1;
      block.useConst = 1;
      block.constValue = -i;
    } else if (i % 500 == 2) {
      block.type = static_cast<std::int32_t>(BlockKind::SubRoutine);
      block.name = u"<<SUB ROUTINE>>";
      block.fileName = u"sub.KX4";
    } else {
      block.type = static_cast<std::int32_t>(BlockKind::Pose);
      block.name = u"P " + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
      block.time = static_cast<std::uint16_t>(20 + i % 80);
      block.interpWait = i % 3 != 0;
      block.servoEnableMask = i % 4 == 0 ? 0x3 : 0;
      for (int s = 0; s < kPoseSlotCount; ++s) {
        block.slots[static_cast<std::size_t>(s)] =
            static_cast<std::int16_t>(7500 + (i * 37 + s * 101) % 4000 - 2000);
      }
    }
    blocks.push_back(&document.Append(block));
  }
  MotionBlock end;
  end.type = static_cast<std::int32_t>(BlockKind::End);
  end.name = u"   END   ";
  end.bluearrow = 16;
  end.redarrow = 46;
  blocks.push_back(&document.Append(end));

  // Mostly straight on; every branch loops back a little way, every 50th block jumps ahead.
  for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
    blocks[i]->next = blocks[i + 1];
    if (i % 50 == 10 && i + 200 < blocks.size()) {
      blocks[i]->next = blocks[i + 200];
    }
    if (blocks[i]->Is(BlockKind::If)) {
      blocks[i]->branch = blocks[i > 20 ? i - 20 : 0];
    }
  }
  return document;
}

}  // namespace gestalon::bench
