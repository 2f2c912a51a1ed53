// StoreConversion: see the header. The messages are SQL Server's for the
// implicit conversion of a stored value.
#include "data/dialect/StoreConversion.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <string>
#include <string_view>

#include "data/dialect/SqlType.h"
#include "data/dialect/TSqlConversions.h"
#include "data/dialect/Token.h"
#include "data/dialect/modSqlFunctions.h"

namespace fabrikon::dialect {

namespace {

using sqlfn::Text;
using sqlfn::DataError;
using sqlfn::ConversionFailed;

using C = TSqlConversions;

enum class Kind { AsGiven, Integer, Decimal, Money, Float, Bit, DateTime, Date, FixedText, Text };

// What a column's declared type asks of a stored value.
struct ColumnType {
  Kind kind = Kind::AsGiven;
  int bits = 32;       // Integer
  int precision = 18;  // Decimal
  int scale = 0;       // Decimal
  bool small = false;  // Money: smallmoney
  long length = 0;     // FixedText, Text: characters (0: no limit)
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// "decimal(10, 2)" -> base "decimal", numbers 10 and 2 (absent: -1).
void SplitType(const std::string& declared, std::string& base, long& first, long& second) {
  const size_t open = declared.find('(');
  base = declared.substr(0, open);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  first = second = -1;
  if (open == std::string::npos) return;
  const char* p = declared.c_str() + open + 1;
  char* end = nullptr;
  const long a = std::strtol(p, &end, 10);
  if (end != p) first = a;
  while (*end == ' ') ++end;
  if (*end != ',') return;
  p = end + 1;
  const long b = std::strtol(p, &end, 10);
  if (end != p) second = b;
}

ColumnType Classify(const char* declared) {
  ColumnType t;
  if (declared == nullptr) return t;
  std::string base;
  long first = 0, second = 0;
  SplitType(Lower(declared), base, first, second);
  if (base == "int" || base == "integer") t.kind = Kind::Integer;
  else if (base == "smallint") t.kind = Kind::Integer, t.bits = 16;
  else if (base == "tinyint") t.kind = Kind::Integer, t.bits = 8;
  else if (base == "bigint") t.kind = Kind::Integer, t.bits = 64;
  else if (base == "decimal" || base == "numeric" || base == "dec") {
    t.kind = Kind::Decimal;
    if (first > 0 && first <= 38) t.precision = static_cast<int>(first);
    if (second >= 0 && second <= t.precision) t.scale = static_cast<int>(second);
  } else if (base == "money" || base == "smallmoney") t.kind = Kind::Money, t.small = base == "smallmoney";
  else if (base == "float" || base == "real") t.kind = Kind::Float;
  else if (base == "bit") t.kind = Kind::Bit;
  else if (base == "datetime" || base == "smalldatetime" || base == "datetime2") t.kind = Kind::DateTime;
  else if (base == "date") t.kind = Kind::Date;
  else if (base == "char" || base == "nchar" || base == "character")
    t.kind = Kind::FixedText, t.length = first > 0 ? first : 1;  // char alone is char(1)
  else if (base == "varchar" || base == "nvarchar") t.kind = Kind::Text, t.length = first > 0 ? first : 0;
  return t;
}

// ---- the type of the column stored into --------------------------------

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

std::string TextOf(sqlite3_value* v) {
  const unsigned char* text = sqlite3_value_text(v);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
}

// "temp.X" names the temporary table X; any other name is looked up as the
// engine looks up an unqualified name.
void SplitTable(const std::string& name, std::string& schema, std::string& table) {
  const size_t dot = name.find('.');
  if (dot != std::string::npos && (Lower(name.substr(0, dot)) == "temp" || Lower(name.substr(0, dot)) == "main")) {
    schema = name.substr(0, dot);
    table = name.substr(dot + 1);
  } else {
    schema.clear();
    table = name;
  }
}

// The name of the column at a 0-based position; empty when there is none.
std::string ColumnAt(sqlite3* db, const std::string& schema, const std::string& table, int position) {
  sqlite3_stmt* raw = nullptr;
  const std::string sql = "SELECT name FROM pragma_table_info(?1" + std::string(schema.empty() ? "" : ", ?2") +
                          ") LIMIT 1 OFFSET ?3";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return {};
  Statement statement(raw, sqlite3_finalize);
  sqlite3_bind_text(raw, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  if (!schema.empty()) sqlite3_bind_text(raw, 2, schema.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_int(raw, 3, position);
  if (sqlite3_step(raw) != SQLITE_ROW) return {};
  return reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
}

ColumnType LookUp(sqlite3_context* ctx, sqlite3_value* tableArg, sqlite3_value* columnArg) {
  sqlite3* db = sqlite3_context_db_handle(ctx);
  std::string schema, table;
  SplitTable(TextOf(tableArg), schema, table);
  const std::string column = sqlite3_value_type(columnArg) == SQLITE_INTEGER
                                 ? ColumnAt(db, schema, table, sqlite3_value_int(columnArg))
                                 : TextOf(columnArg);
  const char* declared = nullptr;
  if (column.empty() ||
      sqlite3_table_column_metadata(db, schema.empty() ? nullptr : schema.c_str(), table.c_str(), column.c_str(),
                                    &declared, nullptr, nullptr, nullptr, nullptr) != SQLITE_OK)
    return ColumnType{};
  return Classify(declared);
}

// The declared types one connection has looked up, by the places in its
// compiled statements that name the column: the constant arguments of a
// compiled statement keep their address from run to run, and the names are
// compared too, so a reused address cannot give another column's type. The
// cache is emptied whenever a database file changes (any commit, ours or
// another connection's) and when the connection says its schema changed.
class TypeCache {
 public:
  const ColumnType& Find(sqlite3_context* ctx, sqlite3_value** argv) {
    if (!managed_) {
      const Versions now = VersionsOf(sqlite3_context_db_handle(ctx));
      if (now != versions_) {
        entries_.clear();
        versions_ = now;
      }
    }
    const char* table = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const bool byName = sqlite3_value_type(argv[2]) != SQLITE_INTEGER;
    const char* column = byName ? reinterpret_cast<const char*>(sqlite3_value_text(argv[2])) : "";
    const int position = byName ? -1 : sqlite3_value_int(argv[2]);
    if (table == nullptr || column == nullptr) return unknown_;
    const Key key{table, byName ? static_cast<const void*>(column) : nullptr, position};
    auto it = entries_.find(key);
    if (it != entries_.end() && it->second.table == table && it->second.column == column) return it->second.type;
    if (entries_.size() > 4096) entries_.clear();  // statements come and go
    Entry entry{table, column, LookUp(ctx, argv[1], argv[2])};
    return entries_.insert_or_assign(key, std::move(entry)).first->second.type;
  }
  void Forget() { entries_.clear(); }
  void Manage() { managed_ = true; }

 private:
  using Versions = std::pair<unsigned, unsigned>;
  struct Key {
    const void* table;
    const void* column;
    int position;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return std::hash<const void*>()(k.table) * 31 + std::hash<const void*>()(k.column) + static_cast<size_t>(k.position);
    }
  };
  struct Entry {
    std::string table, column;
    ColumnType type;
  };
  static Versions VersionsOf(sqlite3* db) {
    unsigned main = 0, temp = 0;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_DATA_VERSION, &main);
    sqlite3_file_control(db, "temp", SQLITE_FCNTL_DATA_VERSION, &temp);
    return {main, temp};
  }

  Versions versions_{0, 0};
  bool managed_ = false;  // the connection reports every schema change
  std::unordered_map<Key, Entry, KeyHash> entries_;
  ColumnType unknown_;
};

std::mutex g_cachesMutex;
std::unordered_map<sqlite3*, TypeCache*>& Caches() {
  static std::unordered_map<sqlite3*, TypeCache*> caches;
  return caches;
}

// ---- conversions -------------------------------------------------------

// How SQL Server names the type of a value in an overflow message.
const char* SourceType(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return "int";
    case SQLITE_TEXT: return "varchar";
    default: return "numeric";
  }
}

const char* IntTypeName(int bits) {
  return bits == 64 ? "bigint" : bits == 16 ? "smallint" : bits == 8 ? "tinyint" : "int";
}

void StoreInteger(sqlite3_context* ctx, sqlite3_value* v, int bits) {
  int64_t value = 0;
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: value = sqlite3_value_int64(v); break;
    case SQLITE_FLOAT: {
      const double d = std::trunc(sqlite3_value_double(v));
      if (!(std::fabs(d) < 9.2e18))
        return DataError(ctx, "Arithmetic overflow error converting expression to data type " +
                                  std::string(IntTypeName(bits)) + ".");
      value = static_cast<int64_t>(d);
      break;
    }
    case SQLITE_TEXT:
      if (C::Trim(Text(v)).empty()) break;
      if (!C::ParseInteger(Text(v), value)) return ConversionFailed(ctx, Text(v), IntTypeName(bits));
      break;
    default: return sqlite3_result_value(ctx, v);
  }
  const int64_t low = bits == 8 ? 0 : bits == 16 ? -32768 : bits == 32 ? INT32_MIN : INT64_MIN;
  const int64_t high = bits == 8 ? 255 : bits == 16 ? 32767 : bits == 32 ? INT32_MAX : INT64_MAX;
  if (value >= low && value <= high) return sqlite3_result_int64(ctx, value);
  // tinyint and smallint name the whole number that does not fit.
  if ((bits == 8 || bits == 16) && sqlite3_value_type(v) == SQLITE_INTEGER)
    return DataError(ctx, "Arithmetic overflow error for data type " + std::string(IntTypeName(bits)) +
                              ", value = " + std::to_string(value) + ".");
  DataError(ctx, "Arithmetic overflow error converting expression to data type " + std::string(IntTypeName(bits)) +
                     ".");
}

void StoreDecimal(sqlite3_context* ctx, sqlite3_value* v, const ColumnType& t) {
  double value = 0;
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: value = static_cast<double>(sqlite3_value_int64(v)); break;
    case SQLITE_FLOAT: value = sqlite3_value_double(v); break;
    case SQLITE_TEXT:
      if (!C::ParseNumber(Text(v), value)) return DataError(ctx, "Error converting data type varchar to numeric.");
      break;
    default: return sqlite3_result_value(ctx, v);
  }
  const double rounded = C::RoundDecimal(value, t.scale);
  if (std::fabs(rounded) >= std::pow(10.0, t.precision - t.scale))
    return DataError(ctx, "Arithmetic overflow error converting " + std::string(SourceType(v)) +
                              " to data type numeric.");
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(v));
  if (t.scale == 0 || rounded == std::trunc(rounded)) return sqlite3_result_int64(ctx, static_cast<int64_t>(rounded));
  sqlite3_result_double(ctx, rounded);
}

