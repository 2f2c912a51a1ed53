// ShapeRepeat: the learned statement is kept as the texts around its
// literals (views into the batch text) and the kind of each literal.
#include "data/dialect/ShapeRepeat.h"

#include "data/dialect/TSqlLexer.h"

namespace fabrikon::dialect {

namespace {

// A literal right after one of these could read on from the token before it
// (a word, a number, a quote) or be read as a dot.
bool JoinsTokenBefore(char c) {
  return TSqlLexer::IsWordChar(c) || c == '.' || c == '\'' || c == '"' || c == ']';
}

bool SameWord(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

}  // namespace

bool ShapeRepeat::Forget(std::string_view source, const StatementRange& range) {
  learned_ = false;
  whole_ = false;
  return !source.empty() && range.last > range.begin;
}

bool ShapeRepeat::Learn(std::string_view source, const std::vector<Token>& tokens, const StatementRange& range,
                        const LiteralShape& literals, const ShapeCache::Entry& shape) {
  if (!Forget(source, range)) return false;
  const Token& head = tokens[range.begin];
  const Token& last = tokens[range.last - 1];
  if (!(head.IsWord("insert") || head.IsWord("update") || head.IsWord("delete")) || last.kind == TokenKind::Word)
    return false;
  return Take(source, tokens, range, literals, shape);
}

// A statement that ends with its text ends there whatever its last token,
// and the full reading of a repeat finds the same statement.
bool ShapeRepeat::LearnWhole(std::string_view source, const std::vector<Token>& tokens, const StatementRange& range,
                             const LiteralShape& literals, const ShapeCache::Entry& shape) {
  if (!Forget(source, range)) return false;
  const Token& head = tokens[range.begin];
  const Token& last = tokens[range.last - 1];
  const size_t end = static_cast<size_t>(last.text.data() + last.text.size() - source.data());
  if (TSqlLexer::SkipBlanks(source, 0) != head.offset || TSqlLexer::SkipBlanks(source, end) != source.size())
    return false;
  whole_ = Take(source, tokens, range, literals, shape);
  return whole_;
}

bool ShapeRepeat::Take(std::string_view source, const std::vector<Token>& tokens, const StatementRange& range,
                       const LiteralShape& literals, const ShapeCache::Entry& shape) {
  if (range.guarded() || range.otherwise || range.first != range.begin ||
      literals.Literals().size() > LiteralShape::kMaxDates)
    return false;
  const Token& head = tokens[range.begin];
  const Token& last = tokens[range.last - 1];
  std::vector<std::string_view> stretches;
  std::vector<Place> places;
  stretches.reserve(literals.Literals().size() + 1);
  places.reserve(literals.Literals().size());
  classes_.clear();
  size_t from = head.offset;
  for (const LiteralShape::Literal& literal : literals.Literals()) {
    const Token& t = tokens[literal.token];
    if (t.offset <= from || JoinsTokenBefore(source[t.offset - 1])) return false;
    stretches.push_back(source.substr(from, t.offset - from));
    places.push_back(Place{t.kind, t.national});
    LiteralShape::AppendClass(classes_, literal, t.national);
    from = static_cast<size_t>(t.text.data() + t.text.size() - source.data());
  }
  const size_t end = static_cast<size_t>(last.text.data() + last.text.size() - source.data());
  stretches.push_back(source.substr(from, end - from));
  // The same text as before: the shapes found for it still serve.
  if (!(stretches == stretches_ && places == places_ && blankBefore_ == head.blankBefore)) shapes_.clear();
  stretches_ = std::move(stretches);
  places_ = std::move(places);
  blankBefore_ = head.blankBefore;
  tokens_ = range.last - range.begin;
  source_ = source;
  shapes_[classes_] = shape;
  learned_ = true;
  return true;
}

void ShapeRepeat::Rebase(std::string_view copy) {
  for (std::string_view& stretch : stretches_)
    stretch = copy.substr(static_cast<size_t>(stretch.data() - source_.data()), stretch.size());
  source_ = copy;
}

ShapeCache::Entry ShapeRepeat::Next(size_t& end, LiteralShape& literals) {
  size_t at = end;
  if (!learned_ || whole_ || !Read(source_, at, literals)) return nullptr;
  ShapeCache::Entry shape = Known();
  if (shape) end = at;
  return shape;
}

ShapeCache::Entry ShapeRepeat::Whole(std::string_view text, LiteralShape& literals) {
  size_t at = 0;
  if (!learned_ || !whole_ || !Read(text, at, literals)) return nullptr;
  return Known();
}

// The shape of the statement read last, when a parameterized one is known.
ShapeCache::Entry ShapeRepeat::Known() {
  const auto known = shapes_.find(classes_);
  ShapeCache::Entry shape = known != shapes_.end() ? known->second : Find();
  if (!shape || !shape->parameterized) return nullptr;
  return shape;
}

// The statement's text around its literals, and their classes.
bool ShapeRepeat::Read(std::string_view text, size_t& end, LiteralShape& literals) {
  size_t p = TSqlLexer::SkipBlanks(text, end);
  if ((p != end) != blankBefore_) return false;
  literals.Clear();
  classes_.clear();
  for (size_t k = 0;; ++k) {
    const std::string_view stretch = stretches_[k];
    if (text.size() - p < stretch.size() || text.compare(p, stretch.size(), stretch) != 0) return false;
    p += stretch.size();
    if (k == places_.size()) break;
    const Place& place = places_[k];
    TokenKind kind = TokenKind::String;
    size_t quote = p;
    const size_t after = TSqlLexer::LiteralEnd(text, p, kind, quote);
    if (after == TSqlLexer::npos || kind != place.kind || (quote != p) != place.national) return false;
    const LiteralShape::Literal* literal = literals.AddRepeated(kind, text.substr(quote, after - quote));
    if (literal == nullptr) return false;
    LiteralShape::AppendClass(classes_, *literal, place.national);
    p = after;
  }
  if (!EndsHere(text, p)) return false;
  end = p;
  return true;
}

// The splitter ends a statement (that ends on no word, outside parentheses)
// at the end of the text, at a semicolon and before INSERT, UPDATE or DELETE.
// A whole batch's statement ends with the text only.
bool ShapeRepeat::EndsHere(std::string_view text, size_t at) const {
  at = TSqlLexer::SkipBlanks(text, at);
  if (at == text.size()) return true;
  if (whole_) return false;
  if (text[at] == ';') return true;
  size_t end = at;
  while (end < text.size() && end - at <= 6 && TSqlLexer::IsWordChar(text[end])) ++end;
  const std::string_view word = text.substr(at, end - at);
  return SameWord(word, "insert") || SameWord(word, "update") || SameWord(word, "delete");
}

// The shape key the full reading builds for the statement read last.
ShapeCache::Entry ShapeRepeat::Find() {
  key_.clear();
  key_ += LiteralShape::KeyStart(blankBefore_);
  size_t c = 0;
  for (size_t k = 0; k < places_.size(); ++k) {
    LiteralShape::AppendStretch(key_, stretches_[k]);
    const size_t size = classes_[c] == static_cast<char>(LiteralClass::Real) ? 2 : 1;
    key_.append(classes_, c, size);
    c += size;
  }
  LiteralShape::AppendStretch(key_, stretches_.back());
  key_ += keySuffix_;
  ShapeCache::Entry shape = cache_.Find(key_);
  if (shape) shapes_.emplace(classes_, shape);
  return shape;
}

}  // namespace fabrikon::dialect
