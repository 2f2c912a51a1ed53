// `fabrikon shell` saves and deletes an outsourcing order of the demo
// database: the transcript shows the answers and the key handed back, and the
// database shows what was written.
#include <array>
#include <cstdio>
#include <fstream>

#include "SaveTestSupport.h"

namespace fabrikon::savetest {
namespace {

// Runs the shell on the database with the script as standard input; answers stdout.
std::string RunShell(const std::string& database, const std::string& script) {
  const std::string path = TempPath("script");
  std::ofstream(path) << script;
  const std::string command = std::string(FABRIKON_CLI) + " shell '" + database +
                              "' --user demo --name 演示 --date 2024-03-10 < '" + path + "' 2>/dev/null";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer;
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    pclose(pipe);
  }
  std::filesystem::remove(path);
  return output;
}

// The lines that follow the echo of `command` up to the next echo.
std::vector<std::string> AnswerTo(const std::string& transcript, const std::string& command) {
  std::vector<std::string> lines;
  const size_t at = transcript.find("> " + command + "\n");
  if (at == std::string::npos) return lines;
  size_t start = transcript.find('\n', at) + 1;
  while (start < transcript.size() && transcript.compare(start, 2, "> ") != 0) {
    const size_t end = transcript.find('\n', start);
    lines.push_back(transcript.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

TEST(ShellSave, SavesAndDeletesAnOutsourcingOrder) {
  DemoDatabase db;
  const std::string transcript = RunShell(db.Path(),
                                          "init om01\n"
                                          "load 2\n"
                                          "set-head cmemo=\"from the shell\"\n"
                                          "set-line 1 fquantity=22\n"
                                          "add-line cinvcode=S210 fquantity=3\n"
                                          "save2 1\n"
                                          "load 3\n"
                                          "delete\n");
  EXPECT_EQ(AnswerTo(transcript, "save2 1"), (std::vector<std::string>{"=> \"\"", "varCurID: \"2\""})) << transcript;
  EXPECT_EQ(AnswerTo(transcript, "delete"), (std::vector<std::string>{"=> \"删除单据[WW000003]成功！\""}));

  ConnectionPtr conn = OpenConnection(testsupport::NativeConnectionString(db.Path()));
  auto scalar = [&](const std::string& sql) { return conn->Open(sql)->Fields(0).Value().ToText(); };
  EXPECT_EQ(scalar("SELECT cmemo FROM om_productpo WHERE id=2"), "from the shell");
  EXPECT_EQ(scalar("SELECT count(*) FROM om_pomain WHERE id=2"), "2");
  EXPECT_EQ(scalar("SELECT fTotolPut FROM SO_SODetails WHERE iSOsID=1"), "22");
  EXPECT_EQ(scalar("SELECT count(*) FROM om_productpo WHERE id=3"), "0");
}

}  // namespace
}  // namespace fabrikon::savetest
