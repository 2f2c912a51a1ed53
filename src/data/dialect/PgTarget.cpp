// PgTarget: see the header. Works on the tokens of one translated statement;
// every rewrite keeps the statement's meaning on a database laid out by
// schema/pg.
#include "data/dialect/PgTarget.h"

#include <array>
#include <string_view>

#include "data/dialect/TSqlLexer.h"
#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The embedded engine's catalogues of tables, as ObjectNameRule writes them,
// and what they are on the server.
constexpr std::string_view kTempCatalogue =
    "(SELECT name COLLATE TSQL AS name, 'U' AS type, 'U' AS xtype FROM sqlite_temp_master WHERE type = 'table')";
constexpr std::string_view kPgTempCatalogue =
    "(SELECT CAST(tablename AS varchar) COLLATE tsql AS name, 'U' AS type, 'U' AS xtype FROM pg_tables "
    "WHERE schemaname = (SELECT nspname FROM pg_namespace WHERE oid = pg_my_temp_schema()))";
constexpr std::string_view kMainCatalogue =
    "(SELECT name COLLATE TSQL AS name, CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' WHEN 'index' THEN 'I' "
    "ELSE 'TR' END AS type, CASE type WHEN 'table' THEN 'U' WHEN 'view' THEN 'V' WHEN 'index' "
    "THEN 'I' ELSE 'TR' END AS xtype FROM sqlite_master)";
constexpr std::string_view kPgMainCatalogue =
    "(SELECT CAST(relname AS varchar) COLLATE tsql AS name, CASE relkind WHEN 'r' THEN 'U' WHEN 'v' THEN 'V' "
    "WHEN 'i' THEN 'I' ELSE 'TR' END AS type, CASE relkind WHEN 'r' THEN 'U' WHEN 'v' THEN 'V' WHEN 'i' THEN 'I' "
    "ELSE 'TR' END AS xtype FROM pg_class WHERE relnamespace = (SELECT oid FROM pg_namespace "
    "WHERE nspname = current_schema()))";

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// tsql_store_as's kinds (StoreConversion's numbering) by name.
constexpr std::array<std::string_view, 10> kStoreKinds{"asgiven", "integer", "decimal", "money",   "float",
                                                       "bit",     "datetime", "date",   "fixedtext", "text"};

class Rewriter {
 public:
  explicit Rewriter(TokenList& tokens) : t_(tokens) {}

  void Run() {
    for (size_t i = 0; i < t_.size(); ++i) {
      Token& token = t_[i];
      if (token.kind == TokenKind::QuotedName) {
        FoldQuotedName(i);
      } else if (token.kind == TokenKind::Word) {
        i = Word(i);
      }
    }
  }

 private:
  bool Call(size_t i, std::string_view name) const {
    return t_[i].IsWord(name) && t_.At(i + 1).Is(TokenKind::LParen);
  }

  // Returns the index the scan goes on from.
  size_t Word(size_t i) {
    if (Call(i, "instr")) return Rename(i, "strpos");
    if (Call(i, "tsql_store_as")) return StoreAs(i);
    if (Call(i, "tsql_as")) return As(i);
    if (Call(i, "tsql_store")) return StoreAsGiven(i);
    if ((t_[i].IsWord("from") || t_[i].IsWord("join")) && t_.At(i + 1).Is(TokenKind::LParen)) return Derived(i + 1);
    if (t_[i].IsWord("real") && t_.At(i - 1).IsWord("as")) {
      t_.Replace(i, i + 1, {TokenList::Word("double"), TokenList::Word("precision")});
      return i + 1;
    }
    if (t_[i].IsWord("is") && !t_.At(i + 1).IsWord("null") &&
        !(t_.At(i + 1).IsWord("not") && t_.At(i + 2).IsWord("null")))
      return DistinctFrom(i);
    if (t_[i].IsWord("like")) return Like(i);
    if (t_[i].IsWord("temp") && t_.At(i + 1).Is(TokenKind::Dot)) return TempName(i);
    return i;
  }

