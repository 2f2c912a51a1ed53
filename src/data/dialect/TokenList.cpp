// TokenList: navigation helpers shared by the rewrite rules.
#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

namespace {

bool IsWordLike(const Token& t) {
  return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName || t.kind == TokenKind::Number ||
         t.kind == TokenKind::String || t.kind == TokenKind::Binary;
}

}  // namespace

Token TokenList::Open() {
  Token token = Make(TokenKind::LParen, "(");
  token.blankBefore = false;
  return token;
}

const Token& TokenList::At(size_t i) const {
  static const Token none{TokenKind::Semicolon, true, false, 0, ""};
  return i < tokens_.size() ? tokens_[i] : none;
}

std::string_view TokenList::Store(std::string text) {
  storage_.push_back(std::move(text));
  return storage_.back();
}

Token TokenList::Make(TokenKind kind, std::string_view text) {
  Token token;
  token.kind = kind;
  token.blankBefore = true;
  token.text = text;
  return token;
}

void TokenList::Insert(size_t at, std::vector<Token> tokens) {
  tokens_.insert(tokens_.begin() + static_cast<std::ptrdiff_t>(at), tokens.begin(), tokens.end());
}

void TokenList::Erase(size_t first, size_t last) {
  tokens_.erase(tokens_.begin() + static_cast<std::ptrdiff_t>(first),
                tokens_.begin() + static_cast<std::ptrdiff_t>(last));
}

void TokenList::Replace(size_t first, size_t last, std::vector<Token> tokens) {
  Erase(first, last);
  Insert(first, std::move(tokens));
}

std::vector<Token> TokenList::Slice(size_t first, size_t last) const {
  return std::vector<Token>(tokens_.begin() + static_cast<std::ptrdiff_t>(first),
                            tokens_.begin() + static_cast<std::ptrdiff_t>(last));
}

size_t TokenList::MatchParen(size_t open) const {
  int depth = 0;
  for (size_t i = open; i < tokens_.size(); ++i) {
    if (tokens_[i].kind == TokenKind::LParen) ++depth;
    if (tokens_[i].kind == TokenKind::RParen && --depth == 0) return i;
  }
  return npos;
}

size_t TokenList::OpenParenOf(size_t close) const {
  int depth = 0;
  for (size_t i = close + 1; i-- > 0;) {
    if (tokens_[i].kind == TokenKind::RParen) ++depth;
    if (tokens_[i].kind == TokenKind::LParen && --depth == 0) return i;
  }
  return npos;
}

size_t TokenList::FindWord(std::string_view word, size_t from, size_t to) const {
  int depth = 0;
  for (size_t i = from; i < to && i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen && --depth < 0) return npos;
    if (depth == 0 && t.IsWord(word)) return i;
  }
  return npos;
}

std::vector<TokenList::Range> TokenList::Arguments(size_t open, size_t close) const {
  std::vector<Range> args;
  size_t start = open + 1;
  int depth = 0;
  for (size_t i = open + 1; i < close; ++i) {
    if (tokens_[i].kind == TokenKind::LParen) ++depth;
    if (tokens_[i].kind == TokenKind::RParen) --depth;
    if (depth == 0 && tokens_[i].kind == TokenKind::Comma) {
      args.emplace_back(start, i);
      start = i + 1;
    }
  }
  if (start < close || !args.empty()) args.emplace_back(start, close);
  return args;
}

size_t TokenList::OperandStart(size_t last) const {
  if (last >= tokens_.size()) return last;
  size_t i = last;
  if (tokens_[i].kind == TokenKind::RParen) {
    i = OpenParenOf(i);
    if (i == npos) return last;
    if (i > 0 && (tokens_[i - 1].kind == TokenKind::Word || tokens_[i - 1].kind == TokenKind::QuotedName) &&
        !IsReserved(tokens_[i - 1]))
      --i;
  }
  // Qualified names: a.b.c
  while (i >= 2 && tokens_[i - 1].kind == TokenKind::Dot &&
         (tokens_[i - 2].kind == TokenKind::Word || tokens_[i - 2].kind == TokenKind::QuotedName))
    i -= 2;
  return i;
}

