// TSqlLexer: splits T-SQL text into tokens. Knows strings with doubled quotes,
// N'..' literals, [..] and ".." names, numbers such as .50 and 1E-05, hex
// binaries, comments, and treats carriage returns like any other blank.
#pragma once
#include <forward_list>
#include <string>
#include <string_view>
#include <vector>

#include "data/dialect/Token.h"

namespace fabrikon::dialect {

// The tokens of one text plus the storage for the few tokens whose text had
// to be rewritten while reading (hex literals, names with escaped brackets).
struct LexedText {
  std::vector<Token> tokens;
  std::forward_list<std::string> storage;  // stable addresses; nothing allocated while empty
};

class TSqlLexer {
 public:
  // Throws ComError (0x80040E14) for text that is not T-SQL (an unclosed
  // string, name or comment, a stray character).
  static LexedText Tokenize(std::string_view text);

  // Reading a long text a stretch at a time (same errors): Read lexes up to
  // `count` more tokens into Tokens(), which the caller may trim from the
  // front (keeping the last token: the next one may depend on it); false
  // once the whole text is read.
  explicit TSqlLexer(std::string_view text) : text_(text) {}
  bool Read(size_t count);
  std::vector<Token>& Tokens() { return out_.tokens; }
  // Some token's text was rewritten, so not every token points into the text.
  bool Rewrote() const { return !out_.storage.empty(); }
  // Goes on reading at `pos` (a token's start, after a token that is no word
  // or name) with no tokens kept: the text before was read another way.
  void Seek(size_t pos);

  // The string or number literal a token starting at `pos` is, read as the
  // lexer reads it (where nothing before it makes a '.' a dot): where it
  // ends, npos when no such literal starts there or it is not closed.
  // national: an N'..' literal; the text from `quote` is the token's text.
  static constexpr size_t npos = static_cast<size_t>(-1);
  static size_t LiteralEnd(std::string_view text, size_t pos, TokenKind& kind, size_t& quote);
  // The lexer's blanks, and the characters a word goes on with.
  static bool IsBlankChar(char c);
  static bool IsWordChar(char c);
  // Where the blanks from `at` end (blanks are control characters or the space).
  static size_t SkipBlanks(std::string_view text, size_t at);

 private:
  bool Run(size_t limit);  // true: stopped at `limit` tokens
  bool SkipBlanksAndComments();
  static size_t StringEnd(std::string_view text, size_t quote);
  static size_t NumberEnd(std::string_view text, size_t start);
  void ReadString(size_t start, size_t quote);
  void ReadBracketName();
  void ReadDoubleQuotedName();
  void ReadNumber();
  void ReadBinary();
  void ReadWord();
  void ReadOperatorOrPunctuation();
  void Push(TokenKind kind, size_t start, size_t end) {
    Token& token = out_.tokens.emplace_back();
    token.kind = kind;
    token.blankBefore = blank_;
    token.offset = static_cast<uint32_t>(start);
    token.text = std::string_view(text_.data() + start, end - start);
  }
  void PushText(TokenKind kind, size_t start, std::string text);
  void Record();
  void FinishRecording();
  bool Replay();
  [[noreturn]] void Fail(const std::string& message) const;

  std::string_view text_;
  size_t pos_ = 0;
  bool blank_ = false;
  LexedText out_;
  // A batch of many INSERTs repeats the same text up to the first value of
  // each: the tokens of that stretch (offsets from its start), lexed once and
  // replayed wherever the same text comes again.
  struct Stretch {
    size_t start = 0;
    size_t length = 0;
    std::vector<Token> tokens;
  };
  Stretch stretch_;
  static constexpr size_t kNotRecording = static_cast<size_t>(-1);
  size_t recording_ = kNotRecording;  // index of the INSERT whose stretch is being read
};

}  // namespace fabrikon::dialect