  size_t Rename(size_t i, std::string_view name) {
    Token renamed = TokenList::Word(name);
    renamed.blankBefore = t_[i].blankBefore;
    t_[i] = renamed;
    return i;
  }

  void FoldQuotedName(size_t i) {
    if (t_.At(i - 1).IsWord("as")) return;  // a column alias keeps its spelling
    const std::string_view text = t_[i].text;
    if (text.size() < 2 || text.front() != '"') return;
    std::string folded = Lower(text);
    if (folded != text) t_[i].text = t_.Store(std::move(folded));
  }

  // tsql_store_as(v, K, a, b) -> tsql_store_<kind>(v, a, b)
  size_t StoreAs(size_t i) {
    const size_t open = i + 1, close = t_.MatchParen(open);
    if (close == TokenList::npos) return i;
    const auto args = t_.Arguments(open, close);
    if (args.size() != 4 || args[1].second != args[1].first + 1 || !t_[args[1].first].Is(TokenKind::Number))
      return i;
    const std::string_view code = t_[args[1].first].text;
    if (code.size() != 1 || code[0] < '0' || code[0] > '9') return i;
    const size_t kind = static_cast<size_t>(code[0] - '0');
    // Drop ", K" (the comma before K and K itself).
    t_.Erase(args[1].first - 1, args[1].second);
    return Rename(i, t_.Store("tsql_store_" + std::string(kStoreKinds[kind])));
  }

