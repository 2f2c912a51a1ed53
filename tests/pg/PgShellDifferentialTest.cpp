// The same shell session on both backends: shell_every_card.txt walks every
// card of the demo plant through `fabrikon shell` on an embedded demo
// database and on a PostgreSQL one; the transcripts must be identical once
// the row-version values (qxts, soqxts) are masked, and the embedded one must
// match shell_every_card.expected, so that the script keeps its meaning.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "data/HostDatabase.h"
#include "support/DemoDatabase.h"

namespace fabrikon::testsupport {
namespace {

const std::string kDir = std::string(FABRIKON_SOURCE_DIR) + "/tests/pg/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the script through the command-line program; answers stdout and stderr.
std::string RunShell(const std::string& database) {
  const std::string command = std::string(FABRIKON_CLI) + " shell '" + database +
                              "' --user demo --name 演示 --date 2024-03-10 < '" + kDir + "shell_every_card.txt' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer;
  size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  pclose(pipe);
  return output;
}

// Row versions differ between the servers by design (one sequence there, one
// counter here, and the servers number other changes too): their values, and
// nothing else, are masked, in rows (qxts="0.0012") and in escaped XML texts.
std::string MaskRowVersions(const std::string& transcript) {
  static const std::regex version(R"re((\b(?:so)?qxts=\\?")[0-9.]+)re");
  return std::regex_replace(transcript, version, "$1#");
}

// The lines where two transcripts part, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::istringstream left(a), right(b);
  std::string l, r;
  for (int line = 1;; ++line) {
    const bool moreLeft = static_cast<bool>(std::getline(left, l));
    const bool moreRight = static_cast<bool>(std::getline(right, r));
    if (!moreLeft && !moreRight) return "";
    if (!moreLeft || !moreRight || l != r) {
      return "line " + std::to_string(line) + ":\n  embedded:   " + (moreLeft ? l : "(end)") +
             "\n  postgresql: " + (moreRight ? r : "(end)");
    }
  }
}

TEST(ShellDifferential, EveryCardPrintsTheSameTranscriptOnBothBackends) {
  const std::string file = TempPath("shell_every_card");
  HostDatabase::Create(file, true, true);
  const std::string embedded = MaskRowVersions(RunShell(file));
  RemoveDatabase(file);
  DemoDatabase pg;
  ASSERT_TRUE(IsPgUri(pg.Path()));
  const std::string postgresql = MaskRowVersions(RunShell(pg.Path()));

  EXPECT_EQ(embedded, ReadFile(kDir + "shell_every_card.expected")) << "the embedded transcript changed";
  EXPECT_TRUE(embedded == postgresql) << FirstDifference(embedded, postgresql);
}

TEST(ShellDifferential, MasksRowVersionValuesOnly) {
  EXPECT_EQ(MaskRowVersions(R"(  <z:row id="2" qxts="0.0012" soqxts="1.5" cqxts="0.1"/>)"),
            R"(  <z:row id="2" qxts="#" soqxts="#" cqxts="0.1"/>)");
  EXPECT_EQ(MaskRowVersions(R"(domReturn: "<z:row qxts=\"0.0093\" fquantity=\"42.00\"/>")"),
            R"(domReturn: "<z:row qxts=\"#\" fquantity=\"42.00\"/>")");
  EXPECT_EQ(MaskRowVersions(R"(  id="0.0012" ccode="qxts")"), R"(  id="0.0012" ccode="qxts")");
}

}  // namespace
}  // namespace fabrikon::testsupport
