// ExpressionTyper: see the header.
#include "data/dialect/ExpressionTyper.h"

#include <cctype>
#include <initializer_list>
#include <string_view>

#include "data/dialect/SchemaCatalog.h"

namespace fabrikon::dialect {

namespace {

using K = SqlType::Kind;

bool IsAny(const Token& t, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words)
    if (t.IsWord(w)) return true;
  return false;
}

std::string Lower(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '[' && c != ']' && c != '"') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsName(const Token& t) {
  return t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !TokenList::IsReserved(t));
}

// The token ends an operand, so a "+" or "-" after it is binary.
bool EndsOperand(const Token& t) {
  return t.kind == TokenKind::QuotedName || t.kind == TokenKind::Number || t.kind == TokenKind::String ||
         t.kind == TokenKind::RParen || t.kind == TokenKind::Binary || t.IsWord("end") || t.IsWord("null") ||
         (t.kind == TokenKind::Word && !TokenList::IsReserved(t));
}

bool IsBoolean(const Token& t) {
  return t.IsComparison() || IsAny(t, {"and", "or", "not", "is", "like", "between", "in", "exists"});
}

long NumberOf(const TokenList& tokens, TokenList::Range range) {
  if (range.second != range.first + 1 || tokens[range.first].kind != TokenKind::Number) return 0;
  return std::strtol(std::string(tokens[range.first].text).c_str(), nullptr, 10);
}

SqlType TextLike(const SqlType& source) {
  return source.IsUnicode() ? SqlType::Of(K::NVarChar, source.precision) : SqlType::Of(K::VarChar, 8000);
}

// A sum keeps int, decimal, money and float; the small ints add up as int.
SqlType SumOf(const SqlType& t) {
  if (t.kind == K::TinyInt || t.kind == K::SmallInt || t.kind == K::Bit) return SqlType::Of(K::Int);
  if (t.kind == K::Decimal) return SqlType::Of(K::Decimal, 38, t.scale);
  if (t.kind == K::SmallMoney) return SqlType::Of(K::Money);
  return t.IsNumber() ? t : SqlType{};
}

}  // namespace

ExpressionTyper::ExpressionTyper(const TokenList& tokens, const SchemaCatalog* catalog)
    : tokens_(tokens), catalog_(catalog) {
  if (catalog_ != nullptr) ReadTables();
}

void ExpressionTyper::ReadTables() {
  for (size_t i = 0; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (!IsAny(t, {"from", "join", "update", "into"})) continue;
    size_t next = ReadTable(i + 1, t.IsWord("into"));
    while (t.IsWord("from") && next < tokens_.size() && tokens_[next].kind == TokenKind::Comma)
      next = ReadTable(next + 1, false);
  }
}

// A table reference at i: name[.name] [[AS] alias]; where it ends.
size_t ExpressionTyper::ReadTable(size_t i, bool columnList) {
  if (!IsName(tokens_.At(i))) return i;
  size_t end = i + 1;
  while (tokens_.At(end).kind == TokenKind::Dot && IsName(tokens_.At(end + 1))) end += 2;
  if (tokens_.At(end).kind == TokenKind::LParen && !columnList) return end;  // a function, not a table
  Table table;
  for (size_t k = i; k < end; ++k) table.name += tokens_[k].text;
  table.alias = Lower(tokens_[end - 1].text);
  if (tokens_.At(end).IsWord("as")) ++end;
  if (IsName(tokens_.At(end)) && !IsAny(tokens_.At(end), {"with", "set", "values", "select", "default"})) {
    table.alias = Lower(tokens_[end].text);
    ++end;
  }
  tables_.push_back(std::move(table));
  return end;
}

SqlType ExpressionTyper::Lookup(const std::string& alias, const std::string& column) const {
  SqlType found;
  bool seen = false;
  for (const Table& table : tables_) {
    if (!alias.empty() && table.alias != alias && Lower(table.name) != alias) continue;
    const SchemaCatalog::Columns* columns = catalog_->Table(table.name);
    if (columns == nullptr) {
      if (!alias.empty()) return SqlType{};
      continue;
    }
    const auto it = columns->find(column);
    if (it == columns->end()) continue;
    if (seen && it->second.kind != found.kind) return SqlType{};  // ambiguous
    found = it->second;
    seen = true;
  }
  return found;
}

SqlType ExpressionTyper::ColumnType(size_t first, size_t last) const {
  if (catalog_ == nullptr || first >= last) return SqlType{};
  if (last == first + 1) return IsName(tokens_[first]) ? Lookup("", Lower(tokens_[first].text)) : SqlType{};
  if (last < first + 3 || tokens_[last - 2].kind != TokenKind::Dot) return SqlType{};
  return Lookup(Lower(tokens_[last - 3].text), Lower(tokens_[last - 1].text));
}

