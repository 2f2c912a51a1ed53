// Variant: the value type that travels between documents, recordsets and the
// business objects. It mirrors the classic automation variant closely enough
// for the conversions the library relies on: Empty and Null are distinct,
// whole doubles print without ".0", booleans print "True"/"False".
#pragma once
#include <cstdint>
#include <string>
#include <variant>

namespace fabrikon {

struct DateTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
  bool HasTime() const { return hour != 0 || minute != 0 || second != 0; }
  // "YYYY-MM-DD" plus " HH:MM:SS" when there is a time of day.
  std::string ToText() const;
  // "YYYY-MM-DDTHH:MM:SS" (the rowset document form).
  std::string ToIsoText() const;
  // Accepts "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]", "YYYY-MM-DDTHH:MM:SS", "YYYY/MM/DD".
  static bool Parse(const std::string& text, DateTime& out);
  bool operator==(const DateTime&) const = default;
};

class Variant {
 public:
  enum class Kind { Empty, Null, Bool, Int, Double, Text, Date };

  Variant() = default;
  Variant(bool b) : value_(b) {}
  Variant(int i) : value_(static_cast<int64_t>(i)) {}
  Variant(long i) : value_(static_cast<int64_t>(i)) {}
  Variant(long long i) : value_(static_cast<int64_t>(i)) {}
  Variant(double d) : value_(d) {}
  Variant(std::string s) : value_(std::move(s)) {}
  Variant(const char* s) : value_(std::string(s)) {}
  Variant(DateTime d) : value_(d) {}
  static Variant Null() { Variant v; v.value_ = NullTag{}; return v; }

  Kind kind() const { return static_cast<Kind>(value_.index()); }
  bool IsEmpty() const { return kind() == Kind::Empty; }
  bool IsNull() const { return kind() == Kind::Null; }
  bool IsNumeric() const { return kind() == Kind::Int || kind() == Kind::Double; }

  // Classic text conversion: Null and Empty give "", 21.0 gives "21",
  // 0.1+0.2 gives "0.3", 1e-5 gives "1E-05", dates "YYYY-MM-DD[ HH:MM:SS]".
  std::string ToText() const;
  double ToDouble() const;    // text is read with Val(); Null/Empty give 0, true gives 1
  int64_t ToInt() const;      // rounds doubles half to even, as the classic CLng
  bool ToBool() const;        // "True"/"1"/non-zero
  const std::string* AsText() const { return std::get_if<std::string>(&value_); }
  const DateTime* AsDate() const { return std::get_if<DateTime>(&value_); }

  bool operator==(const Variant& other) const { return value_ == other.value_; }

 private:
  struct NullTag { bool operator==(const NullTag&) const { return true; } };
  struct EmptyTag { bool operator==(const EmptyTag&) const { return true; } };
  std::variant<EmptyTag, NullTag, bool, int64_t, double, std::string, DateTime> value_;
};

// Text of a double in the classic form: up to 15 significant digits, no
// trailing zeros, exponent as "E-05"/"E+20" when the magnitude demands it.
std::string FormatDouble(double d);

}  // namespace fabrikon
