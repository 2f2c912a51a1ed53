// Plain text tables for the command line (see TextTable.h).
#include "TextTable.h"

#include <algorithm>

namespace fabrikon::cli {
namespace {

// The code point starting at text[i]; i moves past it. Broken sequences
// count as one narrow character per byte.
char32_t NextCodePoint(const std::string& text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  char32_t code = extra == 3 ? lead & 0x07 : extra == 2 ? lead & 0x0F : extra == 1 ? lead & 0x1F : lead;
  for (; extra > 0 && i < text.size(); --extra) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    code = (code << 6) | (next & 0x3F);
    ++i;
  }
  return code;
}

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

size_t TextTable::DisplayWidth(const std::string& text) {
  size_t width = 0;
  for (size_t i = 0; i < text.size();) width += IsWide(NextCodePoint(text, i)) ? 2 : 1;
  return width;
}

std::string TextTable::Pad(const std::string& text, size_t width, Align align) {
  const size_t used = DisplayWidth(text);
  const std::string blanks(used < width ? width - used : 0, ' ');
  return align == Align::Right ? blanks + text : text + blanks;
}

void TextTable::AddRow(std::vector<std::string> cells) {
  cells.resize(columns_.size());
  rows_.push_back(std::move(cells));
}

std::vector<size_t> TextTable::Widths() const {
  std::vector<size_t> widths;
  for (const Column& column : columns_) widths.push_back(DisplayWidth(column.header));
  for (const auto& row : rows_) {
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  }
  return widths;
}

void TextTable::Print(std::ostream& out, const std::string& indent) const {
  const std::vector<size_t> widths = Widths();
  auto line = [&](const std::vector<std::string>& cells) {
    std::string text;
    for (size_t c = 0; c < columns_.size(); ++c) {
      text += (c ? "  " : "") + Pad(cells[c], widths[c], columns_[c].align);
    }
    text.erase(text.find_last_not_of(' ') + 1);
    out << indent << text << "\n";
  };
  std::vector<std::string> headers;
  std::vector<std::string> rules;
  for (size_t c = 0; c < columns_.size(); ++c) {
    headers.push_back(columns_[c].header);
    rules.push_back(std::string(widths[c], '-'));
  }
  line(headers);
  line(rules);
  for (const auto& row : rows_) line(row);
}

}  // namespace fabrikon::cli
