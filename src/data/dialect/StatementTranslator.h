// StatementTranslator: the rewrite pipeline. Runs the rules in their fixed
// order over one statement of a split batch (and over its IF condition) and
// says what kind of statement came out, which decides its count.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/dialect/BatchSplitter.h"
#include "data/dialect/RewriteRule.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon::dialect {

class StatementTranslator {
 public:
  StatementTranslator();
  // The translator every thread shares (it holds no state of its own).
  static const StatementTranslator& Instance();

  TranslatedStatement Translate(std::string_view batch, const std::vector<Token>& tokens,
                                const StatementRange& range, const SchemaCatalog* catalog = nullptr,
                                Engine engine = Engine::Embedded) const;
  // Runs every rule over the tokens; the result is SQLite text.
  std::string Rewrite(TokenList& tokens, const RuleContext& context) const;
  static StatementKind KindOf(const TokenList& tokens);
  static std::vector<std::string> ResultTypes(const TokenList& tokens, const SchemaCatalog* catalog);

 private:
  static std::vector<std::string> SelectIntoSteps(const TokenList& body, const std::string& rowidNumbering);

  std::vector<std::unique_ptr<RewriteRule>> rules_;
};

}  // namespace fabrikon::dialect
