#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "platform/folders.h"
#include "text/utf.h"

extern char** environ;

namespace gestalon::core {

std::filesystem::path ExecutablePath() {
  std::error_code ec;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : path;
}

std::filesystem::path AppDataFolder() {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    return {};
  }
  const std::filesystem::path folder = base / "GestalonZ";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec) ? folder : std::filesystem::path();
}

bool IsFolderWritable(const std::filesystem::path& folder) {
  return access(folder.c_str(), W_OK) == 0;
}

bool StartProgramInstance(const std::filesystem::path& program,
                          const std::vector<std::u16string>& arguments) {
  std::vector<std::string> texts{program.string()};
  for (const auto& argument : arguments) {
    texts.push_back(ToUtf8(argument));
  }
  std::vector<char*> argv;
  for (auto& text : texts) {
    argv.push_back(text.data());
  }
  argv.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t child = 0;
  const int rc = posix_spawn(&child, argv[0], nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    return false;
  }
  // Reap the instance when it ends so that it leaves no zombie behind while we run.
  std::thread([child] { waitpid(child, nullptr, 0); }).detach();
  return true;
}

}  // namespace gestalon::core
