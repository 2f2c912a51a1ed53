// `fabrikon shell` end to end: runs the program on a copy of the demo
// database with a script (shell_navigation.txt, and small inline ones) and
// reads its output by the documented line formats.
#include <array>
#include <cstdio>
#include <fstream>

#include "EngineTestSupport.h"

namespace fabrikon::enginetest {
namespace {

struct Block {
  std::string command;
  std::vector<std::string> lines;  // the answer and what follows it
};

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// Runs the shell with the script file as standard input; answers stdout.
std::string RunShell(const std::string& database, const std::string& script) {
  std::string command = std::string(FABRIKON_CLI) + " shell " + Quoted(database) +
                        " --user demo --name 演示 --date 2024-03-10 < " + Quoted(script) + " 2>/dev/null";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  std::array<char, 4096> buffer;
  size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  pclose(pipe);
  return output;
}

// Splits the transcript at the echoed commands; comment lines are dropped.
std::vector<Block> Blocks(const std::string& output) {
  std::vector<Block> blocks;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    start = end + 1;
    if (line.rfind("> ", 0) == 0) {
      blocks.push_back({line.substr(2), {}});
    } else if (!line.empty() && line[0] != '#' && !blocks.empty()) {
      blocks.back().lines.push_back(line);
    }
  }
  return blocks;
}

class ShellTranscript : public ::testing::Test {
 protected:
  void Run(const std::string& script) { blocks = Blocks(RunShell(db.Path(), script)); }
  void RunText(const std::string& text) {
    std::string path = TempPath("script");
    std::ofstream(path) << text;
    Run(path);
    std::filesystem::remove(path);
  }
  // The next block, which must be for `command`.
  const std::vector<std::string>& Next(const std::string& command) {
    static const std::vector<std::string> none;
    if (next >= blocks.size()) {
      ADD_FAILURE() << "no output for " << command;
      return none;
    }
    const Block& block = blocks[next++];
    EXPECT_EQ(block.command, command);
    return block.lines;
  }
  void ExpectAnswer(const std::string& command, const std::string& answer) {
    const auto& lines = Next(command);
    ASSERT_FALSE(lines.empty()) << command;
    EXPECT_EQ(lines[0], answer) << command;
  }
  void ExpectId(const std::string& id) {
    const auto& lines = Next("head id");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "=> 1");
    EXPECT_EQ(lines[1], "  id=\"" + id + "\"");
  }
  void ExpectFlags(bool bof, bool eof) {
    ExpectAnswer("bof", bof ? "=> true" : "=> false");
    ExpectAnswer("eof", eof ? "=> true" : "=> false");
  }
  std::vector<std::string> Ids() {
    ConnectionPtr conn = OpenConnection(DemoTemplate());
    std::vector<std::string> ids;
    RecordsetPtr rs = conn->Open("SELECT id FROM pp_productpo ORDER BY id");
    for (; !rs->Eof(); rs->MoveNext()) ids.push_back(rs->Fields("id").Value().ToText());
    return ids;
  }

  DemoDatabase db;
  std::vector<Block> blocks;
  size_t next = 0;
};

