// TSqlLexer: a single forward pass over the text; tokens point into the text
// itself, so a statement of a few hundred tokens costs one vector.
#include "data/dialect/TSqlLexer.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

// Character classes, looked up once per character.
enum : uint8_t { kBlank = 1, kDigit = 2, kWordStart = 4, kWordPart = 8, kHex = 16 };

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    uint8_t bits = 0;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') bits |= kBlank;
    if (c >= '0' && c <= '9') bits |= kDigit | kWordPart | kHex;
    // Bytes of multi-byte UTF-8 characters count as letters: names may be Chinese.
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '#' || c == '@' || c >= 0x80)
      bits |= kWordStart | kWordPart;
    if (c == '$') bits |= kWordPart;
    if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) bits |= kHex;
    classes[static_cast<size_t>(c)] = bits;
  }
  return classes;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline bool Has(char c, uint8_t bits) { return (kClasses[static_cast<unsigned char>(c)] & bits) != 0; }
inline bool IsBlank(char c) { return Has(c, kBlank); }
inline bool IsDigit(char c) { return Has(c, kDigit); }
inline bool IsHexDigit(char c) { return Has(c, kHex); }
inline bool IsWordStart(char c) { return Has(c, kWordStart); }
inline bool IsWordPart(char c) { return Has(c, kWordPart); }

}  // namespace

LexedText TSqlLexer::Tokenize(std::string_view text) {
  TSqlLexer lexer(text);
  lexer.out_.tokens.reserve(text.size() / 4 + 4);
  lexer.Run(static_cast<size_t>(-1));
  return std::move(lexer.out_);
}

bool TSqlLexer::Read(size_t count) {
  recording_ = kNotRecording;  // the caller may trim the tokens between reads
  std::vector<Token>& tokens = out_.tokens;
  // Room for what is left of the text (about a token in four characters), at most `count` more.
  const size_t wanted = tokens.size() + std::min(count, (text_.size() - pos_) / 4 + 4);
  if (tokens.capacity() < wanted) tokens.reserve(wanted);
  return Run(tokens.size() + count);
}

bool TSqlLexer::Run(size_t limit) {
  const char* const data = text_.data();
  const size_t size = text_.size();
  while (true) {
    if (out_.tokens.size() >= limit) return true;  // before the blanks: they belong to the next token
    // Plain blanks here; comments (and the blanks around them) in the slow path.
    size_t p = pos_;
    while (p < size && IsBlank(data[p])) ++p;
    blank_ = p != pos_;
    pos_ = p;
    if (p + 1 < size && ((data[p] == '-' && data[p + 1] == '-') || (data[p] == '/' && data[p + 1] == '*')))
      blank_ = SkipBlanksAndComments() || blank_;
    if (pos_ >= size) return false;
    const char c = data[pos_];
    const char next = pos_ + 1 < size ? data[pos_ + 1] : '\0';
    switch (c) {  // the most frequent tokens first
      case '(': Push(TokenKind::LParen, pos_, pos_ + 1); ++pos_; continue;
      case ')': Push(TokenKind::RParen, pos_, pos_ + 1); ++pos_; continue;
      case ',': Push(TokenKind::Comma, pos_, pos_ + 1); ++pos_; continue;
      default: break;
    }
    if (c == '\'') {
      ReadString(pos_, pos_);
      FinishRecording();
    } else if ((c == 'N' || c == 'n') && next == '\'') {
      ReadString(pos_, pos_ + 1);
      FinishRecording();
    } else if (c == '[') {
      ReadBracketName();
    } else if (c == '"') {
      ReadDoubleQuotedName();
    } else if (c == '0' && (next == 'x' || next == 'X')) {
      ReadBinary();
    } else if (IsDigit(c) || (c == '.' && IsDigit(next) && !(out_.tokens.size() && !blank_ &&
                                                              (out_.tokens.back().kind == TokenKind::Word ||
                                                               out_.tokens.back().kind == TokenKind::QuotedName)))) {
      ReadNumber();
      FinishRecording();
    } else if (IsWordStart(c)) {
      if ((c == 'i' || c == 'I') && Replay()) continue;
      ReadWord();
      Record();
    } else {
      ReadOperatorOrPunctuation();
    }
  }
}

bool TSqlLexer::SkipBlanksAndComments() {
  bool skipped = false;
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    if (IsBlank(c)) {
      const char* const data = text_.data();
      const size_t size = text_.size();
      size_t p = pos_ + 1;
      while (p < size && IsBlank(data[p])) ++p;
      pos_ = p;
    } else if (c == '-' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '-') {
      while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '*') {
      // T-SQL block comments nest.
      int depth = 0;
      do {
        if (pos_ + 1 >= text_.size()) Fail("Missing end comment mark '*/'.");
        if (text_[pos_] == '/' && text_[pos_ + 1] == '*') {
          ++depth;
          pos_ += 2;
        } else if (text_[pos_] == '*' && text_[pos_ + 1] == '/') {
          --depth;
          pos_ += 2;
        } else {
          ++pos_;
        }
      } while (depth > 0);
    } else {
      break;
    }
    skipped = true;
  }
  return skipped;
}

