// XmlCharacters: see the header. The checks are one pass over the bytes.
#include "data/XmlCharacters.h"

#include <cstdint>

#include "fabrikon/ComError.h"

namespace fabrikon {

bool XmlCharacters::IsXmlChar(char32_t c) {
  if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

bool XmlCharacters::Decode(std::string_view text, size_t& pos, char32_t& c) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    c = lead;
    ++pos;
    return true;
  }
  const size_t extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 && lead <= 0xEF ? 2 : lead >= 0xC2 && lead <= 0xDF ? 1 : 0;
  if (extra == 0 || pos + extra >= text.size()) {
    ++pos;
    return false;
  }
  char32_t value = lead & (0x3F >> extra);
  for (size_t i = 1; i <= extra; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return false;
    }
    value = (value << 6) | (b & 0x3F);
  }
  // Overlong forms encode a smaller character than their length allows.
  static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[extra]) {
    ++pos;
    return false;
  }
  c = value;
  pos += extra + 1;
  return true;
}

bool XmlCharacters::IsAllowed(std::string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[pos]);
    if (byte >= 0x20 && byte < 0x80) {  // the common case
      ++pos;
      continue;
    }
    char32_t c = 0;
    if (!Decode(text, pos, c) || !IsXmlChar(c)) return false;
  }
  return true;
}

bool XmlCharacters::ReferencesAreAllowed(std::string_view xml) {
  for (size_t at = xml.find("&#"); at != std::string_view::npos; at = xml.find("&#", at + 2)) {
    size_t i = at + 2;
    const bool hex = i < xml.size() && xml[i] == 'x';
    if (hex) ++i;
    uint64_t value = 0;
    size_t digits = 0;
    for (; i < xml.size() && xml[i] != ';'; ++i, ++digits) {
      const char ch = xml[i];
      int digit = -1;
      if (ch >= '0' && ch <= '9') digit = ch - '0';
      else if (hex && ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
      else if (hex && ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
      if (digit < 0) return false;
      value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
      if (value > 0x10FFFF) return false;
    }
    if (digits == 0 || i >= xml.size() || !IsXmlChar(static_cast<char32_t>(value))) return false;
  }
  return true;
}

bool XmlCharacters::IsWellFormedText(std::string_view xml) { return IsAllowed(xml) && ReferencesAreAllowed(xml); }

void XmlCharacters::Require(std::string_view value) {
  if (!IsAllowed(value))
    throw ComError(ErrorNumber::DomError,
                   "The value holds a character an XML document cannot carry (a control character, NUL or invalid UTF-8).");
}

std::string XmlCharacters::Sanitized(std::string_view text) {
  if (IsAllowed(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t pos = 0; pos < text.size();) {
    const size_t at = pos;
    char32_t c = 0;
    if (Decode(text, pos, c) && IsXmlChar(c))
      out.append(text.substr(at, pos - at));
    else
      out += "\xEF\xBF\xBD";  // U+FFFD
  }
  return out;
}

}  // namespace fabrikon
