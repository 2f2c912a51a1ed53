// UnnamedColumns: see the header.
#include "data/dialect/UnnamedColumns.h"

namespace fabrikon::dialect {

namespace {

bool EndsList(const Token& t) {
  return t.IsWord("from") || t.IsWord("into") || t.IsWord("where") || t.IsWord("group") || t.IsWord("having") ||
         t.IsWord("order") || t.IsWord("union") || t.IsWord("except") || t.IsWord("intersect") ||
         t.IsWord("limit") || t.Is(TokenKind::Semicolon);
}

bool IsName(const Token& t) {
  return (t.Is(TokenKind::Word) && !TokenList::IsReserved(t) && !t.text.empty() && t.text[0] != '@') ||
         t.Is(TokenKind::QuotedName);
}

template <class List>
const Token& At(const List& tokens, size_t i) {
  return tokens[i];
}

// A column (a, t.a, *, t.*) or an item with an alias (x AS a, x a, a = x).
template <class List>
bool IsNamed(const List& tokens, size_t first, size_t last) {
  const size_t n = last - first;
  const Token& head = At(tokens, first);
  const Token& tail = At(tokens, last - 1);
  if (n == 1) return IsName(head) || head.IsOp("*");
  if (tail.IsOp("*") && At(tokens, last - 2).Is(TokenKind::Dot)) return true;
  bool qualified = true;  // a.b.c
  for (size_t i = first; i < last; ++i)
    qualified = qualified && ((i - first) % 2 == 0 ? IsName(At(tokens, i)) : At(tokens, i).Is(TokenKind::Dot));
  if (qualified && n % 2 == 1) return true;
  if ((IsName(head) || head.Is(TokenKind::String)) && At(tokens, first + 1).IsOp("=")) return true;
  if (!IsName(tail) && !tail.Is(TokenKind::String)) return false;
  const Token& before = At(tokens, last - 2);
  return !before.Is(TokenKind::Dot) && !before.Is(TokenKind::Operator) && !before.Is(TokenKind::LParen) &&
         !before.Is(TokenKind::Comma);
}

}  // namespace

template <class List>
std::vector<std::pair<size_t, size_t>> UnnamedColumns::Items(const List& tokens, size_t select, size_t last) {
  std::vector<std::pair<size_t, size_t>> items;
  size_t i = select + 1;
  if (i < last && (At(tokens, i).IsWord("distinct") || At(tokens, i).IsWord("all"))) ++i;
  if (i < last && At(tokens, i).IsWord("top")) return {};  // the caller's text: TOP is left to the engine's count
  size_t start = i;
  int depth = 0;
  for (; i < last; ++i) {
    const Token& t = At(tokens, i);
    if (t.Is(TokenKind::LParen)) ++depth;
    if (t.Is(TokenKind::RParen) && --depth < 0) return {};
    if (depth != 0) continue;
    if (EndsList(t)) break;
    if (t.Is(TokenKind::Comma)) {
      items.emplace_back(start, i);
      start = i + 1;
    }
  }
  if (i > start) items.emplace_back(start, i);
  for (const auto& [a, b] : items)
    if (a >= b) return {};
  return items;
}

std::vector<bool> UnnamedColumns::Find(const std::vector<Token>& tokens, size_t first, size_t last) {
  if (first >= last || !tokens[first].IsWord("select")) return {};
  std::vector<bool> unnamed;
  size_t select = first;
  // SELECT TOP n: the list begins after the count.
  size_t i = first + 1;
  if (i < last && (tokens[i].IsWord("distinct") || tokens[i].IsWord("all"))) ++i;
  if (i < last && tokens[i].IsWord("top")) {
    ++i;
    if (i < last && tokens[i].Is(TokenKind::LParen)) {
      int depth = 0;
      for (; i < last; ++i) {
        if (tokens[i].Is(TokenKind::LParen)) ++depth;
        if (tokens[i].Is(TokenKind::RParen) && --depth == 0) break;
      }
    }
    ++i;
    if (i < last && tokens[i].IsWord("percent")) ++i;
    if (i + 1 < last && tokens[i].IsWord("with") && tokens[i + 1].IsWord("ties")) i += 2;
    if (i > last) return {};  // a TOP without its count: the engine refuses the text
    select = i - 1;           // as if the list began after a SELECT here
  }
  std::vector<Token> view(tokens.begin() + static_cast<std::ptrdiff_t>(select),
                          tokens.begin() + static_cast<std::ptrdiff_t>(last));
  if (select != first) view[0] = TokenList::Word("SELECT");
  for (const auto& [a, b] : Items(view, 0, view.size())) unnamed.push_back(!IsNamed(view, a, b));
  return unnamed;
}

}  // namespace fabrikon::dialect