TEST_F(ShellTranscript, NavigatesRefreshesAfterDeletionsAndNumbers) {
  std::vector<std::string> ids = Ids();
  ASSERT_GE(ids.size(), 3u);
  const size_t n = ids.size();
  Run(std::string(FABRIKON_SOURCE_DIR) + "/tests/engine/shell_navigation.txt");

  const auto& init = Next("init pp25");
  EXPECT_EQ(init, (std::vector<std::string>{"=> false", "class: \"clsSCDDOrder\""}));
  const auto& params = Next("params");
  ASSERT_EQ(params.size(), 9u);
  EXPECT_EQ(params[1], "strTableNameMain: \"pp_productpo\"");
  EXPECT_EQ(params[6], "strFieldNameMainID: \"id\"");
  ExpectAnswer("default-vtid", "=> \"25\"");
  ExpectAnswer("load", "=> \"\"");
  const auto& head = Next("head id ccode");
  ASSERT_EQ(head.size(), 2u);
  EXPECT_EQ(head[1].rfind("  id=\"" + ids[n - 1] + "\" ccode=\"", 0), 0u) << head[1];
  const auto& body = Next("body mainid cinvcode");
  ASSERT_FALSE(body.empty());
  EXPECT_NE(body[0], "=> 0");
  ExpectFlags(false, true);

  ExpectAnswer("first", "=> \"\"");
  ExpectId(ids[0]);
  ExpectFlags(true, false);
  ExpectAnswer("next", "=> \"\"");
  ExpectId(ids[1]);
  ExpectFlags(false, n == 2);
  ExpectAnswer("previous", "=> \"\"");
  ExpectId(ids[0]);
  ExpectAnswer("last", "=> \"\"");
  ExpectId(ids[n - 1]);
  ExpectFlags(false, true);

  ExpectAnswer("other-sql DELETE FROM pp_productpo WHERE id = (SELECT MAX(id) FROM pp_productpo)", "=> 1");
  ExpectAnswer("refresh", "=> \"\"");
  ExpectId(ids[n - 2]);
  ExpectAnswer("eof", "=> true");

  ExpectAnswer("previous", "=> \"\"");
  ExpectId(ids[n - 3]);
  ExpectAnswer("other-sql DELETE FROM pp_productpo WHERE id = (SELECT MAX(id) FROM pp_productpo WHERE id < "
               "(SELECT MAX(id) FROM pp_productpo))",
               "=> 1");
  ExpectAnswer("refresh", "=> \"\"");
  ExpectId(ids[n - 2]);

  const auto& type = Next("number-type");
  EXPECT_EQ(type, (std::vector<std::string>{"=> \"\"", "strNoType: \"自动编号允许手工修改\""}));
  const auto& preview = Next("number");
  ASSERT_EQ(preview.size(), 2u);
  EXPECT_EQ(preview[0].rfind("=> \"SC", 0), 0u) << preview[0];
  EXPECT_EQ(preview[1], "strErrMsg: \"\"");
  const auto& real = Next("number real");
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real[0], preview[0]);  // the previewed number is the one reserved
  const auto& after = Next("number");
  ASSERT_FALSE(after.empty());
  EXPECT_NE(after[0], preview[0]);

  const auto& badLine = Next("set-line 9 cmemo=x");
  ASSERT_EQ(badLine.size(), 1u);
  EXPECT_EQ(badLine[0].rfind("?? ", 0), 0u);
  const auto& unknown = Next("frobnicate");
  ASSERT_EQ(unknown.size(), 1u);
  EXPECT_EQ(unknown[0].rfind("?? unknown command: frobnicate", 0), 0u);
  ExpectAnswer("load-where no_such_column = 1", "=> \"\"");  // a failed load is silent
  const auto& failedMove = Next("next");                   // a failed move reaches the host
  ASSERT_EQ(failedMove.size(), 1u);
  EXPECT_EQ(failedMove[0].rfind("!! 0x80040E14 ", 0), 0u) << failedMove[0];
  ExpectAnswer("default-vtid", "=> \"25\"");
  EXPECT_EQ(next, blocks.size());
}

