// PgTarget: see the header. Works on the tokens of one translated statement;
// every rewrite keeps the statement's meaning on a database laid out by
// schema/pg.
#include "data/dialect/PgTarget.h"

#include <algorithm>
#include <array>
#include <regex>
#include <string_view>

#include "data/dialect/CreateTableRule.h"
#include "data/dialect/TSqlKeywords.h"
#include "fabrikon/ComError.h"

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

// The clause keywords that never follow AS in T-SQL (a column or table alias
// goes there, or a type, a query or a body, none of which starts with them).
bool ClauseKeyword(const Token& t) {
  for (std::string_view word : {"from", "where", "group", "having", "order", "union", "except", "intersect", "into"})
    if (t.IsWord(word)) return true;
  return false;
}

class Rewriter {
 public:
  explicit Rewriter(TokenList& tokens) : t_(tokens) {}

  void Run() {
    ColumnTypes();
    for (size_t i = 0; i < t_.size(); ++i) {
      if (t_[i].IsWord("order") && t_.At(i + 1).IsWord("by")) NullsAsSqlServer(i + 2);
      if (t_[i].IsWord("group") && t_.At(i + 1).IsWord("by")) GroupWithoutCollate(i + 2);
    }
    for (size_t i = 0; i < t_.size(); ++i) {
      Token& token = t_[i];
      if (token.kind == TokenKind::QuotedName) {
        FoldQuotedName(i);
      } else if (token.kind == TokenKind::String) {
        if (Compared(i)) TrimTrailingBlanks(i);
        // A name written against a literal would make the server read a
        // prefixed literal (E'…' takes backslash escapes): keep them apart.
        if (i > 0 && t_[i - 1].kind == TokenKind::Word) token.blankBefore = true;
      } else if (token.kind == TokenKind::Number) {
        i = FloatLiteral(i);
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
    if (Call(i, "replace")) return Rename(i, "tsql_replace");
    // char(n) the function (a type after AS or in a column list)
    if ((Call(i, "char") || Call(i, "nchar")) && !t_.At(i - 1).IsWord("as") && !t_.At(i - 1).Is(TokenKind::Word) &&
        !t_.At(i - 1).Is(TokenKind::QuotedName))
      return Rename(i, "chr");
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
    if (t_[i].IsWord("rowid")) return Rename(i, "ctid");
    if (t_[i].IsWord("select") && t_.At(i + 1).IsWord("from"))
      throw ComError(ErrorNumber::ErrorsInCommand, TSqlKeywords::IncorrectSyntaxNear("from"));
    // PostgreSQL takes any keyword for a column label ("SELECT 1 AS FROM" is
    // a column named from); SQL Server and the embedded engine refuse a clause
    // keyword there, so a statement built with an empty name fails as there.
    if (t_[i].IsWord("as") && ClauseKeyword(t_.At(i + 1)))
      throw ComError(ErrorNumber::ErrorsInCommand, TSqlKeywords::IncorrectSyntaxNear(t_.At(i + 1).text));
    if (t_[i].IsWord("temp") && t_.At(i + 1).Is(TokenKind::Dot)) return TempName(i);
    return i;
  }

  // SQL Server's column types as the schema declares them on the server.
  void ColumnTypes() {
    if (t_.At(0).IsWord("alter") && t_.At(1).IsWord("table")) {
      const size_t add = t_.FindWord("add", 2, t_.size());
      if (add == TokenList::npos) return;
      const size_t name = t_.At(add + 1).IsWord("column") ? add + 2 : add + 1;
      ColumnType(name + 1);
      return;
    }
    const size_t open = CreateTableRule::ColumnListOpen(t_);
    if (open == TokenList::npos) return;
    const size_t close = t_.MatchParen(open);
    if (close == TokenList::npos) return;
    const auto columns = t_.Arguments(open, close);
    for (auto it = columns.rbegin(); it != columns.rend(); ++it) {
      const Token& first = t_[it->first];
      if (first.IsWord("constraint") || first.IsWord("primary") || first.IsWord("unique") || first.IsWord("check") ||
          first.IsWord("foreign") || first.IsWord("index"))
        continue;
      if (it->second - it->first >= 2) ColumnType(it->first + 1);
    }
  }

  void ColumnType(size_t type) {
    if (t_.At(type).kind != TokenKind::Word) return;
    const std::string name = Lower(t_[type].text);
    static const std::array<std::pair<std::string_view, std::string_view>, 14> kTypes{{
        {"nvarchar", "varchar"}, {"nchar", "char"}, {"ntext", "text"}, {"bit", "tsql_bit"},
        {"money", "tsql_money_t"}, {"smallmoney", "tsql_money_t"}, {"image", "bytea"}, {"varbinary", "bytea"},
        {"binary", "bytea"}, {"uniqueidentifier", "uuid"}, {"timestamp", "bigint"}, {"rowversion", "bigint"},
        {"sql_variant", "text"}, {"xml", "text"}}};
    if (name == "nvarchar" || name == "varchar") return TextType(type);
    for (const auto& [from, to] : kTypes) {
      if (name != from) continue;
      Rename(type, to);
      break;
    }
    // (max), and the lengths of the binary types, have no counterpart.
    if (!t_.At(type + 1).Is(TokenKind::LParen)) return;
    const size_t close = t_.MatchParen(type + 1);
    if (close == TokenList::npos) return;
    if ((close == type + 3 && t_.At(type + 2).IsWord("max")) || t_[type].text == "bytea") t_.Erase(type + 1, close + 1);
  }

  // nvarchar(n) -> the text domain of that length (schema/pg/000_types.sql).
  void TextType(size_t type) {
    std::string length = "1";
    size_t end = type + 1;
    if (t_.At(type + 1).Is(TokenKind::LParen) && t_.At(type + 3).Is(TokenKind::RParen)) {
      length = Lower(t_.At(type + 2).text);
      end = type + 4;
    }
    t_.Replace(type, end, {TokenList::Word(t_.Store("tsql_nvarchar_" + length))});
  }

  size_t Rename(size_t i, std::string_view name) {
    Token renamed = TokenList::Word(name);
    renamed.blankBefore = t_[i].blankBefore;
    t_[i] = renamed;
    return i;
  }

  // Where the clause that begins at first ends: its closing parenthesis, a
  // clause keyword at its level, or the end.
  size_t ClauseEnd(size_t first) const {
    int depth = 0;
    for (size_t i = first; i < t_.size(); ++i) {
      const Token& t = t_[i];
      if (t.Is(TokenKind::LParen)) ++depth;
      if (t.Is(TokenKind::RParen) && --depth < 0) return i;
      if (depth > 0 || t.kind != TokenKind::Word) continue;
      for (std::string_view word : {"limit", "offset", "having", "order", "union", "except", "intersect", "for",
                                    "fetch", "window"})
        if (t.IsWord(word)) return i;
    }
    return t_.size();
  }

  // SQL Server sorts NULL first, and last when descending.
  void NullsAsSqlServer(size_t first) {
    size_t end = ClauseEnd(first);
    int depth = 0;
    for (size_t i = first; i <= end; ++i) {
      const bool itemEnd = i == end || (depth == 0 && t_[i].Is(TokenKind::Comma));
      if (i < end && t_[i].Is(TokenKind::LParen)) ++depth;
      if (i < end && t_[i].Is(TokenKind::RParen)) --depth;
      if (!itemEnd) continue;
      if (i > first && !t_[i - 1].IsWord("first") && !t_[i - 1].IsWord("last")) {
        const bool descending = t_[i - 1].IsWord("desc");
        t_.Insert(i, {TokenList::Word("NULLS"), TokenList::Word(descending ? "LAST" : "FIRST")});
        i += 2;
        end += 2;
      }
      first = i + 1;
    }
  }

  // The server groups by the column's own collation; a COLLATE there would
  // make the grouped expression differ from the selected one.
  void GroupWithoutCollate(size_t first) {
    size_t end = ClauseEnd(first);
    for (size_t i = first; i + 1 < end; ++i) {
      if (t_[i].IsWord("collate") && t_[i + 1].IsWord("tsql")) {
        t_.Erase(i, i + 2);
        end -= 2;
        --i;
      }
    }
  }

  // 0.1e0 is a float in T-SQL, a numeric on the server.
  size_t FloatLiteral(size_t i) {
    const std::string_view text = t_[i].text;
    if (text.find_first_of("eE") == std::string_view::npos) return i;
    std::vector<Token> cast{TokenList::Word("CAST"), TokenList::Open(), t_[i],
                            TokenList::Word("AS"), TokenList::Word("double"), TokenList::Word("precision"),
                            TokenList::Close()};
    cast[0].blankBefore = t_[i].blankBefore;
    cast[2].blankBefore = false;
    t_.Replace(i, i + 1, std::move(cast));
    return i + 6;
  }

  // A literal that a comparison or an IN list compares: SQL Server ignores
  // its trailing blanks, as it ignores those of the stored values (which the
  // store functions trim).
  bool Compared(size_t i) const {
    size_t next = i + 1;
    if (t_.At(next).IsWord("collate")) next += 2;
    if (t_.At(i - 1).IsComparison() || t_.At(next).IsComparison()) return true;
    size_t first = i;
    while (first > 0 && (t_[first - 1].Is(TokenKind::String) || t_[first - 1].Is(TokenKind::Comma))) --first;
    return t_.At(first - 1).Is(TokenKind::LParen) && t_.At(first - 2).IsWord("in");
  }

  void TrimTrailingBlanks(size_t i) {
    std::string_view text = t_[i].text;
    if (text.size() < 3 || text[text.size() - 2] != ' ') return;
    size_t end = text.size() - 1;  // the closing quote
    while (end > 1 && text[end - 1] == ' ') --end;
    t_[i].text = t_.Store(std::string(text.substr(0, end)) + "'");
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
    if (args[0].second == args[0].first + 1 && StoresAsWritten(t_[args[0].first], kind, t_[args[2].first].text)) {
      Token value = t_[args[0].first];
      value.blankBefore = t_[i].blankBefore;
      t_.Replace(i, close + 1, {value});
      return i;
    }
    // Drop ", K" (the comma before K and K itself).
    t_.Erase(args[1].first - 1, args[1].second);
    return Rename(i, t_.Store("tsql_store_" + std::string(kStoreKinds[kind])));
  }

  // A literal the column takes as it is written, so the server stores it
  // without the conversion (the save's hot path): a whole number in range for
  // an int column, a number for a float, text for a text column (its domain
  // checks the length), a date already in the stored form, NULL.
  static bool StoresAsWritten(const Token& value, size_t kind, std::string_view bitsText) {
    if (value.IsWord("null")) return true;
    const std::string_view text = value.text;
    const bool whole = value.Is(TokenKind::Number) && text.find_first_not_of("0123456789") == std::string_view::npos &&
                       !text.empty() && text.size() <= 18;
    switch (kind) {
      case 1: {  // integer of 8, 16, 32 or 64 bits
        if (!whole) return false;
        const long long n = std::stoll(std::string(text));
        const int bits = bitsText == "8" ? 8 : bitsText == "16" ? 16 : bitsText == "32" ? 32 : 64;
        return bits == 64 || (bits == 8 ? n <= 255 : n < (1LL << (bits - 1)));
      }
      case 4:  // float
        return value.Is(TokenKind::Number) && text.find_first_not_of("0123456789.") == std::string_view::npos;
      case 9:  // text
        return value.Is(TokenKind::String);
      case 6: {  // datetime: 'YYYY-MM-DD HH:MM:SS'
        static const std::regex stored(R"('([0-9]{4})-([0-9]{2})-([0-9]{2}) ([0-9]{2}):([0-9]{2}):([0-9]{2})')");
        std::match_results<std::string_view::const_iterator> m;
        if (!value.Is(TokenKind::String) || !std::regex_match(text.begin(), text.end(), m, stored)) return false;
        const int year = std::stoi(m[1].str()), month = std::stoi(m[2].str()), day = std::stoi(m[3].str());
        static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return year >= 1753 && month >= 1 && month <= 12 && day >= 1 &&
               day <= (month == 2 && !leap ? 28 : kDays[month - 1]) && std::stoi(m[4].str()) < 24 &&
               std::stoi(m[5].str()) < 60 && std::stoi(m[6].str()) < 60;
      }
      default: return false;
    }
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
    t_.Replace(start, end, std::move(out));
    return start;  // the pattern's own tokens are rewritten in turn
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

// StoreRule stages an INSERT ... SELECT whose values it cannot tell apart in
// a common table expression with a column list (see StoreRule.h).
// PostgreSQL accepts a list shorter than the select's columns, a count
// mismatch that must fail, and converts by the column's type and domain on
// its own: the select feeds the INSERT directly again.
void Unstage(TokenList& t) {
  if (!t.At(0).IsWord("insert")) return;
  for (size_t i = 1; i + 1 < t.size(); ++i) {
    if (!t[i].IsWord("with") || !(t[i + 1].IsWord("fabrikon_stored") || t[i + 1].IsWord("fabrikon_stored_all")))
      continue;
    const size_t names = i + 2;
    const size_t namesEnd = t.At(names).Is(TokenKind::LParen) ? t.MatchParen(names) : TokenList::npos;
    if (namesEnd == TokenList::npos || !t.At(namesEnd + 1).IsWord("as") || !t.At(namesEnd + 2).Is(TokenKind::LParen))
      return;
    const size_t open = namesEnd + 2;
    const size_t close = t.MatchParen(open);
    if (close == TokenList::npos) return;
    size_t end = close + 1;
    while (end < t.size() && !t[end].Is(TokenKind::Semicolon)) ++end;
    const bool blank = t[i].blankBefore;
    t.Erase(close, end);
    t.Erase(i, open + 1);
    if (i < t.size()) t[i].blankBefore = blank;
    return;
  }
}

}  // namespace

namespace {

// The column, seed and increment an identity trigger of CreateTableRule numbers.
struct IdentityColumn {
  std::string column;
  long long seed = 1, increment = 1;
};

bool ReadIdentityTrigger(const std::string& sql, IdentityColumn& id) {
  static const std::regex numbering(
      R"re(^CREATE TRIGGER "[^"]*_identity" AFTER INSERT .* SET ("[^"]+") = tsql_identity_note\(coalesce\(\(SELECT (?:max|min)\("[^"]+"\) FROM "[^"]+"\), (-?[0-9]+)\) \+ (-?[0-9]+)\))re");
  std::smatch match;
  if (!std::regex_search(sql, match, numbering)) return false;
  id.column = match[1].str();
  id.increment = std::stoll(match[3].str());
  id.seed = std::stoll(match[2].str()) + id.increment;
  return true;
}

}  // namespace

std::vector<std::string> PgTarget::RewriteAll(const std::vector<std::string>& statements) {
  std::vector<std::string> out;
  std::vector<IdentityColumn> identities;
  for (const std::string& sql : statements) {
    if (sql.rfind("CREATE TRIGGER \"", 0) == 0 && sql.find("_identity") != std::string::npos) {
      IdentityColumn id;
      if (ReadIdentityTrigger(sql, id)) identities.push_back(id);
      continue;  // the explicit-value guard is the server's own with ALWAYS
    }
    out.push_back(Rewrite(sql));
  }
  // The text domains a new column needs are made first.
  static const std::regex domain(R"(\btsql_nvarchar_([0-9]+)\b)");
  if (!out.empty() && (out.front().rfind("CREATE", 0) == 0 || out.front().rfind("create", 0) == 0 ||
                       out.front().rfind("ALTER", 0) == 0 || out.front().rfind("alter", 0) == 0)) {
    std::vector<std::string> domains;
    for (auto it = std::sregex_iterator(out.front().begin(), out.front().end(), domain); it != std::sregex_iterator();
         ++it)
      domains.push_back("SELECT tsql_text_domain(" + (*it)[1].str() + ")");
    out.insert(out.begin(), domains.begin(), domains.end());
  }
  if (identities.empty() || std::none_of(out.begin(), out.end(), [](const std::string& sql) {
        return Lower(sql.substr(0, 12)) == "create table";
      }))
    return out;
  for (const IdentityColumn& id : identities) {
    std::string& create = *std::find_if(out.begin(), out.end(), [](const std::string& sql) {
      return Lower(sql.substr(0, 12)) == "create table";
    });
    const std::string folded = Lower(id.column);
    // After the column's name and type: `"id" int` / `id int`.
    for (const std::string& name : {folded, folded.substr(1, folded.size() - 2), id.column.substr(1, id.column.size() - 2)}) {
      const size_t at = create.find("(" + name + " ") != std::string::npos ? create.find("(" + name + " ") + 1
                        : create.find(", " + name + " ") != std::string::npos ? create.find(", " + name + " ") + 2
                                                                                : std::string::npos;
      if (at == std::string::npos) continue;
      const size_t type = at + name.size() + 1;
      const size_t typeEnd = create.find_first_of(" ,)", type);
      create.insert(typeEnd == std::string::npos ? create.size() : typeEnd,
                    " GENERATED ALWAYS AS IDENTITY (START WITH " + std::to_string(id.seed) + " INCREMENT BY " +
                        std::to_string(id.increment) + ")");
      break;
    }
  }
  return out;
}

std::string PgTarget::Rewrite(const std::string& sql) {
  std::string text = ReplaceAll(ReplaceAll(sql, kTempCatalogue, kPgTempCatalogue), kMainCatalogue, kPgMainCatalogue);
  LexedText lexed = TSqlLexer::Tokenize(text);
  TokenList tokens(std::move(lexed.tokens));
  Unstage(tokens);
  Rewriter(tokens).Run();
  return tokens.Emit();
}

}  // namespace fabrikon::dialect
