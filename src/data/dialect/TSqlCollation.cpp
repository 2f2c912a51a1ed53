// TSqlCollation: see the header. ASCII text, the usual case, is compared a
// byte at a time without decoding.
#include "data/dialect/TSqlCollation.h"

#include <sqlite3.h>

namespace fabrikon::dialect {

namespace {

int CollationCallback(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return TSqlCollation::Compare(std::string_view(static_cast<const char*>(a), static_cast<size_t>(lengthA)),
                                std::string_view(static_cast<const char*>(b), static_cast<size_t>(lengthB)));
}

inline unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

}  // namespace

void TSqlCollation::Register(sqlite3* db) {
  sqlite3_create_collation_v2(db, kName, SQLITE_UTF8, nullptr, CollationCallback, nullptr);
}

char32_t TSqlCollation::Fold(char32_t c) {
  if (c < 0x80) return FoldAscii(static_cast<unsigned char>(c));
  if (c >= 0xFF01 && c <= 0xFF5E) return Fold(c - 0xFF01 + 0x21);  // full-width ASCII
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;        // Latin-1
  if (c == 0x178) return 0xFF;                                      // Y with diaeresis
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;  // Latin Extended-A pairs
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

char32_t TSqlCollation::Lower(char32_t c) { return c >= 0xFF01 && c <= 0xFF5E ? c : Fold(c); }

char32_t TSqlCollation::Upper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - ('a' - 'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // Latin-1
  if (c == 0xFF) return 0x178;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c & ~char32_t{1};
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;  // Greek
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

void TSqlCollation::AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t TSqlCollation::Next(std::string_view text, size_t& pos) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  if (lead < 0xC0 || pos + extra >= text.size()) {
    ++pos;
    return lead;
  }
  char32_t c = lead & (0x3F >> extra);
  for (size_t i = 1; i <= extra; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return lead;
    }
    c = (c << 6) | (b & 0x3F);
  }
  pos += extra + 1;
  return c;
}

int TSqlCollation::Compare(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const unsigned char x = static_cast<unsigned char>(a[i]);
    const unsigned char y = static_cast<unsigned char>(b[j]);
    if (x < 0x80 && y < 0x80) {
      const unsigned char fx = FoldAscii(x), fy = FoldAscii(y);
      if (fx != fy) return fx < fy ? -1 : 1;
      ++i;
      ++j;
      continue;
    }
    const char32_t cx = Fold(Next(a, i)), cy = Fold(Next(b, j));
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  // The shorter text counts as padded with blanks.
  for (; i < a.size(); ++i)
    if (a[i] != ' ') return static_cast<unsigned char>(a[i]) < ' ' ? -1 : 1;
  for (; j < b.size(); ++j)
    if (b[j] != ' ') return static_cast<unsigned char>(b[j]) < ' ' ? 1 : -1;
  return 0;
}

}  // namespace fabrikon::dialect
