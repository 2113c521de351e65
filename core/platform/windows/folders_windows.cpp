#include <shlobj.h>
#include <windows.h>

#include "platform/folders.h"

namespace gestalon::core {

std::filesystem::path ExecutablePath() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return length ? std::filesystem::path(std::wstring(buffer, length)) : std::filesystem::path();
}

std::filesystem::path AppDataFolder() {
  PWSTR roaming = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming))) {
    return {};
  }
  const std::filesystem::path folder = std::filesystem::path(roaming) / L"GestalonZ";
  CoTaskMemFree(roaming);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec) ? folder : std::filesystem::path();
}

bool IsFolderWritable(const std::filesystem::path& folder) {
  const std::filesystem::path probe = folder / L"~gestalon_write_probe.tmp";
  HANDLE handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  CloseHandle(handle);
  return true;
}

bool StartProgramInstance(const std::filesystem::path& program,
                          const std::vector<std::u16string>& arguments) {
  std::wstring commandLine = L"\"" + program.wstring() + L"\"";
  for (const auto& argument : arguments) {
    commandLine += L" \"" + std::wstring(argument.begin(), argument.end()) + L"\"";
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace gestalon::core
