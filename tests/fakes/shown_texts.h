#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "recording_ports.h"
#include "strings/text_loader.h"

namespace gestalon::testing {

// The texts of every message the prompter showed, in order.
inline std::vector<std::u16string> ShownTexts(const RecordingPrompter& prompter) {
  std::vector<std::u16string> texts;
  for (const auto& call : prompter.Calls()) {
    texts.push_back(call.text);
  }
  return texts;
}

// The program's texts with these ids, in order: what ShownTexts is compared with.
inline std::vector<std::u16string> Texts(std::initializer_list<int> ids) {
  std::vector<std::u16string> texts;
  for (const int id : ids) {
    texts.push_back(core::LoadText(id));
  }
  return texts;
}

}  // namespace gestalon::testing