// The end of the string whose opening quote is at `quote` (past its closing
// quote; doubled quotes inside), npos when it is not closed.
size_t TSqlLexer::StringEnd(std::string_view text, size_t quote) {
  const char* const data = text.data();
  const size_t size = text.size();
  size_t p = quote + 1;
  while (true) {
    if (p >= size) return npos;
    if (data[p] == '\'') {
      if (p + 1 < size && data[p + 1] == '\'') {
        p += 2;
        continue;
      }
      return p + 1;
    }
    ++p;
  }
}

// start: where the token begins in the source (the N of N'..'); quote: the
// opening quote. The token text is the literal from its opening quote, which
// SQLite reads with the same doubled-quote escape.
void TSqlLexer::ReadString(size_t start, size_t quote) {
  const size_t end = StringEnd(text_, quote);
  if (end == npos)
    Fail("Unclosed quotation mark after the character string '" + std::string(text_.substr(quote + 1)) + "'.");
  Token& token = out_.tokens.emplace_back();
  token.kind = TokenKind::String;
  token.blankBefore = blank_;
  token.national = start != quote;
  token.offset = static_cast<uint32_t>(start);
  token.text = std::string_view(text_.data() + quote, end - quote);
  pos_ = end;
}

void TSqlLexer::ReadBracketName() {
  const size_t start = pos_;
  size_t p = pos_ + 1;
  bool escaped = false;
  while (true) {
    if (p >= text_.size()) Fail("Unclosed quotation mark before the character string '" +
                                std::string(text_.substr(start)) + "'.");
    if (text_[p] == ']') {
      if (p + 1 < text_.size() && text_[p + 1] == ']') {
        escaped = true;
        p += 2;
        continue;
      }
      break;
    }
    ++p;
  }
  pos_ = p + 1;
  if (!escaped) return Push(TokenKind::QuotedName, start, pos_);
  // SQLite has no ]] escape inside brackets: hand the name over in double quotes.
  std::string name = "\"";
  for (size_t i = start + 1; i < p; ++i) {
    if (text_[i] == ']') ++i;
    if (text_[i] == '"') name += '"';
    name += text_[i];
  }
  name += '"';
  PushText(TokenKind::QuotedName, start, std::move(name));
}

void TSqlLexer::ReadDoubleQuotedName() {
  const size_t start = pos_;
  size_t p = pos_ + 1;
  while (true) {
    if (p >= text_.size()) Fail("Unclosed quotation mark before the character string '" +
                                std::string(text_.substr(start)) + "'.");
    if (text_[p] == '"') {
      if (p + 1 < text_.size() && text_[p + 1] == '"') {
        p += 2;
        continue;
      }
      break;
    }
    ++p;
  }
  pos_ = p + 1;
  Push(TokenKind::QuotedName, start, pos_);
}

size_t TSqlLexer::NumberEnd(std::string_view text, size_t start) {
  const char* const data = text.data();
  const size_t size = text.size();
  size_t at = start;
  while (at < size && IsDigit(data[at])) ++at;
  if (at < size && data[at] == '.') {
    ++at;
    while (at < size && IsDigit(data[at])) ++at;
  }
  if (at < size && (data[at] == 'e' || data[at] == 'E')) {
    size_t p = at + 1;
    if (p < size && (data[p] == '+' || data[p] == '-')) ++p;
    if (p < size && IsDigit(data[p])) {
      while (p < size && IsDigit(data[p])) ++p;
      at = p;
    }
  }
  return at;
}

void TSqlLexer::ReadNumber() {
  const size_t start = pos_;
  pos_ = NumberEnd(text_, start);
  Push(TokenKind::Number, start, pos_);
}

size_t TSqlLexer::LiteralEnd(std::string_view text, size_t pos, TokenKind& kind, size_t& quote) {
  if (pos >= text.size()) return npos;
  const char c = text[pos];
  const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
  kind = TokenKind::String;
  quote = pos;
  if (c == '\'') return StringEnd(text, pos);
  if ((c == 'N' || c == 'n') && next == '\'') {
    quote = pos + 1;
    return StringEnd(text, quote);
  }
  kind = TokenKind::Number;
  if (c == '0' && (next == 'x' || next == 'X')) return npos;  // a binary
  if (IsDigit(c) || (c == '.' && IsDigit(next))) return NumberEnd(text, pos);
  return npos;
}

bool TSqlLexer::IsBlankChar(char c) { return IsBlank(c); }
bool TSqlLexer::IsWordChar(char c) { return IsWordPart(c); }

size_t TSqlLexer::SkipBlanks(std::string_view text, size_t at) {
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ' && IsBlank(text[at])) ++at;
  return at;
}

void TSqlLexer::Seek(size_t pos) {
  out_.tokens.clear();
  pos_ = pos;
  blank_ = false;
  recording_ = kNotRecording;
}

