// ShapeRepeat: reads a statement that repeats the text of the one before it
// with other values (a save's run of INSERTs) straight from the batch text,
// without lexing, splitting or shaping it again. The statement before was
// read in full; a repeat spells its text between the literals the same, byte
// for byte, and has a literal of the same kind (string, N'..' string or
// number) at each place in between. The classes of those literals complete
// the shape key, so a repeat takes the translation the full reading would
// have found for it.
//
// A whole batch of one statement is learned the same way (any statement but
// an IF or ELSE, blanks only around it): a later batch that repeats it with
// other values (the explosion's level queries) is read without lexing.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/dialect/BatchSplitter.h"
#include "data/dialect/LiteralShape.h"
#include "data/dialect/ShapeCache.h"
#include "data/dialect/Token.h"

namespace fabrikon::dialect {

class ShapeRepeat {
 public:
  // keySuffix: what the shape keys of the batch end with (the schema's generation).
  ShapeRepeat(ShapeCache& cache, std::string_view keySuffix) : cache_(cache), keySuffix_(keySuffix) {}

  // Takes the statement just read in full (its tokens point into source),
  // of the translated shape `shape`, as the one to repeat; false, and
  // nothing to repeat, when a repeat could not be told from its text alone
  // (an IF, an ELSE, a statement that is no INSERT, UPDATE or DELETE, one
  // ending on a word, a literal right after a word, a number or a quote).
  bool Learn(std::string_view source, const std::vector<Token>& tokens, const StatementRange& range,
             const LiteralShape& literals, const ShapeCache::Entry& shape);
  // Takes the statement just read in full as the whole of its batch text
  // `source` (nothing but blanks before and after it); false, and nothing
  // learned, when it is not, or a repeat could not be told from its text.
  bool LearnWhole(std::string_view source, const std::vector<Token>& tokens, const StatementRange& range,
                  const LiteralShape& literals, const ShapeCache::Entry& shape);
  // The learned text now lives in `copy` (the same characters elsewhere),
  // so that it outlives the batch it was learned from.
  void Rebase(std::string_view copy);

  // When the statement after `end` (the end of the statement before)
  // repeats the learned text, certainly ends where that one did and has a
  // shape translated already (a parameterized one): its literals in
  // `literals` (cleared first), `end` moved past it, and the shape. Else
  // null.
  ShapeCache::Entry Next(size_t& end, LiteralShape& literals);
  // When the whole of `text` repeats the statement learned by LearnWhole
  // and has a shape translated already: its literals in `literals` and the
  // shape. Else null.
  ShapeCache::Entry Whole(std::string_view text, LiteralShape& literals);

  // How many tokens the statement has.
  size_t Tokens() const { return tokens_; }

 private:
  struct Place {
    TokenKind kind;  // String or Number
    bool national;
    bool operator==(const Place&) const = default;
  };
  // Drops what was learned; false when there is no statement text to learn from.
  bool Forget(std::string_view source, const StatementRange& range);
  bool Take(std::string_view source, const std::vector<Token>& tokens, const StatementRange& range,
            const LiteralShape& literals, const ShapeCache::Entry& shape);
  bool Read(std::string_view text, size_t& end, LiteralShape& literals);
  bool EndsHere(std::string_view text, size_t at) const;
  ShapeCache::Entry Known();
  ShapeCache::Entry Find();

  ShapeCache& cache_;
  std::string_view keySuffix_;
  std::string_view source_;
  bool learned_ = false;
  bool whole_ = false;  // learned by LearnWhole: a repeat ends with its text
  std::vector<std::string_view> stretches_;  // the text before each literal, and after the last
  std::vector<Place> places_;
  bool blankBefore_ = false;
  size_t tokens_ = 0;
  // The shapes of this text by the classes of its literals (the rest of their keys).
  std::unordered_map<std::string, ShapeCache::Entry> shapes_;
  std::string classes_;  // of the statement read last
  std::string key_;
};

}  // namespace fabrikon::dialect
