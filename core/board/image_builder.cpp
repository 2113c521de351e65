#include "board/image_builder.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <new>
#include <string>
#include <unordered_map>

#include "board/byte_code.h"
#include "board/motion_compiler.h"
#include "board/settings_image.h"
#include "motion/motion_reader.h"
#include "platform/paths.h"
#include "platform/replacing_file.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/format.h"

namespace gestalon::core {
namespace {

static_assert(CompileKind::kMotion == CopyKind::kUsedMotion &&
              CompileKind::kMainMotion == CopyKind::kMainMotion &&
              CompileKind::kSoundFile == CopyKind::kFirstWriteFile &&
              CompileKind::kDataFile == CopyKind::kFile);

enum class EntryStatus { kNew = 0, kNotOpened = 2, kNotCompilable = 3, kCompiled = 4 };

struct CompileEntry {
  std::u16string name;
  int kind = CompileKind::kMotion;
  EntryStatus status = EntryStatus::kNew;
  std::optional<MotionDocument> motion;
  std::vector<std::uint8_t> code;
  std::uint32_t address = 0;  // code address in the image; 0 until placed
};

bool IsMotion(int kind) {
  return kind == CompileKind::kMotion || kind == CompileKind::kMainMotion;
}

std::u16string FoldedName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') {
      c = static_cast<char16_t>(c - u'A' + u'a');
    }
  }
  return folded;
}

class ImageBuilder : public CompileListPort {
 public:
  ImageBuilder(const ImageBuildContext& context, std::uint32_t overridePercent,
               std::uint32_t baseAddress)
      : context_(context), overridePercent_(overridePercent), baseAddress_(baseAddress) {}

  std::uint32_t CompileListAdd(std::u16string_view fileName, int kind) override {
    return entries_[Add(fileName, kind)].address;
  }

  std::size_t Add(std::u16string_view fileName, int kind) {
    const auto [found, added] = byName_.emplace(FoldedName(fileName), entries_.size());
    if (added) {
      CompileEntry& entry = entries_.emplace_back();
      entry.name = fileName;
      entry.kind = kind;
    }
    return found->second;
  }

  std::optional<MotionImage> Build(std::size_t mainIndex, CopyList& copyList) {
    SetText(WriteDialogText::kStep, LoadText(TextId::kWriteDlgStepCompile));
    std::uint32_t offset = 0;
    int compiledCount = 0;
    // Compiling a motion appends the motions it calls, which this loop then reaches too.
    for (std::size_t e = 0; e < entries_.size(); ++e) {
      if (!IsMotion(entries_[e].kind) || entries_[e].status != EntryStatus::kNew) {
        continue;
      }
      entries_[e].address = baseAddress_ + offset;
      CompileFirst(e);
      CompileEntry& entry = entries_[e];
      if (entry.status == EntryStatus::kCompiled) {
        ++compiledCount;
      }
      SetText(WriteDialogText::kCounts,
              Format(LoadText(TextId::kFmtWriteDlgCompiledCount), entries_.size(), compiledCount));
      SetText(WriteDialogText::kSize, Format(LoadText(TextId::kFmtWriteDlgBinarySize), offset));
      offset += static_cast<std::uint32_t>(entry.code.size());
    }
    if (entries_[mainIndex].status != EntryStatus::kCompiled) {
      return std::nullopt;
    }

    SetText(WriteDialogText::kStep, LoadText(TextId::kWriteDlgStepLink));
    MotionImage image;
    image.startAddress = entries_[mainIndex].address;
    try {
      image.bytes.assign(offset, 0);
    } catch (const std::bad_alloc&) {
      Report(TextId::kFmtMsgCannotBinarize, entries_[mainIndex].name);
      return std::nullopt;
    }
    int remaining = compiledCount;
    for (std::size_t e = 0; e < entries_.size(); ++e) {
      CompileEntry& entry = entries_[e];
      if (!IsMotion(entry.kind)) {
        CopyListAdd(copyList, entry.name, entry.kind);
        continue;
      }
      if (entry.status == EntryStatus::kCompiled) {
        SetText(WriteDialogText::kCounts,
                Format(LoadText(TextId::kFmtWriteDlgLinkRemaining), remaining));
        SetText(WriteDialogText::kCurrentFile, entry.name);
        if (!Link(entry, e == mainIndex)) {
          Report(TextId::kFmtMsgCannotBinarize, entry.name);
          return std::nullopt;
        }
        CopyListAdd(copyList, entry.name, entry.kind);
        --remaining;
      }
      std::copy(entry.code.begin(), entry.code.end(),
                image.bytes.begin() + (entry.address - baseAddress_));
    }
    return image;
  }

