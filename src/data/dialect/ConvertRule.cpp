// ConvertRule: see the header. Calls are rewritten from the last to the
// first, so the value of an outer CONVERT has already been rewritten when the
// outer one is looked at (that is how convert(char, convert(money, qxts), 2)
// knows its value is money).
#include "data/dialect/ConvertRule.h"

#include <charconv>
#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

std::string Lower(std::string_view text) {
  if (text.size() >= 2 && (text.front() == '[' || text.front() == '"')) text = text.substr(1, text.size() - 2);
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool IsMoneyCall(const std::vector<Token>& value) {
  if (value.size() < 3 || (!value[0].IsWord("tsql_money") && !value[0].IsWord("tsql_money_rv")) ||
      value[1].kind != TokenKind::LParen || value.back().kind != TokenKind::RParen)
    return false;
  int depth = 0;
  for (size_t i = 1; i < value.size(); ++i) {
    if (value[i].kind == TokenKind::LParen) ++depth;
    if (value[i].kind == TokenKind::RParen && --depth == 0) return i + 1 == value.size();
  }
  return false;
}

// A (qualified) reference to the row version column: qxts, t.qxts, [qxts].
bool IsRowVersionColumn(const std::vector<Token>& value) {
  if (value.empty() || value.size() % 2 == 0) return false;
  for (size_t i = 0; i < value.size(); ++i) {
    const bool name = value[i].kind == TokenKind::Word || value[i].kind == TokenKind::QuotedName;
    if (i % 2 == 0 ? !name : value[i].kind != TokenKind::Dot) return false;
  }
  return Lower(value.back().text) == "qxts";
}

bool IsLiteral(const std::vector<Token>& style, std::string_view text) {
  return style.size() == 1 && style[0].kind == TokenKind::Number && style[0].text == text;
}

}  // namespace

void ConvertRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = tokens.size(); i-- > 0;) {
    const bool isConvert = tokens[i].IsWord("convert") || tokens[i].IsWord("try_convert");
    const bool isCast = tokens[i].IsWord("cast") || tokens[i].IsWord("try_cast");
    if ((!isConvert && !isCast) || !tokens.At(i + 1).Is(TokenKind::LParen)) continue;
    const size_t open = i + 1;
    const size_t close = tokens.MatchParen(open);
    if (close == TokenList::npos) continue;
    std::vector<Token> value, style;
    TokenList::Range typeRange;
    if (isConvert) {
      const std::vector<TokenList::Range> args = tokens.Arguments(open, close);
      if (args.size() < 2 || args.size() > 3)
        throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near 'convert'.");
      typeRange = args[0];
      value = tokens.Slice(args[1].first, args[1].second);
      if (args.size() == 3) style = tokens.Slice(args[2].first, args[2].second);
    } else {
      size_t as = TokenList::npos;
      for (size_t a = tokens.FindWord("as", open + 1, close); a != TokenList::npos;
           a = tokens.FindWord("as", a + 1, close))
        as = a;
      if (as == TokenList::npos) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near 'cast'.");
      value = tokens.Slice(open + 1, as);
      typeRange = {as + 1, close};
    }
    if (value.empty() || typeRange.first >= typeRange.second)
      throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near '" + std::string(tokens[i].text) + "'.");
    const TargetType type = ReadType(tokens, typeRange.first, typeRange.second);
    std::vector<Token> replacement = Conversion(tokens, type, std::move(value), std::move(style), typeRange);
    replacement[0].blankBefore = tokens[i].blankBefore;
    tokens.Replace(i, close + 1, std::move(replacement));
  }
}

