#include "motion/motion_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

#include "cpusettings/cpu_settings.h"
#include "platform/replacing_file.h"
#include "text/code_page.h"

namespace gestalon::core {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr int kSlotsPerLine = 24;
constexpr int kServoChannels = 32;  // channels a pose can switch
constexpr std::size_t kCommentMaxBytes = 255;

// The flag wait that ends a pose, a sound, a subroutine call and the motion itself.
constexpr std::string_view kWaitIdle = "<wait size=\"1\" adr=\"0x0b43\"/>";

// Comparison pairs of the branch kinds, by operator code.
constexpr std::array<std::array<std::string_view, 2>, 11> kBranchPairs = {{
    {"<sub/>", "<eq/>"},
    {"<sub/>", "<ne/>"},
    {"<sub/>", "<ge/>"},
    {"<sub/>", "<gt/>"},
    {"<sub/>", "<le/>"},
    {"<sub/>", "<lt/>"},
    {"<mod/>", "<eq/>"},
    {"<and/>", "<ne/>"},
    {"<xor/>", "<eq/>"},
    {"<or/>", "<gt/>"},
    {"<and/>", "<lt/>"},
}};

// Operator tags of calculation blocks for op 1..9; assignment has none.
constexpr std::array<std::string_view, 10> kCalcOperators = {
    "", "<add/>", "<sub/>", "<mul/>", "<div/>", "<mod/>", "<and/>", "<or/>", "<xor/>", "<not/>",
};

// Builds the text in one pass. Jump addresses are written as eight zero digits and filled in
// at the end, when every section's offset (and the end section's) is known; the fixed width
// keeps every offset independent of the addresses.
class MotionTextWriter {
 public:
  MotionTextWriter(const SliderTable& sliders, std::uint32_t speedPercent,
                   const MotionBlock* startBlock)
      : speedFactor_(static_cast<float>(speedPercent) / 100.0f), startBlock_(startBlock) {
    for (int k = 0; k < kSliderCount; ++k) {
      const SliderDef& slider = sliders[static_cast<std::size_t>(k)];
      if ((slider.flags2 & SliderFlag2::kServoCompanion) != 0 && slider.channel >= 0 &&
          slider.channel < kServoChannels) {
        companionBit_[static_cast<std::size_t>(k)] = std::uint32_t{1} << slider.channel;
        companions_.push_back(k);
      }
    }
  }

  std::string Build(const MotionDocument& document) {
    out_.reserve(EstimatedSize(document));
    Put("<vavid>\r\n\t<format data=\"2\"/>\r\n</vavid>\r\n\r\n\r\n");
    for (MotionBlock& block : document) {
      Section(block);
    }
    const auto endOffset = Offset();
    Line(kWaitIdle);
    for (const Patch& patch : patches_) {
      WriteHex8(out_.data() + patch.position, patch.target ? patch.target->fileStart : endOffset);
    }
    return std::move(out_);
  }

 private:
  struct Patch {
    std::size_t position;       // first of the eight address digits
    const MotionBlock* target;  // null: the end section
  };

  static std::size_t EstimatedSize(const MotionDocument& document) {
    std::size_t size = 128;
    for (const MotionBlock& block : document) {
      size += (block.Is(BlockKind::Pose) ? 1280 : 480) + 2 * block.name.size() +
              2 * block.fileName.size() + 2 * block.comment.size();
    }
    return size;
  }

  std::uint32_t Offset() const { return static_cast<std::uint32_t>(out_.size()); }

  void Put(std::string_view piece) { out_.append(piece); }

  void Tabs() { out_.append(static_cast<std::size_t>(depth_), '\t'); }

  void PutDecimal(std::int64_t value) {
    char buffer[24];
    char* end = buffer + sizeof buffer;
    char* p = end;
    std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    do {
      *--p = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
      *--p = '-';
    }
    out_.append(p, static_cast<std::size_t>(end - p));
  }

  // "%d" of a 32-bit field: unsigned fields print as their signed reading.
  void PutInt32(std::uint32_t value) { PutDecimal(static_cast<std::int32_t>(value)); }

  static char* WriteHex4(char* p, std::uint16_t value) {
    p[0] = '0';
    p[1] = 'x';
    p[2] = kHexDigits[(value >> 12) & 0xF];
    p[3] = kHexDigits[(value >> 8) & 0xF];
    p[4] = kHexDigits[(value >> 4) & 0xF];
    p[5] = kHexDigits[value & 0xF];
    return p + 6;
  }

