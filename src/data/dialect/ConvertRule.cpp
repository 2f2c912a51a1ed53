// ConvertRule: see the header. Calls are rewritten from the last to the
// first, so the value of an outer CONVERT has already been rewritten when the
// outer one is looked at (that is how convert(char, convert(money, qxts), 2)
// knows its value is money).
#include "data/dialect/ConvertRule.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "data/dialect/StringConcatRule.h"
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

// A (qualified) reference to the row version column: qxts, t.qxts, [qxts].
bool IsRowVersionColumn(const TokenList& tokens, TokenList::Range value) {
  const size_t size = value.second - value.first;
  if (size == 0 || size % 2 == 0) return false;
  for (size_t i = 0; i < size; ++i) {
    const Token& t = tokens[value.first + i];
    const bool name = t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName;
    if (i % 2 == 0 ? !name : t.kind != TokenKind::Dot) return false;
  }
  return Lower(tokens[value.second - 1].text) == "qxts";
}

bool IsLiteral(const std::vector<Token>& style, std::string_view text) {
  return style.size() == 1 && style[0].kind == TokenKind::Number && style[0].text == text;
}

// A number written with an exponent (1e20) is a float, not a numeric.
bool IsFloatLiteral(const TokenList& tokens, TokenList::Range value) {
  if (value.second - value.first == 2 && (tokens[value.first].IsOp("-") || tokens[value.first].IsOp("+")))
    ++value.first;
  if (value.second - value.first != 1 || tokens[value.first].kind != TokenKind::Number) return false;
  const std::string_view text = tokens[value.first].text;
  return text.substr(0, 2) != "0x" && text.substr(0, 2) != "0X" && text.find_first_of("eE") != std::string_view::npos;
}

}  // namespace

// A value that is exactly one (already rewritten) money conversion.
bool ConvertRule::IsMoneyCall(const TokenList& tokens, const Edits& edits, TokenList::Range value) {
  const Token& head = tokens[value.first];
  if (value.second - value.first < 3 || (!head.IsWord("tsql_money") && !head.IsWord("tsql_money_rv"))) return false;
  return tokens[value.first + 1].kind == TokenKind::LParen && edits.match[value.first + 1] == value.second - 1;
}

// The value of every conversion stays where it is; the rewrite only
// renames the call, drops the type (and style) tokens and adds arguments
// before the closing parenthesis; the edits are applied in one pass at the
// end, so nested conversions cost time linear in the text.
void ConvertRule::Apply(TokenList& tokens, const RuleContext&) const {
  bool any = false;
  for (size_t i = 0; i < tokens.size() && !any; ++i)
    any = tokens[i].IsWord("convert") || tokens[i].IsWord("cast") || tokens[i].IsWord("try_convert") ||
          tokens[i].IsWord("try_cast");
  if (!any) return;
  Edits edits(tokens);
  for (size_t i = tokens.size(); i-- > 0;) {
    const bool isConvert = tokens[i].IsWord("convert") || tokens[i].IsWord("try_convert");
    const bool isCast = tokens[i].IsWord("cast") || tokens[i].IsWord("try_cast");
    if ((!isConvert && !isCast) || !tokens.At(i + 1).Is(TokenKind::LParen)) continue;
    const size_t open = i + 1;
    const size_t close = edits.match[open];
    if (close == TokenList::npos) continue;
    TokenList::Range value, style{0, 0}, typeRange;
    if (isConvert) {
      const std::vector<TokenList::Range> args = edits.Arguments(open, close);
      if (args.size() < 2 || args.size() > 3)
        throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near 'convert'.");
      typeRange = args[0];
      value = args[1];
      if (args.size() == 3) style = args[2];
    } else {
      const size_t as = edits.LastAs(open, close);
      if (as == TokenList::npos) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near 'cast'.");
      value = {open + 1, as};
      typeRange = {as + 1, close};
    }
    if (value.first >= value.second || typeRange.first >= typeRange.second)
      throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near '" + std::string(tokens[i].text) + "'.");
    const TargetType type = ReadType(tokens, typeRange.first, typeRange.second);
    Rewrite(tokens, edits, Call{i, open, close, value, style, typeRange, isCast}, type);
  }
  edits.ApplyTo(tokens);
}

ConvertRule::Edits::Edits(const TokenList& tokens)
    : tokens_(tokens), match(tokens.size(), TokenList::npos), dropped(tokens.size(), false) {
  std::vector<size_t> open;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind == TokenKind::LParen) open.push_back(i);
    if (tokens[i].kind == TokenKind::RParen && !open.empty()) {
      match[open.back()] = i;
      open.pop_back();
    }
  }
}

// The top-level arguments between open and close; nested groups are skipped
// by their matching parenthesis, so each level is read once.
std::vector<TokenList::Range> ConvertRule::Edits::Arguments(size_t open, size_t close) const {
  std::vector<TokenList::Range> args;
  size_t first = open + 1;
  for (size_t i = open + 1; i < close; ++i) {
    if (tokens_[i].kind == TokenKind::LParen && match[i] != TokenList::npos) {
      i = match[i];
    } else if (tokens_[i].kind == TokenKind::Comma) {
      args.push_back({first, i});
      first = i + 1;
    }
  }
  if (first < close || !args.empty()) args.push_back({first, close});
  return args;
}

