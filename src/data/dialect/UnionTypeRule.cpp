// UnionTypeRule: see the header. Compounds are handled from the last to the
// first, and within one from its last arm back, so that the positions still
// to be read stay valid.
#include "data/dialect/UnionTypeRule.h"

#include <initializer_list>
#include <string_view>

#include "data/dialect/IntOverflowRule.h"
#include "data/dialect/StringConcatRule.h"

namespace fabrikon::dialect {

namespace {

bool IsOneOf(const Token& t, std::initializer_list<std::string_view> words) {
  for (std::string_view word : words)
    if (t.IsWord(word)) return true;
  return false;
}

bool IsCompound(const Token& t) { return IsOneOf(t, {"union", "except", "intersect"}); }

bool EndsSelectList(const Token& t) {
  return t.kind == TokenKind::Semicolon ||
         IsOneOf(t, {"from", "where", "group", "having", "order", "union", "except", "intersect", "into", "limit",
                     "window", "option"});
}

// The first SELECT of a compound: a SELECT not preceded by UNION [ALL],
// EXCEPT or INTERSECT.
bool IsHead(const TokenList& tokens, size_t i) {
  if (!tokens[i].IsWord("select")) return false;
  if (i == 0) return true;
  const Token& prev = tokens[i - 1];
  return !IsCompound(prev) && !(prev.IsWord("all") && i >= 2 && IsCompound(tokens[i - 2]));
}

}  // namespace

void UnionTypeRule::Apply(TokenList& tokens, const RuleContext&) const {
  bool compound = false;
  for (size_t i = 0; i < tokens.size() && !compound; ++i) compound = IsCompound(tokens[i]);
  if (!compound) return;
  for (size_t i = tokens.size(); i-- > 0;) {
    if (!IsHead(tokens, i)) continue;
    Convert(tokens, i);
    Collate(tokens, i);
  }
}

// UNION, EXCEPT and INTERSECT find equal rows by the collation of the first
// arm's columns; a text column there that is no table column (a literal, a
// text function) takes the TSQL collation, so that 'a' and 'A ' are one row.
void UnionTypeRule::Collate(TokenList& tokens, size_t head) {
  const std::vector<size_t> arms = Arms(tokens, head);
  bool distinct = false;
  for (size_t arm : arms) distinct = distinct || (arm != head && !tokens[arm - 1].IsWord("all"));
  if (!distinct) return;
  const std::vector<Item> items = Items(tokens, head);
  for (size_t c = items.size(); c-- > 0;) {
    const Item& item = items[c];
    if (item.type != Type::Text || tokens.At(item.last).IsWord("collate")) continue;
    tokens.Insert(item.last, {TokenList::Word("COLLATE"), TokenList::Word("TSQL")});
  }
}

void UnionTypeRule::Convert(TokenList& tokens, size_t head) {
  const std::vector<size_t> arms = Arms(tokens, head);
  if (arms.size() < 2) return;
  std::vector<std::vector<Item>> items;
  for (size_t arm : arms) {
    items.push_back(Items(tokens, arm));
    if (items.back().size() != items.front().size() || items.back().empty()) return;
  }
  // Which columns convert their text arms, and to what.
  std::vector<Type> target(items.front().size(), Type::Unknown);
  for (size_t c = 0; c < target.size(); ++c) {
    bool text = false, number = false, integral = true, known = true;
    for (const auto& arm : items) {
      const Type type = arm[c].type;
      known = known && type != Type::Unknown;
      text = text || type == Type::Text;
      number = number || type == Type::Int || type == Type::Number;
      integral = integral && type != Type::Number;
    }
    if (known && text && number) target[c] = integral ? Type::Int : Type::Number;
  }
  for (size_t a = items.size(); a-- > 0;) {
    for (size_t c = target.size(); c-- > 0;) {
      const Item& item = items[a][c];
      if (target[c] == Type::Unknown || item.type != Type::Text) continue;
      const bool toInt = target[c] == Type::Int;
      std::vector<Token> call{TokenList::Word(toInt ? "tsql_int" : "tsql_as"), TokenList::Open()};
      call[0].blankBefore = tokens[item.first].blankBefore;
      const std::vector<Token> value = tokens.Slice(item.first, item.last);
      call.insert(call.end(), value.begin(), value.end());
      call[2].blankBefore = false;
      call.push_back(TokenList::Comma());
      if (toInt) {
        call.push_back(TokenList::Make(TokenKind::Number, "32"));
      } else {  // a number with a point is numeric
        call.push_back(TokenList::Make(TokenKind::String, "'numeric'"));
        call.push_back(TokenList::Comma());
        call.push_back(TokenList::Make(TokenKind::String, "'varchar'"));
      }
      call.push_back(TokenList::Close());
      tokens.Replace(item.first, item.last, std::move(call));
    }
  }
}

std::vector<size_t> UnionTypeRule::Arms(const TokenList& tokens, size_t head) {
  std::vector<size_t> arms{head};
  int depth = 0;
  for (size_t i = head + 1; i < tokens.size(); ++i) {
    if (tokens[i].kind == TokenKind::LParen) ++depth;
    if (tokens[i].kind == TokenKind::RParen && --depth < 0) break;
    if (depth != 0 || !IsCompound(tokens[i])) continue;
    size_t next = i + 1;
    if (tokens.At(next).IsWord("all")) ++next;
    if (!tokens.At(next).IsWord("select")) return {};  // a parenthesised arm: not read
    arms.push_back(next);
    i = next;
  }
  return arms;
}

std::vector<UnionTypeRule::Item> UnionTypeRule::Items(const TokenList& tokens, size_t select) {
  size_t first = select + 1;
  if (tokens.At(first).IsWord("distinct") || tokens.At(first).IsWord("all")) ++first;
  std::vector<Item> items;
  int depth = 0;
  for (size_t i = first;; ++i) {
    const Token& t = tokens.At(i);
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen) --depth;
    const bool end = i >= tokens.size() || depth < 0 || (depth == 0 && EndsSelectList(t));
    if (end || (depth == 0 && t.kind == TokenKind::Comma)) {
      if (i == first) return {};
      items.push_back(ReadItem(tokens, first, i));
      first = i + 1;
    }
    if (end) return items;
  }
}