  // tsql_as(x, 'T', ...) -> tsql_as_T(x, ...)
  size_t As(size_t i) {
    const size_t open = i + 1, close = t_.MatchParen(open);
    if (close == TokenList::npos) return i;
    const auto args = t_.Arguments(open, close);
    if (args.size() < 2 || !t_[args[1].first].Is(TokenKind::String)) return i;
    std::string type;
    for (char c : Lower(t_[args[1].first].text))
      if (c != '\'') type += (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? c : '_';
    t_.Erase(args[1].first - 1, args[1].second);
    return Rename(i, t_.Store("tsql_as_" + type));
  }

  // tsql_store(v, 'table', column): a column the translation could not type
  // (a table made earlier in the same batch); the server converts on store.
  size_t StoreAsGiven(size_t i) {
    const size_t open = i + 1, close = t_.MatchParen(open);
    if (close == TokenList::npos) return i;
    const auto args = t_.Arguments(open, close);
    if (args.size() != 3) return i;
    std::vector<Token> value = t_.Slice(args[0].first, args[0].second);
    value.insert(value.begin(), TokenList::Make(TokenKind::LParen, "("));
    value.push_back(TokenList::Close());
    value.front().blankBefore = t_[i].blankBefore;
    t_.Replace(i, close + 1, std::move(value));
    return i;
  }

  // A derived table must have an alias on the server.
  size_t Derived(size_t open) {
    const size_t close = t_.MatchParen(open);
    if (close == TokenList::npos || !t_.At(open + 1).IsWord("select")) return open;
    const Token& next = t_.At(close + 1);
    const bool aliased = next.IsWord("as") || next.kind == TokenKind::QuotedName ||
                         (next.kind == TokenKind::Word && !TokenList::IsReserved(next) && !next.IsWord("limit") &&
                          !next.IsWord("offset"));
    if (!aliased) t_.Insert(close + 1, {TokenList::Word("AS"), TokenList::Word(t_.Store("derived_" + std::to_string(++derived_)))});
    return open;
  }

  size_t DistinctFrom(size_t i) {
    std::vector<Token> words;
    if (t_.At(i + 1).IsWord("not")) {
      words = {TokenList::Word("IS"), TokenList::Word("NOT"), TokenList::Word("DISTINCT"), TokenList::Word("FROM")};
      t_.Replace(i, i + 2, std::move(words));
    } else {
      words = {TokenList::Word("IS"), TokenList::Word("NOT"), TokenList::Word("DISTINCT"), TokenList::Word("FROM")};
      t_.Replace(i, i + 1, std::move(words));
    }
    return i + 3;
  }

  // Where the operand of LIKE (pattern or escape) that begins at first ends.
  size_t PatternEnd(size_t first) const {
    int depth = 0;
    for (size_t i = first; i < t_.size(); ++i) {
      const Token& t = t_[i];
      if (t.Is(TokenKind::LParen)) ++depth;
      if (t.Is(TokenKind::RParen) && --depth < 0) return i;
      if (depth > 0) continue;
      if (t.Is(TokenKind::Comma) || t.Is(TokenKind::Semicolon) || t.IsComparison()) return i;
      if (t.kind == TokenKind::Word && i > first &&
          (t.IsWord("escape") || (TokenList::IsReserved(t) && !t.IsWord("collate") && !t.IsWord("case") &&
                                  !t.IsWord("null"))))
        return i;
    }
    return t_.size();
  }

  // a [NOT] LIKE p [ESCAPE e] -> a ~~~ (p)  /  a !~~~ ROW(p, e)::tsql_pattern
  size_t Like(size_t i) {
    size_t start = i;
    bool negated = false;
    if (t_.At(i - 1).IsWord("not")) {
      negated = true;
      start = i - 1;
    }
    const size_t patternEnd = PatternEnd(i + 1);
    std::vector<Token> pattern = t_.Slice(i + 1, patternEnd);
    size_t end = patternEnd;
    std::vector<Token> out{TokenList::Op(negated ? "!~~~" : "~~~")};
    if (t_.At(patternEnd).IsWord("escape")) {
      end = PatternEnd(patternEnd + 1);
      out.push_back(TokenList::Word("ROW"));
      out.push_back(TokenList::Open());
      out.insert(out.end(), pattern.begin(), pattern.end());
      out.push_back(TokenList::Comma());
      std::vector<Token> escape = t_.Slice(patternEnd + 1, end);
      out.insert(out.end(), escape.begin(), escape.end());
      out.push_back(TokenList::Close());
      out.push_back(TokenList::Make(TokenKind::Operator, "::"));
      out.push_back(TokenList::Word("tsql_pattern"));
    } else {
      out.push_back(TokenList::Make(TokenKind::LParen, "("));
      out.insert(out.end(), pattern.begin(), pattern.end());
      out.push_back(TokenList::Close());
    }
    const size_t count = out.size();
    t_.Replace(start, end, std::move(out));
    return start + count - 1;
  }

  // temp.x -> pg_temp.x; CREATE TABLE temp.x -> CREATE TEMP TABLE x;
  // CREATE INDEX temp.i ON x -> CREATE INDEX i ON pg_temp.x.
  size_t TempName(size_t i) {
    const bool created = t_.At(i - 1).IsWord("table") && t_.At(i - 2).IsWord("create");
    const bool index = t_.At(i - 1).IsWord("index") && t_.At(i - 2).IsWord("create");
    if (created) {
      t_.Replace(i - 1, i + 2, {TokenList::Word("TEMP"), TokenList::Word("TABLE")});
      return i;
    }
    if (index) {
      t_.Erase(i, i + 2);
      const size_t on = i + 1;
      if (t_.At(on).IsWord("on")) t_.Insert(on + 1, {TokenList::Word("pg_temp"), TokenList::Make(TokenKind::Dot, ".")});
      return i;
    }
    Token schema = TokenList::Word("pg_temp");
    schema.blankBefore = t_[i].blankBefore;
    t_[i] = schema;
    return i;
  }

  TokenList& t_;
  int derived_ = 0;
};

}  // namespace

std::string PgTarget::Rewrite(const std::string& sql) {
  std::string text = ReplaceAll(ReplaceAll(sql, kTempCatalogue, kPgTempCatalogue), kMainCatalogue, kPgMainCatalogue);
  LexedText lexed = TSqlLexer::Tokenize(text);
  TokenList tokens(std::move(lexed.tokens));
  Rewriter(tokens).Run();
  return tokens.Emit();
}

}  // namespace fabrikon::dialect