size_t ConvertRule::Edits::LastAs(size_t open, size_t close) const {
  size_t as = TokenList::npos;
  for (size_t i = open + 1; i < close; ++i) {
    if (tokens_[i].kind == TokenKind::LParen && match[i] != TokenList::npos)
      i = match[i];
    else if (tokens_[i].IsWord("as"))
      as = i;
  }
  return as;
}

void ConvertRule::Edits::Drop(size_t first, size_t last) {
  for (size_t i = first; i < last; ++i) dropped[i] = true;
}

void ConvertRule::Edits::ApplyTo(TokenList& tokens) {
  std::vector<Token> out;
  out.reserve(tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) {
    auto inserted = before.find(i);
    if (inserted != before.end()) out.insert(out.end(), inserted->second.begin(), inserted->second.end());
    if (!dropped[i]) out.push_back(tokens[i]);
  }
  tokens.Replace(0, tokens.size(), std::move(out));
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

void ConvertRule::Rewrite(TokenList& tokens, Edits& edits, const Call& call, const TargetType& type) {
  auto number = [&tokens](long n) {
    return std::vector<Token>{TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(n)))};
  };
  std::vector<Token> style = call.style.first < call.style.second
                                 ? tokens.Slice(call.style.first, call.style.second)
                                 : number(0);
  const std::string& t = type.name;
  if (t == "money" || t == "smallmoney") {
    const bool rowVersion = IsRowVersionColumn(tokens, call.value);
    return Become(tokens, edits, call, rowVersion ? "tsql_money_rv" : "tsql_money", {});
  }
  if (t == "char" || t == "nchar" || t == "varchar" || t == "nvarchar" || t == "text" || t == "ntext" ||
      t == "sysname") {
    const bool padded = t == "char" || t == "nchar";
    const long length = t == "text" || t == "ntext" ? -1 : type.precision == -2 ? 30 : type.precision;
    if (IsMoneyCall(tokens, edits, call.value)) {
      const bool guardForm = padded && length == 30 && IsLiteral(style, "2");
      if (guardForm) return Become(tokens, edits, call, "tsql_char_money2", {});
      return Become(tokens, edits, call, "tsql_money_str", {number(length), std::move(style), number(padded)});
    }
    // A source that is text by its form keeps its text: the style only
    // applies to dates and numbers (-1 tells tsql_str so).
    if (StringConcatRule::Classify(tokens, call.value.first, call.value.second) == StringConcatRule::Type::Text)
      style = number(-1);
    const bool national = t == "nchar" || t == "nvarchar" || t == "ntext";
    return Become(tokens, edits, call, "tsql_str",
                  {number(length), std::move(style), number((padded ? 1 : 0) | (national ? 2 : 0))});
  }
  if (t == "int" || t == "integer" || t == "bigint" || t == "smallint" || t == "tinyint") {
    const long bits = t == "bigint" ? 64 : t == "smallint" ? 16 : t == "tinyint" ? 8 : 32;
    return Become(tokens, edits, call, "tsql_int", {number(bits)});
  }
  if (t == "decimal" || t == "numeric" || t == "dec") {
    const long precision = type.precision < 0 ? 18 : type.precision;
    const long scale = type.scale < 0 ? 0 : type.scale;
    std::vector<std::vector<Token>> extra{number(precision), number(scale)};
    if (IsFloatLiteral(tokens, call.value))
      extra.push_back({TokenList::Make(TokenKind::String, tokens.Store("'float'"))});
    return Become(tokens, edits, call, "tsql_decimal", std::move(extra));
  }
  if (t == "float" || t == "real") return Become(tokens, edits, call, "tsql_float", {});
  if (t == "datetime" || t == "smalldatetime" || t == "datetime2")
    return Become(tokens, edits, call, "tsql_datetime", {std::move(style)});
  if (t == "date") return Become(tokens, edits, call, "tsql_date", {std::move(style)});
  if (t == "bit") return Become(tokens, edits, call, "tsql_bit", {});
  // Anything else: SQLite's CAST with the type as written.
  tokens[call.head].text = "CAST";
  tokens[call.open].blankBefore = false;
  if (call.isCast) {
    tokens[call.type.first - 1].text = "AS";
    return;
  }
  edits.Drop(call.open + 1, call.value.first);
  edits.Drop(call.value.second, call.close);
  tokens[call.value.first].blankBefore = false;
  std::vector<Token>& tail = edits.before[call.close];
  tail.push_back(TokenList::Word("AS"));
  const std::vector<Token> typeTokens = tokens.Slice(call.type.first, call.type.second);
  tail.insert(tail.end(), typeTokens.begin(), typeTokens.end());
}

// The call becomes function(value, extra...): everything but the value is
// dropped and the extra arguments go before the closing parenthesis.
void ConvertRule::Become(TokenList& tokens, Edits& edits, const Call& call, std::string_view function,
                         std::vector<std::vector<Token>> extra) {
  tokens[call.head].text = function;
  tokens[call.open].blankBefore = false;
  tokens[call.value.first].blankBefore = false;
  edits.Drop(call.open + 1, call.value.first);
  edits.Drop(call.value.second, call.close);
  std::vector<Token>& tail = edits.before[call.close];
  for (std::vector<Token>& argument : extra) {
    tail.push_back(TokenList::Comma());
    if (!argument.empty()) argument[0].blankBefore = true;
    tail.insert(tail.end(), argument.begin(), argument.end());
  }
}

}  // namespace fabrikon::dialect
