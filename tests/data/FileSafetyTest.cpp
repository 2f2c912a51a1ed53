// Opening database files: a missing file is refused (never created by
// accident), files that are not host databases are left byte for byte as
// they were, and files the library must not write are opened for reading.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "TempDatabase.h"
#include "data/HostDatabase.h"
#include "fabrikon/Connection.h"
#include "schema/SchemaTestSupport.h"

namespace fabrikon {
namespace {

namespace fs = std::filesystem;
using testing::ErrorNumberOf;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Native(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

std::string ErrorText(const std::function<void()>& call) {
  try {
    call();
  } catch (const ComError& e) {
    return e.Description();
  }
  return "<no error>";
}

TEST(FileSafetyTest, MissingFilesAreRefusedNamingThePathAndNotCreated) {
  testing::TempDatabase db;
  const std::string missing = db.Path() + ".absent";
  for (const std::string& text : {"Data Source=" + missing, missing, "Data Source=" + missing + ";Mode=Read"}) {
    EXPECT_NE(ErrorText([&] { OpenConnection(text); }).find(missing), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(missing)) << text;
  }
  // A server's connection string names no file here.
  const std::string server = "Provider=X;Data Source=fabrikon_no_such_server;User ID=sa";
  EXPECT_EQ(ErrorNumberOf([&] { OpenConnection(server); }), ErrorNumber::E_FAIL_);
  EXPECT_FALSE(fs::exists("fabrikon_no_such_server"));
}

TEST(FileSafetyTest, FilesThatAreNotHostDatabasesAreNotWritten) {
  testing::TempDatabase db;
  const std::string empty = db.Path() + ".empty";
  std::ofstream(empty).close();
  const std::string foreign = db.Path() + ".foreign";
  Native(foreign, "CREATE TABLE customers (id int); INSERT INTO customers VALUES (7);");
  const std::string foreignBefore = FileBytes(foreign);
  {
    ConnectionPtr a = OpenConnection("Data Source=" + empty);
    EXPECT_EQ(a->Open("select 1 as one")->Fields(0).Value().ToInt(), 1);
    ConnectionPtr b = OpenConnection("Data Source=" + foreign);
    EXPECT_EQ(b->Open("select id from customers")->Fields(0).Value().ToInt(), 7);
  }
  EXPECT_EQ(fs::file_size(empty), 0u);
  EXPECT_EQ(FileBytes(foreign), foreignBefore);  // still a rollback-journal file
  for (const char* suffix : {".empty", ".foreign"}) fs::remove(db.Path() + suffix);
}

// Other programs' files whatever their user_version, and files that look
// like ours but fail their upgrade, stay byte for byte as they were (no WAL
// switch, no side file) through every way of opening them.
TEST(FileSafetyTest, ForeignFilesStayByteForByteThroughEveryOpenPath) {
  schema_test::ScratchDir dir;
  struct Content {
    std::string name;
    std::string sql;  // native SQL that makes the file ("" leaves it empty)
    std::vector<int> versions;
  };
  const std::vector<Content> contents = {
      {"empty", "", {0}},
      {"customers", "CREATE TABLE customers (id int); INSERT INTO customers VALUES (7);", {0, 1, 2, 3, 4, 5}},
      {"vouchers only", "CREATE TABLE Vouchers (CardNumber text, x int); INSERT INTO Vouchers VALUES ('pp25', 1);",
       {0, 1, 2, 3, 4, 5}},
      {"settings and vouchers", "CREATE TABLE Vouchers (x int); CREATE TABLE FabrikonSettings (cName text);",
       {1, 2, 3, 4, 5}},
      // The host tables of the first script, but nothing the later ones need:
      // the upgrade fails and must leave nothing behind.
      {"failing upgrade", "CREATE TABLE Vouchers (x int); CREATE TABLE FabrikonSettings (cName text); "
                          "CREATE TABLE __dbts (v INTEGER NOT NULL);",
       {1, 2, 3, 4}},
  };
  const std::vector<std::function<void(const std::string&)>> opens = {
      [](const std::string& f) { OpenConnection("Data Source=" + f); },
      [](const std::string& f) { OpenConnection(f); },
      [](const std::string& f) { OpenConnection("Data Source=" + f + ";Mode=Read"); },
      [&](const std::string& f) { schema_test::RunCli(dir, {"sql", f, "select 1 as one"}); },
      [&](const std::string& f) { schema_test::RunCli(dir, {"sql", "Data Source=" + f, "select 1 as one"}); },
      [&](const std::string& f) { schema_test::RunCli(dir, {"list", f, "pp25", "--select", "x", "--sum", "x"}); },
  };
  for (const Content& content : contents) {
    for (int version : content.versions) {
      const std::string file = dir.File("foreign.db");
      std::ofstream(file).close();
      if (!content.sql.empty()) Native(file, content.sql + "PRAGMA user_version=" + std::to_string(version) + ";");
      const std::string before = FileBytes(file);
      for (size_t i = 0; i < opens.size(); ++i) {
        const std::string what = content.name + ", user_version " + std::to_string(version) + ", open " +
                                 std::to_string(i);
        bool refused = false;
        try {
          opens[i](file);
        } catch (const ComError&) {
          refused = true;
        }
        // The failing upgrade is refused (a read-only open does not upgrade).
        if (i < 2) {
          EXPECT_EQ(refused, content.name == "failing upgrade") << what;
        }
        EXPECT_TRUE(FileBytes(file) == before) << what << ": the file changed";
        for (const char* side : {"-wal", "-shm", "-journal"}) EXPECT_FALSE(fs::exists(file + side)) << what << side;
      }
      fs::remove(file);
    }
  }
}

TEST(FileSafetyTest, NewerAndReadOnlyDatabasesAreReadButNeverWritten) {
  testing::TempDatabase db;
  const std::string path = db.Path() + ".host";
  CreateHostDatabase(path);
  const std::string newer = std::to_string(HostDatabase::CurrentVersion() + 1);
  const std::string current = std::to_string(HostDatabase::CurrentVersion());
  struct Case {
    std::string extra;
    bool makeNewer;
    std::vector<std::string> named;  // what the refusal names
  };
  const std::vector<Case> cases = {
      {";Mode=Read", false, {path, "read-only"}},
      {"", true, {path, "version " + newer, "version " + current}},
  };
  for (const Case& c : cases) {
    if (c.makeNewer) Native(path, "PRAGMA user_version=" + newer);
    const std::string before = FileBytes(path);
    ConnectionPtr conn = OpenConnection("Data Source=" + path + c.extra);
    EXPECT_EQ(conn->Open("select count(*) from Vouchers")->Fields(0).Value().ToInt(), 14) << c.extra;
    for (const auto& write : std::vector<std::function<void()>>{
             [&] { conn->Execute("update AccInformation set cValue = '3'"); }, [&] { conn->BeginTrans(); }}) {
      const std::string message = ErrorText(write);
      for (const std::string& part : c.named) EXPECT_NE(message.find(part), std::string::npos) << message;
    }
    EXPECT_FALSE(conn->InTransaction());
    conn.reset();
    EXPECT_EQ(FileBytes(path), before) << c.extra;
  }
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
}

TEST(FileSafetyTest, CreateHostDatabaseMakesAFileThatOpens) {
  testing::TempDatabase db;
  const std::string path = db.Path() + ".plant";
  CreateHostDatabase(path, true);
  EXPECT_NE(ErrorText([&] { CreateHostDatabase(path); }).find("already exists"), std::string::npos);
  {
    ConnectionPtr conn = OpenConnection("Data Source=" + path);
    EXPECT_GT(conn->Open("select count(*) from pp_productpo")->Fields(0).Value().ToInt(), 0);
  }
  EXPECT_EQ(FileBytes(path).at(18), 2);  // the header's WAL mark
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
}

}  // namespace
}  // namespace fabrikon