SqlType ExpressionTyper::TypeOf(size_t first, size_t last) const {
  if (first >= last || last > tokens_.size()) return SqlType{};
  const Token& head = tokens_[first];
  if (last == first + 1) {
    switch (head.kind) {
      case TokenKind::String: return SqlType::Of(K::VarChar, std::max<int>(static_cast<int>(head.text.size()) - 2, 1));
      case TokenKind::Number: return SqlType::OfNumberLiteral(head.text);
      case TokenKind::Word:
        if (head.IsWord("null")) return SqlType::Of(K::Null);
        return ColumnType(first, last);
      case TokenKind::QuotedName: return ColumnType(first, last);
      default: return SqlType{};
    }
  }
  const size_t end = tokens_.OperandEnd(first);
  if (end == last) {
    if (head.kind == TokenKind::LParen) {
      if (tokens_[first + 1].IsWord("select")) {
        const std::vector<SqlType> items = SelectListAt(first + 1);
        return items.size() == 1 ? items[0] : SqlType{};
      }
      return TypeOf(first + 1, last - 1);
    }
    if (tokens_[last - 1].kind == TokenKind::RParen && tokens_[first + 1].kind == TokenKind::LParen)
      return FunctionType(first, last - 1);
    if (tokens_[last - 1].kind != TokenKind::RParen) return ColumnType(first, last);
  }
  if (head.IsWord("case") && tokens_[last - 1].IsWord("end")) {
    const size_t close = CaseEnd(first);
    if (close + 1 == last) return CaseType(first, last);
  }
  return BinaryType(first, last);
}

// The "end" of the CASE at first.
size_t ExpressionTyper::CaseEnd(size_t first) const {
  int depth = 0;
  for (size_t i = first; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen) --depth;
    if (depth != 0) continue;
    if (i > first && t.IsWord("case")) {
      // An inner CASE without its END leaves this one without its own.
      i = CaseEnd(i);
      if (i == TokenList::npos) return TokenList::npos;
    } else if (t.IsWord("end")) {
      return i;
    }
  }
  return TokenList::npos;
}

// The results of the CASE in [first, end): what follows THEN and ELSE.
std::vector<TokenList::Range> ExpressionTyper::CaseResults(size_t first, size_t end) const {
  std::vector<TokenList::Range> results;
  size_t start = TokenList::npos;
  int depth = 0;
  for (size_t i = first + 1; i + 1 < end; ++i) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen) --depth;
    if (depth != 0) continue;
    if (t.IsWord("case")) {
      i = CaseEnd(i);
      if (i == TokenList::npos) return {};
      continue;
    }
    const bool when = t.IsWord("when"), then = t.IsWord("then"), otherwise = t.IsWord("else");
    if ((when || otherwise) && start != TokenList::npos) results.emplace_back(start, i);
    if (when) start = TokenList::npos;
    if (then || otherwise) start = i + 1;
  }
  if (start != TokenList::npos) results.emplace_back(start, end - 1);
  return results;
}

SqlType ExpressionTyper::CaseType(size_t first, size_t end) const {
  SqlType type = SqlType::Of(K::Null);
  for (const TokenList::Range& r : CaseResults(first, end)) type = SqlType::Higher(type, TypeOf(r.first, r.second));
  return type;
}

