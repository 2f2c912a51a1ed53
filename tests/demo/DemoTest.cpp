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

  CliRun Run(const std::vector<std::string>& args) {
    std::string command = Quoted(FABRIKON_CLI);
    for (const std::string& arg : args) command += " " + Quoted(arg);
    command += " >" + Quoted((dir_ / "out").string()) + " 2>" + Quoted((dir_ / "err").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir_ / "out"), ReadFile(dir_ / "err")};
  }

  // The rows of the material table: the lines between its rule of dashes
  // and the "material rows:" line that follows it.
  static std::vector<std::string> MaterialTable(const std::string& out) {
    std::vector<std::string> rows;
    bool inList = false;
    bool inRows = false;
    for (const std::string& line : Lines(out)) {
      if (line.find("the material list (PP_PODetails)") != std::string::npos) inList = true;
      else if (inList && line.find("material rows:") != std::string::npos) break;
      else if (inList && line.find("----") != std::string::npos) inRows = true;
      else if (inRows) rows.push_back(line);
    }
    return rows;
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
  CliRun run = Run({"demo"});
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
  CliRun run = Run({"demo"});
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

TEST_F(DemoTest, TemporaryDatabaseIsRemovedAfterwards) {
  CliRun run = Run({"demo"});
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
