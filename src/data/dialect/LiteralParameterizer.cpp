// LiteralParameterizer: a shape seen for the first time is translated twice,
// as written and with its literals replaced by markers; the markers show
// where the literals land in the SQLite text. The template is kept only when
// writing this statement's own literals into it gives exactly the text its
// own translation gave.
#include "data/dialect/LiteralParameterizer.h"

#include <algorithm>
#include <deque>
#include <optional>

#include "data/dialect/BatchSplitter.h"
#include "data/dialect/LiteralShape.h"
#include "data/dialect/SchemaCatalog.h"
#include "data/dialect/ShapeCache.h"
#include "data/dialect/ShapeRepeat.h"
#include "data/dialect/StatementTranslator.h"
#include "data/dialect/TSqlLexer.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

constexpr size_t kShapeCacheBytes = 4 * 1024 * 1024;
// 48 KB of tokens: below the size at which the allocator maps fresh pages.
constexpr size_t kTokensAtOnce = 2048;

[[noreturn]] void NoCommandText() {
  throw ComError(ErrorNumber::CommandTextNotSet, "Command text was not set for the command object.");
}

bool SameTranslation(const ShapeTranslation& shape, const TranslatedStatement& real, const LiteralShape& literals) {
  if (shape.guarded != !real.condition.empty() || shape.sql.size() != real.sql.size()) return false;
  if (shape.guarded && shape.condition.InlineText(literals) != real.condition) return false;
  for (size_t i = 0; i < real.sql.size(); ++i)
    if (shape.sql[i].InlineText(literals) != real.sql[i]) return false;
  return true;
}

// The shape's templates, from the translation of its probe.
void BuildTemplates(const TranslatedStatement& probe, const LiteralShape& literals, ShapeTranslation& shape) {
  shape.guarded = !probe.condition.empty();
  shape.parameterized = !shape.guarded || StatementTemplate::Build(probe.condition, literals, false, shape.condition);
  shape.sql.resize(probe.sql.size());
  for (size_t i = 0; i < probe.sql.size() && shape.parameterized; ++i)
    shape.parameterized = StatementTemplate::Build(probe.sql[i], literals, true, shape.sql[i]);
}

std::shared_ptr<const ShapeTranslation> Learn(const std::string& tsql, const std::vector<Token>& tokens,
                                              const StatementRange& range, const LiteralShape& literals,
                                              const SchemaCatalog* catalog, Engine engine) {
  const StatementTranslator& translator = StatementTranslator::Instance();
  const TranslatedStatement real = translator.Translate(tsql, tokens, range, catalog, engine);  // raises for bad text
  auto shape = std::make_shared<ShapeTranslation>();
  shape->kind = real.kind;
  shape->resultTypes = real.resultTypes;
  shape->otherwise = real.otherwise;
  shape->unnamed = real.unnamed;
  try {
    std::deque<std::string> storage;
    StatementRange probeRange;
    const std::vector<Token> probeTokens = literals.ProbeTokens(storage, probeRange);
    const TranslatedStatement probe = translator.Translate(tsql, probeTokens, probeRange, catalog, engine);
    BuildTemplates(probe, literals, *shape);
    shape->parameterized = shape->parameterized && probe.kind == real.kind &&
                          probe.resultTypes == real.resultTypes && SameTranslation(*shape, real, literals);
  } catch (const ComError&) {
    shape->parameterized = false;  // the markers do not read as the literals did
  }
  if (!shape->parameterized) {
    shape->condition = StatementTemplate();
    shape->sql.clear();
  }
  return shape;
}

// The template's text itself when no literal is written into it, else this
// statement's own text.
std::string_view TextOf(const StatementTemplate& t, const LiteralShape& literals, ParameterizedStatement& out) {
  std::string scratch;
  const std::string& text = t.Text(literals, scratch);
  if (&text != &scratch) return text;
  out.written.push_front(std::move(scratch));
  return out.written.front();
}

// Fills `out` (whatever it held: its storage is used again).
void Instance(const std::shared_ptr<const ShapeTranslation>& shape, const LiteralShape& literals,
              ParameterizedStatement& out) {
  out.kind = shape->kind;
  out.otherwise = shape->otherwise;
  out.unnamed = shape->unnamed;
  out.shape = shape;
  out.resultTypes = shape->resultTypes;
  out.written.clear();
  out.condition = std::string_view();
  out.conditionParameters = SqlParameters();
  if (shape->guarded) {
    out.condition = TextOf(shape->condition, literals, out);
    out.conditionParameters = shape->condition.Parameters(literals);
  }
  out.sql.clear();
  out.parameters.resize(shape->sql.size());
  for (size_t i = 0; i < shape->sql.size(); ++i) {
    out.sql.push_back(TextOf(shape->sql[i], literals, out));
    out.parameters[i] = shape->sql[i].Parameters(literals);
  }
}

