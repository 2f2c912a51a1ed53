// `fabrikon shell` and `fabrikon list` end to end on a copy of the demo
// database: the transcript of shell_lists.txt must match the documented line
// formats exactly, and the list command prints one page with its totals.
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "ListTestSupport.h"

namespace fabrikon::listtest {
namespace {

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  std::array<char, 4096> buffer;
  size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  pclose(pipe);
  return output;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::string kDir = std::string(FABRIKON_SOURCE_DIR) + "/tests/reflink/";

TEST(ShellLists, TranscriptFollowsTheLineFormats) {
  testsupport::DemoDatabase db;
  const std::string output = RunCommand(std::string(FABRIKON_CLI) + " shell '" + db.Path() +
                                        "' --user lina --name 李娜 --date 2024-03-10 < '" + kDir +
                                        "shell_lists.txt' 2>&1");
  EXPECT_EQ(output, ReadFile(kDir + "shell_lists.expected"));
}

TEST(ListCommand, PrintsOnePageWithItsTotals) {
  testsupport::DemoDatabase db;
  const std::string cli = std::string(FABRIKON_CLI) + " list '" + db.Path() + "' ";
  const std::string page = RunCommand(cli + "pp25 --page 2 --size 2 --select ccode,fquantity --sum \"sum(fquantity) AS fquantity\" 2>&1");
  EXPECT_EQ(page,
            "ccode     fquantity\n"
            "--------  ---------\n"
            "SC000002  15\n"
            "SC000003  5\n"
            "\n"
            "fquantity\n"
            "---------\n"
            "80\n"
            "\n"
            "page 2 of 3, 5 rows\n");
  // The footer counts list rows: one forecast with two lines is two rows.
  const std::string filtered = RunCommand(cli + "pp01 --where \"WHERE cfcid='0000000001'\" 2>&1");
  EXPECT_NE(filtered.find("page 1 of 1, 2 rows"), std::string::npos) << filtered;
  const std::string bad = RunCommand(cli + "pp25 --sum \"sum(ccode) AS c\" 2>&1");
  EXPECT_NE(bad.find("不能选择非数值型项目作为合计列！"), std::string::npos) << bad;
}

// The list options: every row with --size 0, no totals without a sum list
// (--select alone, or --sum ""), a filter typed without its WHERE keyword.
TEST(ListCommand, OptionsShapeThePage) {
  testsupport::DemoDatabase db;
  const std::string cli = std::string(FABRIKON_CLI) + " list '" + db.Path() + "' ";
  const std::string table =
      "ccode     fquantity\n"
      "--------  ---------\n"
      "SC000001  30\n"
      "SC000001  20\n"
      "SC000002  15\n"
      "SC000003  5\n"
      "SC000004  10\n";
  const std::string totals = "\nfquantity\n---------\n80\n";
  struct Case {
    std::string options;
    std::string output;
  };
  const std::vector<Case> cases = {
      {"--size 0 --select ccode,fquantity --sum \"sum(fquantity) AS fquantity\"",
       table + totals + "\npage 1 of 1, 5 rows\n"},
      {"--size 0 --page 3 --select ccode,fquantity --sum \"sum(fquantity) AS fquantity\"",
       table + totals + "\npage 1 of 1, 5 rows\n"},
      {"--select ccode,fquantity", table + "\npage 1 of 1, 5 rows\n"},
      {"--size 0 --select ccode,fquantity", table + "\npage 1 of 1, 5 rows\n"},
      {"--select ccode,fquantity --sum \"\"", table + "\npage 1 of 1, 5 rows\n"},
      {"--size 2 --page 3 --select ccode,fquantity", "ccode     fquantity\n--------  ---------\nSC000004  10\n"
                                                     "\npage 3 of 3, 5 rows\n"},
      {"--select ccode,fquantity --where \"fquantity>=20\"",
       "ccode     fquantity\n--------  ---------\nSC000001  30\nSC000001  20\n\npage 1 of 1, 2 rows\n"},
      {"--select ccode,fquantity --where \"  where fquantity>=20\"",
       "ccode     fquantity\n--------  ---------\nSC000001  30\nSC000001  20\n\npage 1 of 1, 2 rows\n"},
      {"--select ccode,fquantity --where \"wherever=1\"", ""},
      {"--size 0 --select ccode --where \"1=0\"", "ccode\n-----\n\npage 0 of 0, 0 rows\n"},
  };
  for (const Case& c : cases) {
    const std::string output = RunCommand(cli + "pp25 " + c.options + " 2>&1");
    if (c.output.empty()) {
      // A column that merely starts with "where" is no keyword: the filter gets one.
      EXPECT_NE(output.find("wherever"), std::string::npos) << c.options << "\n" << output;
      EXPECT_EQ(output.find("syntax"), std::string::npos) << c.options << "\n" << output;
      continue;
    }
    EXPECT_EQ(output, c.output) << c.options;
  }
}

}  // namespace
}  // namespace fabrikon::listtest
