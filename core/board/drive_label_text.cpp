#include "board/drive_label_text.h"

namespace gestalon::core {

std::u16string DriveLabelFormat(std::u16string_view format) {
  static constexpr std::u16string_view kSpecChars = u"-+ #0123456789.*hlI";
  std::u16string out(format);
  std::size_t pos = 0;
  while ((pos = out.find(u'%', pos)) != std::u16string::npos) {
    std::size_t end = pos + 1;
    if (end < out.size() && out[end] == u'%') {
      pos = end + 1;
      continue;
    }
    while (end < out.size() && kSpecChars.find(out[end]) != std::u16string_view::npos) {
      ++end;
    }
    if (end < out.size() && out[end] == u'c') {
      out[end] = u's';
    }
    pos = end;
  }
  return out;
}

std::u16string DriveLabelText(const BoardDrive& drive) {
#ifdef _WIN32
  return drive.label.substr(0, 1);
#else
  return drive.label;
#endif
}

std::u16string DriveEntryText(const BoardDrive& drive) {
#ifdef _WIN32
  return DriveLabelText(drive) + u":\\";
#else
  return drive.label;
#endif
}

}  // namespace gestalon::core
