#include "main_window/program_arguments.h"

#include "platform/folders.h"
#include "platform/paths.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

ProgramArguments ParseProgramArguments(QStringList arguments) {
  ProgramArguments parsed;
  const QString option = QLatin1String(kVirtualBoardOption);
  for (auto it = arguments.begin(); it != arguments.end();) {
    if (*it == option) {
      parsed.session.virtualBoardFolder = core::AppDataFolder() / "virtual-board";
      parsed.session.virtualBoardFolderGiven = false;
    } else if (it->startsWith(option + QLatin1Char('='))) {
      std::error_code error;
      const std::filesystem::path folder = core::PathFromText(ToU16(it->mid(option.size() + 1)));
      const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
      parsed.session.virtualBoardFolder = error ? folder : absolute;
      parsed.session.virtualBoardFolderGiven = true;
    } else {
      ++it;
      continue;
    }
    it = arguments.erase(it);
  }
  parsed.projectPath = ToU16(arguments.join(QLatin1Char(' ')));
  return parsed;
}

std::vector<std::u16string> PassedOnOptions(const SessionOptions& options) {
  if (!options.virtualBoardFolder) {
    return {};
  }
  std::u16string option = ToU16(QLatin1String(kVirtualBoardOption));
  if (options.virtualBoardFolderGiven) {
    option += u'=' + core::TextFromPath(*options.virtualBoardFolder);
  }
  return {option};
}

}  // namespace gestalon::ui
