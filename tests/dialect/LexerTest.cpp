// Lexer: the text forms the library and host filters produce.
#include <gtest/gtest.h>

#include "data/dialect/TSqlLexer.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {
namespace {

std::vector<std::string> Texts(const std::string& sql) {
  std::vector<std::string> out;
  for (const Token& t : TSqlLexer::Tokenize(sql).tokens) out.emplace_back(t.text);
  return out;
}

TEST(Lexer, StringsKeepDoubledQuotesAndLoseTheNPrefix) {
  const LexedText lexed = TSqlLexer::Tokenize("select 'O''Brien', N'中文', n'x'");
  ASSERT_EQ(lexed.tokens.size(), 6u);
  EXPECT_EQ(lexed.tokens[1].text, "'O''Brien'");
  EXPECT_EQ(lexed.tokens[1].kind, TokenKind::String);
  EXPECT_EQ(lexed.tokens[3].text, "'中文'");
  EXPECT_EQ(lexed.tokens[5].text, "'x'");
}

TEST(Lexer, NumbersInEveryFormTheBuildersWrite) {
  EXPECT_EQ(Texts("values (.50,1E-05,-3,12.5,2e+3)"),
            (std::vector<std::string>{"values", "(", ".50", ",", "1E-05", ",", "-", "3", ",", "12.5", ",", "2e+3",
                                      ")"}));
  EXPECT_EQ(TSqlLexer::Tokenize(".50").tokens[0].kind, TokenKind::Number);
  EXPECT_EQ(Texts("0x1F2"), std::vector<std::string>{"X'01F2'"});
}

TEST(Lexer, QualifiedNamesAndThreePartTempNames) {
  EXPECT_EQ(Texts("TempDB..TMPQX_pp13"), (std::vector<std::string>{"TempDB", ".", ".", "TMPQX_pp13"}));
  EXPECT_EQ(Texts("t.5"), (std::vector<std::string>{"t", ".", "5"}));
}

TEST(Lexer, BracketNames) {
  EXPECT_EQ(Texts("[order details].[id]"), (std::vector<std::string>{"[order details]", ".", "[id]"}));
  EXPECT_EQ(Texts("[a]]b]"), std::vector<std::string>{"\"a]b\""});
}

TEST(Lexer, CarriageReturnsAndCommentsAreBlanks) {
  const LexedText lexed = TSqlLexer::Tokenize("a\rb\r\nc -- note\n/* x /* nested */ y */d\t'u1'WHERE");
  EXPECT_EQ(Texts("a\rb\r\nc -- note\n/* x /* nested */ y */d\t'u1'WHERE"),
            (std::vector<std::string>{"a", "b", "c", "d", "'u1'", "WHERE"}));
  EXPECT_TRUE(lexed.tokens[1].blankBefore);
  EXPECT_FALSE(lexed.tokens[5].blankBefore);
}

TEST(Lexer, OperatorsIncludingTheTSqlOnes) {
  EXPECT_EQ(Texts("a<>b!=c<=d>=e!<f!>g||h"),
            (std::vector<std::string>{"a", "<>", "b", "!=", "c", "<=", "d", ">=", "e", "!<", "f", "!>", "g", "||",
                                      "h"}));
}

TEST(Lexer, UnreadableTextIsACommandError) {
  for (const char* bad : {"select 'open", "select [open", "select 1 /* open", "select a ? b", "select \"x", "select @@x"}) {
    try {
      TSqlLexer::Tokenize(bad);
      ADD_FAILURE() << bad;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::ErrorsInCommand) << bad;
    }
  }
}

}  // namespace
}  // namespace fabrikon::dialect
