#include "board_commands.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <random>
#include <vector>

#include "board/board_link.h"
#include "board/board_write.h"
#include "board/byte_code.h"
#include "board/settings_image.h"
#include "card_files.h"
#include "cli_app.h"
#include "cli_project.h"
#include "collecting_prompter.h"
#include "json_text.h"
#include "platform/devmem_file.h"
#include "platform/folders.h"
#include "project/project_loader.h"
#include "strings/text_id.h"
#include "strings/text_loader.h"
#include "text/code_page.h"
#include "virtual_board.h"

namespace gestalon::cli {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr char kDevmemName[] = "DEVMEM";

// ---- write

// Collects the messages like CollectingPrompter but declines every question: nobody is there to
// answer, and going on (a flush retried while other programs hold the drive's files) would never
// end.
class DecliningPrompter : public CollectingPrompter {
 public:
  core::PromptAnswer Ask(core::PromptIcon icon, std::u16string_view text,
                         core::PromptButtons buttons) override {
    CollectingPrompter::Ask(icon, text, buttons);
    switch (buttons) {
      case core::PromptButtons::kOkCancel:
      case core::PromptButtons::kYesNoCancel:
        return core::PromptAnswer::kCancel;
      case core::PromptButtons::kYesNo:
        return core::PromptAnswer::kNo;
      default:
        return core::PromptAnswer::kOk;
    }
  }
};

// The drive named on the command line. DEVMEM is opened only when the folder has one: opening
// would otherwise create it, and a plain file in a card folder answers no board.
core::BoardDrive NamedDrive(const fs::path& root, const std::string& label) {
  core::BoardDrive drive;
  drive.root = root;
  drive.label = core::FromUtf8(label);
  drive.openDevmem = [root]() -> std::unique_ptr<core::DevmemPort> {
    std::error_code ec;
    if (!fs::exists(root / kDevmemName, ec)) {
      return nullptr;
    }
    return core::OpenDevmemFile(root);
  };
  return drive;
}

// Last-write times of the drive's files (DEVMEM aside), by their path below the root.
std::map<fs::path, fs::file_time_type> DriveFiles(const fs::path& root) {
  std::map<fs::path, fs::file_time_type> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code entryError;
    if (!it->is_regular_file(entryError) || it->path().filename() == kDevmemName) {
      continue;
    }
    const auto time = it->last_write_time(entryError);
    if (!entryError) {
      files[it->path().lexically_relative(root)] = time;
    }
  }
  return files;
}

std::vector<std::string> ChangedFiles(const std::map<fs::path, fs::file_time_type>& before,
                                      const std::map<fs::path, fs::file_time_type>& after) {
  std::vector<std::string> changed;
  for (const auto& [path, time] : after) {
    const auto old = before.find(path);
    if (old == before.end() || old->second != time) {
      changed.push_back(core::ToUtf8(core::TextFromPath(path)));
    }
  }
  return changed;
}

// ---- simulate

// A card folder of its own for one simulation: the project folder's files as a write puts them
// on the card, so sound and data files resolve, and file writes of the program never touch the
// project. Removed with everything in it.
class TemporaryCard {
 public:
  TemporaryCard() {
    std::random_device random;
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const fs::path candidate = base / ("gestalon-card-" + std::to_string(random()));
      if (fs::create_directory(candidate, ec)) {
        path_ = candidate;
      }
    }
  }
  ~TemporaryCard() {
    if (!path_.empty()) {
      std::error_code ec;
      fs::remove_all(path_, ec);
    }
  }
  TemporaryCard(const TemporaryCard&) = delete;
  TemporaryCard& operator=(const TemporaryCard&) = delete;

  // Empty when no folder could be made.
  const fs::path& Path() const { return path_; }

  // Copies the files of `folder` and its subfolders. STARTUP.BIN stays behind: the simulated
  // board plays the given image, not the start-up motion; DEVMEM is the board's, not a file.
  bool CopyFrom(const fs::path& folder) const {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path relative = it->path().lexically_relative(folder);
      std::error_code entryError;
      if (it->is_directory(entryError)) {
        fs::create_directories(path_ / relative, entryError);
      } else if (it->is_regular_file(entryError) && relative != "STARTUP.BIN" &&
                 relative != kDevmemName) {
        fs::copy_file(it->path(), path_ / relative, fs::copy_options::overwrite_existing,
                      entryError);
      }
      if (entryError) {
        return false;
      }
    }
    return !ec;
  }

 private:
  fs::path path_;
};

