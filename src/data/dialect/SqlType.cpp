// SqlType: see the header.
#include "data/dialect/SqlType.h"

#include <cctype>
#include <cstdlib>

namespace fabrikon::dialect {

namespace {

std::string Lower(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The numbers in "name(a, b)": a and b, -1 for max, 0 when absent.
void ReadArguments(std::string_view text, int& first, int& second) {
  first = second = 0;
  const size_t open = text.find('(');
  if (open == std::string_view::npos) return;
  const std::string rest = Lower(text.substr(open + 1));
  if (rest.find("max") != std::string::npos) {
    first = -1;
    return;
  }
  char* end = nullptr;
  first = static_cast<int>(std::strtol(rest.c_str(), &end, 10));
  const size_t comma = rest.find(',');
  if (comma != std::string::npos) second = static_cast<int>(std::strtol(rest.c_str() + comma + 1, &end, 10));
}

}  // namespace

SqlType SqlType::FromDeclared(std::string_view declared) {
  const std::string text = Lower(declared);
  size_t end = 0;
  while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
  const std::string name = text.substr(0, end);
  int first = 0, second = 0;
  ReadArguments(text, first, second);
  using K = Kind;
  if (name == "int" || name == "integer") return Of(K::Int);
  if (name == "bigint") return Of(K::BigInt);
  if (name == "smallint") return Of(K::SmallInt);
  if (name == "tinyint") return Of(K::TinyInt);
  if (name == "bit") return Of(K::Bit);
  if (name == "decimal" || name == "numeric" || name == "dec")
    return Of(K::Decimal, first > 0 ? first : 18, first > 0 ? second : 0);
  if (name == "money") return Of(K::Money, 19, 4);
  if (name == "smallmoney") return Of(K::SmallMoney, 10, 4);
  if (name == "float" || name == "double") return Of(first > 0 && first <= 24 ? K::Real : K::Float);
  if (name == "real") return Of(K::Real);
  if (name == "datetime" || name == "datetime2") return Of(K::DateTime);
  if (name == "smalldatetime") return Of(K::SmallDateTime);
  if (name == "date") return Of(K::Date);
  if (name == "char") return Of(K::Char, first > 0 ? first : 1);
  if (name == "varchar") return Of(K::VarChar, first != 0 ? first : 1);
  if (name == "nchar") return Of(K::NChar, first > 0 ? first : 1);
  if (name == "nvarchar" || name == "sysname") return Of(K::NVarChar, first != 0 ? first : 1);
  if (name == "text") return Of(K::VarChar, -1);
  if (name == "ntext") return Of(K::NVarChar, -1);
  return SqlType{};
}

SqlType SqlType::OfNumberLiteral(std::string_view text) {
  if (text.find_first_of("eE") != std::string_view::npos) return Of(Kind::Float);
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const size_t lead = whole.find_first_not_of('0');
  const int digits = lead == std::string_view::npos ? 0 : static_cast<int>(whole.size() - lead);
  if (point == std::string_view::npos) {
    if (digits < 10 || (digits == 10 && whole.substr(lead) <= "2147483647")) return Of(Kind::Int);
    return Of(Kind::Decimal, digits, 0);
  }
  const int scale = static_cast<int>(text.size() - point - 1);
  return Of(Kind::Decimal, std::max(digits + scale, 1), scale);
}

SqlType SqlType::Higher(const SqlType& a, const SqlType& b) {
  if (a.kind == Kind::Null) return b;
  if (b.kind == Kind::Null) return a;
  if (a.kind == Kind::Unknown || b.kind == Kind::Unknown) return SqlType{};
  if (a.kind != b.kind) return a.kind > b.kind ? a : b;
  if (a.kind == Kind::Decimal) {
    const int scale = std::max(a.scale, b.scale);
    const int whole = std::max(a.precision - a.scale, b.precision - b.scale);
    return Of(Kind::Decimal, std::min(whole + scale, 38), scale);
  }
  if (a.IsText()) return Of(a.kind, a.precision < 0 || b.precision < 0 ? -1 : std::max(a.precision, b.precision));
  return a;
}

std::string_view SqlType::ConversionName() const {
  switch (kind) {
    case Kind::Bit: return "bit";
    case Kind::TinyInt: return "tinyint";
    case Kind::SmallInt: return "smallint";
    case Kind::Int: return "int";
    case Kind::BigInt: return "bigint";
    case Kind::SmallMoney:
    case Kind::Money: return "money";
    case Kind::Decimal: return "numeric";
    case Kind::Real: return "real";
    case Kind::Float: return "float";
    case Kind::Date: return "date";
    case Kind::SmallDateTime:
    case Kind::DateTime: return "datetime";
    default: return "";
  }
}

std::string SqlType::DeclaredName() const {
  switch (kind) {
    case Kind::Bit: return "bit";
    case Kind::Date: return "date";
    case Kind::SmallDateTime:
    case Kind::DateTime: return "datetime";
    default: return "";
  }
}

}  // namespace fabrikon::dialect
