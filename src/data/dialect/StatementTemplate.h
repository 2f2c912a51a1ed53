// StatementTemplate: the SQLite text of one translated statement shape, with
// the places of its literals. Where SQLite accepts a parameter the text holds
// ?N; where the literal's text itself matters (a column name taken from an
// unnamed result expression, an ORDER BY position, a type length, DDL) the
// literal is written back into the text for each statement.
#pragma once
#include <string>
#include <vector>

#include "data/dialect/LiteralShape.h"
#include "data/dialect/SqlParameters.h"

namespace fabrikon::dialect {

class StatementTemplate {
 public:
  // From the translation of the shape's probe (literals replaced by their
  // markers). resultNamesMatter: the statement's result columns reach the
  // caller by name (a SELECT, not an IF condition). False when the text
  // cannot be read back.
  static bool Build(const std::string& probeSql, const LiteralShape& shape, bool resultNamesMatter,
                    StatementTemplate& out);

  // The statement's text for these literals, and the values of its ?N.
  const std::string& Text(const LiteralShape& literals, std::string& scratch) const;
  SqlParameters Parameters(const LiteralShape& literals) const;
  // The text with every literal written in (what the dialect gives for them).
  std::string InlineText(const LiteralShape& literals) const;
  size_t Bytes() const;

 private:
  struct Slot {
    size_t literal;
    LiteralForm form;
    bool operator==(const Slot&) const = default;
  };
  enum class Use : uint8_t { End, Parameter, Written };
  struct Part {
    std::string text;  // the text before the literal
    Use use = Use::End;
    Slot slot{};  // the literal (for a parameter, slots_ says its number)
  };
  std::string Write(const LiteralShape& literals, bool everyLiteral) const;
  static constexpr size_t npos = static_cast<size_t>(-1);

  std::vector<Slot> slots_;
  std::vector<Part> parts_;
  std::string parameterText_;  // the whole text when no literal is written in
  bool hasWritten_ = false;
};

}  // namespace fabrikon::dialect
