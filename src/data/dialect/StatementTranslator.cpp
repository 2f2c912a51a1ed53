// StatementTranslator: see the header. The order of the rules matters:
// the refusal of foreign syntax first (it must see the caller's text), names (later rules see temp.X instead of TempDB..X), then the
// statement shapes, then functions from the inside out, then the operators
// and literals whose treatment depends on what the functions became, and
// last the conversion of stored values.
#include "data/dialect/StatementTranslator.h"

#include "data/dialect/BlankLiteralRule.h"
#include "data/dialect/CollateLiteralRule.h"
#include "data/dialect/ConvertRule.h"
#include "data/dialect/DataLengthRule.h"
#include "data/dialect/CreateIndexRule.h"
#include "data/dialect/CreateTableRule.h"
#include "data/dialect/DateLiteralRule.h"
#include "data/dialect/DecimalArithmeticRule.h"
#include "data/dialect/DeleteFromRule.h"
#include "data/dialect/DivisionRule.h"
#include "data/dialect/DropTableRule.h"
#include "data/dialect/ForeignSyntaxRule.h"
#include "data/dialect/DmlTopRule.h"
#include "data/dialect/FunctionNameRule.h"
#include "data/dialect/ExpressionTyper.h"
#include "data/dialect/ImplicitConversionRule.h"
#include "data/dialect/GroupByCollationRule.h"
#include "data/dialect/IntOverflowRule.h"
#include "data/dialect/IsNullRule.h"
#include "data/dialect/LikeRule.h"
#include "data/dialect/MinMaxRule.h"
#include "data/dialect/MissingIntoRule.h"
#include "data/dialect/NumberTextRule.h"
#include "data/dialect/ObjectNameRule.h"
#include "data/dialect/OffsetFetchRule.h"
#include "data/dialect/OperatorRule.h"
#include "data/dialect/OrderByPositionRule.h"
#include "data/dialect/RightJoinFilterRule.h"
#include "data/dialect/SelectIntoRule.h"
#include "data/dialect/StoreRule.h"
#include "data/dialect/StringConcatRule.h"
#include "data/dialect/TopRule.h"
#include "data/dialect/TruncateTableRule.h"
#include "data/dialect/UnionTypeRule.h"
#include "data/dialect/UnnamedColumns.h"
#include "data/dialect/UpdateFromRule.h"
#include "data/dialect/VariableRule.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

StatementTranslator::StatementTranslator() {
  rules_.push_back(std::make_unique<ForeignSyntaxRule>());  // it must see the caller's text
  rules_.push_back(std::make_unique<VariableRule>());  // before any rule reads operands
  rules_.push_back(std::make_unique<OrderByPositionRule>());
  rules_.push_back(std::make_unique<MinMaxRule>());  // before the rules that read the copies it makes
  rules_.push_back(std::make_unique<ObjectNameRule>());
  rules_.push_back(std::make_unique<OperatorRule>());
  rules_.push_back(std::make_unique<MissingIntoRule>());
  rules_.push_back(std::make_unique<TruncateTableRule>());
  rules_.push_back(std::make_unique<DmlTopRule>());  // before the DELETE and UPDATE shapes
  rules_.push_back(std::make_unique<DeleteFromRule>());
  rules_.push_back(std::make_unique<SelectIntoRule>());
  rules_.push_back(std::make_unique<CreateIndexRule>());
  rules_.push_back(std::make_unique<CreateTableRule>());
  rules_.push_back(std::make_unique<DropTableRule>());
  rules_.push_back(std::make_unique<UpdateFromRule>());
  rules_.push_back(std::make_unique<TopRule>());
  rules_.push_back(std::make_unique<OffsetFetchRule>());
  rules_.push_back(std::make_unique<IsNullRule>());
  rules_.push_back(std::make_unique<FunctionNameRule>());
  rules_.push_back(std::make_unique<ConvertRule>());
  rules_.push_back(std::make_unique<ImplicitConversionRule>());  // reads what the conversions became
  rules_.push_back(std::make_unique<StringConcatRule>());
  rules_.push_back(std::make_unique<DecimalArithmeticRule>());  // reads the conversions' types
  rules_.push_back(std::make_unique<NumberTextRule>());  // reads the arithmetic's types
  rules_.push_back(std::make_unique<IntOverflowRule>());  // after the conversions, before the divisor guard
  rules_.push_back(std::make_unique<UnionTypeRule>());
  rules_.push_back(std::make_unique<DivisionRule>());
  rules_.push_back(std::make_unique<DataLengthRule>());  // after the rules that read datalength as a number
  rules_.push_back(std::make_unique<BlankLiteralRule>());
  rules_.push_back(std::make_unique<DateLiteralRule>());
  rules_.push_back(std::make_unique<CollateLiteralRule>());
  rules_.push_back(std::make_unique<LikeRule>());
  rules_.push_back(std::make_unique<GroupByCollationRule>());
  rules_.push_back(std::make_unique<RightJoinFilterRule>());  // moves the translated filter as it is
  rules_.push_back(std::make_unique<StoreRule>());  // last: it wraps the translated values
}

const StatementTranslator& StatementTranslator::Instance() {
  static const StatementTranslator instance;
  return instance;
}

std::string StatementTranslator::Rewrite(TokenList& tokens, const RuleContext& context) const {
  for (const auto& rule : rules_) rule->Apply(tokens, context);
  return tokens.Emit();
}

