// The fabrikon command line, run as a user runs it: init-db creates (and
// refuses to overwrite) the host database; sql runs T-SQL through the
// library's own connection and dialect and reports rows and the
// records-affected count, or the error number; usage errors exit 2 and
// --help describes each command and lists the card numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "SchemaTestSupport.h"
#include "support/TestConnection.h"

using namespace schema_test;

namespace {

class CliTest : public ::testing::Test {
 protected:
  // One demo plant made by the command line; every test works on a copy.
  static void SetUpTestSuite() {
    master_ = new ScratchDir;
    CliResult created = RunCli(*master_, {"init-db", master_->File("demo.db"), "--demo"});
    ASSERT_EQ(created.exitCode, 0) << created.err;
    ASSERT_NE(created.out.find("created"), std::string::npos);
  }
  static void TearDownTestSuite() {
    delete master_;
    master_ = nullptr;
  }
  void SetUp() override {
    db_ = dir_.File("plant.db");
    fs::copy_file(master_->File("demo.db"), db_);
  }
  CliResult Sql(const std::string& text) { return RunCli(dir_, {"sql", db_, text}); }
  // The single value a one-row, one-column query printed.
  std::string Value(const std::string& text) {
    CliResult r = Sql(text);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    size_t first = r.out.find('\n');
    size_t second = r.out.find('\n', first + 1);
    if (first == std::string::npos || second == std::string::npos) return "<nothing>";
    return r.out.substr(first + 1, second - first - 1);
  }

  static ScratchDir* master_;
  ScratchDir dir_;
  std::string db_;
};
ScratchDir* CliTest::master_ = nullptr;

// Runs the command line with standard input from text.
CliResult RunCliWithInput(const ScratchDir& dir, const std::vector<std::string>& args, const std::string& input) {
  const std::string in = dir.File("cli.in");
  std::ofstream(in) << input;
  std::string command = ShellQuote(FABRIKON_CLI);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  const std::string out = dir.File("cli.out"), err = dir.File("cli.err");
  command += " <" + ShellQuote(in) + " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  const int status = std::system(command.c_str());
  CliResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

const char* const kGuard = "convert(char, convert(money, qxts), 2)=convert(char, convert(money,'";

}  // namespace

TEST_F(CliTest, InitDbRefusesAnExistingFileUnlessForced) {
  CliResult again = RunCli(dir_, {"init-db", db_});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_EQ(again.err.rfind("error 0x80004005: ", 0), 0u) << again.err;
  EXPECT_EQ(Value("select count(*) as n from om_productpo"), "3") << "the demo plant was overwritten";

  CliResult forced = RunCli(dir_, {"init-db", db_, "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_NE(forced.out.find("created"), std::string::npos);
  EXPECT_EQ(Value("select count(*) as n from om_productpo"), "0");

  EXPECT_EQ(RunCli(dir_, {"init-db"}).exitCode, 2);
  EXPECT_EQ(RunCli(dir_, {"init-db", db_, "--bogus"}).exitCode, 2);
}

TEST_F(CliTest, SqlPrintsHeaderRowsTabSeparatedNullAndTheCount) {
  CliResult r = Sql("select ccode, cverifier, dplandate from pp_productpo where id in (1,2) order by id");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "ccode\tcverifier\tdplandate\n"
            "SC000001\t李娜\t2024-03-06\n"
            "SC000002\tNULL\t2024-03-13\n"
            "records affected: -1\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, NumbersPrintInTheClassicTextForm) {
  EXPECT_EQ(Value("select fQuantity from om_podetails where SubID=1"), "67.2");
  EXPECT_EQ(Value("select fquantity from pp_pomain where mainid=1"), "30");
}

TEST_F(CliTest, SelectReportsMinusOneWhetherItFindsRowsOrNot) {
  EXPECT_EQ(Sql("select ccode from pp_productpo where id=999").out, "ccode\nrecords affected: -1\n");
  EXPECT_EQ(Sql("select ccode from pp_productpo where id='1'").out, "ccode\nSC000001\nrecords affected: -1\n");
}

TEST_F(CliTest, StaleRowVersionGuardAffectsNoRow) {
  const std::string qxts = Value("select qxts from pp_scdd_h where id=2");
  const std::string update = "UPDATE pp_productpo SET cverifier='李娜', dcheckdate='2024-03-14' WHERE " +
                             std::string(kGuard) + qxts + "'), 2) AND pp_productpo.id='2'";
  EXPECT_EQ(Sql(update).out, "records affected: 1\n");
  EXPECT_EQ(Sql(update).out, "records affected: 0\n") << "a stale version passed the guard";
  EXPECT_EQ(Value("select cverifier from pp_productpo where id=2"), "李娜");
}

TEST_F(CliTest, SkippedGuardedInsertReportsMinusOne) {
  const std::string insert = " IF NOT EXISTS (SELECT id FROM pp_productpo WHERE ccode='sc000001' or id='7')  "
                             "INSERT INTO pp_productpo(id,ccode,ddate) Values (7,'SC000001','2024-03-15')";
  EXPECT_EQ(Sql(insert).out, "records affected: -1\n");
  EXPECT_EQ(Value("select count(*) as n from pp_productpo where id=7"), "0");
  const std::string fresh = " IF NOT EXISTS (SELECT id FROM pp_productpo WHERE ccode='SC000007' or id='7')  "
                            "INSERT INTO pp_productpo(id,ccode,ddate) Values (7,'SC000007','2024-03-15')";
  EXPECT_EQ(Sql(fresh).out, "records affected: 1\n");
}

TEST_F(CliTest, StringConcatenationAndServerComparison) {
  EXPECT_EQ(Value("select ','+cast(17 as varchar)+','"), ",17,");
  EXPECT_EQ(Value("select case when 'A'='a ' then 1 else 0 end as r"), "1");
}

TEST_F(CliTest, SumOverTextFailsWithTheConversionError) {
  CliResult r = Sql("select sum(cinvname) as total from inventory");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("error 0x80040E07: ", 0), 0u) << r.err;
  EXPECT_EQ(r.out.find("records affected"), std::string::npos);
}

TEST_F(CliTest, BatchPrintsEveryResultAndCountsItsFirstStatement) {
  CliResult r = Sql("update pp_productpo set cmemo='加急' where id<3 "
                    "select ccode from pp_productpo where cmemo='加急' order by ccode "
                    "select count(*) as n from pp_pomain where id=1");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "ccode\nSC000001\nSC000002\nn\n2\nrecords affected: 2\n");
}

TEST_F(CliTest, BatchThatDoesNotCompileRunsNothing) {
  CliResult r = Sql("update pp_productpo set cmemo='x' where id=1 update pp_productpo set cmemo=,, where id=2");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("error 0x80040E14: ", 0), 0u) << r.err;
  EXPECT_EQ(Value("select cmemo from pp_productpo where id=1"), "NULL");
}

