// TSqlLexer: a single forward pass over the text; tokens point into the text
// itself, so a statement of a few hundred tokens costs one vector.
#include "data/dialect/TSqlLexer.h"

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// Bytes of multi-byte UTF-8 characters count as letters: names may be Chinese.
bool IsWordStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '#' || c == '@' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool IsWordPart(char c) { return IsWordStart(c) || IsDigit(c) || c == '$'; }

}  // namespace

LexedText TSqlLexer::Tokenize(std::string_view text) {
  TSqlLexer lexer(text);
  lexer.out_.tokens.reserve(text.size() / 4 + 4);
  lexer.Run();
  return std::move(lexer.out_);
}

void TSqlLexer::Run() {
  while (true) {
    blank_ = SkipBlanksAndComments();
    if (pos_ >= text_.size()) return;
    const char c = text_[pos_];
    const char next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
    if (c == '\'') {
      ReadString(pos_, pos_);
    } else if ((c == 'N' || c == 'n') && next == '\'') {
      ReadString(pos_, pos_ + 1);
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
    } else if (IsWordStart(c)) {
      ReadWord();
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
      ++pos_;
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

// start: where the token begins in the source (the N of N'..'); quote: the
// opening quote. The token text is the literal from its opening quote, which
// SQLite reads with the same doubled-quote escape.
void TSqlLexer::ReadString(size_t start, size_t quote) {
  size_t p = quote + 1;
  while (true) {
    if (p >= text_.size())
      Fail("Unclosed quotation mark after the character string '" + std::string(text_.substr(quote + 1)) + "'.");
    if (text_[p] == '\'') {
      if (p + 1 < text_.size() && text_[p + 1] == '\'') {
        p += 2;
        continue;
      }
      break;
    }
    ++p;
  }
  Token token;
  token.kind = TokenKind::String;
  token.blankBefore = blank_;
  token.offset = static_cast<uint32_t>(start);
  token.text = text_.substr(quote, p + 1 - quote);
  out_.tokens.push_back(token);
  pos_ = p + 1;
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

void TSqlLexer::ReadNumber() {
  const size_t start = pos_;
  while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '.') {
    ++pos_;
    while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
  }
  if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
    size_t p = pos_ + 1;
    if (p < text_.size() && (text_[p] == '+' || text_[p] == '-')) ++p;
    if (p < text_.size() && IsDigit(text_[p])) {
      while (p < text_.size() && IsDigit(text_[p])) ++p;
      pos_ = p;
    }
  }
  Push(TokenKind::Number, start, pos_);
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
  while (pos_ < text_.size() && IsWordPart(text_[pos_])) ++pos_;
  // SQLite would take @name for a parameter and quietly bind NULL to it.
  if (text_[start] == '@')
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

void TSqlLexer::Push(TokenKind kind, size_t start, size_t end) {
  Token token;
  token.kind = kind;
  token.blankBefore = blank_;
  token.offset = static_cast<uint32_t>(start);
  token.text = text_.substr(start, end - start);
  out_.tokens.push_back(token);
}

void TSqlLexer::PushText(TokenKind kind, size_t start, std::string text) {
  out_.storage.push_back(std::move(text));
  Token token;
  token.kind = kind;
  token.blankBefore = blank_;
  token.offset = static_cast<uint32_t>(start);
  token.text = out_.storage.back();
  out_.tokens.push_back(token);
}

void TSqlLexer::Fail(const std::string& message) const { throw ComError(ErrorNumber::ErrorsInCommand, message); }

}  // namespace fabrikon::dialect
