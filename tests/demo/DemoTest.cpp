// `fabrikon demo`, run as a newcomer runs it: the walk of one production
// order must report every answer as expected, show the material list of the
// three products with their waste, leave no temporary file behind, and keep
// (but never silently overwrite) a database it was given.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Terminal cells of UTF-8 text, counting CJK ideographs, CJK punctuation
// and full-width forms as two.
size_t Cells(const std::string& text) {
  size_t cells = 0;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const bool wide = length == 3 && ((lead >= 0xE3 && lead <= 0xE9) ||
                                      (lead == 0xEF && static_cast<unsigned char>(text[i + 1]) <= 0xBD));
    cells += wide ? 2 : 1;
    i += length;
  }
  return cells;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class DemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    dir_ = fs::temp_directory_path() / ("fabrikon_demotest_" + std::to_string(getpid()) + "_" +
                                        std::to_string(counter++));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  CliRun Run(const std::vector<std::string>& args) const { return RunIn(dir_, args); }

  static CliRun RunIn(const fs::path& dir, const std::vector<std::string>& args) {
    std::string command = Quoted(FABRIKON_CLI);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    command += " >" + Quoted((dir / "out").string()) + " 2>" + Quoted((dir / "err").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "out"), ReadFile(dir / "err")};
  }

  // `fabrikon demo` with a temporary database, run once for the tests that only read its output.
  static const CliRun& PlainRun() {
    static const CliRun run = [] {
      const fs::path dir = fs::temp_directory_path() / ("fabrikon_demotest_" + std::to_string(getpid()) + "_plain");
      fs::create_directories(dir);
      CliRun result = RunIn(dir, {"demo"});
      std::error_code ignored;
      fs::remove_all(dir, ignored);
      return result;
    }();
    return run;
  }

  // The material table: its header, rule of dashes and rows, up to the
  // "material rows:" line that follows it.
  static std::vector<std::string> MaterialTableLines(const std::string& out) {
    std::vector<std::string> lines;
    bool inList = false;
    for (const std::string& line : Lines(out)) {
      if (line.find("material rows:") != std::string::npos) break;
      if (inList) lines.push_back(line);
      if (line.find("the material list (PP_PODetails)") != std::string::npos) inList = true;
    }
    return lines;
  }
  static std::vector<std::string> MaterialTable(const std::string& out) {
    std::vector<std::string> lines = MaterialTableLines(out);
    return lines.size() < 2 ? lines : std::vector<std::string>(lines.begin() + 2, lines.end());
  }

  static std::string RowOf(const std::vector<std::string>& rows, const std::string& component) {
    for (const std::string& row : rows) {
      if (row.find(" " + component + " ") != std::string::npos) return row;
    }
    return "";
  }

  fs::path dir_;
};

TEST_F(DemoTest, WalksTheOrderThroughItsLifeWithEveryAnswerAsExpected) {
  const CliRun& run = PlainRun();
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.find("!! unexpected"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("steps, every answer as expected"), std::string::npos) << run.out;

  // Each step names its call and the library's answer.
  for (const char* expected :
       {"VoucherNew                         => \"\"",
        "=> \"表体：第1行[dstartdate]不能大于[denddate]，请检查！\\r\"",
        "=> \"表头：[dplandate]不能为空，请检查！\\r\"",
        "=> \"表体：第3行[cinvcode]不能为空，请检查！\\r表体：第3行[denddate]不能为空，请检查！\\r\"",
        "VoucherSave2 2                     => \"\"", "审核成功！\"", "关闭成功！\"", "打开成功！\"",
        "弃审成功！\"", "VoucherAllowDelete                 => \"\"", "]成功！\"", "domReturn: fquantity=\"36.75\"",
        "material rows: 9", "stored: M211 fQuantity=36.75", "left in the database: 0 head rows, 0 lines"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << "missing: " << expected << "\n" << run.out;
  }
}

TEST_F(DemoTest, MaterialTableHoldsEveryComponentOfTheThreeProductsWithWaste) {
  const CliRun& run = PlainRun();
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  std::vector<std::string> rows = MaterialTable(run.out);
  ASSERT_EQ(rows.size(), 9u) << run.out;
  for (const char* component : {"S210", "S220", "M231", "M232", "M221", "M222", "M223", "M211", "M212"}) {
    EXPECT_NE(RowOf(rows, component), "") << component << " is missing:\n" << run.out;
  }
  // Twenty wheels take 36 spokes each with 2 % waste; ten frames 3.2 m of
  // tube with 5 % and 0.5 kg of wire with 10 %; the e-bike's parts none.
  EXPECT_TRUE(RowOf(rows, "M222").ends_with(" 734.4")) << RowOf(rows, "M222");
  EXPECT_TRUE(RowOf(rows, "M211").ends_with(" 33.6")) << RowOf(rows, "M211");
  EXPECT_TRUE(RowOf(rows, "M212").ends_with(" 5.5")) << RowOf(rows, "M212");
  EXPECT_TRUE(RowOf(rows, "S220").ends_with(" 20")) << RowOf(rows, "S220");
}

TEST_F(DemoTest, MaterialTableLinesUpWithChineseNames) {
  const CliRun& run = PlainRun();
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  std::vector<std::string> lines = MaterialTableLines(run.out);
  ASSERT_EQ(lines.size(), 11u) << run.out;
  EXPECT_NE(lines[1].find("---"), std::string::npos) << lines[1];
  // The last column is right-aligned, so every line ends in the same cell.
  for (const std::string& line : lines) EXPECT_EQ(Cells(line), Cells(lines[1])) << line;
}

TEST_F(DemoTest, TemporaryDatabaseIsRemovedAfterwards) {
  const CliRun& run = PlainRun();
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  const std::string marker = "database: ";
  const size_t at = run.out.find(marker);
  const size_t end = run.out.find(" (temporary)", at);
  ASSERT_NE(end, std::string::npos) << run.out;
  const std::string path = run.out.substr(at + marker.size(), end - at - marker.size());
  EXPECT_FALSE(fs::exists(path)) << path;
  EXPECT_FALSE(fs::exists(path + "-wal")) << path;
}

TEST_F(DemoTest, GivenDatabaseIsKeptAndNeverOverwrittenUnlessForced) {
  const std::string db = (dir_ / "plant.db").string();
  CliRun first = Run({"demo", db});
  ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
  EXPECT_TRUE(fs::exists(db));
  EXPECT_NE(first.out.find("fabrikon shell " + db), std::string::npos) << first.out;

  CliRun again = Run({"demo", db});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("exists (--force replaces it)"), std::string::npos) << again.err;
  EXPECT_EQ(again.out, "");

  CliRun forced = Run({"demo", db, "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.out << forced.err;
  // The walk starts from a fresh plant each time: the same number again.
  EXPECT_NE(forced.out.find("GetVoucherNO (real number)         => \"SC000005\""), std::string::npos)
      << forced.out;
}

TEST_F(DemoTest, UnknownOptionsAndExtraArgumentsAreRefused) {
  EXPECT_EQ(Run({"demo", "--fast"}).exitCode, 2);
  EXPECT_EQ(Run({"demo", "a.db", "b.db"}).exitCode, 2);
}

}  // namespace