TEST_F(ShellTranscript, EditsTheFormLikeTheVoucherScreen) {
  RunText(
      "init pp25\n"
      "load 1\n"
      "set-head cmemo=\"two words \\\"quoted\\\"\"\n"
      "head cmemo\n"
      "set-line 1 fquantity=12\n"
      "add-line cinvcode=P100 fquantity=3\n"
      "add-line cinvcode=P200\n"
      "delete-line 2\n"
      "delete-line 4\n"
      "body editprop cinvcode fquantity\n"
      "locate \"ccode = 'SC000002'\"\n"
      "head id\n"
      "load \"\"\n"
      "head\n");
  Next("init pp25");
  ExpectAnswer("load 1", "=> \"\"");
  ExpectAnswer("set-head cmemo=\"two words \\\"quoted\\\"\"", "=> \"\"");
  EXPECT_EQ(Next("head cmemo"), (std::vector<std::string>{"=> 1", "  cmemo=\"two words \\\"quoted\\\"\""}));
  ExpectAnswer("set-line 1 fquantity=12", "=> \"\"");
  EXPECT_EQ(Next("add-line cinvcode=P100 fquantity=3"), (std::vector<std::string>{"=> \"\"", "R: \"3\""}));
  EXPECT_EQ(Next("add-line cinvcode=P200"), (std::vector<std::string>{"=> \"\"", "R: \"4\""}));
  ExpectAnswer("delete-line 2", "=> \"\"");
  ExpectAnswer("delete-line 4", "=> \"\"");  // added in this session: removed
  const auto& body = Next("body editprop cinvcode fquantity");
  ASSERT_EQ(body.size(), 4u);
  EXPECT_EQ(body[0], "=> 3");
  EXPECT_EQ(body[1].rfind("  editprop=\"M\"", 0), 0u) << body[1];
  EXPECT_NE(body[1].find("fquantity=\"12\""), std::string::npos) << body[1];
  EXPECT_EQ(body[2].rfind("  editprop=\"D\"", 0), 0u) << body[2];
  EXPECT_EQ(body[3], "  editprop=\"A\" cinvcode=\"P100\" fquantity=\"3\"");
  ExpectAnswer("locate \"ccode = 'SC000002'\"", "=> \"\"");
  ExpectId("2");
  ExpectAnswer("load \"\"", "=> \"\"");
  EXPECT_EQ(Next("head"), std::vector<std::string>{"=> 0"});
}

// The outsourcing commands and what the voucher screen's message boxes and
// domReturn look like in a transcript (scripts rely on these lines).
TEST_F(ShellTranscript, ExplodesAsksAndPrintsWhatTheChecksReturn) {
  RunText(
      "init om01\nload 2\nsql update om_pomain set iblevel=2 where mainid=2\nexplode 2\nexplode 999\n"
      "explode x\nsave2 1\nrefresh\nconfirm\nrefresh\nclose\nmsgbox maybe\nmsgbox yes\nclose\n"
      "init om02\nload 2\nbody-check 1 ipsquantity\nbody-check 1 cmemo\n");
  Next("init om01");
  ExpectAnswer("load 2", "=> \"\"");
  Next("sql update om_pomain set iblevel=2 where mainid=2");
  const auto& exploded = Next("explode 2");
  ASSERT_EQ(exploded.size(), 6u);
  EXPECT_EQ(exploded[0], "=> \"7,8,9,2,3\"");
  EXPECT_EQ(exploded[2],
            "  cPScode=\"M112\" fQuantity=\"25.92\" fQuantityNoWaste=\"24\" iPSQuantity=\"1.2\" iWasteRate=\"8\" "
            "cDepCode=\"D01\" cWhCode=\"W01\" cFree1=\"黑\"");
  EXPECT_EQ(Next("explode 999"), std::vector<std::string>{"=> \"\""});
  EXPECT_EQ(Next("explode x").at(0).rfind("?? ", 0), 0u);
  ExpectAnswer("save2 1", "=> \"\"");
  Next("refresh");
  ExpectAnswer("confirm", "=> \"委外订单[2]审核成功！\"");
  Next("refresh");
  const std::string asked = "msgbox: \"委外订单没有全部入库，是否继续？\"";
  EXPECT_EQ(Next("close"), (std::vector<std::string>{"=> \"委外订单[2] 关闭失败！\"", asked}));
  EXPECT_EQ(Next("msgbox maybe").at(0).rfind("?? ", 0), 0u);
  ExpectAnswer("msgbox yes", "=> \"\"");
  EXPECT_EQ(Next("close"), (std::vector<std::string>{"=> \"委外订单[2]关闭成功！\"", asked}));
  Next("init om02");
  ExpectAnswer("load 2", "=> \"\"");
  EXPECT_EQ(Next("body-check 1 ipsquantity"),
            (std::vector<std::string>{"=> \"\"", "domReturn: \"<z:row xmlns:z=\\\"#RowsetSchema\\\" fquantity=\\\"42.00\\\"/>\""}));
  EXPECT_EQ(Next("body-check 1 cmemo"), std::vector<std::string>{"=> \"\""});
}