  static void WriteHex8(char* p, std::uint32_t value) {
    for (int i = 7; i >= 0; --i) {
      p[i] = kHexDigits[value & 0xF];
      value >>= 4;
    }
  }

  void PutHex4(std::uint16_t value) {
    char buffer[6];
    WriteHex4(buffer, value);
    out_.append(buffer, sizeof buffer);
  }

  // Text bytes from memory: each LF becomes CR LF, a CR LF pair stays one line break.
  void PutText(std::string_view bytes) {
    char previous = '\0';
    for (const char c : bytes) {
      if (c == '\n' && previous != '\r') {
        out_.push_back('\r');
      }
      out_.push_back(c);
      previous = c;
    }
  }

  // A name or file name in the ANSI code page; plain ASCII needs no conversion.
  void PutAnsiText(std::u16string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; })) {
      char16_t previous = u'\0';
      for (const char16_t c : text) {
        if (c == u'\n' && previous != u'\r') {
          out_.push_back('\r');
        }
        out_.push_back(static_cast<char>(c));
        previous = c;
      }
      return;
    }
    PutText(ToAnsi(text));
  }

  void OpenTag(std::string_view tagText) {
    Tabs();
    out_.push_back('<');
    Put(tagText);
    Put(">\r\n");
    ++depth_;
  }

  void CloseTag(std::string_view name) {
    --depth_;
    Put("</");
    Put(name);
    Put(">\r\n");
  }

  void Line(std::string_view piece) {
    Tabs();
    Put(piece);
    Put("\r\n");
  }

  void SizeAddressTag(std::string_view tag, std::uint32_t size, std::uint16_t address) {
    Tabs();
    out_.push_back('<');
    Put(tag);
    Put(" size=\"");
    PutInt32(size);
    Put("\" adr=\"");
    PutHex4(address);
    Put("\"/>\r\n");
  }

  void DataTag(std::string_view tag, std::int64_t data) {
    Tabs();
    out_.push_back('<');
    Put(tag);
    Put(" data=\"");
    PutDecimal(data);
    Put("\"/>\r\n");
  }

  void FileTag(std::string_view tag, const std::u16string& fileName) {
    Tabs();
    out_.push_back('<');
    Put(tag);
    Put(" filename=\"");
    PutAnsiText(fileName);
    Put("\"/>\r\n");
  }

  void FileAddressTag(std::string_view tag, const MotionBlock& block) {
    Tabs();
    out_.push_back('<');
    Put(tag);
    Put(" filename=\"");
    PutAnsiText(block.fileName);
    Put("\" adr=\"");
    PutHex4(block.fileAddr);
    Put("\"/>\r\n");
  }

  // A jump whose address is known now (the pose's polling loop).
  void JumpTo(std::uint32_t address) {
    Tabs();
    Put("<jump adr=\"0x");
    out_.append(8, '0');
    WriteHex8(out_.data() + out_.size() - 8, address);
    Put("\"/>\r\n");
  }

  // A jump to a block's section, or to the end section when `target` is null.
  void JumpToBlock(const MotionBlock* target) {
    Tabs();
    Put("<jump adr=\"0x");
    patches_.push_back({out_.size(), target});
    out_.append(8, '0');
    Put("\"/>\r\n");
  }

  // The blue arrow of a non-branching kind. A target that is the next section needs no jump;
  // an End target is named after the end section so that a reader keeps the End block.
  void NextJumps(const MotionBlock& block) {
    const MotionBlock* target = block.next;
    if (startBlock_ && block.Is(BlockKind::Start)) {
      target = startBlock_;
    }
    if (!target) {
      JumpToBlock(nullptr);
    } else if (target->Is(BlockKind::End)) {
      JumpToBlock(nullptr);
      JumpToBlock(target);
    } else if (target != block.nextInList) {
      JumpToBlock(target);
    }
  }

  // The editor parameters of calculation and branch blocks, inside the open vavid element.
  void VarcalcRecord(const MotionBlock& block) {
    Tabs();
    Put("<varcalc size=\"");
    PutInt32(block.varSize);
    Put("\" data=\"");
    PutDecimal(block.op);
    Put("\" adr=\"");
    PutHex4(block.varAddr);
    Put("\">\r\n");
    ++depth_;
    DataTag("vconst", block.constValue);
    SizeAddressTag("vaddress", block.refSize, block.refAddr);
    DataTag("flagconst", static_cast<std::int32_t>(block.useConst));
    CloseVarcalc();
  }

  // The one closing tag that starts on a line of its own at its element's level.
  void CloseVarcalc() {
    --depth_;
    Put("\r\n");
    Tabs();
    Put("</varcalc>\r\n");
  }

  void SecondOperand(const MotionBlock& block) {
    if (block.useConst != 0) {
      DataTag("const", static_cast<std::int16_t>(block.constValue));
    } else {
      SizeAddressTag("mem_r", block.refSize, block.refAddr);
    }
  }

  void PoseLines(const MotionBlock& block) {
    const std::uint32_t switched = static_cast<std::uint32_t>(block.servoEnableMask);
    OpenTag("mem_w size=\"2\" adr=\"0x0a00\"");
    char line[1 + kSlotsPerLine * 7 + 2];
    for (int first = 0; first < kPoseSlotCount; first += kSlotsPerLine) {
      char* p = line;
      *p++ = '\t';
      const int last = std::min(first + kSlotsPerLine, kPoseSlotCount);
      for (int i = first; i < last; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        const bool zeroed = (companionBit_[slot] & switched) != 0;
        p = WriteHex4(p, zeroed ? 0 : static_cast<std::uint16_t>(block.slots[slot]));
        if (i != kPoseSlotCount - 1) {
          *p++ = ',';
        }
      }
      *p++ = '\r';
      *p++ = '\n';
      out_.append(line, static_cast<std::size_t>(p - line));
    }
    CloseTag("mem_w");

    Tabs();
    Put("<mem_w size=\"2\" adr=\"0x0b00\">");
    PutHex4(ScaledTime(block.time));
    Put("</mem_w>\r\n");

    if (block.interpWait) {
      Line(kWaitIdle);
    } else {
      // Wait one step at a time while more than 3 poses are queued for interpolation.
      const std::uint32_t waitLine = Offset() + static_cast<std::uint32_t>(depth_);
      Line("<wait data=\"1\"/>");
      OpenTag("calc");
      SizeAddressTag("mem_r", 1, 0x0B42);
      Line("<const data=\"3\"/>");
      Line("<sub/>");
      Line("<gt/>");
      JumpTo(waitLine);
      CloseTag("calc");
    }
    DataTag("vconst", block.poseConst);

    if (block.servoEnableMask != 0) {
      OpenTag("vavid");
      for (int channel = 0; channel < kServoChannels; ++channel) {
        if ((switched & (std::uint32_t{1} << channel)) == 0) {
          continue;
        }
        for (const int k : companions_) {
          const auto slot = static_cast<std::size_t>(k);
          if (companionBit_[slot] != std::uint32_t{1} << channel) {
            continue;
          }
          Tabs();
          Put("<servoenable size=\"");
          PutDecimal(channel);
          Put("\" data=\"");
          PutDecimal(block.slots[slot]);
          Put("\"/>\r\n");
        }
      }
      CloseTag("vavid");
    }
  }

  // trunc(time x factor) in single precision. Times beyond 16 bits stay at the longest time
  // instead of wrapping round to a short one.
  std::uint16_t ScaledTime(std::uint16_t time) const {
    const float scaled = static_cast<float>(time) * speedFactor_;
    if (!(scaled < 65535.0f)) {
      return 65535;
    }
    return static_cast<std::uint16_t>(scaled);
  }

  void BranchLines(const MotionBlock& block) {
    const bool fixedOperands = block.op == BranchOp::kAlways || block.op == BranchOp::kNever;
    OpenTag("calc");
    if (fixedOperands) {
      Line("<const data=\"0\"/>");
      Line("<const data=\"1\"/>");
    } else {
      SizeAddressTag("mem_r", block.varSize, block.varAddr);
      SecondOperand(block);
    }
    if (block.op < kBranchPairs.size()) {
      Line(kBranchPairs[block.op][0]);
      Line(kBranchPairs[block.op][1]);
    }
    JumpToBlock(block.branch);
    CloseTag("calc");
    JumpToBlock(block.next);
  }

  void CalcLines(const MotionBlock& block) {
    OpenTag("calc");
    if (block.op != CalcOp::kAssign && block.op != CalcOp::kNot) {
      SizeAddressTag("mem_r", block.varSize, block.varAddr);
    }
    SecondOperand(block);
    if (block.op >= 1 && block.op < kCalcOperators.size()) {
      Line(kCalcOperators[block.op]);
    }
    SizeAddressTag("mem_w", block.varSize, block.varAddr);
    CloseTag("calc");
  }

  // At most 255 bytes in the code page, never half a character or half a line break; quotes
  // become 0x1E so that the attribute value stays whole.
  void CommentLine(const MotionBlock& block) {
    std::size_t consumed = 0;
    std::string bytes = ToAnsiCut(block.comment, kCommentMaxBytes, &consumed);
    if (!bytes.empty() && bytes.back() == '\r' && consumed < block.comment.size() &&
        block.comment[consumed] == u'\n') {
      bytes.pop_back();
    }
    std::replace(bytes.begin(), bytes.end(), '"', '\x1e');
    Put("\t<comment data=\"");
    PutText(bytes);
    Put("\" />\r\n");
  }

  void Section(MotionBlock& block) {
    block.fileStart = Offset();
    OpenTag("vavid");
    Tabs();
    Put("<block name=\"");
    PutAnsiText(block.name);
    Put("\" type=\"");
    PutDecimal(block.type);
    Put("\" xpos=\"");
    PutDecimal(block.xpos);
    Put("\" ypos=\"");
    PutDecimal(block.ypos);
    Put("\" bluearrow=\"");
    PutDecimal(block.bluearrow);
    Put("\" redarrow=\"");
    PutDecimal(block.redarrow);
    Put("\"/>\r\n");

    if (block.type < 0 || block.type >= kBlockKindCount) {
      CloseTag("vavid");
      Put("\r\n");
      block.fileEnd = Offset();
      return;
    }
    switch (block.kind()) {
      case BlockKind::If:
      case BlockKind::PadIf:
        VarcalcRecord(block);
        CloseTag("vavid");
        BranchLines(block);
        break;
      case BlockKind::Calc:
        VarcalcRecord(block);
        CloseTag("vavid");
        CalcLines(block);
        NextJumps(block);
        break;
      case BlockKind::Comment:
        CommentLine(block);
        CloseTag("vavid");
        NextJumps(block);
        break;
      default:
        CloseTag("vavid");
        KindLines(block);
        if (!block.Is(BlockKind::End)) {
          NextJumps(block);
        }
        break;
    }
    Put("\r\n\r\n");
    block.fileEnd = Offset();
  }

  // The kinds whose editor section closes right after the block line.
  void KindLines(const MotionBlock& block) {
    switch (block.kind()) {
      case BlockKind::Pose:
        PoseLines(block);
        break;
      case BlockKind::End:
        Line(kWaitIdle);
        Line("<return/>");
        break;
      case BlockKind::SubRoutine:
        Line(kWaitIdle);
        FileTag(block.asJump ? "jump" : "call", block.fileName);
        break;
      case BlockKind::Sound:
      case BlockKind::Cancel: {
        const std::string_view tag = block.Is(BlockKind::Sound) ? "play" : "cancel";
        if (block.noFile) {
          Tabs();
          out_.push_back('<');
          Put(tag);
          Put("/>\r\n");
        } else {
          Line(kWaitIdle);
          FileTag(tag, block.fileName);
        }
        if (block.useConst != 0) {
          DataTag("flagconst", static_cast<std::int32_t>(block.useConst));
        }
        break;
      }
      case BlockKind::FileRead:
        FileAddressTag("fread", block);
        break;
      case BlockKind::FileWrite:
        FileAddressTag("fwrite", block);
        break;
      case BlockKind::Wait:
        DataTag("wait", block.time);
        break;
      case BlockKind::InterpChange:
        // The parameter record shares its first line with the opening tag.
        Tabs();
        Put("<varcalc size=\"");
        PutInt32(block.varSize);
        Put("\" data=\"");
        PutDecimal(block.op);
        Put("\" adr=\"");
        PutHex4(block.varAddr);
        Put("\">");
        ++depth_;
        SizeAddressTag("vaddress", block.refSize, block.refAddr);
        CloseVarcalc();
        break;
      default:  // Start
        break;
    }
  }

  const float speedFactor_;
  const MotionBlock* const startBlock_;
  std::array<std::uint32_t, kSliderCount> companionBit_{};  // channel bit of companion sliders
  std::vector<int> companions_;                             // companion sliders in order
  std::string out_;
  int depth_ = 0;
  std::vector<Patch> patches_;
};

}  // namespace

std::string BuildMotionFileText(const MotionDocument& document, const SliderTable& sliders,
                                std::uint32_t speedPercent, const MotionBlock* startBlock) {
  return MotionTextWriter(sliders, speedPercent, startBlock).Build(document);
}

bool WriteMotionFile(const std::filesystem::path& path, const MotionDocument& document,
                     const SliderTable& sliders, std::uint32_t speedPercent,
                     const MotionBlock* startBlock) {
  const std::string text = BuildMotionFileText(document, sliders, speedPercent, startBlock);
  ReplacingFile file(path);
  if (!file.Valid()) {
    return false;
  }
  if (std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size()) {
    return false;
  }
  return file.Commit();
}

}  // namespace gestalon::core
