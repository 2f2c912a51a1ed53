// TSqlDialect: the entry points of the dialect layer. A batch is lexed once,
// split into statements, and each statement goes through the rewrite
// pipeline; the result is kept in a per-thread cache.
#include "data/dialect/TSqlDialect.h"

#include <memory>

#include "data/dialect/BatchSplitter.h"
#include "data/dialect/SchemaCatalog.h"
#include "data/dialect/StatementTranslator.h"
#include "data/dialect/StoreConversion.h"
#include "data/dialect/StrictSum.h"
#include "data/dialect/TSqlCollation.h"
#include "data/dialect/TSqlImplicitConversions.h"
#include "data/dialect/TSqlLexer.h"
#include "data/dialect/TSqlLike.h"
#include "data/dialect/TSqlNumberFunctions.h"
#include "data/dialect/TSqlScalarFunctions.h"
#include "data/dialect/TSqlSession.h"
#include "data/dialect/TranslationCache.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

std::vector<TranslatedStatement> TranslateUncached(const std::string& tsql, const SchemaCatalog* catalog,
                                                   Engine engine) {
  const LexedText lexed = TSqlLexer::Tokenize(tsql);
  if (lexed.tokens.empty())
    throw ComError(ErrorNumber::CommandTextNotSet, "Command text was not set for the command object.");
  const std::vector<StatementRange> ranges = BatchSplitter::Split(lexed.tokens);
  std::vector<TranslatedStatement> statements;
  statements.reserve(ranges.size());
  const StatementTranslator& translator = StatementTranslator::Instance();
  for (const StatementRange& range : ranges) statements.push_back(translator.Translate(tsql, lexed.tokens, range, catalog, engine));
  if (statements.empty())
    throw ComError(ErrorNumber::CommandTextNotSet, "Command text was not set for the command object.");
  return statements;
}

}  // namespace

std::vector<TranslatedStatement> TranslateBatch(const std::string& tsql, const SchemaCatalog* catalog,
                                                Engine engine) {
  thread_local TranslationCache cache(512, 2 * 1024 * 1024);
  std::string key = catalog == nullptr ? tsql : tsql + '\0' + std::to_string(catalog->Generation());
  if (engine != Engine::Embedded) key.append(1, '\0').append("pg");
  if (TranslationCache::Entry hit = cache.Find(key)) return *hit;
  auto translation = std::make_shared<const std::vector<TranslatedStatement>>(TranslateUncached(tsql, catalog, engine));
  cache.Insert(key, translation);
  return *translation;
}

void RegisterFunctions(sqlite3* db) {
  TSqlCollation::Register(db);
  TSqlScalarFunctions::Register(db);
  TSqlNumberFunctions::Register(db);
  TSqlImplicitConversions::Register(db);
  StrictSum::Register(db);
  StoreConversion::Register(db);
  TSqlLike::Register(db);
  TSqlSession::Register(db);
}

}  // namespace fabrikon::dialect
