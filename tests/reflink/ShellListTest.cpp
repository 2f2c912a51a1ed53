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
  const std::string page = RunCommand(cli + "pp25 --page 2 --size 2 --select ccode,fquantity 2>&1");
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
            "page 2 of 3, 5 vouchers\n");
  const std::string filtered = RunCommand(cli + "pp01 --where \"WHERE cfcid='0000000001'\" 2>&1");
  EXPECT_NE(filtered.find("page 1 of 1, 2 vouchers"), std::string::npos) << filtered;
  const std::string bad = RunCommand(cli + "pp25 --sum \"sum(ccode) AS c\" 2>&1");
  EXPECT_NE(bad.find("不能选择非数值型项目作为合计列！"), std::string::npos) << bad;
}

}  // namespace
}  // namespace fabrikon::listtest
