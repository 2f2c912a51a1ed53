// SelectIntoRule: see the header.
#include "data/dialect/SelectIntoRule.h"

#include <charconv>
#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

[[noreturn]] void Fail(std::string_view near) {
  throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near '" + std::string(near) + "'.");
}

// The select-list items between first and last, split at top-level commas.
std::vector<TokenList::Range> Items(const TokenList& tokens, size_t first, size_t last) {
  std::vector<TokenList::Range> items;
  int depth = 0;
  size_t start = first;
  for (size_t i = first; i < last; ++i) {
    if (tokens[i].kind == TokenKind::LParen) ++depth;
    if (tokens[i].kind == TokenKind::RParen) --depth;
    if (depth == 0 && tokens[i].kind == TokenKind::Comma) {
      items.emplace_back(start, i);
      start = i + 1;
    }
  }
  items.emplace_back(start, last);
  return items;
}

// An item's expression without its alias ("a AS b" -> "a").
TokenList::Range Expression(const TokenList& tokens, TokenList::Range item) {
  const size_t as = tokens.FindWord("as", item.first, item.second);
  return {item.first, as == TokenList::npos ? item.second : as};
}

}  // namespace

void SelectIntoRule::Apply(TokenList& tokens, const RuleContext&) const {
  if (tokens.empty() || !tokens[0].IsWord("select")) return;
  const size_t into = tokens.FindWord("into", 1, tokens.size());
  if (into == TokenList::npos) return;
  size_t from = tokens.FindWord("from", into, tokens.size());
  if (from == TokenList::npos) from = tokens.size();
  if (from == into + 1) Fail("INTO");

  size_t listStart = 1;
  if (tokens[1].IsWord("distinct") || tokens[1].IsWord("all")) listStart = 2;
  const std::vector<TokenList::Range> items = Items(tokens, listStart, into);
  const std::vector<Token> order = OrderList(tokens, from, items);

  std::vector<Token> out{TokenList::Word("CREATE"), TokenList::Word("TABLE")};
  const std::vector<Token> target = tokens.Slice(into + 1, from);
  out.insert(out.end(), target.begin(), target.end());
  out.push_back(TokenList::Word("AS"));
  out.push_back(TokenList::Word("SELECT"));
  if (listStart == 2) out.push_back(tokens[1]);
  for (size_t n = 0; n < items.size(); ++n) {
    if (n > 0) out.push_back(TokenList::Comma());
    const TokenList::Range item = items[n];
    if (tokens[item.first].IsWord("identity") && tokens.At(item.first + 1).Is(TokenKind::LParen)) {
      const std::vector<Token> column = IdentityColumn(tokens, item, order);
      out.insert(out.end(), column.begin(), column.end());
    } else {
      const std::vector<Token> copy = tokens.Slice(item.first, item.second);
      out.insert(out.end(), copy.begin(), copy.end());
    }
  }
  const std::vector<Token> rest = tokens.Slice(from, tokens.size());
  out.insert(out.end(), rest.begin(), rest.end());
  tokens.Replace(0, tokens.size(), std::move(out));
}

// The ORDER BY list of the query, with ordinals replaced by the expressions
// they point at (an ordinal inside OVER (...) would be a constant).
std::vector<Token> SelectIntoRule::OrderList(const TokenList& tokens, size_t from,
                                             const std::vector<TokenList::Range>& items) {
  size_t order = TokenList::npos;
  for (size_t i = tokens.FindWord("order", from, tokens.size()); i != TokenList::npos;
       i = tokens.FindWord("order", i + 1, tokens.size()))
    order = i;
  if (order == TokenList::npos || !tokens.At(order + 1).IsWord("by")) return {};
  std::vector<Token> list;
  for (const TokenList::Range& entry : Items(tokens, order + 2, tokens.size())) {
    if (!list.empty()) list.push_back(TokenList::Comma());
    // At: a list cut short ("order by", "order by a,") ends in an empty entry
    // past the last token; it is copied as nothing and the engine refuses the text.
    const Token& head = tokens.At(entry.first);
    if (head.kind == TokenKind::Number) {
      size_t n = 0;
      const auto [end, error] = std::from_chars(head.text.data(), head.text.data() + head.text.size(), n);
      if (error != std::errc() || end != head.text.data() + head.text.size() || n < 1 || n > items.size() ||
          tokens[items[n - 1].first].IsWord("identity"))
        Fail(head.text);
      const TokenList::Range expr = Expression(tokens, items[n - 1]);
      const std::vector<Token> copy = tokens.Slice(expr.first, expr.second);
      list.insert(list.end(), copy.begin(), copy.end());
      const std::vector<Token> direction = tokens.Slice(entry.first + 1, entry.second);
      list.insert(list.end(), direction.begin(), direction.end());
    } else {
      const std::vector<Token> copy = tokens.Slice(entry.first, entry.second);
      list.insert(list.end(), copy.begin(), copy.end());
    }
  }
  return list;
}

// IDENTITY(type, seed, increment) AS name -> row_number() OVER (ORDER BY ...) AS name
std::vector<Token> SelectIntoRule::IdentityColumn(TokenList& tokens, TokenList::Range item,
                                                  const std::vector<Token>& order) {
  const size_t open = item.first + 1;
  const size_t close = tokens.MatchParen(open);
  if (close == TokenList::npos || close >= item.second) Fail("IDENTITY");
  const std::vector<TokenList::Range> args = tokens.Arguments(open, close);
  std::string seed = "1", increment = "1";
  if (args.size() == 3) {
    seed = tokens.Emit(args[1].first, args[1].second);
    increment = tokens.Emit(args[2].first, args[2].second);
  } else if (args.size() != 1) {
    Fail("IDENTITY");
  }
  size_t alias = close + 1;
  if (tokens.At(alias).IsWord("as")) ++alias;
  if (alias + 1 != item.second) Fail("IDENTITY");  // SELECT INTO needs a name for every column

  std::vector<Token> out{tokens.Text("row_number"), TokenList::Open(), TokenList::Close(), TokenList::Word("OVER"),
                         TokenList::Open()};
  if (!order.empty()) {
    out.push_back(TokenList::Word("ORDER"));
    out.push_back(TokenList::Word("BY"));
    out.insert(out.end(), order.begin(), order.end());
  }
  out.push_back(TokenList::Close());
  if (seed != "1" || increment != "1") {
    out.insert(out.begin(), TokenList::Make(TokenKind::LParen, "("));
    for (Token t : {TokenList::Op("-"), TokenList::Make(TokenKind::Number, "1"), TokenList::Close(),
                    TokenList::Op("*"), tokens.Text(increment), TokenList::Op("+"), tokens.Text(seed)})
      out.push_back(t);
  }
  out.push_back(TokenList::Word("AS"));
  out.push_back(tokens[alias]);
  out.back().blankBefore = true;
  return out;
}

}  // namespace fabrikon::dialect