ParameterizedStatement AsWritten(TranslatedStatement translated) {
  ParameterizedStatement out;
  out.kind = translated.kind;
  out.resultTypes = std::move(translated.resultTypes);
  out.otherwise = translated.otherwise;
  out.unnamed = std::move(translated.unnamed);
  if (!translated.condition.empty()) {
    out.written.push_front(std::move(translated.condition));
    out.condition = out.written.front();
  }
  for (std::string& sql : translated.sql) {
    out.written.push_front(std::move(sql));
    out.sql.push_back(out.written.front());
  }
  out.parameters.resize(out.sql.size());
  return out;
}

// The last batch of one statement that was read in full, kept (its text
// copied) so that a later batch repeating it with other values is read
// straight from its text (see ShapeRepeat::LearnWhole).
class LastBatch {
 public:
  explicit LastBatch(ShapeCache& cache) : cache_(cache) {}

  ShapeCache::Entry Read(std::string_view tsql, const std::string& generation, LiteralShape& literals) {
    if (!repeat_ || generation != generation_) return nullptr;
    return repeat_->Whole(tsql, literals);
  }

  void Learn(std::string_view source, const std::vector<Token>& tokens, const StatementRange& range,
             const LiteralShape& literals, const ShapeCache::Entry& shape, const std::string& generation) {
    if (!repeat_ || generation != generation_) {
      repeat_.reset();
      generation_ = generation;  // the shapes found are keyed by it
      repeat_.emplace(cache_, generation_);
    }
    if (!repeat_->LearnWhole(source, tokens, range, literals, shape)) return;
    text_.assign(source);
    repeat_->Rebase(text_);
  }

 private:
  ShapeCache& cache_;
  std::string generation_;
  std::string text_;  // the learned batch
  std::optional<ShapeRepeat> repeat_;
};

// The T-SQL text of a statement read in full, as the translator spells it
// (up to the next token, blanks left out).
std::string_view OriginalOf(std::string_view tsql, const std::vector<Token>& tokens, const StatementRange& range) {
  const size_t begin = tokens[range.begin].offset;
  size_t end = range.last < tokens.size() ? tokens[range.last].offset : tsql.size();
  while (end > begin && static_cast<unsigned char>(tsql[end - 1]) <= ' ') --end;
  return tsql.substr(begin, end - begin);
}

// A statement of a parameterized shape with its literals written back in:
// the texts its own translation gives.
TranslatedStatement Inline(const ShapeTranslation& shape, const LiteralShape& literals, std::string_view original) {
  TranslatedStatement out;
  out.original = std::string(original);
  if (shape.guarded) out.condition = shape.condition.InlineText(literals);
  out.sql.reserve(shape.sql.size());
  for (const StatementTemplate& t : shape.sql) out.sql.push_back(t.InlineText(literals));
  out.kind = shape.kind;
  out.resultTypes = shape.resultTypes;
  out.otherwise = shape.otherwise;
  out.unnamed = shape.unnamed;
  return out;
}

std::string GenerationOf(const SchemaCatalog* catalog) {
  return catalog != nullptr ? std::string(1, '\0') + std::to_string(catalog->Generation()) : std::string();
}

