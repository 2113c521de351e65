#include "strings/text_loader.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kMaxTextLength = 4095;

}  // namespace

TextLoader::TextLoader() : builtIn_(StringTable::Parse(EmbeddedStringTable())) {}

TextLoader::TextLoader(StringTable builtIn) : builtIn_(std::move(builtIn)) {}

void TextLoader::SetLanguageModule(StringTable module) {
  module_ = std::move(module);
}

void TextLoader::ClearLanguageModule() {
  module_.reset();
}

std::u16string TextLoader::Load(int id) const {
  const std::u16string* text = module_ ? module_->Find(id) : nullptr;
  if (!text) {
    text = builtIn_.Find(id);
  }
  if (!text) {
    return {};
  }
  return text->substr(0, kMaxTextLength);
}

TextLoader& ProgramTexts() {
  static TextLoader loader;
  return loader;
}

std::u16string LoadText(int id) {
  return ProgramTexts().Load(id);
}

}  // namespace gestalon::core
