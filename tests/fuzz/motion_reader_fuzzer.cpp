// Feeds arbitrary bytes to the motion file reader and checks that what comes back is a sound
// document: every link points at one of its blocks and every text keeps its limit.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_set>

#include "fuzz_input_file.h"
#include "motion/motion_reader.h"

namespace {

using gestalon::core::MotionBlock;
using gestalon::core::MotionDocument;
using gestalon::core::SliderTable;
using gestalon::fuzz::Check;

// Sliders 0..3 are the companions of servo channels 0..3, so servoenable entries change slots.
SliderTable CompanionSliders() {
  SliderTable sliders{};
  for (int k = 0; k < 4; ++k) {
    sliders[static_cast<std::size_t>(k)].flags2 = gestalon::core::SliderFlag2::kServoCompanion;
    sliders[static_cast<std::size_t>(k)].channel = k;
  }
  return sliders;
}

void CheckDocument(const MotionDocument& document, std::size_t size) {
  std::unordered_set<const MotionBlock*> blocks;
  const MotionBlock* previous = nullptr;
  for (const MotionBlock& block : document) {
    Check(block.prev == previous);
    blocks.insert(&block);
    previous = &block;
  }
  Check(document.tail() == previous);
  Check(blocks.size() == static_cast<std::size_t>(document.count()));
  Check(document.current == nullptr);
  for (const MotionBlock& block : document) {
    Check(block.next == nullptr || blocks.count(block.next) == 1);
    Check(block.branch == nullptr || blocks.count(block.branch) == 1);
    Check(block.name.size() <= gestalon::core::kBlockNameChars);
    Check(block.fileName.size() <= gestalon::core::kBlockFileNameChars);
    Check(block.comment.size() <= gestalon::core::kBlockCommentChars);
    Check(block.fileStart <= block.fileEnd && block.fileEnd <= size);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const SliderTable sliders = CompanionSliders();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckDocument(gestalon::core::ReadMotionText(bytes, sliders, nullptr), size);
  return 0;
}