 private:
  void SetText(int controlId, std::u16string_view text) const {
    if (context_.progress) {
      context_.progress->SetText(controlId, text);
    }
  }

  void Report(int textId, std::u16string_view name) const {
    if (context_.prompter) {
      context_.prompter->Show(PromptIcon::kError, Format(LoadText(textId), name));
    }
  }

  CompileOptions Options(std::uint32_t address) {
    CompileOptions options;
    options.overridePercent = overridePercent_;
    options.baseAddress = address;
    options.controllerCancelBits = context_.cpu ? context_.cpu->controllerCancelBits : 0;
    options.sliders = context_.sliders;
    options.compileList = this;
    options.prompter = context_.prompter;
    return options;
  }

  // First pass for entry e: read and compile it to learn its size. A motion that cannot be used
  // becomes a lone end instruction, so a call to it returns instead of running into the code
  // placed after it.
  void CompileFirst(std::size_t e) {
    const std::u16string name = entries_[e].name;
    const std::uint32_t address = entries_[e].address;
    SetText(WriteDialogText::kCurrentFile, Format(LoadText(TextId::kFmtWriteDlgLoading), name));
    const SliderTable noCompanions{};
    auto motion =
        ReadMotionFile(ResolveInFolder(context_.projectFolder, name),
                       context_.sliders ? *context_.sliders : noCompanions, context_.prompter);
    EntryStatus status = EntryStatus::kNotCompilable;
    std::optional<std::vector<std::uint8_t>> code;
    if (!motion) {
      Report(TextId::kFmtMsgCannotOpenFile, name);
      status = EntryStatus::kNotOpened;
    } else if (!motion->empty() && (code = CompileMotion(*motion, Options(address)))) {
      status = EntryStatus::kCompiled;
    } else {
      Report(TextId::kFmtMsgCannotBinarize, name);
    }
    CompileEntry& entry = entries_[e];  // the compile may have added entries
    entry.status = status;
    if (status == EntryStatus::kCompiled) {
      entry.motion = std::move(motion);
      entry.code = std::move(*code);
    } else {
      entry.code.assign(1, Opcode::kEnd);
    }
  }

  // Second pass: the same code again, now with every called motion's address known.
  bool Link(CompileEntry& entry, bool main) {
    CompileOptions options = Options(entry.address);
    options.copyRangesTo = main ? context_.editedMotion : nullptr;
    auto code = CompileMotion(*entry.motion, options);
    if (!code || code->size() != entry.code.size()) {
      return false;
    }
    entry.code = std::move(*code);
    return true;
  }

  const ImageBuildContext& context_;
  const std::uint32_t overridePercent_;
  const std::uint32_t baseAddress_;
  std::deque<CompileEntry> entries_;
  std::unordered_map<std::u16string, std::size_t> byName_;
};

}  // namespace

std::optional<MotionImage> BuildMotionImage(const ImageBuildContext& context,
                                            std::u16string_view mainMotion,
                                            std::u16string_view secondMotion,
                                            std::uint32_t overridePercent,
                                            std::uint32_t baseAddress, CopyList& copyList) {
  ImageBuilder builder(context, overridePercent, baseAddress);
  if (!secondMotion.empty()) {
    builder.Add(secondMotion, CompileKind::kMotion);
  }
  const std::size_t mainIndex = builder.Add(mainMotion, CompileKind::kMainMotion);
  return builder.Build(mainIndex, copyList);
}

std::optional<std::vector<std::uint8_t>> BuildStartupImage(const ImageBuildContext& context,
                                                           CopyList& copyList) {
  if (!context.cpu) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> image = BuildSettingsImage(*context.cpu);
  if (context.cpu->startupMotion.empty()) {
    return image;
  }
  auto motion = BuildMotionImage(context, context.cpu->startupMotion, context.cpu->secondMotion,
                                 100, static_cast<std::uint32_t>(image.size()), copyList);
  if (!motion) {
    return std::nullopt;
  }
  if (motion->startAddress != 0) {
    PatchStartupCall(image, motion->startAddress);
  }
  image.insert(image.end(), motion->bytes.begin(), motion->bytes.end());
  return image;
}

bool WriteImageFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
  ReplacingFile out(file);
  if (!out.Valid()) {
    return false;
  }
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out.Stream()) != bytes.size()) {
    return false;
  }
  return out.Commit();
}

bool CreateFolders(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

}  // namespace gestalon::core
