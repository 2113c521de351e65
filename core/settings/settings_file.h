#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace gestalon::core {

class SettingsFile;
struct SettingsFileDeleter {
  void operator()(SettingsFile* file) const;
};
// An open settings file; null means "none".
using SettingsFileHandle = std::unique_ptr<SettingsFile, SettingsFileDeleter>;

// Longest line a settings reader asks for: ReadSettingsLine takes fewer than this many characters.
inline constexpr int kSettingsLineLimit = 4096;

// Opens a settings file. `mode` is "r", "w", "r+" or "w+", case-insensitive; a mode whose first
// character is not r or w, or that contains b, is refused. "w" and "w+" write to a temporary file
// that replaces `path` on CloseSettingsFile, so a failed write keeps the old file. A handle that
// can write starts with the byte-order mark FF FE ("r+" writes it only into an empty file, so an
// existing file's first bytes are never overwritten, and starts after the mark of a UTF-16 file).
// Returns null when refused, when `path` is a folder or has no file name, or on failure.
SettingsFileHandle OpenSettingsFile(const std::filesystem::path& path, std::string_view mode);

// Reads the next line into `line` without its LF (a CR before the LF stays), cut to `maxChars`
// characters (1 .. kSettingsLineLimit - 1). Files starting FF FE are UTF-16LE, others are in the
// ANSI code page. Returns the line length; 0 for a null handle, at the end of the file, for a
// line that is only an LF and after a read error (CloseSettingsFile reports it). After a cut line
// the UTF-16 reading resumes one character after the cut (that character is lost); the ANSI reading
// resumes after the line's LF.
int ReadSettingsLine(SettingsFile* file, std::u16string& line, int maxChars);

// Writes the text as UTF-16LE, each LF preceded by a CR. Nothing for an empty text or null handle.
void WriteSettingsText(SettingsFile* file, std::u16string_view text);

// Closes the handle; for "w"/"w+" puts the written file in place. False when anything written
// was lost (then the previous file is unchanged) or a read failed, so that a reader can tell a
// damaged file from a short one. Destroying a handle without closing it discards what was written.
bool CloseSettingsFile(SettingsFileHandle file);

}  // namespace gestalon::core