void StoreMoney(sqlite3_context* ctx, sqlite3_value* v, const ColumnType& t) {
  int64_t units = 0;
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: {
      const int64_t whole = sqlite3_value_int64(v);
      if (whole > INT64_MAX / 10000 || whole < INT64_MIN / 10000)
        return DataError(ctx, "Arithmetic overflow error converting expression to data type money.");
      units = whole * 10000;
      break;
    }
    case SQLITE_FLOAT: {
      const double value = sqlite3_value_double(v);
      if (!(std::fabs(value) < 922337203685477.0))
        return DataError(ctx, "Arithmetic overflow error converting expression to data type money.");
      units = C::MoneyUnits(value);
      break;
    }
    case SQLITE_TEXT:
      if (C::Trim(Text(v)).empty()) break;
      if (!C::ParseMoney(Text(v), units))
        return DataError(ctx, "Cannot convert a char value to money. The char value has incorrect syntax.");
      break;
    default: return sqlite3_result_value(ctx, v);
  }
  if (t.small && (units > INT64_C(2147483647) || units < -INT64_C(2147483648)))
    return DataError(ctx, "Arithmetic overflow error converting expression to data type smallmoney.");
  if (units % 10000 == 0) return sqlite3_result_int64(ctx, units / 10000);
  sqlite3_result_double(ctx, static_cast<double>(units) / 10000.0);
}