TEST_F(CliTest, EmptyTextAndMissingDatabaseAreErrors) {
  CliResult empty = Sql("  ");
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_EQ(empty.err.rfind("error 0x80040E0C: ", 0), 0u) << empty.err;

  const std::string missing = dir_.File("nowhere.db");
  CliResult r = RunCli(dir_, {"sql", missing, "select 1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("error 0x", 0), 0u);
  EXPECT_FALSE(fs::exists(missing)) << "a typo created an empty database";
}

// How the command line answers a person who got it wrong: usage errors exit
// 2 with a message on standard error, --help exits 0 with the usage on
// standard output, and a database that cannot be made is named.
TEST_F(CliTest, UsageErrorsExitTwoHelpExitsZero) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string outHas, errHas;
  };
  const std::string unmakeable = dir_.File("no/such/dir/plant.db");
  const Case cases[] = {
      {{"--help"}, 0, "usage: fabrikon COMMAND", ""},
      {{"shell", "--help"}, 0, "shell DB", ""},
      {{"init-db", "--help"}, 0, "init-db DB", ""},
      {{}, 2, "", "usage: fabrikon COMMAND"},
      {{"frobnicate"}, 2, "", "unknown command: frobnicate"},
      {{"init-db"}, 2, "", "no database file given"},
      {{"init-db", "a.db", "b.db"}, 2, "", "one database at a time (b.db)"},
      {{"sql", db_}, 2, "", "usage: fabrikon sql"},
      {{"shell"}, 2, "", "DB"},
      {{"shell", db_, "--date", "someday"}, 2, "", "--date is not a date: someday"},
      {{"shell", db_, "extra"}, 2, "", ""},
      {{"init-db", unmakeable}, 1, "", unmakeable},
      {{"list"}, 2, "", "DB is required"},
      {{"list", db_}, 2, "", "CARD is required"},
      {{"list", db_, "pp25", "--bogus"}, 2, "", "--bogus"},
      {{"list", db_, "pp25", "--size"}, 2, "", "--size"},
      {{"list", db_, "pp25", "--size", "abc"}, 2, "", "--size takes a number of rows from 1 to 2147483647, or 0"},
      {{"list", db_, "pp25", "--size", "-1"}, 2, "", "or 0 for every row: -1"},
      {{"list", db_, "pp25", "--size", "2.5"}, 2, "", "or 0 for every row: 2.5"},
      {{"list", db_, "pp25", "--size", "99999999999"}, 2, "", "or 0 for every row: 99999999999"},
      {{"list", db_, "pp25", "--page", "2"}, 2, "", "--page needs --size"},
      {{"list", db_, "pp25", "--page", "x", "--size", "2"}, 2, "", "--page takes a whole page number"},
      {{"list", db_, "pp25", "--size", "2", "--help"}, 0, "usage: fabrikon list DB CARD", ""},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " " + arg;
    CliResult r = RunCli(dir_, c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << line << "\n" << r.err;
    EXPECT_NE(r.out.find(c.outHas), std::string::npos) << line << "\n" << r.out;
    EXPECT_NE(r.err.find(c.errHas), std::string::npos) << line << "\n" << r.err;
    if (c.exitCode == 2 && !c.args.empty() && c.args[0] == "list") {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << line << ": one line, not\n" << r.err;
    }
  }
}

// `fabrikon COMMAND --help` names every argument and option of the command,
// each with what it does.
TEST_F(CliTest, HelpOfEachCommandDescribesItsOptions) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
      {"init-db", {"DB", "--demo", "--force"}},
      {"sql", {"DB", "TEXT"}},
      {"demo", {"DB", "--force"}},
      {"shell", {"DB", "--user ID", "--name NAME", "--date YYYY-MM-DD"}},
      {"list", {"DB", "CARD", "--where TEXT", "--page N", "--size N", "--select TEXT", "--sum TEXT", "--order TEXT"}},
  };
  for (const auto& [command, options] : commands) {
    CliResult r = RunCli(dir_, {command, "--help"});
    EXPECT_EQ(r.exitCode, 0) << command;
    EXPECT_EQ(r.out.rfind("usage: fabrikon " + command, 0), 0u) << r.out;
    for (const std::string& option : options) {
      const size_t at = r.out.find("\n  " + option + " ");
      ASSERT_NE(at, std::string::npos) << command << " --help lacks " << option << ":\n" << r.out;
      const size_t end = r.out.find('\n', at + 1);
      const std::string description = r.out.substr(at + 3 + option.size(), end - at - 3 - option.size());
      EXPECT_NE(description.find_first_not_of(' '), std::string::npos) << command << " " << option << " has no description";
    }
  }
  const CliResult list = RunCli(dir_, {"list", "--help"});
  EXPECT_NE(list.out.find("0: every row"), std::string::npos) << list.out;
}

