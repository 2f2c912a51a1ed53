// LiteralShape: one forward pass over the statement's tokens builds the key
// and picks out the literals that can become parameters.
#include "data/dialect/LiteralShape.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "data/dialect/DateLiteralRule.h"
#include "data/dialect/LiteralContext.h"
#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

namespace {

constexpr size_t kMaxDateMarkers = LiteralShape::kMaxDates;  // markers are the years 1100 to 1899
constexpr int64_t kIntegerMarker = 2111100000;  // an int, as the literals it stands for
constexpr int64_t kBigIntegerMarker = 7300000000000;
constexpr int64_t kRealMarker = 7300000000;
// A decimal's scale (the digits after its point) is part of its type, so of
// the shape; longer fractions stay in the shape as written.
constexpr size_t kMaxMarkedScale = 18;

bool IsBlankText(std::string_view literal) {
  for (size_t i = 1; i + 1 < literal.size(); ++i)
    if (literal[i] != ' ' && literal[i] != '\t' && literal[i] != '\r' && literal[i] != '\n') return false;
  return true;
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A decimal literal (digits, a point, digits) whose value a double holds
// exactly: then every correct conversion, SQLite's own included, gives the
// same double. Others stay in the shape as written.
bool ExactDecimal(std::string_view text, double& value) {
  const size_t point = text.find('.');
  if (point == std::string_view::npos || text.size() == 1) return false;
  std::string_view whole = text.substr(0, point), fraction = text.substr(point + 1);
  if ((!whole.empty() && !AllDigits(whole)) || (!fraction.empty() && !AllDigits(fraction))) return false;
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  if (whole.size() + fraction.size() > 17) return false;
  uint64_t digits = 0;
  for (char c : whole) digits = digits * 10 + static_cast<uint64_t>(c - '0');
  for (char c : fraction) digits = digits * 10 + static_cast<uint64_t>(c - '0');
  uint64_t five = 1;
  for (size_t i = 0; i < fraction.size(); ++i) five *= 5;  // at most 5^17
  if (digits % five != 0 || digits / five >= (uint64_t{1} << 53)) return false;
  value = std::ldexp(static_cast<double>(digits / five), -static_cast<int>(fraction.size()));
  return true;
}

void AppendSize(std::string& key, size_t size) {
  do {
    key += static_cast<char>((size & 0x7f) | (size > 0x7f ? 0x80 : 0));
    size >>= 7;
  } while (size != 0);
}

}  // namespace

LiteralShape::LiteralShape(const std::vector<Token>& tokens, const StatementRange& range, std::string_view source,
                           Prefix* prefix)
    : tokens_(&tokens), range_(range) {
  std::vector<Level> levels;
  levels.reserve(8);
  levels.push_back({StatementRange::npos, false});
  size_t dates = 0;
  const size_t count = range.last - range.begin;
  // With the source at hand the key is the text between the literals, taken
  // a stretch at a time: the lexer reads equal text into equal tokens. The
  // first byte tells the two spellings of keys apart (and says whether
  // blanks came before the statement).
  const bool fromSource = !source.empty() && count > 0;
  const char* stretch = fromSource ? source.data() + tokens[range.begin].offset : nullptr;
  if (count > 0 && tokens[range.last - 1].offset >= tokens[range.begin].offset)
    key_.reserve(tokens[range.last - 1].offset - tokens[range.begin].offset + tokens[range.last - 1].text.size() +
                 (fromSource ? 16 : 3 * count));
  if (fromSource) key_ += KeyStart(tokens[range.begin].blankBefore);
  literals_.reserve(count / 3);
  const bool resumed = fromSource && prefix != nullptr && Resume(source, *prefix, levels) != 0;
  for (size_t i = resumed ? range.begin + prefix->tokens : range.begin; i < range.last; ++i) {
    const Token& t = tokens[i];
    switch (t.kind) {
      case TokenKind::LParen:
        levels.push_back({i, false});
        break;
      case TokenKind::RParen:
        if (levels.size() > 1) levels.pop_back();
        break;
      case TokenKind::Word:
        if (t.text.size() < 2 || t.text.size() > 9) break;
        if (t.IsWord("by") && i > range.begin && (tokens[i - 1].IsWord("order") || tokens[i - 1].IsWord("group")))
          levels.back().orderBy = true;
        else if (t.IsWord("having") || t.IsWord("union") || t.IsWord("except") || t.IsWord("intersect") ||
                 t.IsWord("option") || t.IsWord("for"))
          levels.back().orderBy = false;
        break;
      default:
        break;
    }
    if (t.kind == TokenKind::String || t.kind == TokenKind::Number) {
      Literal literal{i, LiteralClass::Text, t.text};
      // A divisor's value decides whether the division guards against zero.
      const bool divisor = i > range.begin && (tokens[i - 1].IsOp("/") || tokens[i - 1].IsOp("%"));
      const bool fixedNumber = t.kind == TokenKind::Number &&
                               (divisor || levels.back().orderBy || WholeArgument(i, levels.back().open));
      if (Classify(t.kind, t.text, fixedNumber, literal) &&
          (literal.kind != LiteralClass::Date || dates++ < kMaxDateMarkers)) {
        if (fromSource) {
          if (literals_.empty() && prefix != nullptr && !resumed) Remember(source, i, levels, *prefix);
          const char* literal = source.data() + t.offset;  // an N'..' literal from its N
          AppendStretch(key_, std::string_view(stretch, static_cast<size_t>(literal - stretch)));
          stretch = t.text.data() + t.text.size();
        } else {
          key_ += static_cast<char>(static_cast<int>(t.kind) | (t.blankBefore ? 0x40 : 0));
        }
        AppendClass(key_, literal, t.national);
        literals_.push_back(literal);
        continue;
      }
    }
    if (fromSource) continue;
    key_ += static_cast<char>(static_cast<int>(t.kind) | (t.blankBefore ? 0x40 : 0) | (t.national ? 0x20 : 0));
    AppendSize(key_, t.text.size());
    key_.append(t.text);
  }
  if (fromSource) {
    const Token& last = tokens[range.last - 1];
    const char* end = last.text.data() + last.text.size();
    AppendStretch(key_, std::string_view(stretch, static_cast<size_t>(end - stretch)));
  }
}

void LiteralShape::AppendStretch(std::string& key, std::string_view stretch) {
  AppendSize(key, stretch.size());
  key.append(stretch);
}

void LiteralShape::AppendClass(std::string& key, const Literal& literal, bool national) {
  key += static_cast<char>(static_cast<int>(literal.kind) | (national ? 0x20 : 0));  // N'..': lower case
  if (literal.kind == LiteralClass::Real) key += static_cast<char>('0' + literal.scale);
}

// The number of tokens the statement shares with the prefix (0: none). The
// prefix starts on a word and ends on "(" or ",", so equal text is equal
// tokens with no literal among them, and the scan's state after them is the
// prefix's.
size_t LiteralShape::Resume(std::string_view source, const Prefix& prefix, std::vector<Level>& levels) const {
  const std::vector<Token>& tokens = *tokens_;
  const size_t begin = range_.begin, start = tokens[begin].offset;
  if (prefix.tokens == 0 || range_.last - begin <= prefix.tokens) return 0;
  const Token& last = tokens[begin + prefix.tokens - 1];
  if (last.offset + last.text.size() != start + prefix.text.size() ||
      source.compare(start, prefix.text.size(), prefix.text) != 0)
    return 0;
  levels = prefix.levels;
  for (Level& level : levels)
    if (level.open != StatementRange::npos) level.open += begin;
  return prefix.tokens;
}

// Keeps the text before the statement's first literal (token `end`) when it
// can be resumed after.
void LiteralShape::Remember(std::string_view source, size_t end, const std::vector<Level>& levels,
                            Prefix& prefix) const {
  const std::vector<Token>& tokens = *tokens_;
  const size_t begin = range_.begin;
  prefix.tokens = 0;
  if (end - begin < 2 || tokens[begin].kind != TokenKind::Word) return;
  const Token& last = tokens[end - 1];
  if (last.kind != TokenKind::LParen && last.kind != TokenKind::Comma) return;
  const size_t start = tokens[begin].offset;
  prefix.text = source.substr(start, last.offset + last.text.size() - start);
  prefix.tokens = end - begin;
  prefix.levels = levels;
  for (Level& level : prefix.levels)
    if (level.open != StatementRange::npos) level.open -= begin;
}

// A number that is a whole argument of a call or a type ("decimal(18, 2)",
// "convert(char, x, 120)"), or follows TOP: the translation reads its value.
bool LiteralShape::WholeArgument(size_t i, size_t open) const {
  const std::vector<Token>& tokens = *tokens_;
  if (i == 0) return false;
  const Token& prev = tokens[i - 1];
  if (prev.IsWord("top") || (prev.kind == TokenKind::LParen && i >= 2 && tokens[i - 2].IsWord("top"))) return true;
  if (open == StatementRange::npos || open == 0 || i + 1 >= tokens.size()) return false;
  const Token& next = tokens[i + 1];
  const bool whole = (prev.kind == TokenKind::LParen || prev.kind == TokenKind::Comma) &&
                     (next.kind == TokenKind::RParen || next.kind == TokenKind::Comma);
  const Token& callee = tokens[open - 1];
  return whole && callee.kind == TokenKind::Word && !callee.IsWord("values") && !callee.IsWord("in");
}

const LiteralShape::Literal* LiteralShape::AddRepeated(TokenKind kind, std::string_view text) {
  Literal literal{0, LiteralClass::Text, text};
  // At the place of a literal of the statement repeated a number was no fixed one.
  if (!Classify(kind, text, false, literal)) return nullptr;
  return &literals_.emplace_back(literal);
}

bool LiteralShape::Classify(TokenKind kind, std::string_view text, bool fixedNumber, Literal& literal) {
  if (kind == TokenKind::String) {
    if (IsBlankText(text)) return false;
    std::string canonical;
    literal.kind = LiteralClass::Text;
    if (DateLiteralRule::Canonical(text, canonical)) {
      literal.kind = LiteralClass::Date;
      literal.integer = static_cast<int64_t>(dates_.size());
      dates_.push_back(std::move(canonical));
    }
    return true;
  }
  if (fixedNumber) return false;
  if (AllDigits(text) && text.size() <= 18) {
    std::from_chars(text.data(), text.data() + text.size(), literal.integer);
    literal.kind = literal.integer <= INT32_MAX ? LiteralClass::Integer : LiteralClass::BigInteger;
    return true;
  }
  const size_t point = text.find('.');
  const size_t scale = point == std::string_view::npos ? 0 : text.size() - point - 1;
  if (scale >= 1 && scale <= kMaxMarkedScale && ExactDecimal(text, literal.real)) {
    literal.kind = LiteralClass::Real;
    literal.scale = static_cast<uint8_t>(scale);
    return true;
  }
  return false;
}

std::vector<Token> LiteralShape::ProbeTokens(std::deque<std::string>& storage, StatementRange& range) const {
  std::vector<Token> probe(tokens_->begin() + static_cast<std::ptrdiff_t>(range_.begin),
                           tokens_->begin() + static_cast<std::ptrdiff_t>(range_.last));
  for (size_t k = 0; k < literals_.size(); ++k) {
    storage.push_back(MarkerText(k, LiteralForm::AsWritten));
    probe[literals_[k].token - range_.begin].text = storage.back();
  }
  auto shift = [this](size_t at) { return at == StatementRange::npos ? at : at - range_.begin; };
  range = StatementRange{0, shift(range_.conditionFirst), shift(range_.conditionLast), shift(range_.first),
                         shift(range_.last), range_.otherwise};
  return probe;
}

std::string LiteralShape::MarkerText(size_t k, LiteralForm form) const {
  switch (literals_[k].kind) {
    case LiteralClass::Text:
      return "'~p" + std::to_string(k) + "~'";
    case LiteralClass::Date:
      return "'" + std::to_string(1100 + k) + (form == LiteralForm::CanonicalDate ? "-01-01 00:00:00'" : "-01-01'");
    case LiteralClass::Integer:
      return std::to_string(kIntegerMarker + static_cast<int64_t>(k));
    case LiteralClass::BigInteger:
      return std::to_string(kBigIntegerMarker + static_cast<int64_t>(k));
    case LiteralClass::Real:
      return std::to_string(kRealMarker + static_cast<int64_t>(k)) + "." +
             std::string(literals_[k].scale - 1u, '2') + "5";
  }
  return "";
}

void LiteralShape::AddValue(size_t k, LiteralForm form, SqlParameters& parameters) const {
  const Literal& literal = literals_[k];
  const std::string_view text = literal.text;
  SqlValue& value = parameters.Add();
  switch (literal.kind) {
    case LiteralClass::Integer:
    case LiteralClass::BigInteger:
      value.type = SqlValue::Type::Integer;
      value.integer = literal.integer;
      break;
    case LiteralClass::Real:
      value.type = SqlValue::Type::Real;
      value.real = literal.real;
      break;
    default:
      if (form == LiteralForm::CanonicalDate && literal.kind == LiteralClass::Date) {
        const std::string& canonical = dates_[static_cast<size_t>(literal.integer)];
        value.SetText(parameters.Own(canonical.substr(1, canonical.size() - 2)));
      } else if (form == LiteralForm::CanonicalDate) {
        const std::string spelling = Spelling(k, form);
        value.SetText(parameters.Own(spelling.substr(1, spelling.size() - 2)));
      } else if (text.find('\'', 1) == text.size() - 1) {
        value.SetText(text.substr(1, text.size() - 2));  // no doubled quote inside: the text as written
      } else {
        Token token;
        token.kind = TokenKind::String;
        token.text = text;
        value.SetText(parameters.Own(LiteralContext::Value(token)));
      }
      break;
  }
}

std::string LiteralShape::Spelling(size_t k, LiteralForm form) const {
  const std::string_view text = literals_[k].text;
  if (form == LiteralForm::CanonicalDate && literals_[k].kind == LiteralClass::Date)
    return dates_[static_cast<size_t>(literals_[k].integer)];
  std::string canonical;
  if (form == LiteralForm::CanonicalDate && DateLiteralRule::Canonical(text, canonical)) return canonical;
  return std::string(text);
}

}  // namespace fabrikon::dialect
