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
