// PgRecordsetReader: see the header. Values arrive as text; the column's
// rule reads them (a computed column without a declared type is typed from
// its values afterwards, as the embedded connection types it).
#include "data/PgRecordsetReader.h"

#include <libpq-fe.h>

#include "data/PgColumnTypes.h"
#include "data/RecordsetBuilder.h"
#include "data/ValueText.h"

namespace fabrikon {

namespace {

// Built-in type oids (pg_type.h): bool, int8, int2, int4, float4, float8, numeric.
constexpr unsigned kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

bool SameName(const std::string& a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The statement's own spelling of a name the server folded to lower case.
std::string Spelled(const std::string& name, const std::string& text) {
  const auto isWord = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
  };
  for (size_t i = 0; i + name.size() <= text.size(); ++i) {
    if ((i > 0 && isWord(text[i - 1])) || (i + name.size() < text.size() && isWord(text[i + name.size()]))) continue;
    if (SameName(name, std::string_view(text).substr(i, name.size()))) return text.substr(i, name.size());
  }
  return name;
}

}  // namespace

Variant PgRecordsetReader::ValueOf(std::string text, ValueRule rule) {
  switch (rule) {
    case ValueRule::Integer:
      if (text == "t" || text == "f") return Variant(static_cast<long long>(text == "t"));
      return valuetext::IntegerOrText(std::move(text));
    case ValueRule::Double: return valuetext::DoubleOrText(std::move(text));
    case ValueRule::Date: return valuetext::DateOrText(std::move(text));
    case ValueRule::Bool: return Variant(text == "t" || text == "1" || text == "true");
    default: return Variant(std::move(text));
  }
}

PgRecordsetReader::ValueRule PgRecordsetReader::RuleOfType(unsigned oid) {
  switch (oid) {
    case kBool:
    case kInt8:
    case kInt2:
    case kInt4: return ValueRule::Integer;
    case kFloat4:
    case kFloat8:
    case kNumeric: return ValueRule::Double;
    default: return ValueRule::Text;
  }
}

void PgRecordsetReader::Describe(const PGresult* result, PgColumnTypes& types,
                                 const std::vector<std::string>& resultTypes, const std::string& spelling) {
  const int count = PQnfields(result);
  columns_.assign(static_cast<size_t>(count), Column{});
  for (int i = 0; i < count; ++i) {
    Column& column = columns_[static_cast<size_t>(i)];
    column.info.name = Spelled(PQfname(result, i), spelling);
    std::string declared = static_cast<size_t>(i) < resultTypes.size() ? resultTypes[static_cast<size_t>(i)] : "";
    const unsigned table = PQftable(result, i);
    const int number = PQftablecol(result, i);
    if (declared.empty()) declared = types.Declared(table, number);
    column.info.isAutoIncrement = types.Identity(table, number);
    column.info.isNullable = types.Nullable(table, number);
    if (declared.empty()) {
      column.inferred = true;
      column.rule = RuleOfType(PQftype(result, i));
      continue;
    }
    SqliteTypeMapper::Apply(declared, column.info);
    column.rule = SqliteTypeMapper::KindOf(column.info.type);
    if (column.rule == ValueRule::Other) column.rule = ValueRule::Text;
  }
}

void PgRecordsetReader::Read(const PGresult* result, PgColumnTypes& types, const std::vector<std::string>& resultTypes,
                             const std::string& spelling) {
  hasResult_ = true;
  Describe(result, types, resultTypes, spelling);
  const int rows = PQntuples(result);
  rows_.reserve(static_cast<size_t>(rows));
  for (int r = 0; r < rows; ++r) {
    std::vector<Variant> row;
    row.reserve(columns_.size());
    for (size_t c = 0; c < columns_.size(); ++c) {
      const int field = static_cast<int>(c);
      if (PQgetisnull(result, r, field)) {
        row.push_back(Variant::Null());
        continue;
      }
      row.push_back(ValueOf(std::string(PQgetvalue(result, r, field), static_cast<size_t>(PQgetlength(result, r, field))),
                            columns_[c].rule));
    }
    rows_.push_back(std::move(row));
  }
  for (size_t c = 0; c < columns_.size(); ++c)
    if (columns_[c].inferred) SqliteTypeMapper::InferFromValues(rows_, c, columns_[c].info);
  if (unnamed_.size() == columns_.size())
    for (size_t c = 0; c < columns_.size(); ++c)
      if (unnamed_[c]) columns_[c].info.name.clear();
}

RecordsetPtr PgRecordsetReader::Build() { return TakeRecordset(columns_, rows_, hasResult_); }

}  // namespace fabrikon