SqlType ExpressionTyper::FunctionType(size_t head, size_t close) const {
  const Token& f = tokens_[head];
  const std::vector<TokenList::Range> args = tokens_.Arguments(head + 1, close);
  auto arg = [&](size_t k) { return k < args.size() ? TypeOf(args[k].first, args[k].second) : SqlType{}; };
  if (IsAny(f, {"ifnull", "isnull"})) {
    const SqlType a = arg(0);
    return a.kind == K::Null ? arg(1) : a;
  }
  if (IsAny(f, {"coalesce"})) {
    SqlType type = SqlType::Of(K::Null);
    for (size_t k = 0; k < args.size(); ++k) type = SqlType::Higher(type, arg(k));
    return type;
  }
  if (IsAny(f, {"nullif", "abs", "floor", "ceiling", "round", "max", "min", "tsql_divisor", "sign"})) return arg(0);
  if (f.IsWord("tsql_int")) {
    const long bits = args.size() > 1 ? NumberOf(tokens_, args[1]) : 32;
    return SqlType::Of(bits == 8 ? K::TinyInt : bits == 16 ? K::SmallInt : bits == 64 ? K::BigInt : K::Int);
  }
  if (f.IsWord("tsql_as") && args.size() > 1 && tokens_[args[1].first].kind == TokenKind::String) {
    const std::string_view name = tokens_[args[1].first].text;
    return SqlType::FromDeclared(name.substr(1, name.size() - 2));
  }
  if (IsAny(f, {"tsql_decimal", "tsql_numeric", "tsql_numeric_div"})) {
    const size_t at = f.IsWord("tsql_numeric_div") ? 2 : 1;  // the precision's argument
    const long p = args.size() > at ? NumberOf(tokens_, args[at]) : 18;
    const long s = args.size() > at + 1 ? NumberOf(tokens_, args[at + 1]) : 0;
    return SqlType::Of(K::Decimal, static_cast<int>(p), static_cast<int>(s));
  }
  if (IsAny(f, {"tsql_float", "sqrt", "power", "exp", "log", "rand"})) return SqlType::Of(K::Float);
  if (IsAny(f, {"tsql_money", "tsql_money_rv"})) return SqlType::Of(K::Money);
  if (f.IsWord("tsql_bit")) return SqlType::Of(K::Bit);
  if (IsAny(f, {"tsql_datetime", "getdate", "getutcdate", "sysdatetime", "current_timestamp", "tsql_date_add"}))
    return SqlType::Of(K::DateTime);
  if (IsAny(f, {"tsql_date", "eomonth"})) return SqlType::Of(K::Date);
  if (IsAny(f, {"tsql_dateadd", "dateadd"})) {
    const SqlType d = arg(2);
    return d.IsDate() ? d : SqlType::Of(K::DateTime);
  }
  if (f.IsWord("tsql_str")) {
    const long length = args.size() > 1 ? NumberOf(tokens_, args[1]) : 30;
    const bool padded = args.size() > 3 && NumberOf(tokens_, args[3]) != 0;
    return SqlType::Of(padded ? K::Char : K::VarChar, static_cast<int>(length));
  }
  if (IsAny(f, {"len", "datalength", "charindex", "patindex", "year", "month", "day", "tsql_datepart",
                "tsql_datediff", "datepart", "datediff", "ascii", "unicode", "count", "row_number", "rank",
                "dense_rank", "isnumeric", "isdate", "scope_identity"}))
    return SqlType::Of(K::Int);
  if (f.IsWord("count_big")) return SqlType::Of(K::BigInt);
  if (IsAny(f, {"sum", "avg"})) return SumOf(arg(0));
  if (IsAny(f, {"upper", "lower", "ltrim", "rtrim", "trim", "tsql_left", "tsql_right", "substring", "replace",
                "replicate", "stuff", "reverse"}))
    return TextLike(arg(0));
  if (IsAny(f, {"nchar"})) return SqlType::Of(K::NVarChar, 1);
  if (IsAny(f, {"space", "char", "str", "tsql_datename", "datename", "concat", "quotename", "tsql_money_str",
                "tsql_char_money2", "tsql_rowversion"}))
    return SqlType::Of(K::VarChar, 8000);
  return SqlType{};
}

// Operators, loosest first: a comparison or logic makes no value type; then
// "+" and "-" (the rightmost splits), then "*", "/" and "%".
SqlType ExpressionTyper::BinaryType(size_t first, size_t last) const {
  size_t additive = TokenList::npos, multiplicative = TokenList::npos, collate = TokenList::npos;
  bool joined = false;
  int depth = 0;
  for (size_t i = first; i < last; ++i) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen) --depth;
    if (depth != 0) continue;
    if (t.IsWord("case")) {
      i = CaseEnd(i);
      if (i == TokenList::npos || i >= last) return SqlType{};
      continue;
    }
    if (IsBoolean(t) || t.kind == TokenKind::Comma || TokenList::IsReserved(t)) {
      if (t.IsWord("collate") && collate == TokenList::npos) collate = i;
      else if (!t.IsWord("collate") && !t.IsWord("null") && !t.IsWord("end")) return SqlType{};
    }
    if (i == first || !EndsOperand(tokens_[i - 1])) continue;
    if (t.IsOp("+") || t.IsOp("-")) additive = i;
    if (t.IsOp("*") || t.IsOp("/") || t.IsOp("%")) multiplicative = i;
    if (t.IsOp("||")) joined = true;
  }
  if (depth != 0) return SqlType{};
  if (joined) return SqlType::Of(K::VarChar, 8000);
  if (collate != TokenList::npos && additive == TokenList::npos && multiplicative == TokenList::npos)
    return TypeOf(first, collate);
  if (additive != TokenList::npos) {
    const SqlType a = TypeOf(first, additive), b = TypeOf(additive + 1, last);
    return Combine(a, b, tokens_[additive].IsOp("+"));
  }
  if (multiplicative != TokenList::npos) {
    const SqlType a = TypeOf(first, multiplicative), b = TypeOf(multiplicative + 1, last);
    if (a.IsText() && b.IsText()) return SqlType{};
    return SqlType::Higher(a, b);
  }
  if (tokens_[first].IsOp("-") || tokens_[first].IsOp("+") || tokens_[first].IsOp("~"))
    return TypeOf(first + 1, last);
  return SqlType{};
}