void StoreFloat(sqlite3_context* ctx, sqlite3_value* v) {
  if (sqlite3_value_type(v) != SQLITE_TEXT) return sqlite3_result_value(ctx, v);
  double value = 0;
  if (!C::Trim(Text(v)).empty() && !C::ParseNumber(Text(v), value))
    return DataError(ctx, "Error converting data type varchar to float.");
  sqlite3_result_double(ctx, value);
}

void StoreBit(sqlite3_context* ctx, sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return sqlite3_result_int(ctx, sqlite3_value_int64(v) != 0 ? 1 : 0);
    case SQLITE_FLOAT: return sqlite3_result_int(ctx, sqlite3_value_double(v) != 0 ? 1 : 0);
    case SQLITE_TEXT: break;
    default: return sqlite3_result_value(ctx, v);
  }
  Token word;
  word.text = C::Trim(Text(v));
  if (word.IsWord("true")) return sqlite3_result_int(ctx, 1);
  if (word.IsWord("false")) return sqlite3_result_int(ctx, 0);
  double value = 0;
  if (!word.text.empty() && !C::ParseNumber(word.text, value)) return ConversionFailed(ctx, Text(v), "bit");
  sqlite3_result_int(ctx, value != 0 ? 1 : 0);
}

constexpr const char* kBadDateText = "Conversion failed when converting date and/or time from character string.";

