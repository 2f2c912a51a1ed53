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

bool IsIdentity(const TokenList& tokens, TokenList::Range item) {
  return tokens[item.first].IsWord("identity") && tokens.At(item.first + 1).Is(TokenKind::LParen);
}

// A name as the engine compares it: without its quotes, in lower case.
std::string PlainName(const Token& token) {
  std::string_view text = token.text;
  if (token.Is(TokenKind::QuotedName) && text.size() >= 2) text = text.substr(1, text.size() - 2);
  std::string name(text);
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

// An item's expression without its alias ("a AS b" -> "a").
TokenList::Range Expression(const TokenList& tokens, TokenList::Range item) {
  const size_t as = tokens.FindWord("as", item.first, item.second);
  return {item.first, as == TokenList::npos ? item.second : as};
}

}  // namespace

void SelectIntoRule::Apply(TokenList& tokens, const RuleContext& context) const {
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
  const bool byRowid = context.rowidNumbering != nullptr && listStart == 1 &&
                       NumberableByRowid(tokens, from, items, order);

  std::vector<Token> out{TokenList::Word("CREATE"), TokenList::Word("TABLE")};
  const std::vector<Token> target = tokens.Slice(into + 1, from);
  out.insert(out.end(), target.begin(), target.end());
  out.push_back(TokenList::Word("AS"));
  out.push_back(TokenList::Word("SELECT"));
  if (listStart == 2) out.push_back(tokens[1]);
  for (size_t n = 0; n < items.size(); ++n) {
    if (n > 0) out.push_back(TokenList::Comma());
    const TokenList::Range item = items[n];
    if (IsIdentity(tokens, item)) {
      const Identity id = ReadIdentity(tokens, item);
      if (byRowid) {
        *context.rowidNumbering = RowidNumbering(tokens, id);
        for (Token t : {TokenList::Word("NULL"), TokenList::Word("AS"), tokens[id.alias]}) out.push_back(t);
        out.back().blankBefore = true;
        continue;
      }
      const std::vector<Token> column = IdentityColumn(tokens, id, order);
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

// IDENTITY(type[, seed, increment]) [AS] name
SelectIntoRule::Identity SelectIntoRule::ReadIdentity(const TokenList& tokens, TokenList::Range item) {
  const size_t open = item.first + 1;
  const size_t close = tokens.MatchParen(open);
  if (close == TokenList::npos || close >= item.second) Fail("IDENTITY");
  const std::vector<TokenList::Range> args = tokens.Arguments(open, close);
  Identity id;
  if (args.size() == 3) {
    id.seed = tokens.Emit(args[1].first, args[1].second);
    id.increment = tokens.Emit(args[2].first, args[2].second);
  } else if (args.size() != 1) {
    Fail("IDENTITY");
  }
  id.alias = close + 1;
  if (tokens.At(id.alias).IsWord("as")) ++id.alias;
  if (id.alias + 1 != item.second) Fail("IDENTITY");  // SELECT INTO needs a name for every column
  return id;
}

// The rowids of the new table number the rows as they came in, which is the
// query's order, so they are the numbers, provided every row of the query
// becomes one row of the table, the one identity column is the only item
// that changes, and "rowid" means the rowid there (no column of the list may
// take that name: none is so named, no * brings one in).
bool SelectIntoRule::NumberableByRowid(const TokenList& tokens, size_t from,
                                       const std::vector<TokenList::Range>& items, const std::vector<Token>& order) {
  for (std::string_view word : {"union", "except", "intersect"})
    if (tokens.FindWord(word, from, tokens.size()) != TokenList::npos) return false;
  size_t identities = 0;
  std::string alias;
  for (const TokenList::Range& item : items) {
    if (IsIdentity(tokens, item)) {
      ++identities;
      alias = PlainName(tokens[ReadIdentity(tokens, item).alias]);
      continue;
    }
    for (size_t i = item.first; i < item.second; ++i) {
      if (tokens[i].IsOp("*") && (i == item.first || tokens[i - 1].Is(TokenKind::Dot))) return false;
      const std::string name = PlainName(tokens[i]);
      if (name == "rowid" || name == "_rowid_" || name == "oid") return false;
    }
  }
  if (identities != 1 || alias == "rowid" || alias == "_rowid_" || alias == "oid") return false;
  // An ORDER BY naming the identity column would order by the empty column.
  for (const Token& t : order)
    if ((t.Is(TokenKind::Word) || t.Is(TokenKind::QuotedName)) && PlainName(t) == alias) return false;
  return true;
}

// "name = rowid", or "name = (rowid - 1) * increment + seed".
std::string SelectIntoRule::RowidNumbering(const TokenList& tokens, const Identity& id) {
  const std::string name(tokens[id.alias].text);
  if (id.seed == "1" && id.increment == "1") return name + " = rowid";
  return name + " = (rowid - 1) * " + id.increment + " + " + id.seed;
}

// IDENTITY(type, seed, increment) AS name -> row_number() OVER (ORDER BY ...) AS name
std::vector<Token> SelectIntoRule::IdentityColumn(TokenList& tokens, const Identity& id,
                                                  const std::vector<Token>& order) {
  std::vector<Token> out{tokens.Text("row_number"), TokenList::Open(), TokenList::Close(), TokenList::Word("OVER"),
                         TokenList::Open()};
  if (!order.empty()) {
    out.push_back(TokenList::Word("ORDER"));
    out.push_back(TokenList::Word("BY"));
    out.insert(out.end(), order.begin(), order.end());
  }
  out.push_back(TokenList::Close());
  if (id.seed != "1" || id.increment != "1") {
    out.insert(out.begin(), TokenList::Make(TokenKind::LParen, "("));
    for (Token t : {TokenList::Op("-"), TokenList::Make(TokenKind::Number, "1"), TokenList::Close(),
                    TokenList::Op("*"), tokens.Text(id.increment), TokenList::Op("+"), tokens.Text(id.seed)})
      out.push_back(t);
  }
  out.push_back(TokenList::Word("AS"));
  out.push_back(tokens[id.alias]);
  out.back().blankBefore = true;
  return out;
}

}  // namespace fabrikon::dialect