// Reads the batch statement by statement: a statement of a known (or newly
// learned) parameterized shape goes to shaped(shape, literals, its T-SQL
// text), any other to written(its translation). A batch of one such
// statement is also learned by lastBatch, when given.
template <typename Shaped, typename Written>
void Walk(const std::string& tsql, const SchemaCatalog* catalog, const std::string& generation, Engine engine,
          ShapeCache& cache, LastBatch* lastBatch, const Shaped& shaped, const Written& written) {
  // A long batch (a save of thousands of rows) is read a stretch of tokens
  // at a time: its tokens would take several times its own size at once.
  TSqlLexer lexer(tsql);
  std::vector<Token>& tokens = lexer.Tokens();
  size_t statements = 0;
  bool any = false;
  size_t from = 0;
  size_t atOnce = kTokensAtOnce;
  size_t stretch = kTokensAtOnce;  // the tokens read at once once a statement was found
  LiteralShape::Prefix prefix;
  ShapeCache::Entry last;
  std::string lastKey;
  // The statements that repeat the one before with other values are read
  // straight from the text (see ShapeRepeat).
  ShapeRepeat repeat(cache, generation);
  LiteralShape repeated;
  while (true) {
    // The buffer holds about atOnce tokens: what was kept and what is read.
    const bool more = lexer.Read(atOnce > tokens.size() ? atOnce - tokens.size() : stretch);
    any = any || !tokens.empty();
    size_t rest = tokens.size();
    const std::vector<StatementRange> ranges =
        more ? BatchSplitter::SplitComplete(tokens, from, rest) : BatchSplitter::Split(tokens, from);
    // Rewritten tokens (hex binaries, names with ]]) do not point into the text.
    const std::string_view source = lexer.Rewrote() ? std::string_view() : std::string_view(tsql);
    size_t resume = TSqlLexer::npos;  // where the text was read past the tokens
    for (const StatementRange& range : ranges) {
      LiteralShape literals(tokens, range, source, &prefix);
      // A shape is translated for the schema it met: its key names the catalog's generation.
      if (catalog != nullptr) literals.AppendToKey(generation);
      const std::string& key = literals.Key();
      // The shape of the statement before (a save's run of rows) is taken without a lookup.
      ShapeCache::Entry shape = last && key == lastKey ? last : cache.Find(key);
      if (!shape) {
        shape = Learn(tsql, tokens, range, literals, catalog, engine);
        cache.Insert(key, shape);
      }
      if (shape != last) {
        last = shape;
        lastKey = key;
      }
      if (shape->parameterized) {
        if (lastBatch != nullptr && statements == 0 && !more && ranges.size() == 1)  // the batch is this statement
          lastBatch->Learn(source, tokens, range, literals, shape, generation);
        shaped(shape, literals, OriginalOf(tsql, tokens, range));
      } else {
        written(StatementTranslator::Instance().Translate(tsql, tokens, range, catalog, engine));
      }
      ++statements;
      if (!shape->parameterized || !repeat.Learn(source, tokens, range, literals, shape)) continue;
      const Token& end = tokens[range.last - 1];
      size_t at = static_cast<size_t>(end.text.data() + end.text.size() - source.data());
      const size_t before = statements;
      for (ShapeCache::Entry next;; ++statements) {
        const size_t begin = TSqlLexer::SkipBlanks(tsql, at);  // where ShapeRepeat reads from
        if (!(next = repeat.Next(at, repeated))) break;
        shaped(next, repeated, std::string_view(tsql).substr(begin, at - begin));
      }
      if (statements != before) {
        resume = at;
        break;
      }
    }
    if (resume != TSqlLexer::npos) {
      // The tokens read past the repeats are read again from where they end,
      // a few statements at a time: a run of repeats may well follow.
      lexer.Seek(resume);
      from = 0;
      stretch = std::min(kTokensAtOnce, 4 * repeat.Tokens() + 16);
      atOnce = stretch;
      continue;
    }
    if (!more) break;
    // A statement longer than what was read: read more at once next time.
    atOnce = ranges.empty() ? 2 * atOnce : stretch;
    // Keep the statement that may go on, and at least the last token.
    const size_t drop = std::min(rest, tokens.size() - 1);
    tokens.erase(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(drop));
    from = rest - drop;
  }
  if (!any || statements == 0) NoCommandText();
}

}  // namespace

std::vector<ParameterizedStatement> LiteralParameterizer::Translate(const std::string& tsql,
                                                                   const SchemaCatalog* catalog) {
  std::vector<ParameterizedStatement> statements;
  Translate(tsql, catalog, [&statements](ParameterizedStatement&& statement) {
    statements.push_back(std::move(statement));
  });
  return statements;
}

void LiteralParameterizer::Translate(const std::string& tsql, const SchemaCatalog* catalog, const Consumer& each) {
  thread_local ShapeCache cache(kShapeCacheBytes);
  thread_local LastBatch lastBatch(cache);
  const std::string generation = GenerationOf(catalog);
  ParameterizedStatement statement;  // handed over and filled again
  LiteralShape repeated;
  if (const ShapeCache::Entry shape = lastBatch.Read(tsql, generation, repeated)) {
    Instance(shape, repeated, statement);
    each(std::move(statement));
    return;
  }
  Walk(
      tsql, catalog, generation, Engine::Embedded, cache, &lastBatch,
      [&](const ShapeCache::Entry& shape, const LiteralShape& literals, std::string_view) {
        Instance(shape, literals, statement);
        each(std::move(statement));
      },
      [&](TranslatedStatement&& translated) { each(AsWritten(std::move(translated))); });
}

std::vector<TranslatedStatement> LiteralParameterizer::TranslateWritten(const std::string& tsql,
                                                                        const SchemaCatalog* catalog, Engine engine) {
  // The shapes of one engine's translations are kept apart from the other's.
  thread_local ShapeCache embedded(kShapeCacheBytes);
  thread_local ShapeCache postgres(kShapeCacheBytes);
  std::vector<TranslatedStatement> statements;
  Walk(
      tsql, catalog, GenerationOf(catalog), engine, engine == Engine::Embedded ? embedded : postgres, nullptr,
      [&](const ShapeCache::Entry& shape, const LiteralShape& literals, std::string_view original) {
        statements.push_back(Inline(*shape, literals, original));
      },
      [&](TranslatedStatement&& translated) { statements.push_back(std::move(translated)); });
  return statements;
}

}  // namespace fabrikon::dialect
