// SqliteTypeMapper: SQL Server type names -> ADO type codes and sizes, as the
// metadata query ("SELECT * FROM t WHERE 1=0") must report them.
#include "data/SqliteTypeMapper.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <cstdlib>
#include <unordered_map>

namespace fabrikon {

namespace {

struct TypeShape {
  int type;
  long size;  // bytes, or the default length of a text type without one
  int precision;
  int scale;
};

constexpr long kMaxLength = 2147483647;

const std::unordered_map<std::string, TypeShape>& KnownTypes() {
  static const std::unordered_map<std::string, TypeShape> types = {
      {"int", {AdoType::Integer, 4, 10, 0}},
      {"integer", {AdoType::Integer, 4, 10, 0}},
      {"smallint", {AdoType::SmallInt, 2, 5, 0}},
      {"tinyint", {AdoType::UnsignedTinyInt, 1, 3, 0}},
      {"bigint", {AdoType::BigInt, 8, 19, 0}},
      {"bit", {AdoType::Boolean, 2, 1, 0}},
      {"float", {AdoType::Double, 8, 15, 0}},
      {"double", {AdoType::Double, 8, 15, 0}},
      {"real", {AdoType::Single, 4, 7, 0}},
      {"money", {AdoType::Currency, 8, 19, 4}},
      {"smallmoney", {AdoType::Currency, 4, 10, 4}},
      {"decimal", {AdoType::Numeric, 19, 18, 0}},
      {"numeric", {AdoType::Numeric, 19, 18, 0}},
      {"datetime", {AdoType::DBTimeStamp, 16, 23, 3}},
      {"smalldatetime", {AdoType::DBTimeStamp, 16, 16, 0}},
      {"datetime2", {AdoType::DBTimeStamp, 16, 27, 7}},
      {"date", {SqliteTypeMapper::DBDate, 6, 10, 0}},
      {"time", {SqliteTypeMapper::DBTime, 6, 16, 7}},
      // Lengths of char types: SQL Server's default of 1; varchar without a
      // length is taken as its largest ordinary length, since SQLite does not
      // enforce lengths and schema text may leave them out.
      {"char", {AdoType::Char, 1, 0, 0}},
      {"nchar", {AdoType::WChar, 1, 0, 0}},
      {"varchar", {AdoType::VarChar, 8000, 0, 0}},
      {"nvarchar", {AdoType::VarWChar, 4000, 0, 0}},
      {"text", {AdoType::LongVarChar, kMaxLength, 0, 0}},
      {"ntext", {AdoType::LongVarWChar, 1073741823, 0, 0}},
      {"timestamp", {AdoType::Binary, 8, 0, 0}},
      {"rowversion", {AdoType::Binary, 8, 0, 0}},
      {"binary", {AdoType::Binary, 1, 0, 0}},
      {"varbinary", {AdoType::VarBinary, 8000, 0, 0}},
      {"image", {SqliteTypeMapper::LongVarBinary, kMaxLength, 0, 0}},
      {"uniqueidentifier", {SqliteTypeMapper::Guid, 16, 0, 0}},
      {"sql_variant", {SqliteTypeMapper::Variant, 8016, 0, 0}},
  };
  return types;
}

std::string Lower(const std::string& text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

// SQLite's affinity rules, for type names SQL Server does not have.
TypeShape ByAffinity(const std::string& name) {
  if (name.find("int") != std::string::npos) return {AdoType::BigInt, 8, 19, 0};
  if (name.find("char") != std::string::npos || name.find("clob") != std::string::npos ||
      name.find("text") != std::string::npos)
    return {AdoType::VarWChar, 4000, 0, 0};
  if (name.empty() || name.find("blob") != std::string::npos) return {AdoType::VarBinary, 8000, 0, 0};
  if (name.find("real") != std::string::npos || name.find("floa") != std::string::npos ||
      name.find("doub") != std::string::npos)
    return {AdoType::Double, 8, 15, 0};
  return {AdoType::Numeric, 19, 18, 0};
}

bool IsTextType(int type) {
  return type == AdoType::Char || type == AdoType::WChar || type == AdoType::VarChar ||
         type == AdoType::VarWChar || type == AdoType::Binary || type == AdoType::VarBinary;
}

// "(50)", "(18, 4)" or "(max)" after the name.
void ApplyArguments(const std::string& arguments, TypeShape& shape) {
  std::string inner = Lower(Trim(arguments));
  if (inner == "max") {
    if (shape.type == AdoType::VarChar) shape = {AdoType::LongVarChar, kMaxLength, 0, 0};
    else if (shape.type == AdoType::VarWChar) shape = {AdoType::LongVarWChar, 1073741823, 0, 0};
    else if (shape.type == AdoType::VarBinary) shape = {SqliteTypeMapper::LongVarBinary, kMaxLength, 0, 0};
    return;
  }
  char* rest = nullptr;
  long first = std::strtol(inner.c_str(), &rest, 10);
  if (rest == inner.c_str() || first <= 0) return;
  long second = 0;
  size_t comma = inner.find(',');
  if (comma != std::string::npos) second = std::strtol(inner.c_str() + comma + 1, nullptr, 10);
  if (IsTextType(shape.type)) {
    shape.size = first;
  } else if (shape.type == AdoType::Numeric) {
    shape.precision = static_cast<int>(first);
    shape.scale = static_cast<int>(second);
  } else if (shape.type == AdoType::Double && first <= 24) {
    shape = {AdoType::Single, 4, 7, 0};  // float(1..24) is SQL Server's real
  }
}

}  // namespace

void SqliteTypeMapper::Apply(const std::string& declaredType, FieldInfo& info) {
  std::string text = Lower(Trim(declaredType));
  size_t open = text.find('(');
  std::string name = Trim(text.substr(0, open));
  if (name == "double precision") name = "float";
  auto known = KnownTypes().find(name);
  TypeShape shape = known != KnownTypes().end() ? known->second : ByAffinity(name);
  if (open != std::string::npos && known != KnownTypes().end()) {
    size_t close = text.find(')', open);
    ApplyArguments(text.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1),
                   shape);
  }
  info.type = shape.type;
  info.definedSize = shape.size;
  info.precision = shape.precision;
  info.numericScale = shape.scale;
}

void SqliteTypeMapper::InferFromValues(const std::vector<std::vector<fabrikon::Variant>>& rows, size_t column,
                                       FieldInfo& info) {
  bool anyInteger = false, anyDouble = false, anyText = false, wide = false;
  long longest = 0;
  for (const auto& row : rows) {
    const fabrikon::Variant& value = row[column];
    switch (value.kind()) {
      case fabrikon::Variant::Kind::Int: {
        anyInteger = true;
        int64_t n = value.ToInt();
        wide = wide || n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max();
        break;
      }
      case fabrikon::Variant::Kind::Double: anyDouble = true; break;
      case fabrikon::Variant::Kind::Text: {
        const std::string& text = *value.AsText();
        longest = std::max(longest, static_cast<long>(std::count_if(text.begin(), text.end(), [](char c) {
                                      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // UTF-8 lead bytes
                                    })));
        break;
      }
      default: break;
    }
  }
  if (anyText || (!anyInteger && !anyDouble)) {
    info.type = AdoType::VarChar;
    info.definedSize = std::max(longest, 1L);
  } else if (anyDouble) {
    info.type = AdoType::Double;
    info.definedSize = 8;
    info.precision = 15;
  } else {
    info.type = wide ? AdoType::BigInt : AdoType::Integer;
    info.definedSize = wide ? 8 : 4;
    info.precision = wide ? 19 : 10;
  }
}

SqliteTypeMapper::ValueKind SqliteTypeMapper::KindOf(int adoType) {
  switch (adoType) {
    case AdoType::Boolean: return ValueKind::Bool;
    case AdoType::DBTimeStamp:
    case DBDate: return ValueKind::Date;
    case AdoType::Single:
    case AdoType::Double:
    case AdoType::Currency:
    case AdoType::Numeric: return ValueKind::Double;
    case AdoType::SmallInt:
    case AdoType::Integer:
    case AdoType::UnsignedTinyInt:
    case AdoType::BigInt: return ValueKind::Integer;
    case AdoType::Char:
    case AdoType::WChar:
    case AdoType::VarChar:
    case AdoType::VarWChar:
    case AdoType::LongVarChar:
    case AdoType::LongVarWChar: return ValueKind::Text;
    case AdoType::Binary:
    case AdoType::VarBinary: return ValueKind::Binary;
    default: return ValueKind::Other;
  }
}

}  // namespace fabrikon
