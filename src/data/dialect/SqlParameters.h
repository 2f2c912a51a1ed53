// SqlParameters: the values bound to the numbered parameters (?1, ?2, ...) of
// one prepared statement, in the types the literals they stand for had: an
// integer literal binds an integer, a decimal one a real, a quoted one text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace fabrikon::dialect {

struct SqlValue {
  enum class Type : uint8_t { Integer, Real, Text };
  Type type = Type::Text;
  int64_t integer = 0;
  double real = 0;
  std::string text;
  // The text as a stretch of the batch text, not copied (when the literal
  // needed no unescaping); the batch text must outlive the statement's run.
  std::string_view view;
  std::string_view Text() const { return view.data() != nullptr ? view : std::string_view(text); }
};

class SqlParameters {
 public:
  void Add(SqlValue value) { values_.push_back(std::move(value)); }
  SqlValue& Add() { return values_.emplace_back(); }  // filled in place
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
};

}  // namespace fabrikon::dialect