ConvertRule::TargetType ConvertRule::ReadType(const TokenList& tokens, size_t first, size_t last) {
  TargetType type;
  type.name = Lower(tokens[first].text);
  // "double precision", "national char varying" and such are not used; a
  // type name of more than one word falls through to a native CAST.
  if (first + 1 < last && tokens[first + 1].kind == TokenKind::LParen) {
    const size_t close = tokens.MatchParen(first + 1);
    const std::vector<TokenList::Range> args = tokens.Arguments(first + 1, close == TokenList::npos ? last : close);
    auto number = [&](TokenList::Range r) -> long {
      if (r.second != r.first + 1) return -2;
      if (tokens[r.first].IsWord("max")) return -1;
      if (tokens[r.first].kind != TokenKind::Number) return -2;
      long n = -2;
      const std::string_view text = tokens[r.first].text;
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
      if (error != std::errc() || end != text.data() + text.size() || n > 8000)
        throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near '" + std::string(text) + "'.");
      return n;
    };
    if (!args.empty()) type.precision = number(args[0]);
    if (args.size() > 1) type.scale = number(args[1]);
    if (close + 1 != last) type.name += " ?";
  } else if (first + 1 != last) {
    type.name += " ?";
  }
  return type;
}

std::vector<Token> ConvertRule::Conversion(TokenList& tokens, const TargetType& type, std::vector<Token> value,
                                           std::vector<Token> style, TokenList::Range typeRange) {
  auto number = [&tokens](long n) {
    return std::vector<Token>{TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(n)))};
  };
  if (style.empty()) style = number(0);
  const std::string& t = type.name;
  if (t == "money" || t == "smallmoney") {
    const bool rowVersion = IsRowVersionColumn(value);
    return Call(tokens, rowVersion ? "tsql_money_rv" : "tsql_money", {std::move(value)});
  }
  if (t == "char" || t == "nchar" || t == "varchar" || t == "nvarchar" || t == "text" || t == "ntext" ||
      t == "sysname") {
    const bool padded = t == "char" || t == "nchar";
    const long length = t == "text" || t == "ntext" ? -1 : type.precision == -2 ? 30 : type.precision;
    if (IsMoneyCall(value)) {
      const bool guardForm = padded && length == 30 && IsLiteral(style, "2");
      if (guardForm) return Call(tokens, "tsql_char_money2", {std::move(value)});
      return Call(tokens, "tsql_money_str", {std::move(value), number(length), std::move(style), number(padded)});
    }
    return Call(tokens, "tsql_str", {std::move(value), number(length), std::move(style), number(padded)});
  }
  if (t == "int" || t == "integer" || t == "bigint" || t == "smallint" || t == "tinyint") {
    const long bits = t == "bigint" ? 64 : t == "smallint" ? 16 : t == "tinyint" ? 8 : 32;
    return Call(tokens, "tsql_int", {std::move(value), number(bits)});
  }
  if (t == "decimal" || t == "numeric" || t == "dec") {
    const long precision = type.precision < 0 ? 18 : type.precision;
    const long scale = type.scale < 0 ? 0 : type.scale;
    return Call(tokens, "tsql_decimal", {std::move(value), number(precision), number(scale)});
  }
  if (t == "float" || t == "real") return Call(tokens, "tsql_float", {std::move(value)});
  if (t == "datetime" || t == "smalldatetime" || t == "datetime2")
    return Call(tokens, "tsql_datetime", {std::move(value), std::move(style)});
  if (t == "date") return Call(tokens, "tsql_date", {std::move(value), std::move(style)});
  if (t == "bit") return Call(tokens, "tsql_bit", {std::move(value)});
  // Anything else: SQLite's CAST with the type as written.
  std::vector<Token> out{TokenList::Word("CAST"), TokenList::Open()};
  out.insert(out.end(), value.begin(), value.end());
  out.push_back(TokenList::Word("AS"));
  const std::vector<Token> typeTokens = tokens.Slice(typeRange.first, typeRange.second);
  out.insert(out.end(), typeTokens.begin(), typeTokens.end());
  out.push_back(TokenList::Close());
  return out;
}

std::vector<Token> ConvertRule::Call(TokenList&, std::string_view function,
                                     std::vector<std::vector<Token>> arguments) {
  std::vector<Token> out{TokenList::Word(function), TokenList::Open()};
  for (size_t n = 0; n < arguments.size(); ++n) {
    if (n > 0) out.push_back(TokenList::Comma());
    if (!arguments[n].empty()) arguments[n][0].blankBefore = n > 0;
    out.insert(out.end(), arguments[n].begin(), arguments[n].end());
  }
  out.push_back(TokenList::Close());
  return out;
}

}  // namespace fabrikon::dialect
