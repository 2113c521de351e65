#include "motion/motion_reader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <limits>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/code_page.h"
#include "text/truncate.h"

namespace gestalon::core {
namespace {

constexpr std::size_t kTagNameMaxChars = 63;
constexpr std::size_t kFileNameMaxBytes = 259;
constexpr std::size_t kCommentMaxBytes = 255;
constexpr std::int64_t kNewestFormat = 2;
// Open tags whose kind is remembered; deeper ones are only counted.
constexpr std::size_t kTagStackDepth = 256;
// Undo steps name blocks by 16-bit list positions, so no motion holds more blocks; reading stops
// at the block after the last of these. It also bounds the memory a hostile file can claim.
constexpr std::size_t kMaxBlocks =
    static_cast<std::size_t>(std::numeric_limits<decltype(MotionBlock::nextIndex)>::max());
// Larger files are refused as unreadable: far beyond any motion the block limit allows.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;

constexpr std::uint32_t kTimeAddress = 0x0B00;
constexpr std::uint32_t kSlotAddressFirst = 0x0A00;
constexpr std::uint32_t kSlotAddressLast = 0x0AFF;
constexpr std::int64_t kQueuedPosesAddress = 0x0B42;

// Character classes of the file's bytes.
constexpr std::uint8_t kSeparator = 0x1;  // , = blank " TAB CR LF
constexpr std::uint8_t kBlank = 0x2;      // blank TAB CR LF

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (unsigned char c : {',', '=', '"'}) {
    classes[c] = kSeparator;
  }
  for (unsigned char c : {' ', '\t', '\r', '\n'}) {
    classes[c] = kSeparator | kBlank;
  }
  return classes;
}
constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

bool IsSeparator(char c) {
  return (kClasses[static_cast<unsigned char>(c)] & kSeparator) != 0;
}
bool IsBlank(char c) {
  return (kClasses[static_cast<unsigned char>(c)] & kBlank) != 0;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

// Whether the '"' at `pos` closes a quoted value. Captions and file names are written with any
// quotes they contain, so only a quote that is followed by a blank, the end of the tag or the end
// of the text counts as the closing one; this keeps the rest of such a tag readable.
bool ClosesQuote(std::string_view text, std::size_t pos) {
  const std::size_t after = pos + 1;
  if (after >= text.size()) {
    return true;
  }
  const char c = text[after];
  if (IsBlank(c) || c == '>') {
    return true;
  }
  return c == '/' && (after + 1 >= text.size() || text[after + 1] == '>');
}

// Position just past the quote that closes the value starting at `pos`, or the end of the text.
std::size_t SkipQuotedValue(std::string_view text, std::size_t pos) {
  for (; pos < text.size(); ++pos) {
    if (text[pos] == '"' && ClosesQuote(text, pos)) {
      return pos + 1;
    }
  }
  return text.size();
}

std::int16_t Low16(std::int64_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(value)));
}
std::uint16_t LowU16(std::int64_t value) {
  return static_cast<std::uint16_t>(static_cast<std::uint64_t>(value));
}
std::int32_t Low32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}
std::uint32_t LowU32(std::int64_t value) {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value));
}

bool IsLeadByte932(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The first `maxBytes` bytes of an ANSI text, without a double-byte character cut in half.
std::string_view CutAnsi(std::string_view bytes, std::size_t maxBytes) {
  if (bytes.size() <= maxBytes) {
    return bytes;
  }
  std::size_t cut = maxBytes;
  if (SystemAnsiCodePage() == 932) {
    std::size_t i = 0;
    while (i < maxBytes) {
      i += IsLeadByte932(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    }
    if (i > maxBytes) {
      cut = maxBytes - 1;
    }
  }
  return bytes.substr(0, cut);
}

// Texts keep their line breaks as LF in memory; the file holds them as CR LF. Comments also carry
// their quotes as the byte 0x1E.
std::string FileTextBytes(std::string_view value, bool quoteMarks) {
  std::string bytes;
  bytes.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
      continue;
    }
    bytes.push_back(quoteMarks && c == '\x1E' ? '"' : c);
  }
  return bytes;
}

std::u16string NameText(std::string_view value) {
  return TruncateText(FromAnsi(FileTextBytes(value, false)), kBlockNameChars);
}

