// The statement builders of saving (declared in modVoucher.h): the SQL text
// that writes one rowset row into a table, and the two small lookups saving
// needs (MAX of a key, a value by code). Column lists come from the table's
// metadata query, so a document attribute only reaches the database when the
// table has a column of that name, and always as a literal of its type.
#include <charconv>
#include <cstdio>
#include <exception>
#include <string>

#include "engine/TableMetadataCache.h"
#include "fabrikon/ComError.h"
#include "fabrikon/host/MessageBox.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
namespace {

// Fixed fragments of the statements.
const char* const kRowVersionColumn = "qxts";
const char* const kRowVersionGuardHead = " AND CONVERT(CHAR,Convert(MONEY,qxts),2)=CONVERT(CHAR,Convert(MONEY,'";
const char* const kRowVersionGuardTail = "'),2)";

bool IsNumberType(int type) {
  switch (type) {
    case 2: case 4: case 5: case 6: case 14: case 16: case 17: case 18: case 19: case 21: case 131: case 139:
      return true;
    default:
      return false;
  }
}

bool IsIntegerType(int type) { return type == 3 || type == 20; }

bool IsTextType(int type) {
  switch (type) {
    case 8: case 129: case 130: case 200: case 201: case 202: case 203:
      return true;
    default:
      return false;
  }
}

// Single quotes doubled, so a value never ends the literal it is put into.
std::string DoubledQuotes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string Quoted(const std::string& text) { return "'" + DoubledQuotes(text) + "'"; }

// The value read as a number the strict way: anything but a numeric text is
// a type mismatch (the failure path of ConvertFieldByType).
double StrictNumber(const std::string& value) {
  if (!IsNumeric(value)) throw ComError(ErrorNumber::TypeMismatch, "Type mismatch");
  return Val(value);
}

// A number as plain decimal text: the classic 15-digit form, spelled out
// without an exponent when the classic form would use one.
std::string DecimalText(double value) {
  const std::string classic = NumberText(value);
  if (classic.find('E') == std::string::npos) return classic;
  double rounded = 0;
  std::from_chars(classic.data(), classic.data() + classic.size(), rounded);
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

// The first `count` characters of a UTF-8 text.
std::string FirstCharacters(const std::string& text, size_t count) {
  size_t bytes = 0;
  for (size_t seen = 0; bytes < text.size() && seen < count; ++seen) {
    ++bytes;
    while (bytes < text.size() && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) ++bytes;
  }
  return text.substr(0, bytes);
}

bool IsFalseText(const std::string& value) {
  const std::string trimmed = LCase(Trim(value));
  return trimmed.empty() || trimmed == "0" || trimmed == "false" || trimmed == "否";
}

std::string DateLiteral(const std::string& value) {
  DateTime date;
  if (!DateTime::Parse(FirstCharacters(value, 10), date)) return "NULL";
  return "'" + FormatDate(date) + "'";
}

std::string Literal(const Field& field, const std::string& value) {
  const int type = field.Type();
  if (IsNumberType(type)) return value.empty() ? "0" : DecimalText(StrictNumber(value));
  if (IsIntegerType(type)) return value.empty() ? "NULL" : DecimalText(StrictNumber(value));
  if (IsTextType(type)) return Trim(value).empty() ? "NULL" : Quoted(value);
  if (type == AdoType::Boolean) return IsFalseText(value) ? "0" : "1";
  if (type == AdoType::DBTimeStamp) return DateLiteral(value);
  // No rule for this type: the metadata query has no row, so this raises.
  return SqlStr(field.Value());
}

std::string AttributeText(const XmlNode& row, const std::string& name) {
  return NullToEmpty(row.getAttribute(name));
}

bool IsAutoIncrement(const Field& field) { return field.Properties("ISAUTOINCREMENT").ToBool(); }

// A list built with a comma after every item, without its last comma. An
// empty list has no comma to drop, as the classic Left$(s, Len(s) - 1) found.
std::string WithoutLastComma(const std::string& list) {
  if (list.empty()) throw ComError(ErrorNumber::InvalidProcedureCall, "Invalid procedure call or argument");
  return list.substr(0, list.size() - 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Optional sign, digits with at most one point, optional exponent with digits.
bool IsPlainNumber(const std::string& text) {
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  size_t digits = 0;
  while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
  }
  if (digits == 0) return false;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    const size_t exponentStart = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    if (pos == exponentStart) return false;
  }
  return pos == text.size();
}

std::string FirstValueText(const std::string& sql, const ConnectionPtr& Conn, const std::string& field) {
  if (!Conn) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  RecordsetPtr rs = Conn->Open(sql, adOpenForwardOnly, adLockReadOnly);
  std::string text = rs->Eof() ? std::string() : NullToEmpty(rs->Fields(field).Value());
  rs->Close();
  return text;
}

}  // namespace

bool HasAttribute(const XmlNode& row, const std::string& name) {
  return !row.attributes().getNamedItem(name).IsNothing();
}

std::string ConvertFieldByType(const Field& field, const std::string& value) {
  try {
    return Literal(field, value);
  } catch (const ComError& e) {
    MessageBox::ShowError("Public:ConvertFieldByType\r\n" + std::to_string(e.Number()) + e.Description());
  } catch (const std::exception& e) {
    MessageBox::ShowError("Public:ConvertFieldByType\r\n" + std::to_string(ErrorNumber::E_FAIL_) + e.what());
  }
  return "";
}

std::string InsertSQL(const ConnectionPtr& Conn, const XmlNode& row, const std::string& strTableName,
                      const std::string& strKey, const std::string& strSecondKey) {
  RecordsetPtr rs = TableMetadataCache::Columns(Conn, strTableName);
  std::string columns;
  std::string values;
  for (size_t i = 0; i < rs->FieldCount(); ++i) {
    const Field field = rs->Fields(i);
    const std::string name = LCase(field.Name());
    if (name == kRowVersionColumn || IsAutoIncrement(field) || !HasAttribute(row, name)) continue;
    columns += name + ",";
    values += ConvertFieldByType(field, AttributeText(row, name)) + ",";
  }
  const std::string insert = " INSERT INTO " + strTableName + "(" + WithoutLastComma(columns) + ")" + " Values " +
                             "(" + WithoutLastComma(values) + ")";
  const std::string keyValue = Quoted(AttributeText(row, LCase(strKey)));
  if (strSecondKey.empty()) {
    return " IF NOT EXISTS (SELECT " + strKey + " FROM " + strTableName + " WHERE " + strKey + "=" + keyValue + ")" +
           insert;
  }
  return " IF NOT EXISTS (SELECT " + strKey + " FROM " + strTableName + " WHERE " + strSecondKey + "=" +
         Quoted(AttributeText(row, LCase(strSecondKey))) + " or " + strKey + "=" + keyValue + ") " + insert;
}

std::string UpdateSQL(const ConnectionPtr& Conn, const XmlNode& row, const std::string& strTableName,
                      const std::string& strKey) {
  RecordsetPtr rs = TableMetadataCache::Columns(Conn, strTableName);
  std::string assignments;
  bool guarded = false;
  for (size_t i = 0; i < rs->FieldCount(); ++i) {
    const Field field = rs->Fields(i);
    if (field.Name() == kRowVersionColumn) {
      guarded = true;
      continue;
    }
    const std::string name = LCase(field.Name());
    if (IsAutoIncrement(field) || name == LCase(strKey) || !HasAttribute(row, name)) continue;
    assignments += field.Name() + " =" + ConvertFieldByType(field, AttributeText(row, name)) + ",";
  }
  std::string sql = " Update " + strTableName + " Set " + WithoutLastComma(assignments) + " WHERE  " + strKey +
                    "= " + ConvertFieldByType(rs->Fields(strKey), AttributeText(row, strKey));
  if (guarded) {
    sql += kRowVersionGuardHead + DoubledQuotes(Trim(AttributeText(row, kRowVersionColumn))) + kRowVersionGuardTail;
  }
  return sql;
}

std::string DeleteSQL(const XmlNode& row, const std::string& strTableName, const std::string& strKey) {
  return " DELETE FROM " + strTableName + " WHERE " + strKey + "= " +
         SqlNumber(AttributeText(row, LCase(strKey)), strKey);
}

std::string MaxValue(const std::string& strTableName, const std::string& strFieldName, const ConnectionPtr& Conn) {
  return FirstValueText("SELECT ISNULL(MAX(" + strFieldName + "),0) AS " + strFieldName + " FROM " + strTableName, Conn,
                        strFieldName);
}

std::string LookupValue(const std::string& strTableName, const std::string& strFieldName,
                        const std::string& strKeyColumn, const std::string& strKeyValue, const ConnectionPtr& Conn) {
  return FirstValueText("SELECT ISNULL(" + strFieldName + ",0) AS " + strFieldName + " FROM " + strTableName +
                            " WHERE " + strKeyColumn + " = " + Quoted(strKeyValue),
                        Conn, strFieldName);
}

std::string SqlNumber(const std::string& text, const std::string& what) {
  const std::string trimmed = Trim(text);
  if (!IsPlainNumber(trimmed))
    throw ComError(ErrorNumber::TypeMismatch, "Type mismatch: " + what + " [" + text + "] is not a number");
  return trimmed;
}

}  // namespace fabrikon