void StoreDate(sqlite3_context* ctx, sqlite3_value* v, bool dateOnly) {
  DateTime date;
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
      // Days since 1900-01-01: from 1753-01-01 to the end of 9999-12-31.
      const double serial = sqlite3_value_double(v);
      if (!(serial >= -53690.0 && serial < 2958464.0))
        return DataError(ctx, "Arithmetic overflow error converting expression to data type datetime.");
      date = C::FromSerial(serial);
      break;
    }
    case SQLITE_TEXT:
      if (C::Trim(Text(v)).empty()) {
        date = C::FromDayNumber(0);
        break;
      }
      switch (C::ReadDate(Text(v), 0, date)) {
        case C::DateRead::Ok: break;
        case C::DateRead::OutOfRange:
          if (!dateOnly)
            return DataError(ctx, "The conversion of a varchar data type to a datetime data type resulted in an "
                                  "out-of-range value.");
          [[fallthrough]];
        default: return DataError(ctx, kBadDateText);
      }
      break;
    default: return sqlite3_result_value(ctx, v);
  }
  if (dateOnly) date.hour = date.minute = date.second = 0;
  const std::string text = C::CanonicalDate(date);
  sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

constexpr const char* kTruncated = "String or binary data would be truncated.";

// char(n) pads to n characters; blanks past a sized column's length are cut,
// anything else past it is refused as SQL Server refuses it (trailing blanks
// do not count). This is the only guard of the declared lengths on the
// embedded engine: every value an INSERT or UPDATE stores comes through here.
void StoreText(sqlite3_context* ctx, sqlite3_value* v, const ColumnType& t) {
  const int type = sqlite3_value_type(v);
  if (t.length == 0) return sqlite3_result_value(ctx, v);
  const size_t limit = static_cast<size_t>(t.length);
  if (type == SQLITE_BLOB) {
    if (static_cast<size_t>(sqlite3_value_bytes(v)) > limit) return DataError(ctx, kTruncated);
    return sqlite3_result_value(ctx, v);
  }
  // No more bytes than the length: no more characters either. Told by the
  // size alone, which a bound text has without the copy that reading it as
  // a terminated text makes.
  if (type == SQLITE_TEXT && t.kind == Kind::Text && static_cast<size_t>(sqlite3_value_bytes(v)) <= limit)
    return sqlite3_result_value(ctx, v);
  const std::string_view text = Text(v);
  if (text.size() <= limit && t.kind == Kind::Text) return sqlite3_result_value(ctx, v);
  size_t count = C::CharacterCount(text);
  if (count == limit || (count < limit && t.kind == Kind::Text)) return sqlite3_result_value(ctx, v);
  size_t keep = text.size();
  while (count > limit && keep > 0 && text[keep - 1] == ' ') --keep, --count;
  if (count > limit) return DataError(ctx, kTruncated);
  std::string out(text.substr(0, keep));
  if (count < limit && t.kind == Kind::FixedText) out.append(limit - count, ' ');
  sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

// tsql_store_forget(): what SchemaChanged does, for a connection that
// reaches the engine only through SQL (the ODBC driver).
void ForgetTypes(sqlite3_context* ctx, int, sqlite3_value**) {
  static_cast<TypeCache*>(sqlite3_user_data(ctx))->Forget();
  sqlite3_result_null(ctx);
}

// tsql_store(value, table, column)
void Convert(sqlite3_context* ctx, sqlite3_value* v, const ColumnType& t) {
  switch (t.kind) {
    case Kind::Integer: return StoreInteger(ctx, v, t.bits);
    case Kind::Decimal: return StoreDecimal(ctx, v, t);
    case Kind::Money: return StoreMoney(ctx, v, t);
    case Kind::Float: return StoreFloat(ctx, v);
    case Kind::Bit: return StoreBit(ctx, v);
    case Kind::DateTime: return StoreDate(ctx, v, false);
    case Kind::Date: return StoreDate(ctx, v, true);
    case Kind::FixedText:
    case Kind::Text: return StoreText(ctx, v, t);
    case Kind::AsGiven: return sqlite3_result_value(ctx, v);
  }
}

void Store(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  Convert(ctx, argv[0], static_cast<TypeCache*>(sqlite3_user_data(ctx))->Find(ctx, argv));
}

// tsql_store_as(value, kind, a, b): what Store does, for the type the
// translation read from the schema (see TypedArguments).
void StoreAs(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  ColumnType t;
  t.kind = static_cast<Kind>(sqlite3_value_int(argv[1]));
  const int a = sqlite3_value_int(argv[2]), b = sqlite3_value_int(argv[3]);
  if (t.kind == Kind::Integer) t.bits = a;
  if (t.kind == Kind::Decimal) t.precision = a, t.scale = b;
  if (t.kind == Kind::Money) t.small = b != 0;
  if (t.kind == Kind::FixedText || t.kind == Kind::Text) t.length = a;
  Convert(ctx, argv[0], t);
}

}  // namespace

