// PgStatementShapes: see the header. The text is the PostgreSQL text the
// target pass wrote, lexed again; a literal becomes a parameter only where
// the server reads a parameter of the literal's type as it reads the literal.
#include "data/PgStatementShapes.h"

#include <cstdint>
#include <limits>

#include "data/dialect/TSqlLexer.h"
#include "fabrikon/ComError.h"

namespace fabrikon {

namespace {

using dialect::Token;
using dialect::TokenKind;

constexpr size_t kMaxParameters = 1000;
// The server's type of a literal (pg_type oids).
constexpr unsigned int kUntyped = 0, kInt4 = 23, kInt8 = 20, kNumeric = 1700;

bool IsOneOf(const Token& t, std::initializer_list<std::string_view> words) {
  for (std::string_view word : words)
    if (t.IsWord(word)) return true;
  return false;
}

// Where a value starts: after these the server reads a literal and a
// parameter of its type alike (not after a type name, as in date '...').
bool ValueFollows(const std::vector<Token>& t, size_t i) {
  if (i == 0) return false;
  const Token& prev = t[i - 1];
  if (prev.Is(TokenKind::LParen) || prev.Is(TokenKind::Comma)) return true;
  if (prev.Is(TokenKind::Operator)) return !prev.IsOp("::") && !prev.IsOp("-");
  if (prev.IsWord("from")) return i >= 2 && t[i - 2].IsWord("distinct");  // IS [NOT] DISTINCT FROM
  return IsOneOf(prev, {"and", "or", "not", "then", "else", "when", "case", "between", "limit", "offset", "select"});
}

// The server's type of a number as written: int, bigint or numeric.
bool NumberType(std::string_view text, unsigned int& type) {
  if (text.empty()) return false;
  bool digits = true;
  for (char c : text) {
    if (c >= '0' && c <= '9') continue;
    if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') return false;
    digits = false;
  }
  if (!digits) {
    type = kNumeric;
    return true;
  }
  uint64_t value = 0;
  for (char c : text) {
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10) {
      type = kNumeric;
      return true;
    }
    value = value * 10 + digit;
  }
  type = value <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())   ? kInt4
         : value <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ? kInt8
                                                                                : kNumeric;
  return true;
}

// 'it''s' -> it's (the server's strings take no backslash escapes).
std::string Unquoted(std::string_view text) {
  std::string value;
  value.reserve(text.size() - 2);
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    value += text[i];
    if (text[i] == '\'') ++i;
  }
  return value;
}

// The literals of ORDER BY and GROUP BY are positions, not values.
class ClauseTracker {
 public:
  void See(const std::vector<Token>& t, size_t i) {
    const Token& tok = t[i];
    if (tok.Is(TokenKind::LParen)) {
      levels_.push_back(false);
    } else if (tok.Is(TokenKind::RParen)) {
      if (levels_.size() > 1) levels_.pop_back();
    } else if (tok.IsWord("by") && i > 0 && (t[i - 1].IsWord("order") || t[i - 1].IsWord("group"))) {
      levels_.back() = true;
    } else if (IsOneOf(tok, {"limit", "offset", "having", "union", "except", "intersect", "window", "for", "fetch"})) {
      levels_.back() = false;
    }
  }
  bool InPositions() const { return levels_.back(); }

 private:
  std::vector<bool> levels_{false};
};

}  // namespace

bool PgStatementShapes::Single(std::string_view sql) {
  try {
    const dialect::LexedText lexed = dialect::TSqlLexer::Tokenize(sql);
    for (size_t i = 0; i + 1 < lexed.tokens.size(); ++i)
      if (lexed.tokens[i].Is(TokenKind::Semicolon)) return false;
    return true;
  } catch (const ComError&) {
    return false;
  }
}

bool PgStatementShapes::Parameterize(std::string_view sql, PgShape& out) {
  dialect::LexedText lexed;
  try {
    lexed = dialect::TSqlLexer::Tokenize(sql);
  } catch (const ComError&) {
    return false;
  }
  const std::vector<Token>& t = lexed.tokens;
  out = PgShape();
  out.text.reserve(sql.size());
  ClauseTracker clauses;
  size_t copied = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i].Is(TokenKind::Semicolon) && i + 1 < t.size()) return false;
    clauses.See(t, i);
    const Token& tok = t[i];
    if (!tok.Is(TokenKind::String) && !tok.Is(TokenKind::Number)) continue;
    if (clauses.InPositions() || !ValueFollows(t, i) || out.values.size() >= kMaxParameters) continue;
    if (i + 1 < t.size() && t[i + 1].IsWord("collate")) continue;
    // Only a literal that is a stretch of the text itself.
    if (tok.text.data() < sql.data() || tok.text.data() + tok.text.size() > sql.data() + sql.size()) continue;
    unsigned int type = kUntyped;
    if (tok.Is(TokenKind::String)) {
      if (tok.national || tok.text.size() < 2 || tok.text.front() != '\'') continue;
      out.values.push_back(Unquoted(tok.text));
    } else {
      if (!NumberType(tok.text, type)) continue;
      out.values.emplace_back(tok.text);
    }
    out.types.push_back(type);
    const size_t start = static_cast<size_t>(tok.text.data() - sql.data());
    out.text.append(sql, copied, start - copied);
    out.text += '$';
    out.text += std::to_string(out.values.size());
    copied = start + tok.text.size();
  }
  out.text.append(sql, copied, std::string_view::npos);
  return true;
}

PgStatementShapes::Entry* PgStatementShapes::Use(const PgShape& shape, bool& prepare) {
  prepare = false;
  std::string key = shape.text;
  key += '\0';
  for (unsigned int type : shape.types) key += std::to_string(type) + ",";
  Entry& entry = entries_[key];
  ++entry.seen;
  if (entry.refused || entry.seen < 2) return nullptr;
  if (!entry.prepared) {
    if (entry.name.empty()) entry.name = "fabrikon_" + std::to_string(++named_);
    entry.prepared = true;
    prepare = true;
  }
  return &entry;
}

}  // namespace fabrikon
