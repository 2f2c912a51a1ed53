// TSqlLike: patterns are decoded into folded code points first; matching is
// the usual greedy walk that backs up to the last % on a mismatch, so it
// takes linear time for the patterns filters use.
#include "data/dialect/TSqlLike.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include "data/dialect/TSqlCollation.h"

namespace fabrikon::dialect {

namespace {

struct Element {
  enum Kind { Literal, AnyOne, AnyRun, Set } kind = Literal;
  char32_t c = 0;
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;
  bool Accepts(char32_t x) const {
    if (kind == AnyOne) return true;
    if (kind == Literal) return x == c;
    bool in = false;
    for (const auto& [low, high] : ranges)
      if (x >= low && x <= high) in = true;
    return in != negated;
  }
};

std::u32string Decode(std::string_view text) {
  std::u32string out;
  for (size_t p = 0; p < text.size();) out += TSqlCollation::Fold(TSqlCollation::Next(text, p));
  return out;
}

std::vector<Element> Compile(const std::u32string& p, char32_t escape) {
  std::vector<Element> out;
  for (size_t i = 0; i < p.size(); ++i) {
    Element e;
    if (escape != 0 && p[i] == escape && i + 1 < p.size()) {
      e.c = p[++i];
    } else if (p[i] == U'%') {
      e.kind = Element::AnyRun;
    } else if (p[i] == U'_') {
      e.kind = Element::AnyOne;
    } else if (p[i] == U'[' && p.find(U']', i + 1) != std::u32string::npos && p[i + 1] != U']') {
      const size_t close = p.find(U']', i + 1);
      size_t j = i + 1;
      e.kind = Element::Set;
      if (p[j] == U'^') {
        e.negated = true;
        ++j;
      }
      for (; j < close; ++j) {
        if (j + 2 < close && p[j + 1] == U'-') {
          e.ranges.emplace_back(p[j], p[j + 2]);
          j += 2;
        } else {
          e.ranges.emplace_back(p[j], p[j]);
        }
      }
      i = close;
    } else {
      e.c = p[i];
    }
    out.push_back(std::move(e));
  }
  return out;
}

// The greedy walk over the decoded value.
bool Walk(const std::vector<Element>& p, const std::u32string& s) {
  size_t pi = 0, si = 0, star = std::string::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi].kind == Element::AnyRun) {
      star = pi++;
      mark = si;
    } else if (pi < p.size() && p[pi].Accepts(s[si])) {
      ++pi;
      ++si;
    } else if (star != std::string::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi].kind == Element::AnyRun) ++pi;
  return pi == p.size();
}

void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  auto text = [](sqlite3_value* v) {
    const unsigned char* t = sqlite3_value_text(v);
    return std::string_view(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_value_bytes(v)));
  };
  char32_t escape = 0;
  bool padded = false;
  if (argc == 3) {
    std::u32string e = Decode(text(argv[2]));
    if (!e.empty() && e[0] == TSqlLike::kPaddedMark) {
      padded = true;
      e.erase(0, 1);
    }
    if (e.size() > 1 || (e.empty() && !padded))
      return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
    if (!e.empty()) escape = e[0];
  }
  sqlite3_result_int(ctx, TSqlLike::Match(text(argv[0]), text(argv[1]), escape, padded) ? 1 : 0);
}

}  // namespace

bool TSqlLike::Match(std::string_view pattern, std::string_view text, char32_t escape, bool padded) {
  const std::vector<Element> p = Compile(Decode(pattern), escape ? TSqlCollation::Fold(escape) : 0);
  if (Walk(p, Decode(text))) return true;
  if (!padded) return false;
  // Trailing blanks of the value do not count ('a ' LIKE 'a'); blanks the
  // pattern asks for are matched above.
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  return end != text.size() && Walk(p, Decode(text.substr(0, end)));
}

void TSqlLike::Register(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  sqlite3_create_function_v2(db, "like", 2, flags, nullptr, LikeFunction, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "like", 3, flags, nullptr, LikeFunction, nullptr, nullptr, nullptr);
}

}  // namespace fabrikon::dialect
