// StatementTemplate: the markers are found again by lexing the translated
// probe; what surrounds them is kept as it is.
#include "data/dialect/StatementTemplate.h"

#include <algorithm>
#include <unordered_map>

#include "data/dialect/TSqlLexer.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

constexpr size_t kMaxParameters = 999;

bool IsOneOf(const Token& t, std::initializer_list<std::string_view> words) {
  for (std::string_view word : words)
    if (t.IsWord(word)) return true;
  return false;
}

bool EndsSelectList(const Token& t) {
  return IsOneOf(t, {"from", "where", "group", "having", "order", "limit", "union", "except", "intersect", "window"});
}

// The result column starting at first ends in "AS name".
bool ItemNamed(const std::vector<Token>& t, size_t first) {
  if (first < t.size() && (t[first].IsWord("distinct") || t[first].IsWord("all"))) ++first;
  int depth = 0;
  size_t end = first;
  for (; end < t.size(); ++end) {
    if (t[end].kind == TokenKind::LParen) ++depth;
    if (t[end].kind == TokenKind::RParen && --depth < 0) break;
    if (depth == 0 && (t[end].kind == TokenKind::Comma || EndsSelectList(t[end]))) break;
  }
  return end >= first + 3 && t[end - 2].IsWord("as") &&
         (t[end - 1].kind == TokenKind::Word || t[end - 1].kind == TokenKind::QuotedName);
}

// Which literals SQLite must see as written: outside DML, in ORDER BY and
// GROUP BY, in type lengths, as names after AS, and (when the result reaches the caller by
// name) in a result column without a name of its own.
std::vector<bool> WrittenPositions(const std::vector<Token>& t, bool resultNamesMatter) {
  std::vector<bool> written(t.size(), false);
  if (t.empty()) return written;
  if (!IsOneOf(t[0], {"select", "insert", "update", "delete", "with", "replace"})) {
    std::fill(written.begin(), written.end(), true);
    return written;
  }
  const bool namesMatter = resultNamesMatter && (t[0].IsWord("select") || t[0].IsWord("with"));
  enum class Mode : uint8_t { Plain, Select, Order, Type };
  struct Level {
    Mode mode;
    bool itemNamed;
  };
  std::vector<Level> levels{{Mode::Plain, true}};
  for (size_t i = 0; i < t.size(); ++i) {
    const Token& tok = t[i];
    if (tok.kind == TokenKind::LParen) {
      const bool type = i >= 2 && t[i - 1].kind == TokenKind::Word && t[i - 2].IsWord("as");
      levels.push_back({type ? Mode::Type : Mode::Plain, true});
      continue;
    }
    if (tok.kind == TokenKind::RParen) {
      if (levels.size() > 1) levels.pop_back();
      continue;
    }
    Level& level = levels.back();
    if (tok.IsWord("select")) {
      level = {Mode::Select, ItemNamed(t, i + 1)};
    } else if (level.mode == Mode::Select && tok.kind == TokenKind::Comma) {
      level.itemNamed = ItemNamed(t, i + 1);
    } else if (level.mode == Mode::Select && EndsSelectList(tok)) {
      level.mode = Mode::Plain;
    }
    if (tok.IsWord("by") && i > 0 && (t[i - 1].IsWord("order") || t[i - 1].IsWord("group"))) {
      level.mode = Mode::Order;
    } else if (level.mode == Mode::Order && IsOneOf(tok, {"limit", "having", "union", "except", "intersect"})) {
      level.mode = Mode::Plain;
    }
    if (tok.kind != TokenKind::String && tok.kind != TokenKind::Number) continue;
    if (i > 0 && t[i - 1].IsWord("as")) written[i] = true;  // a name: AS 'alias'
    for (const Level& l : levels) {
      if (l.mode == Mode::Order || l.mode == Mode::Type || (namesMatter && l.mode == Mode::Select && !l.itemNamed))
        written[i] = true;
    }
  }
  return written;
}

}  // namespace

bool StatementTemplate::Build(const std::string& probeSql, const LiteralShape& shape, bool resultNamesMatter,
                              StatementTemplate& out) {
  std::vector<Token> tokens;
  try {
    tokens = TSqlLexer::Tokenize(probeSql).tokens;
  } catch (const ComError&) {
    return false;
  }
  std::unordered_map<std::string, Slot> markers;
  for (size_t k = 0; k < shape.Literals().size(); ++k) {
    markers.emplace(shape.MarkerText(k, LiteralForm::AsWritten), Slot{k, LiteralForm::AsWritten});
    if (shape.Literals()[k].kind == LiteralClass::Date)
      markers.emplace(shape.MarkerText(k, LiteralForm::CanonicalDate), Slot{k, LiteralForm::CanonicalDate});
  }
  const std::vector<bool> written = WrittenPositions(tokens, resultNamesMatter);
  out = StatementTemplate();
  size_t copied = 0;
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != TokenKind::String && tokens[i].kind != TokenKind::Number) continue;
    const auto found = markers.find(std::string(tokens[i].text));
    if (found == markers.end()) continue;
    Part part{probeSql.substr(copied, tokens[i].offset - copied), Use::Written, found->second};
    if (!written[i]) {
      auto slot = std::find(out.slots_.begin(), out.slots_.end(), found->second);
      if (slot == out.slots_.end() && out.slots_.size() < kMaxParameters) {
        out.slots_.push_back(found->second);
        slot = out.slots_.end() - 1;
      }
      if (slot != out.slots_.end()) {
        part.use = Use::Parameter;
        part.text += "?" + std::to_string(slot - out.slots_.begin() + 1);
      }
    }
    out.hasWritten_ = out.hasWritten_ || part.use == Use::Written;
    out.parts_.push_back(std::move(part));
    copied = tokens[i].offset + tokens[i].text.size();
  }
  out.parts_.push_back(Part{probeSql.substr(copied), Use::End, {}});
  for (const Part& part : out.parts_) out.parameterText_ += part.text;
  return true;
}

std::string StatementTemplate::Write(const LiteralShape& literals, bool everyLiteral) const {
  std::string text;
  text.reserve(parameterText_.size() + 16 * parts_.size());
  for (const Part& part : parts_) {
    if (part.use == Use::Parameter && everyLiteral) {
      // The ?N is the tail of the part's text: write the literal instead.
      text.append(part.text, 0, part.text.rfind('?'));
      text += literals.Spelling(part.slot.literal, part.slot.form);
      continue;
    }
    text += part.text;
    if (part.use == Use::Written) text += literals.Spelling(part.slot.literal, part.slot.form);
  }
  return text;
}

const std::string& StatementTemplate::Text(const LiteralShape& literals, std::string& scratch) const {
  if (!hasWritten_) return parameterText_;
  scratch = Write(literals, false);
  return scratch;
}

std::string StatementTemplate::InlineText(const LiteralShape& literals) const { return Write(literals, true); }

SqlParameters StatementTemplate::Parameters(const LiteralShape& literals) const {
  SqlParameters parameters;
  parameters.Reserve(slots_.size());
  for (const Slot& slot : slots_) literals.AddValue(slot.literal, slot.form, parameters);
  return parameters;
}

size_t StatementTemplate::Bytes() const {
  size_t bytes = sizeof(*this) + parameterText_.capacity() + slots_.size() * sizeof(Slot);
  for (const Part& part : parts_) bytes += sizeof(Part) + part.text.capacity();
  return bytes;
}

}  // namespace fabrikon::dialect
