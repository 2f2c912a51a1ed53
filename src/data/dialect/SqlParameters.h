// SqlParameters: the values bound to the numbered parameters (?1, ?2, ...) of
// one prepared statement, in the types the literals they stand for had: an
// integer literal binds an integer, a decimal one a real, a quoted one text.
#pragma once
#include <cstdint>
#include <forward_list>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace fabrikon::dialect {

// One value, small: a save binds tens of thousands of them at once. A text
// views the batch text (a literal that needed no unescaping) or a text its
// parameters own.
struct SqlValue {
  enum class Type : uint8_t { Integer, Real, Text };
  union {
    int64_t integer = 0;
    double real;
    const char* data;  // Text
  };
  uint32_t size = 0;  // Text
  Type type = Type::Text;
  std::string_view Text() const { return std::string_view(data, size); }
  void SetText(std::string_view text) {
    type = Type::Text;
    data = text.data();
    size = static_cast<uint32_t>(text.size());
  }
};

// Move-only: the texts it owns are viewed by its values.
class SqlParameters {
 public:
  SqlParameters() = default;
  SqlParameters(SqlParameters&&) noexcept = default;
  SqlParameters& operator=(SqlParameters&&) noexcept = default;
  SqlParameters(const SqlParameters&) = delete;
  SqlParameters& operator=(const SqlParameters&) = delete;

  SqlValue& Add() { return values_.emplace_back(); }  // filled in place
  // Keeps a text for a value to view; its address stays while the parameters live.
  std::string_view Own(std::string text) {
    owned_.push_front(std::move(text));
    return owned_.front();
  }
  void Reserve(size_t count) { values_.reserve(count); }
  bool empty() const { return values_.empty(); }
  size_t size() const { return values_.size(); }
  const SqlValue& operator[](size_t i) const { return values_[i]; }
  // Binds every value; the texts are not copied, so the parameters must
  // outlive the statement's run (the caller clears the bindings after it).
  void Bind(sqlite3_stmt* statement) const;
  // An engine message with each parameter it names ('?2') replaced by the
  // literal it stands for ('abc', 12), so that errors show what the caller
  // wrote rather than the engine's placeholder.
  std::string NameLiterals(const std::string& message) const;

 private:
  std::vector<SqlValue> values_;
  std::forward_list<std::string> owned_;  // stable addresses; nothing allocated while empty
};

}  // namespace fabrikon::dialect