std::u16string FileNameText(std::string_view value) {
  const std::string bytes = FileTextBytes(value, false);
  return TruncateText(FromAnsi(CutAnsi(bytes, kFileNameMaxBytes)), kBlockFileNameChars);
}

std::u16string CommentText(std::string_view value) {
  const std::string bytes = FileTextBytes(value, true);
  return TruncateText(FromAnsi(CutAnsi(bytes, kCommentMaxBytes)), kBlockCommentChars);
}

enum class Tag : std::uint8_t {
  kOther,
  kFormat,
  kVavid,
  kCalc,
  kBlock,
  kMemR,
  kMemW,
  kComment,
  kServoEnable,
  kWait,
  kVarCalc,
  kVConst,
  kVAddress,
  kFlagConst,
  kJump,
  kCall,
  kFRead,
  kFWrite,
  kPlay,
  kCancel,
  kReturn,
};

Tag TagOf(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, Tag>, 20> kTags{{
      {"format", Tag::kFormat},       {"vavid", Tag::kVavid},
      {"calc", Tag::kCalc},           {"block", Tag::kBlock},
      {"mem_r", Tag::kMemR},          {"mem_w", Tag::kMemW},
      {"comment", Tag::kComment},     {"servoenable", Tag::kServoEnable},
      {"wait", Tag::kWait},           {"varcalc", Tag::kVarCalc},
      {"vconst", Tag::kVConst},       {"vaddress", Tag::kVAddress},
      {"flagconst", Tag::kFlagConst}, {"jump", Tag::kJump},
      {"call", Tag::kCall},           {"fread", Tag::kFRead},
      {"fwrite", Tag::kFWrite},       {"play", Tag::kPlay},
      {"cancel", Tag::kCancel},       {"return", Tag::kReturn},
  }};
  for (const auto& [text, tag] : kTags) {
    if (text == name) {
      return tag;
    }
  }
  return Tag::kOther;
}

// One tag as found in the text: `<` at `start`, `>` at `end`.
struct ScannedTag {
  std::size_t start = 0;
  std::size_t end = 0;
  std::string_view name;
  std::string_view attributes;
  bool closing = false;
  bool selfClosing = false;
};

// Reads the tag whose '<' is at `start`. False when no '>' outside quotes follows.
bool ScanTag(std::string_view text, std::size_t start, ScannedTag& tag) {
  const std::size_t n = text.size();
  std::size_t i = start + 1;
  const auto skipSeparators = [&] {
    while (i < n && IsSeparator(text[i]) && text[i] != '"') {
      ++i;
    }
  };
  skipSeparators();
  tag.closing = i < n && text[i] == '/';
  if (tag.closing) {
    ++i;
    skipSeparators();
  }
  const std::size_t nameStart = i;
  while (i < n && !IsSeparator(text[i]) && text[i] != '/' && text[i] != '>') {
    ++i;
  }
  tag.name = text.substr(nameStart, std::min(i - nameStart, kTagNameMaxChars));
  const std::size_t attributesStart = i;
  std::size_t slash = std::string_view::npos;
  bool quoted = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (quoted) {
      quoted = !(c == '"' && ClosesQuote(text, i));
    } else if (c == '"') {
      quoted = true;
    } else if (c == '/') {
      slash = std::min(slash, i);
    } else if (c == '>') {
      tag.start = start;
      tag.end = i;
      tag.selfClosing = slash != std::string_view::npos;
      tag.attributes = text.substr(attributesStart, std::min(slash, i) - attributesStart);
      return true;
    }
  }
  return false;
}

enum class NextLink : std::uint8_t { kNone, kOffset, kFollowing };

// A block read so far with its links as file offsets, resolved when the whole file is read.
struct PendingBlock {
  MotionBlock* block = nullptr;
  std::int64_t section = 0;  // offset of the block's section
  NextLink nextLink = NextLink::kNone;
  std::int64_t next = 0;
  std::int64_t branch = 0;
};

class MotionTextReader {
 public:
  MotionTextReader(std::string_view text, const SliderTable& sliders, Prompter* prompter)
      : text_(text), endMarker_(static_cast<std::int64_t>(text.size())), prompter_(prompter) {
    for (int k = 0; k < kSliderCount; ++k) {
      const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
      if ((slider.flags2 & SliderFlag2::kServoCompanion) != 0) {
        companions_.emplace_back(slider.channel, k);
      }
    }
  }