// `fabrikon --help` lists every card number with its class, and the class is
// the one the façade makes for the card (the shell's init says which).
TEST_F(CliTest, HelpListsTheCardNumbersWithTheirClasses) {
  const CliResult help = RunCli(dir_, {"--help"});
  ASSERT_EQ(help.exitCode, 0);
  const size_t cards = help.out.find("card numbers");
  ASSERT_NE(cards, std::string::npos) << help.out;
  std::istringstream lines(help.out.substr(help.out.find('\n', cards) + 1));
  std::vector<std::pair<std::string, std::string>> listed;
  std::string script, line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string card, className;
    words >> card >> className;
    listed.emplace_back(card, className == "(none)" ? "" : className);
    script += "init " + card + "\n";
  }
  ASSERT_EQ(listed.size(), 14u) << help.out;
  const CliResult shell = RunCliWithInput(dir_, {"shell", db_}, script);
  ASSERT_EQ(shell.exitCode, 0) << shell.err;
  for (const auto& [card, className] : listed) {
    const std::string answer = "> init " + card + "\n=> false\nclass: \"" + className + "\"\n";
    EXPECT_NE(shell.out.find(answer), std::string::npos) << card << " " << className << ":\n" << shell.out;
  }
}

// The DB argument of sql, list and shell: a file name, "Data Source=FILE"
// (quoted or not, with Mode=Read or not) or an ODBC connection string all
// reach the same database; Mode=Read refuses writes. init-db takes
// "Data Source=FILE" too and refuses to create anything read-only.
TEST_F(CliTest, EveryCommandTakesTheDatabaseAsAFileOrAConnectionString) {
  const std::string odbc = fabrikon::testsupport::OdbcConnectionString(db_);
  struct Form {
    std::string db;
    bool readOnly;
  };
  const std::vector<Form> forms = {
      {db_, false},
      {"Data Source=" + db_, false},
      {"Data Source=\"" + db_ + "\"", false},
      {"Data Source=" + db_ + ";Mode=Read", true},
      {"Data Source=" + db_ + "; mode = read", true},
      {odbc, false},
  };
  const CliResult bareList = RunCli(dir_, {"list", db_, "om01", "--size", "2"});
  ASSERT_EQ(bareList.exitCode, 0) << bareList.err;
  ASSERT_NE(bareList.out.find("page 1 of 2, 3 rows"), std::string::npos) << bareList.out;
  for (const Form& form : forms) {
    SCOPED_TRACE(form.db);
    CliResult sql = RunCli(dir_, {"sql", form.db, "select count(*) as n from om_productpo"});
    EXPECT_EQ(sql.exitCode, 0) << sql.err;
    EXPECT_EQ(sql.out, "n\n3\nrecords affected: -1\n");
    CliResult list = RunCli(dir_, {"list", form.db, "om01", "--size", "2"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, bareList.out);
    CliResult shell = RunCliWithInput(dir_, {"shell", form.db}, "query select ccode from om_productpo\n");
    EXPECT_EQ(shell.exitCode, 0) << shell.err;
    EXPECT_EQ(shell.out,
              "> query select ccode from om_productpo\n=> 3\n  ccode=\"WW000001\"\n  ccode=\"WW000002\"\n"
              "  ccode=\"WW000003\"\n");
    CliResult write = RunCli(dir_, {"sql", form.db, "update AccInformation set cValue='4' where cName='x'"});
    EXPECT_EQ(write.exitCode, form.readOnly ? 1 : 0) << write.err;
    if (form.readOnly) {
      EXPECT_NE(write.err.find("read-only"), std::string::npos) << write.err;
    }
  }
  for (const char* sidecar : {"-wal", "-shm"}) EXPECT_FALSE(fs::exists(db_ + sidecar)) << sidecar;

  struct Create {
    std::string argument;
    std::string file;
    int exitCode;
  };
  const std::string made = dir_.File("made.db"), refused = dir_.File("refused.db");
  const std::vector<Create> creates = {
      {"Data Source=" + made, made, 0},
      {"Data Source=" + refused + ";Mode=Read", refused, 2},
      {fabrikon::testsupport::OdbcConnectionString(refused), refused, 2},
  };
  for (const Create& c : creates) {
    CliResult r = RunCli(dir_, {"init-db", c.argument});
    EXPECT_EQ(r.exitCode, c.exitCode) << c.argument << ": " << r.err;
    EXPECT_EQ(fs::exists(c.file), c.exitCode == 0) << c.argument;
    if (c.exitCode == 0) {
      EXPECT_EQ(r.out.rfind("created " + c.file + " (schema version", 0), 0u) << r.out;
    }
  }

  const std::string missing = dir_.File("missing.db");
  for (const std::string command : {"sql", "list", "shell"}) {
    std::vector<std::string> args = {command, "Data Source=" + missing + ";Mode=Read"};
    if (command == "sql") args.push_back("select 1");
    if (command == "list") args.push_back("om01");
    CliResult r = RunCliWithInput(dir_, args, "");
    EXPECT_EQ(r.exitCode, 1) << command;
    EXPECT_NE(r.err.find(missing), std::string::npos) << command << ": " << r.err;
    EXPECT_EQ(r.err.find("Data Source"), std::string::npos) << command << ": " << r.err;
    EXPECT_FALSE(fs::exists(missing)) << command;
  }
}

// The totals row's computed columns have no name of their own (as on SQL
// Server); list and the shell call them after their item of the sum list.
TEST_F(CliTest, UnnamedTotalsAreCalledAfterTheirSumItem) {
  const CliResult list =
      RunCli(dir_, {"list", db_, "om01", "--select", "ccode", "--sum", "count(*), max(ccode)", "--size", "2"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("count(*)  max(ccode)"), std::string::npos) << list.out;
  const CliResult shell = RunCliWithInput(
      dir_, {"shell", db_}, "init om01\ncolumns select=ccode sum=\"count(*), max(ccode)\" order=ccode\nlist\n");
  ASSERT_EQ(shell.exitCode, 0) << shell.err;
  EXPECT_NE(shell.out.find("sum: 1\n  count(*)=\"3\" max(ccode)=\"WW000003\""), std::string::npos) << shell.out;
}