size_t TokenList::OperandEnd(size_t first) const {
  if (first >= tokens_.size()) return first;
  size_t i = first;
  while (i + 2 < tokens_.size() && tokens_[i + 1].kind == TokenKind::Dot &&
         (tokens_[i + 2].kind == TokenKind::Word || tokens_[i + 2].kind == TokenKind::QuotedName ||
          tokens_[i + 2].IsOp("*")))
    i += 2;
  if (tokens_[i].kind == TokenKind::LParen) return MatchParen(i) == npos ? i + 1 : MatchParen(i) + 1;
  if (i + 1 < tokens_.size() && tokens_[i + 1].kind == TokenKind::LParen &&
      (tokens_[i].kind == TokenKind::Word || tokens_[i].kind == TokenKind::QuotedName) && !IsReserved(tokens_[i])) {
    const size_t close = MatchParen(i + 1);
    return close == npos ? i + 1 : close + 1;
  }
  return i + 1;
}

bool TokenList::IsAssignment(size_t i) const {
  if (!tokens_[i].IsOp("=") || i == 0) return false;
  const size_t start = OperandStart(i - 1);
  if (start == 0) return false;
  const Token& before = tokens_[start - 1];
  if (!before.IsWord("set") && before.kind != TokenKind::Comma) return false;
  // The comma must belong to a SET clause at the same depth, not to a list.
  int depth = 0;
  for (size_t j = start; j-- > 0;) {
    const Token& t = tokens_[j];
    if (t.kind == TokenKind::RParen) ++depth;
    if (t.kind == TokenKind::LParen && --depth < 0) return false;
    if (depth != 0) continue;
    if (t.IsWord("set")) return true;
    if (t.IsWord("where") || t.IsWord("from") || t.IsWord("select") || t.IsWord("values")) return false;
  }
  return false;
}

bool TokenList::IsReserved(const Token& token) {
  if (token.kind != TokenKind::Word) return false;
  static constexpr std::string_view words[] = {
      "select", "from",   "where",  "and",     "or",      "not",    "on",     "join",  "inner",    "left",
      "right",  "full",   "outer",  "cross",   "group",   "order",  "by",     "having", "union",   "all",
      "except", "intersect", "into", "values", "set",     "update", "delete", "insert", "as",      "case",
      "when",   "then",   "else",   "end",     "in",      "is",     "null",   "like",  "between",  "exists",
      "distinct", "top",  "limit",  "if",      "create",  "drop",   "index",  "table", "collate",  "asc",
      "desc",   "with",   "escape", "over",    "partition", "returning", "using", "offset"};
  for (std::string_view w : words)
    if (token.IsWord(w)) return true;
  return false;
}

std::string TokenList::Emit(size_t first, size_t last) const {
  std::string out;
  out.reserve((last - first) * 8);
  for (size_t i = first; i < last && i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (i > first) {
      const Token& prev = tokens_[i - 1];
      const bool glued = t.kind == TokenKind::RParen || t.kind == TokenKind::Comma || t.kind == TokenKind::Dot ||
                         t.kind == TokenKind::Semicolon || prev.kind == TokenKind::LParen ||
                         prev.kind == TokenKind::Dot;
      if (!glued && (t.blankBefore || (IsWordLike(prev) && IsWordLike(t)))) out += ' ';
    }
    out += t.text;
  }
  return out;
}

size_t TokenList::CaseEnd(size_t first) const {
  int depth = 0;
  for (size_t i = first; i < tokens_.size(); ++i) {
    if (tokens_[i].IsWord("case")) ++depth;
    if (tokens_[i].IsWord("end") && --depth == 0) return i;
  }
  return npos;
}

bool TokenList::StartsExpression(size_t i) const {
  if (i == 0) return true;
  const Token& prev = tokens_[i - 1];
  if (prev.kind == TokenKind::LParen || prev.kind == TokenKind::Comma || prev.IsComparison()) return true;
  return IsReserved(prev) && !prev.IsWord("end") && !prev.IsWord("null") && !prev.IsWord("collate");
}

bool TokenList::EndsExpression(size_t i) const {
  if (i >= tokens_.size()) return true;
  const Token& next = tokens_[i];
  switch (next.kind) {
    case TokenKind::RParen:
    case TokenKind::Comma:
    case TokenKind::Semicolon:
    case TokenKind::QuotedName:
      return true;
    case TokenKind::Operator:
      return next.IsComparison();
    case TokenKind::Word:
      return !next.IsWord("collate");
    default:
      return false;
  }
}

}  // namespace fabrikon::dialect