  MotionDocument Read() {
    const std::size_t n = text_.size();
    std::size_t i = 0;
    while (i < n && !full_) {
      const char c = text_[i];
      if (IsSeparator(c)) {
        ++i;
      } else if (c == '#') {
        while (i < n && text_[i] != '\n' && text_[i] != '\r') {
          ++i;
        }
      } else if (c == '<') {
        ScannedTag tag;
        if (!ScanTag(text_, i, tag)) {
          break;  // an unterminated tag ends the text
        }
        OnTag(tag);
        i = tag.end + 1;
      } else {
        const std::size_t start = i;
        while (i < n && !IsSeparator(text_[i]) && text_[i] != '#' && text_[i] != '<') {
          ++i;
        }
        OnContent(text_.substr(start, i - start));
      }
    }
    ResolveLinks();
    return std::move(document_);
  }

 private:
  void Push(Tag tag) {
    if (depth_ < kTagStackDepth && overflow_ == 0) {
      stack_[depth_++] = tag;
    } else {
      ++overflow_;
    }
  }

  void Pop() {
    if (overflow_ > 0) {
      --overflow_;
    } else if (depth_ > 0 && stack_[--depth_] == Tag::kCalc) {
      inCalc_ = false;
    }
  }

  bool InnermostIs(Tag tag) const {
    return overflow_ == 0 && depth_ > 0 && stack_[depth_ - 1] == tag;
  }

  void OnTag(const ScannedTag& tag) {
    if (tag.closing) {
      Pop();
      return;
    }
    const Tag kind = TagOf(tag.name);
    Push(kind);
    Act(kind, tag);
    if (tag.selfClosing) {
      Pop();
    }
  }

  static std::int64_t Number(std::string_view attributes, std::string_view name) {
    const auto value = FindAttribute(attributes, name);
    return value ? ParseMotionNumber(*value) : 0;
  }

  void Act(Tag kind, const ScannedTag& tag) {
    const std::string_view attrs = tag.attributes;
    switch (kind) {
      case Tag::kFormat:
        if (Number(attrs, "data") > kNewestFormat && !formatReported_) {
          formatReported_ = true;
          if (prompter_) {
            prompter_->Show(PromptIcon::kError, LoadText(TextId::kMsgFormatMismatch));
          }
        }
        return;
      case Tag::kVavid:
        lastVavid_ = static_cast<std::int64_t>(tag.start);
        return;
      case Tag::kCalc:
        inCalc_ = true;
        return;
      case Tag::kBlock:
        AddBlock(attrs);
        return;
      default:
        break;
    }
    if (pending_.empty()) {
      return;
    }
    PendingBlock& pending = pending_.back();
    MotionBlock& block = *pending.block;
    switch (kind) {
      case Tag::kMemR:
        if (block.Is(BlockKind::Pose) && Number(attrs, "size") == 1 &&
            Number(attrs, "adr") == kQueuedPosesAddress) {
          block.interpWait = false;
        }
        break;
      case Tag::kMemW:
        memWSize_ = LowU32(Number(attrs, "size"));
        memWAddress_ = LowU32(Number(attrs, "adr"));
        break;
      case Tag::kComment:
        block.comment = CommentText(FindAttribute(attrs, "data").value_or(""));
        break;
      case Tag::kServoEnable: {
        const std::int64_t channel = Number(attrs, "size");
        const std::int16_t value = Low16(Number(attrs, "data"));
        if (channel >= 0 && channel < 64) {
          block.servoEnableMask |= std::uint64_t{1} << channel;
        }
        for (const auto& [sliderChannel, slot] : companions_) {
          if (sliderChannel == channel) {
            block.slots[static_cast<std::size_t>(slot)] = value;
          }
        }
        break;
      }
      case Tag::kWait:
        // Only a timed wait is the block's time: the end section's flag wait would otherwise
        // clear the time of a Wait block that is last in the file.
        if (block.Is(BlockKind::Wait)) {
          if (const auto steps = FindAttribute(attrs, "data")) {
            block.time = LowU16(ParseMotionNumber(*steps));
          }
        }
        break;
      case Tag::kVarCalc:
        block.op = LowU16(Number(attrs, "data"));
        block.varAddr = LowU16(Number(attrs, "adr"));
        block.varSize = LowU32(Number(attrs, "size"));
        break;
      case Tag::kVConst:
        block.constValue = block.poseConst = Low32(Number(attrs, "data"));
        break;
      case Tag::kVAddress:
        block.refAddr = LowU16(Number(attrs, "adr"));
        block.refSize = LowU32(Number(attrs, "size"));
        break;
      case Tag::kFlagConst:
        block.useConst = LowU32(Number(attrs, "data"));
        break;
      case Tag::kJump:
        if (const auto file = FindAttribute(attrs, "filename")) {
          if (block.Is(BlockKind::SubRoutine)) {
            block.fileName = FileNameText(*file);
            block.asJump = true;
          }
        } else if (const std::int64_t target = Number(attrs, "adr"); target != 0) {
          SetLink(pending, target);
        }
        break;
      case Tag::kCall:
        if (block.Is(BlockKind::SubRoutine)) {
          block.fileName = FileNameText(FindAttribute(attrs, "filename").value_or(""));
        }
        break;
      case Tag::kFRead:
      case Tag::kFWrite:
        if (block.Is(kind == Tag::kFRead ? BlockKind::FileRead : BlockKind::FileWrite)) {
          block.fileName = FileNameText(FindAttribute(attrs, "filename").value_or(""));
          block.fileAddr = LowU16(Number(attrs, "adr"));
        }
        break;
      case Tag::kPlay:
      case Tag::kCancel:
        if (block.Is(kind == Tag::kPlay ? BlockKind::Sound : BlockKind::Cancel)) {
          if (const auto file = FindAttribute(attrs, "filename")) {
            block.fileName = FileNameText(*file);
          } else {
            block.noFile = true;
          }
        }
        break;
      case Tag::kReturn:
        SetLink(pending, endMarker_);
        break;
      default:
        break;
    }
  }