std::uint32_t ControlCycle(const sim::VirtualBoard& board) {
  const std::uint32_t cycle = board.Word32(sim::kControlCycleAddress);
  return cycle == 0 ? sim::VirtualBoard::kDefaultControlCycle : cycle;
}

// Runs the settings program until it idles on its closing jump, as the board does at power-on
// before any motion. False when it stopped on an error instead.
bool ApplySettings(sim::VirtualBoard& board, const core::CpuSettings& settings) {
  const std::vector<std::uint8_t> program = core::BuildSettingsImage(settings);
  const std::uint32_t closingJump = static_cast<std::uint32_t>(program.size()) - 5;
  board.RunImage(program);
  for (int unit = 0; unit < 100 && board.Running(); ++unit) {
    board.Advance(ControlCycle(board));
    if (board.CodeAddress() == closingJump) {
      return true;
    }
  }
  return false;
}

// Milliseconds as a JSON number: whole when they are.
Json Milliseconds(std::uint64_t microseconds) {
  if (microseconds % 1000 == 0) {
    return microseconds / 1000;
  }
  return static_cast<double>(microseconds) / 1000.0;
}

struct BoardError {
  std::uint32_t address = 0;
  std::string text;
  bool operator==(const BoardError&) const = default;
};

BoardError ReadBoardError(const sim::VirtualBoard& board) {
  BoardError error;
  error.address = board.Word32(sim::kErrorAddressAddress);
  std::array<std::uint8_t, sim::kErrorTextSize> text{};
  board.ReadMemory(sim::kErrorTextAddress, text);
  for (std::uint8_t c : text) {
    if (c == 0) {
      break;
    }
    error.text.push_back(static_cast<char>(c));
  }
  return error;
}

void PrintBoardError(const BoardError& error, std::ostream& err) {
  err << "gestalon-cli: the board reports at code address " << error.address << ": "
      << core::ToUtf8(core::FromAnsi(error.text)) << "\n";
}

// What the board did within one control cycle, in order.
struct BoardEvent {
  bool move = false;
  sim::ServoMove servoMove;
  std::uint32_t block = 0;
};

}  // namespace

std::optional<std::uint16_t> ParsePadWord(const std::string& text) {
  std::string_view digits = text;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    digits.remove_prefix(2);
  }
  if (digits.empty() || digits.size() > 4) {
    return std::nullopt;
  }
  std::uint16_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || end != digits.data() + digits.size()) {
    return std::nullopt;
  }
  return value;
}

int RunWriteCommand(const std::string& projectPath, const std::string& drivePath, std::ostream& out,
                    std::ostream& err) {
  const auto project = LoadCliProject(projectPath, err, true);
  if (!project) {
    return kExitError;
  }
  std::error_code ec;
  const fs::path root = fs::absolute(ArgumentPath(drivePath), ec);
  if (ec || !fs::is_directory(root, ec)) {
    err << "gestalon-cli: " << core::ToUtf8(core::LoadText(core::TextId::kMsgRobotNotConnected))
        << "\n"
        << "gestalon-cli: no board drive at " << drivePath << "\n";
    return kExitError;
  }
  const bool hasDevmem = fs::exists(root / kDevmemName, ec);
  const auto filesBefore = DriveFiles(root);

  core::BoardLink link;
  DecliningPrompter prompter;
  core::BoardWriteTask task;
  task.link = &link;
  task.project = &*project;
  task.settings = project->cpu;
  task.namedDrive = NamedDrive(root, drivePath);
  task.prompter = &prompter;
  const int result = core::WriteToBoard(task);
  PrintMessages(prompter.texts, err);
  if (result != 1) {
    err << "gestalon-cli: writing to " << drivePath << " failed\n";
    return kExitError;
  }

  const fs::path image = ProjectFilePath(project->project, u"STARTUP.BIN");
  const std::uintmax_t imageSize = fs::file_size(image, ec);
  out << "STARTUP.BIN: " << (ec ? 0 : imageSize) << " bytes\n";
  const std::vector<std::string> copied = ChangedFiles(filesBefore, DriveFiles(root));
  out << "copied:";
  for (const std::string& name : copied) {
    out << " " << name;
  }
  out << (copied.empty() ? " nothing\n" : "\n");
  out << "board memory: " << (task.settingsLoaded ? "settings loaded" : "settings not loaded")
      << "\n";

  const std::u16string done = core::LoadText(core::TextId::kMsgWriteDone);
  const bool otherMessages = std::any_of(prompter.texts.begin(), prompter.texts.end(),
                                         [&](const std::u16string& text) { return text != done; });
  bool ok = task.flushed && !otherMessages;
  if (!task.settingsLoaded) {
    if (hasDevmem) {
      err << "gestalon-cli: the settings could not be loaded into the board's memory\n";
      ok = false;
    } else {
      err << "gestalon-cli: note: " << drivePath
          << " has no DEVMEM; the board loads the settings from STARTUP.BIN when it starts\n";
    }
  }
  return ok ? kExitOk : kExitError;
}