bool StoreConversion::TypedArguments(const SqlType& type, std::array<int, 3>& arguments) {
  using K = SqlType::Kind;
  const auto set = [&arguments](Kind kind, int a = 0, int b = 0) {
    arguments = {static_cast<int>(kind), a, b};
    return true;
  };
  switch (type.kind) {
    case K::TinyInt: return set(Kind::Integer, 8);
    case K::SmallInt: return set(Kind::Integer, 16);
    case K::Int: return set(Kind::Integer, 32);
    case K::BigInt: return set(Kind::Integer, 64);
    case K::Decimal:
      return set(Kind::Decimal, type.precision > 0 && type.precision <= 38 ? type.precision : 18,
                 type.scale >= 0 && type.scale <= type.precision ? type.scale : 0);
    case K::SmallMoney: return set(Kind::Money, 0, 1);
    case K::Money: return set(Kind::Money);
    case K::Real:
    case K::Float: return set(Kind::Float);
    case K::Bit: return set(Kind::Bit);
    case K::Date: return set(Kind::Date);
    case K::SmallDateTime:
    case K::DateTime: return set(Kind::DateTime);
    case K::Char:
    case K::NChar: return set(Kind::FixedText, type.precision > 0 ? type.precision : 1);
    case K::VarChar:
    case K::NVarChar: return set(Kind::Text, type.precision > 0 ? type.precision : 0);
    default: return false;
  }
}

bool StoreConversion::KeepsNumber(const std::array<int, 3>& arguments, std::string_view number) {
  size_t digits = 0, points = 0;
  for (char c : number) {
    if (c >= '0' && c <= '9') ++digits;
    else if (c == '.') ++points;
    else return false;
  }
  if (digits == 0) return false;
  const Kind kind = static_cast<Kind>(arguments[0]);
  if (kind == Kind::Float) return points <= 1;  // StoreFloat hands on what is not text
  if (kind != Kind::Integer || points != 0 || digits > 18) return false;
  // A whole number within the column's range: StoreInteger stores it as it is.
  if (arguments[1] == 64) return true;
  int64_t value = 0;
  for (char c : number) value = value * 10 + (c - '0');
  return arguments[1] == 32 && value <= INT32_MAX;
}

void StoreConversion::Register(sqlite3* db) {
  auto* cache = new TypeCache;
  {
    std::lock_guard<std::mutex> lock(g_cachesMutex);
    Caches()[db] = cache;
  }
  // Not deterministic in SQLite's sense: the result depends on the schema.
  // The cache goes with the function, when the connection closes.
  const int rc = sqlite3_create_function_v2(
      db, "tsql_store", 3, SQLITE_UTF8 | SQLITE_INNOCUOUS, cache, Store, nullptr, nullptr, [](void* p) {
        auto* gone = static_cast<TypeCache*>(p);
        std::lock_guard<std::mutex> lock(g_cachesMutex);
        for (auto it = Caches().begin(); it != Caches().end(); ++it)
          if (it->second == gone) {
            Caches().erase(it);
            break;
          }
        delete gone;
      });
  if (rc != SQLITE_OK) return;  // SQLite has already called the destructor
  sqlite3_create_function_v2(db, "tsql_store_forget", 0, SQLITE_UTF8, cache, ForgetTypes, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "tsql_store_as", 4, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                             StoreAs, nullptr, nullptr, nullptr);
}

void StoreConversion::SchemaChanged(sqlite3* db) {
  std::lock_guard<std::mutex> lock(g_cachesMutex);
  auto it = Caches().find(db);
  if (it != Caches().end()) it->second->Forget();
}

void StoreConversion::ReportsSchemaChanges(sqlite3* db) {
  std::lock_guard<std::mutex> lock(g_cachesMutex);
  auto it = Caches().find(db);
  if (it != Caches().end()) it->second->Manage();
}

}  // namespace fabrikon::dialect