// A new voucher starts with an empty body; mistakes get answers a person
// understands, and extra arguments are refused before anything is called.
TEST_F(ShellTranscript, NewEmptiesTheBodyAndMistakesAreExplained) {
  RunText(
      "init pp25\n"
      "load 1\n"
      "new\n"
      "body\n"
      "set-line x cmemo=y\n"
      "set-line 0 cmemo=y\n"
      "delete-line 1\n"
      "load 2 extra\n"
      "first now\n"
      "save2 x\n"
      "body-check 1 cinvcode more\n"
      "head id\n");
  Next("init pp25");
  ExpectAnswer("load 1", "=> \"\"");
  ExpectAnswer("new", "=> \"\"");
  EXPECT_EQ(Next("body"), std::vector<std::string>{"=> 0"});
  const std::pair<const char*, const char*> refused[] = {
      {"set-line x cmemo=y", "?? not a line number: x"},
      {"set-line 0 cmemo=y", "?? not a line number: 0"},
      {"delete-line 1", "?? no line 1 (the document has 0)"},
      {"load 2 extra", "?? load: too many arguments (usage: load [ID])"},
      {"first now", "?? first: too many arguments (usage: first)"},
      {"save2 x", "?? not a state (2 new, 1 edited): x"},
      {"body-check 1 cinvcode more", "?? body-check: too many arguments (usage: body-check R [ITEM]  (no ITEM: save mode))"},
  };
  for (const auto& [command, answer] : refused) {
    EXPECT_EQ(Next(command), std::vector<std::string>{answer}) << command;
  }
  const auto& head = Next("head id");  // the new voucher, not order 2
  ASSERT_FALSE(head.empty());
  EXPECT_EQ(head[0], "=> 1");
}

// Before init the commands that ask the façade about its card say so
// instead of failing inside; the form, plain SQL and the stand-ins work. A
// card without a business object gets a note after init's answer.
TEST_F(ShellTranscript, CommandsBeforeInitAskForItAndACardWithoutAClassIsNoted) {
  const std::vector<std::string> refused = {
      "params",  "default-vtid", "format 25", "load 1",     "load-where id=1", "first",       "refresh",
      "number",  "number-type",  "new",       "allow-edit", "head-check",      "body-check 1", "confirm",
      "close",   "save2 1",      "delete",    "list",       "list-page 1 2",   "filter",      "load 1 2"};
  const std::vector<std::pair<std::string, std::string>> working = {
      {"query select 1 as x", "=> 1"}, {"head", "=> 0"}, {"bof", "=> false"}, {"columns select=ccode", "=> \"\""}};
  std::string script;
  for (const std::string& command : refused) script += command + "\n";
  for (const auto& [command, answer] : working) script += command + "\n";
  script += "init pp17\nparams\nnew\ninit pp25\nload 1\n";
  RunText(script);
  for (const std::string& command : refused) {
    EXPECT_EQ(Next(command), std::vector<std::string>{"?? run init CARD first"}) << command;
  }
  for (const auto& [command, answer] : working) ExpectAnswer(command, answer);
  const auto& init = Next("init pp17");
  ASSERT_EQ(init.size(), 3u);
  EXPECT_EQ(init[1], "class: \"\"");
  EXPECT_EQ(init[2].rfind("note: \"no business object for pp17: ", 0), 0u) << init[2];
  ExpectAnswer("params", "=> false");
  EXPECT_EQ(Next("new").at(0).rfind("!! 0x0000005B ", 0), 0u);
  EXPECT_EQ(Next("init pp25"), (std::vector<std::string>{"=> false", "class: \"clsSCDDOrder\""}));
  ExpectAnswer("load 1", "=> \"\"");
  EXPECT_EQ(next, blocks.size());
}

}  // namespace
}  // namespace fabrikon::enginetest