int RunSimulateCommand(const std::string& projectPath, const std::string& imagePath,
                       int milliseconds, const std::string& pad, std::ostream& out,
                       std::ostream& err) {
  if (milliseconds < 0) {
    err << "gestalon-cli: --ms takes a number of milliseconds, 0 or more\n";
    return kExitUsage;
  }
  std::optional<std::uint16_t> padWord;
  if (!pad.empty()) {
    padWord = ParsePadWord(pad);
    if (!padWord) {
      err << "gestalon-cli: --pad takes a 16-bit hexadecimal word, e.g. 0x0010\n";
      return kExitUsage;
    }
  }
  const auto project = LoadCliProject(projectPath, err, true);
  if (!project) {
    return kExitError;
  }
  auto image = sim::ReadCardFile(ArgumentPath(imagePath), sim::BytecodeInterpreter::kMaxImageSize);
  if (!image) {
    err << "gestalon-cli: cannot read " << imagePath << "\n";
    return kExitError;
  }

  TemporaryCard card;
  if (card.Path().empty() || !card.CopyFrom(core::PathFromText(project->project.folder))) {
    err << "gestalon-cli: cannot make the virtual board's card from the project folder\n";
    return kExitError;
  }
  sim::VirtualBoard board(card.Path());
  if (!ApplySettings(board, project->cpu)) {
    PrintBoardError(ReadBoardError(board), err);
    err << "gestalon-cli: the settings program did not run to its end\n";
    return kExitError;
  }
  if (padWord) {
    board.SetWord(sim::kControllerButtonsAddress, *padWord);
  }

  std::vector<BoardEvent> events;
  board.SetMoveObserver([&events](const sim::ServoMove& move) {
    events.push_back({.move = true, .servoMove = move, .block = 0});
  });
  board.SetBlockObserver([&events](std::uint32_t address) {
    events.push_back({.move = false, .servoMove = {}, .block = address});
  });
  const std::vector<std::uint8_t>& code = *image;
  board.RunImage(*image);

  BoardError lastError = ReadBoardError(board);
  const std::uint64_t limit = std::uint64_t{static_cast<std::uint32_t>(milliseconds)} * 1000;
  int status = kExitOk;
  for (std::uint64_t clock = 0; clock < limit;) {
    const std::uint32_t cycle = ControlCycle(board);
    events.clear();
    board.Advance(cycle);
    for (const BoardEvent& event : events) {
      Json line;
      line["t_ms"] = Milliseconds(clock);
      if (event.move) {
        line["event"] = "pose";
        line["time"] = event.servoMove.time;
        line["slots"] = event.servoMove.targets;
      } else {
        line["event"] = "block";
        line["addr"] = event.block;
      }
      out << line.dump() << "\n";
    }
    const BoardError error = ReadBoardError(board);
    if (!(error == lastError) && !error.text.empty()) {
      PrintBoardError(error, err);
    }
    lastError = error;
    if (board.Byte(sim::kPlayByteAddress) == 0) {
      out << Json{{"t_ms", Milliseconds(clock)}, {"event", "end"}}.dump() << "\n";
      // A motion ends on its end instruction; anything else stopped it.
      const std::uint32_t at = board.CodeAddress();
      if (at >= code.size() || code[at] != core::Opcode::kEnd) {
        err << "gestalon-cli: the program stopped at code address " << at << "\n";
        status = kExitError;
      }
      break;
    }
    clock += cycle;
  }
  board.SetMoveObserver({});
  board.SetBlockObserver({});
  return status;
}

}  // namespace gestalon::cli