SqlType ExpressionTyper::Combine(const SqlType& a, const SqlType& b, bool plus) {
  if (a.kind == K::Null || b.kind == K::Null) return SqlType::Higher(a, b);
  if (!a.known() || !b.known()) return SqlType{};
  if (a.IsText() && b.IsText()) {
    if (!plus) return SqlType{};
    const bool unicode = a.IsUnicode() || b.IsUnicode();
    const int length = a.precision < 0 || b.precision < 0 ? -1 : a.precision + b.precision;
    return SqlType::Of(unicode ? K::NVarChar : K::VarChar, length);
  }
  if (a.IsDate() || b.IsDate()) return SqlType::Of(K::DateTime);
  return SqlType::Higher(a, b);
}

size_t ExpressionTyper::ComparandStart(size_t last) const {
  int depth = 0;
  size_t i = last + 1;
  while (i-- > 0) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::RParen) ++depth;
    if (t.kind == TokenKind::LParen && --depth < 0) return i + 1;
    if (depth != 0) continue;
    if (t.IsWord("end")) {
      // back to its CASE
      int nested = 0;
      size_t k = i;
      while (k-- > 0) {
        if (tokens_[k].IsWord("end")) ++nested;
        if (tokens_[k].IsWord("case") && nested-- == 0) break;
      }
      if (k == static_cast<size_t>(-1)) return i + 1;
      i = k;
      continue;
    }
    if (t.kind == TokenKind::Comma || t.kind == TokenKind::Semicolon || IsBoolean(t) ||
        (TokenList::IsReserved(t) && !t.IsWord("null")))
      return i + 1;
  }
  return 0;
}

size_t ExpressionTyper::ComparandEnd(size_t first) const {
  int depth = 0;
  for (size_t i = first; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen && --depth < 0) return i;
    if (depth != 0) continue;
    if (t.IsWord("case")) {
      i = CaseEnd(i);
      if (i == TokenList::npos) return tokens_.size();
      continue;
    }
    if (t.kind == TokenKind::Comma || t.kind == TokenKind::Semicolon || IsBoolean(t) ||
        (TokenList::IsReserved(t) && !t.IsWord("null") && !t.IsWord("collate")))
      return i;
  }
  return tokens_.size();
}

std::vector<SqlType> ExpressionTyper::SelectList() const {
  size_t select = 0;
  while (select < tokens_.size() && !tokens_[select].IsWord("select")) {
    if (tokens_[select].kind == TokenKind::LParen) return {};
    ++select;
  }
  if (select >= tokens_.size()) return {};
  return SelectListAt(select);
}

std::vector<SqlType> ExpressionTyper::SelectListAt(size_t select) const {
  size_t first = select + 1;
  if (IsAny(tokens_.At(first), {"distinct", "all"})) ++first;
  if (tokens_.At(first).IsWord("top")) {
    first = tokens_.OperandEnd(first + 1);
    if (tokens_.At(first).IsWord("percent")) ++first;
    if (tokens_.At(first).IsWord("with") && tokens_.At(first + 1).IsWord("ties")) first += 2;
  }
  std::vector<SqlType> items;
  int depth = 0;
  for (size_t i = first;; ++i) {
    const Token& t = tokens_.At(i);
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen) --depth;
    if (t.IsWord("case") && depth == 0) {
      i = CaseEnd(i);
      if (i == TokenList::npos) return {};
      continue;
    }
    const bool end = i >= tokens_.size() || depth < 0 ||
                     (depth == 0 && (t.kind == TokenKind::Semicolon ||
                                     IsAny(t, {"from", "where", "group", "having", "order", "union", "except",
                                               "intersect", "into", "option"})));
    if (end || (depth == 0 && t.kind == TokenKind::Comma)) {
      if (i == first) return {};
      if (tokens_[i - 1].IsOp("*")) return {};
      items.push_back(ItemType(first, i));
      first = i + 1;
    }
    if (end) return items;
  }
}

// A select item without its alias: name = expr, expr AS name, expr name.
SqlType ExpressionTyper::ItemType(size_t first, size_t last) const {
  if (last - first >= 3 && IsName(tokens_[first]) && tokens_[first + 1].IsOp("=")) {
    first += 2;
  } else if (last - first >= 3 && tokens_[last - 2].IsWord("as")) {
    last -= 2;
  } else if (last - first >= 2 && (IsName(tokens_[last - 1]) || tokens_[last - 1].kind == TokenKind::String) &&
             tokens_[last - 2].kind != TokenKind::Dot && tokens_[last - 2].kind != TokenKind::Operator &&
             !tokens_[last - 2].IsWord("collate")) {
    last -= 1;
  }
  return TypeOf(first, last);
}

}  // namespace fabrikon::dialect