// 0x1F2 becomes SQLite's blob literal X'01F2'.
void TSqlLexer::ReadBinary() {
  const size_t start = pos_;
  size_t p = pos_ + 2;
  while (p < text_.size() && IsHexDigit(text_[p])) ++p;
  std::string digits(text_.substr(start + 2, p - start - 2));
  if (digits.size() % 2 != 0) digits.insert(digits.begin(), '0');
  pos_ = p;
  PushText(TokenKind::Binary, start, "X'" + digits + "'");
}

void TSqlLexer::ReadWord() {
  const size_t start = pos_;
  const char* const data = text_.data();
  const size_t size = text_.size();
  size_t p = pos_;
  while (p < size && IsWordPart(data[p])) ++p;
  pos_ = p;
  // SQLite would take @name for a parameter and quietly bind NULL to it: a
  // local variable is rewritten (VariableRule), and @@IDENTITY and @@ROWCOUNT
  // are the system functions the dialect knows by that form.
  Token word;
  word.text = text_.substr(start, pos_ - start);
  const bool variable = word.text.size() > 1 && word.text[1] != '@';
  if (text_[start] == '@' && !variable && !word.IsWord("@@identity") && !word.IsWord("@@rowcount"))
    Fail("Must declare the scalar variable \"" + std::string(text_.substr(start, pos_ - start)) + "\".");
  Push(TokenKind::Word, start, pos_);
}

void TSqlLexer::ReadOperatorOrPunctuation() {
  const size_t start = pos_;
  const char c = text_[pos_];
  const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
  switch (c) {
    case '(': ++pos_; return Push(TokenKind::LParen, start, pos_);
    case ')': ++pos_; return Push(TokenKind::RParen, start, pos_);
    case ',': ++pos_; return Push(TokenKind::Comma, start, pos_);
    case '.': ++pos_; return Push(TokenKind::Dot, start, pos_);
    case ';': ++pos_; return Push(TokenKind::Semicolon, start, pos_);
    default: break;
  }
  if ((c == '<' && (next == '>' || next == '=')) || (c == '>' && next == '=') ||
      (c == '!' && (next == '=' || next == '<' || next == '>')) || (c == '|' && next == '|')) {
    pos_ += 2;
    return Push(TokenKind::Operator, start, pos_);
  }
  static constexpr std::string_view singles = "=<>+-*/%&|^~";
  if (singles.find(c) != std::string_view::npos) {
    ++pos_;
    return Push(TokenKind::Operator, start, pos_);
  }
  Fail("Incorrect syntax near '" + std::string(1, c) + "'.");
}

// An INSERT starts a stretch; it ends before the first literal, on a
// parenthesis or comma (which end themselves whatever follows them).
void TSqlLexer::Record() {
  if (recording_ == kNotRecording && out_.tokens.back().IsWord("insert")) recording_ = out_.tokens.size() - 1;
}

void TSqlLexer::FinishRecording() {
  if (recording_ == kNotRecording) return;
  const size_t first = recording_, end = out_.tokens.size() - 1;  // the literal just read is not part of it
  recording_ = kNotRecording;
  if (end - first < 2) return;
  const Token& last = out_.tokens[end - 1];
  if (last.kind != TokenKind::LParen && last.kind != TokenKind::Comma) return;
  stretch_.start = out_.tokens[first].offset;
  stretch_.length = last.offset + last.text.size() - stretch_.start;
  stretch_.tokens.assign(out_.tokens.begin() + static_cast<std::ptrdiff_t>(first),
                         out_.tokens.begin() + static_cast<std::ptrdiff_t>(end));
  for (Token& token : stretch_.tokens) token.offset -= static_cast<uint32_t>(stretch_.start);
}

bool TSqlLexer::Replay() {
  // Never beyond the room the reader made (the buffer would double).
  if (stretch_.tokens.empty() || out_.tokens.capacity() - out_.tokens.size() < stretch_.tokens.size() ||
      text_.size() - pos_ < stretch_.length ||
      text_.compare(pos_, stretch_.length, text_.substr(stretch_.start, stretch_.length)) != 0)
    return false;
  const size_t at = pos_;
  for (const Token& recorded : stretch_.tokens) {
    Token& token = out_.tokens.emplace_back(recorded);
    token.offset += static_cast<uint32_t>(at);
    token.text = std::string_view(text_.data() + token.offset, recorded.text.size());
  }
  out_.tokens[out_.tokens.size() - stretch_.tokens.size()].blankBefore = blank_;
  pos_ = at + stretch_.length;
  return true;
}

void TSqlLexer::PushText(TokenKind kind, size_t start, std::string text) {
  recording_ = kNotRecording;  // a rewritten token does not point into the text
  out_.storage.push_front(std::move(text));
  Token token;
  token.kind = kind;
  token.blankBefore = blank_;
  token.offset = static_cast<uint32_t>(start);
  token.text = out_.storage.front();
  out_.tokens.push_back(token);
}

void TSqlLexer::Fail(const std::string& message) const { throw ComError(ErrorNumber::ErrorsInCommand, message); }

}  // namespace fabrikon::dialect
