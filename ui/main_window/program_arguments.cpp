#include "main_window/program_arguments.h"

#include <iterator>

#include "platform/folders.h"
#include "platform/paths.h"
#include "widgets/qt_text.h"

namespace gestalon::ui {

ProgramArguments ParseProgramArguments(QStringList arguments) {
  ProgramArguments parsed;
  const QString option = QLatin1String(kVirtualBoardOption);
  const QString language = QLatin1String(kLanguageOption);
  for (auto it = arguments.begin(); it != arguments.end();) {
    if (*it == language && std::next(it) != arguments.end()) {
      parsed.session.language = ToU16(*std::next(it));
      it = arguments.erase(it);
    } else if (it->startsWith(language + QLatin1Char('='))) {
      parsed.session.language = ToU16(it->mid(language.size() + 1));
    } else if (*it == option) {
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
  const QString path = arguments.join(QLatin1Char(' '));
  if (path.endsWith(QStringLiteral(".KX4"), Qt::CaseInsensitive)) {
    parsed.motionPath = path;
  } else {
    parsed.projectPath = ToU16(path);
  }
  return parsed;
}

bool AsksForHelp(const QStringList& arguments) {
  return arguments.contains(QLatin1String(kHelpOption)) ||
         arguments.contains(QLatin1String(kShortHelpOption));
}

std::vector<std::u16string> PassedOnOptions(const SessionOptions& options) {
  std::vector<std::u16string> passed;
  if (!options.language.empty()) {
    passed.push_back(ToU16(QLatin1String(kLanguageOption)));
    passed.push_back(options.language);
  }
  if (!options.virtualBoardFolder) {
    return passed;
  }
  std::u16string option = ToU16(QLatin1String(kVirtualBoardOption));
  if (options.virtualBoardFolderGiven) {
    option += u'=' + core::TextFromPath(*options.virtualBoardFolder);
  }
  passed.push_back(option);
  return passed;
}

}  // namespace gestalon::ui
