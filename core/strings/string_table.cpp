#include "strings/string_table.h"

#include <charconv>

#include "text/utf.h"

namespace gestalon::core {
namespace {

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    switch (text[++i]) {
      case 'r':
        out.push_back('\r');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 't':
        out.push_back('\t');
        break;
      case '\\':
        out.push_back('\\');
        break;
      default:  // not an escape: kept as written
        out.push_back('\\');
        out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

StringTable StringTable::Parse(std::string_view tsv) {
  StringTable table;
  if (tsv.starts_with("\xEF\xBB\xBF")) {
    tsv.remove_prefix(3);
  }
  while (!tsv.empty()) {
    const std::size_t lf = tsv.find('\n');
    std::string_view line = tsv.substr(0, lf);
    tsv.remove_prefix(lf == std::string_view::npos ? tsv.size() : lf + 1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    if (line.empty() || line.front() == '#') {
      continue;
    }
    const std::size_t tab = line.find('\t');
    int id = 0;
    const auto idText = line.substr(0, tab);
    const auto [end, ec] = std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (tab == std::string_view::npos || ec != std::errc() ||
        end != idText.data() + idText.size()) {
      ++table.badLines_;
      continue;
    }
    table.texts_[id] = FromUtf8(Unescape(line.substr(tab + 1)));
  }
  return table;
}

const std::u16string* StringTable::Find(int id) const {
  const auto it = texts_.find(id);
  return it == texts_.end() ? nullptr : &it->second;
}

std::string EscapeStringTableText(std::u16string_view text) {
  std::string out;
  for (char c : ToUtf8(text)) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

}  // namespace gestalon::core