UnionTypeRule::Item UnionTypeRule::ReadItem(const TokenList& tokens, size_t first, size_t last) {
  auto isName = [](const Token& t) {
    return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !TokenList::IsReserved(t));
  };
  if (last - first >= 3 && isName(tokens[first]) && tokens[first + 1].IsOp("=")) {
    first += 2;  // name = expression
  } else if (last - first >= 3 && tokens[last - 2].IsWord("as")) {
    last -= 2;
  } else if (last - first >= 2 && isName(tokens[last - 1]) && tokens[last - 2].kind != TokenKind::Dot &&
             tokens[last - 2].kind != TokenKind::Operator) {
    last -= 1;  // expression alias
  }
  return Item{first, last, TypeOf(tokens, first, last)};
}

UnionTypeRule::Type UnionTypeRule::TypeOf(const TokenList& tokens, size_t first, size_t last) {
  if (last == first + 1 && tokens[first].IsWord("null")) return Type::Null;
  if (IntOverflowRule::IsInt(tokens, first, last)) return Type::Int;
  size_t value = first;
  if (last == first + 2 && (tokens[first].IsOp("-") || tokens[first].IsOp("+"))) value = first + 1;
  if (last == value + 1 && tokens[value].kind == TokenKind::Number)
    return IntOverflowRule::IsIntLiteral(tokens[value]) ? Type::Int : Type::Number;
  switch (StringConcatRule::Classify(tokens, first, last)) {
    case StringConcatRule::Type::Text:
      return Type::Text;
    case StringConcatRule::Type::Number:
      return Type::Number;
    default:
      return Type::Unknown;
  }
}

}  // namespace fabrikon::dialect
