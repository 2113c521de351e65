// Feeds arbitrary bytes to the variable definition reader; every name keeps its limit.
#include <cstddef>
#include <cstdint>

#include "fuzz_input_file.h"
#include "variables/variable_defs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gestalon;
  const fuzz::InputFile input(data, size, "memmap.txt");
  const auto& path = input.Path();
  if (const auto defs = core::LoadVariableDefs(path)) {
    for (const core::VariableDef& def : *defs) {
      fuzz::Check(def.name.size() <= core::kVariableNameChars);
    }
  }
  return 0;
}
