// LiteralShape: what a T-SQL statement is once its values are set aside.
// Statements that differ only in their literals share a shape and so one
// translation and one compiled statement. Everything the translation reads in
// a literal is part of the shape: whether it is text, a date the dialect
// rewrites, an int, a larger integer (numeric in T-SQL) or a decimal; blank texts and numbers whose value the
// translation reads (type lengths, styles, TOP and ORDER BY positions) stay
// in the shape word for word.
#pragma once
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "data/dialect/BatchSplitter.h"
#include "data/dialect/SqlParameters.h"
#include "data/dialect/Token.h"

namespace fabrikon::dialect {

// Integer: within int's range; BigInteger: larger (an int sum can overflow, a
// numeric one cannot).
enum class LiteralClass : char { Text = 'S', Date = 'D', Integer = 'I', BigInteger = 'B', Real = 'R' };

// How a literal reaches the SQLite text: as written, or as the dialect's
// canonical date.
enum class LiteralForm : uint8_t { AsWritten, CanonicalDate };

class LiteralShape {
 public:
  // Where the literal scan stands: one entry per open parenthesis.
  struct Level {
    size_t open;  // the "(" of this level, from the statement's start (npos at the top)
    bool orderBy;
  };
  // The text of a statement up to its first literal and the scan's state
  // there, kept across the statements of one batch: a statement that starts
  // with the same text (a save's INSERTs) resumes the scan after it.
  struct Prefix {
    std::string_view text;
    size_t tokens = 0;
    std::vector<Level> levels;
  };

  // A literal with the value read while classifying it (read once).
  struct Literal {
    size_t token;  // index in the batch's tokens
    LiteralClass kind;
    std::string_view text;  // the token's text (a string from its quote)
    int64_t integer = 0;  // Integer, BigInteger; Date: index of its canonical spelling
    double real = 0;      // Real
    uint8_t scale = 0;    // Real: the digits written after its point (its marker has as many)
  };

  // source: the batch text every token's text points into, when it does
  // (no token rewritten by the lexer); the key is then built from it in
  // stretches, a cheaper spelling of the same shape.
  // prefix (with source only): the batch's last prefix, used and renewed.
  LiteralShape(const std::vector<Token>& tokens, const StatementRange& range, std::string_view source = {},
               Prefix* prefix = nullptr);

  // An empty shape that a repeat of a known statement fills one literal at
  // a time (see ShapeRepeat): no tokens, no key.
  LiteralShape() = default;
  // Adds the literal at the place of one of the statement repeated (so no
  // fixed number): null when it is none (a blank text, a number written
  // otherwise). Clear empties the shape and keeps the storage.
  const Literal* AddRepeated(TokenKind kind, std::string_view text);
  void Clear() {
    literals_.clear();
    dates_.clear();
  }

  const std::string& Key() const { return key_; }
  // Makes the key name more than the text (the schema's generation).
  void AppendToKey(std::string_view more) { key_ += more; }
  const std::vector<Literal>& Literals() const { return literals_; }
  // The key of a shape read from its text: the text before each literal
  // (and after the last) and each literal's class, in order; the first
  // byte says whether blanks came before the statement.
  static char KeyStart(bool blankBefore) { return blankBefore ? '\x7f' : '\x7e'; }
  static void AppendStretch(std::string& key, std::string_view stretch);
  static void AppendClass(std::string& key, const Literal& literal, bool national);
  // The most date literals a shape has markers for.
  static constexpr size_t kMaxDates = 800;

  // The statement's tokens with each literal replaced by a marker of its
  // class (unique in the statement), and the range over them.
  std::vector<Token> ProbeTokens(std::deque<std::string>& storage, StatementRange& range) const;
  // The marker literal k stands for, written as the SQLite text shows it.
  std::string MarkerText(size_t k, LiteralForm form) const;

  // Adds to `parameters` the value literal k of this statement binds.
  void AddValue(size_t k, LiteralForm form, SqlParameters& parameters) const;
  // Its SQLite spelling.
  std::string Spelling(size_t k, LiteralForm form) const;

 private:
  bool Classify(TokenKind kind, std::string_view text, bool fixedNumber, Literal& literal);
  bool WholeArgument(size_t i, size_t open) const;
  size_t Resume(std::string_view source, const Prefix& prefix, std::vector<Level>& levels) const;
  void Remember(std::string_view source, size_t end, const std::vector<Level>& levels, Prefix& prefix) const;

  const std::vector<Token>* tokens_ = nullptr;  // null for a repeat
  StatementRange range_;
  std::string key_;
  std::vector<Literal> literals_;
  std::vector<std::string> dates_;  // canonical spellings of the Date literals
};

}  // namespace fabrikon::dialect