  // A jump inside a calculation is the red arrow, any other the blue one; the last one counts.
  void SetLink(PendingBlock& pending, std::int64_t target) const {
    if (inCalc_) {
      pending.branch = target;
    } else {
      pending.nextLink = NextLink::kOffset;
      pending.next = target;
    }
  }

  void AddBlock(std::string_view attrs) {
    if (pending_.size() >= kMaxBlocks) {
      full_ = true;
      return;
    }
    MotionBlock record;
    if (const auto name = FindAttribute(attrs, "name")) {
      record.name = NameText(*name);
    }
    record.type = Low32(Number(attrs, "type"));
    record.xpos = Low32(Number(attrs, "xpos"));
    record.ypos = Low32(Number(attrs, "ypos"));
    record.bluearrow = Low32(Number(attrs, "bluearrow"));
    record.redarrow = Low32(Number(attrs, "redarrow"));
    record.fileStart = LowU32(lastVavid_);
    record.interpWait = true;
    MotionBlock& block = document_.Append(record);
    // A section without a jump of its own runs on into the next one.
    if (!pending_.empty() && pending_.back().nextLink == NextLink::kNone) {
      pending_.back().nextLink = NextLink::kFollowing;
    }
    pending_.push_back({&block, lastVavid_, NextLink::kNone, 0, endMarker_});
  }

  void OnContent(std::string_view token) {
    if (pending_.empty() || !InnermostIs(Tag::kMemW)) {
      return;
    }
    MotionBlock& block = *pending_.back().block;
    const std::int64_t value = ParseMotionNumber(token);
    if (memWAddress_ == kTimeAddress) {
      block.time = LowU16(value);
    } else if (memWAddress_ >= kSlotAddressFirst && memWAddress_ <= kSlotAddressLast) {
      block.slots[(memWAddress_ - kSlotAddressFirst) / 2] = Low16(value);
    }
    memWAddress_ += memWSize_;
  }

  // Offsets become blocks: the end marker and offsets where no section starts become none.
  void ResolveLinks() {
    std::unordered_map<std::int64_t, MotionBlock*> bySection;
    bySection.reserve(pending_.size());
    for (const PendingBlock& pending : pending_) {
      bySection.emplace(pending.section, pending.block);  // the first of equal offsets wins
    }
    const auto find = [&](std::int64_t offset) -> MotionBlock* {
      if (offset == endMarker_) {
        return nullptr;
      }
      const auto it = bySection.find(offset);
      return it == bySection.end() ? nullptr : it->second;
    };
    for (std::size_t i = 0; i < pending_.size(); ++i) {
      const PendingBlock& pending = pending_[i];
      MotionBlock& block = *pending.block;
      switch (pending.nextLink) {
        case NextLink::kNone:
          block.next = nullptr;
          break;
        case NextLink::kOffset:
          block.next = find(pending.next);
          break;
        case NextLink::kFollowing:
          block.next = pending_[i + 1].block;
          break;
      }
      block.branch = find(pending.branch);
      block.fileEnd = LowU32(i + 1 < pending_.size() ? pending_[i + 1].section : endMarker_);
    }
  }