TranslatedStatement StatementTranslator::Translate(std::string_view batch, const std::vector<Token>& tokens,
                                                   const StatementRange& range, const SchemaCatalog* catalog,
                                                   Engine engine) const {
  TranslatedStatement out;
  const size_t begin = tokens[range.begin].offset;
  size_t end = range.last < tokens.size() ? tokens[range.last].offset : batch.size();
  while (end > begin && static_cast<unsigned char>(batch[end - 1]) <= ' ') --end;
  out.original = std::string(batch.substr(begin, end - begin));

  if (range.guarded()) {
    std::vector<Token> condition{TokenList::Word("SELECT")};
    condition[0].blankBefore = false;
    condition.insert(condition.end(), tokens.begin() + static_cast<std::ptrdiff_t>(range.conditionFirst),
                     tokens.begin() + static_cast<std::ptrdiff_t>(range.conditionLast));
    TokenList list(std::move(condition));
    out.condition = Rewrite(list, RuleContext{false, catalog, true});
  }
  TokenList body(std::vector<Token>(tokens.begin() + static_cast<std::ptrdiff_t>(range.first),
                                    tokens.begin() + static_cast<std::ptrdiff_t>(range.last)));
  std::string rowidNumbering;
  const RuleContext context{range.guarded(), catalog, false,
                            engine == Engine::Embedded ? &rowidNumbering : nullptr, engine == Engine::Embedded};
  for (const auto& rule : rules_) rule->Apply(body, context);
  std::vector<std::string> numbering = CreateTableRule::TakeIdentity(body);
  out.kind = KindOf(body);
  if (out.kind == StatementKind::Select) {
    out.unnamed = UnnamedColumns::Find(tokens, range.first, range.last);
    out.resultTypes = ResultTypes(body, catalog);
  }
  const Token& head = tokens[range.first];
  if (head.IsWord("select") && out.kind == StatementKind::Ddl && numbering.empty()) {
    out.sql = SelectIntoSteps(body, rowidNumbering);
    out.kind = StatementKind::Insert;
  } else {
    out.sql.push_back(body.Emit());
  }
  for (std::string& step : numbering) out.sql.push_back(std::move(step));
  if (head.IsWord("truncate")) out.kind = StatementKind::Other;
  out.otherwise = range.otherwise;
  return out;
}

// SELECT ... INTO t came out as CREATE TABLE t AS SELECT ...; the engine
// counts no rows for that, SQL Server does. So the table is made empty from
// the query's columns, then filled by an INSERT, whose count is the rows.
// An identity column left empty for rowid numbering is numbered by an UPDATE
// after the fill: the rowids of the new table follow the order the rows came
// in, and it changes every row, so its count is the INSERT's.
std::vector<std::string> StatementTranslator::SelectIntoSteps(const TokenList& body,
                                                              const std::string& rowidNumbering) {
  const size_t as = body.FindWord("as", 2, body.size());
  if (as == TokenList::npos) {
    if (!rowidNumbering.empty())
      throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near '" + body.Emit() + "'.");
    return {body.Emit()};
  }
  std::vector<Token> create = body.Slice(0, as + 1);
  for (Token t : {TokenList::Word("SELECT"), TokenList::Op("*"), TokenList::Word("FROM"),
                  TokenList::Make(TokenKind::LParen, "(")})
    create.push_back(t);
  const std::vector<Token> query = body.Slice(as + 1, body.size());
  create.insert(create.end(), query.begin(), query.end());
  for (Token t : {TokenList::Close(), TokenList::Word("LIMIT"), TokenList::Make(TokenKind::Number, "0")})
    create.push_back(t);
  std::vector<Token> fill{TokenList::Word("INSERT"), TokenList::Word("INTO")};
  const std::vector<Token> target = body.Slice(2, as);
  fill.insert(fill.end(), target.begin(), target.end());
  fill.insert(fill.end(), query.begin(), query.end());
  std::vector<std::string> steps{TokenList(std::move(create)).Emit(), TokenList(std::move(fill)).Emit()};
  if (!rowidNumbering.empty()) {
    std::vector<Token> number{TokenList::Word("UPDATE")};
    number.insert(number.end(), target.begin(), target.end());
    number.push_back(TokenList::Word("SET"));
    number.push_back(TokenList::Word(rowidNumbering));
    steps.push_back(TokenList(std::move(number)).Emit());
  }
  return steps;
}

// The declared types of computed result columns whose values the host must
// read as dates or bits; empty when there is none.
std::vector<std::string> StatementTranslator::ResultTypes(const TokenList& tokens, const SchemaCatalog* catalog) {
  const std::vector<SqlType> types = ExpressionTyper(tokens, catalog).SelectList();
  std::vector<std::string> names(types.size());
  bool any = false;
  for (size_t i = 0; i < types.size(); ++i) {
    names[i] = types[i].DeclaredName();
    any = any || !names[i].empty();
  }
  if (!any) names.clear();
  return names;
}

StatementKind StatementTranslator::KindOf(const TokenList& tokens) {
  const Token& head = tokens.At(0);
  if (head.IsWord("select")) return StatementKind::Select;
  if (head.IsWord("insert")) return StatementKind::Insert;
  if (head.IsWord("update")) return StatementKind::Update;
  if (head.IsWord("delete")) return StatementKind::Delete;
  if (head.IsWord("create") || head.IsWord("drop") || head.IsWord("alter")) return StatementKind::Ddl;
  return StatementKind::Other;
}

}  // namespace fabrikon::dialect