  std::string_view text_;
  std::int64_t endMarker_;
  Prompter* prompter_;
  std::vector<std::pair<std::int32_t, int>> companions_;  // servo channel, slider
  MotionDocument document_;
  std::vector<PendingBlock> pending_;
  std::array<Tag, kTagStackDepth> stack_{};
  std::size_t depth_ = 0;
  std::size_t overflow_ = 0;
  bool inCalc_ = false;
  bool formatReported_ = false;
  bool full_ = false;  // the block limit is reached: the rest of the text is not read
  std::int64_t lastVavid_ = 0;
  std::uint32_t memWSize_ = 0;
  std::uint32_t memWAddress_ = 0;
};

}  // namespace

std::int64_t ParseMotionNumber(std::string_view value) {
  const std::size_t n = value.size();
  std::size_t i = 0;
  while (i < n && HexValue(value[i]) < 0 && value[i] != '+' && value[i] != '-' && value[i] != '.') {
    ++i;
  }
  bool negative = false;
  if (i < n && (value[i] == '+' || value[i] == '-')) {
    negative = value[i] == '-';
    ++i;
  }
  if (i + 1 < n && value[i] == '0' && (value[i + 1] == 'x' || value[i + 1] == 'X')) {
    std::uint32_t hex = 0;
    for (i += 2; i < n; ++i) {
      const int digit = HexValue(value[i]);
      if (digit < 0) {
        break;
      }
      hex = hex * 16 + static_cast<std::uint32_t>(digit);
    }
    return negative ? -std::int64_t{hex} : std::int64_t{hex};
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < n && value[i] >= '0' && value[i] <= '9'; ++i) {
    magnitude = std::min(magnitude * 10 + (value[i] - '0'), kLimit);
  }
  return negative ? -magnitude : std::min(magnitude, kLimit - 1);
}

std::optional<std::string_view> FindAttribute(std::string_view attributes, std::string_view name) {
  const std::size_t n = attributes.size();
  std::size_t i = 0;
  while (i < n) {
    if (IsSeparator(attributes[i])) {
      ++i;  // stray quotes and equals signs included
      continue;
    }
    const std::size_t wordStart = i;
    while (i < n && !IsSeparator(attributes[i])) {
      ++i;
    }
    const std::string_view word = attributes.substr(wordStart, i - wordStart);
    std::size_t j = i;
    while (j < n && IsBlank(attributes[j])) {
      ++j;
    }
    if (j >= n || attributes[j] != '=') {
      continue;  // a word that names no attribute
    }
    ++j;
    while (j < n && IsBlank(attributes[j])) {
      ++j;
    }
    const bool quoted = j < n && attributes[j] == '"';
    if (EqualIgnoringCase(word, name)) {
      if (!quoted) {
        return attributes.substr(j, 0);
      }
      const std::size_t open = j + 1;
      const std::size_t close = std::min(attributes.find('"', open), n);
      return attributes.substr(open, std::min(close - open, kMotionAttributeMaxBytes));
    }
    i = quoted ? SkipQuotedValue(attributes, j + 1) : j;
  }
  return std::nullopt;
}

MotionDocument ReadMotionText(std::string_view bytes, const SliderTable& sliders,
                              Prompter* prompter) {
  return MotionTextReader(bytes, sliders, prompter).Read();
}

std::optional<MotionDocument> ReadMotionFile(const std::filesystem::path& file,
                                             const SliderTable& sliders, Prompter* prompter) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::string bytes;
  std::error_code error;
  if (const auto size = std::filesystem::file_size(file, error); !error) {
    if (size > kMaxFileBytes) {
      return std::nullopt;
    }
    bytes.reserve(static_cast<std::size_t>(size));
  }
  std::array<char, 65536> chunk;
  while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
    bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxFileBytes) {
      return std::nullopt;
    }
  }
  if (in.bad()) {
    return std::nullopt;
  }
  return ReadMotionText(bytes, sliders, prompter);
}

}  // namespace gestalon::core
