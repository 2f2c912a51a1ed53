// Databases for tests: unique temporary paths, removal with the WAL side
// files, and per-test copies of one demo database built once per program
// (building the demo plant is the slow part, copying a file is not). In the
// PostgreSQL runs (FABRIKON_TEST_BACKEND=pg) the demo database is a template
// database on the tests' server and each copy a database made from it with
// CREATE DATABASE ... TEMPLATE; a copy's Path() is then its URI.
#pragma once
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <iostream>
#include <string>

#include "data/HostDatabase.h"
#include "fabrikon/Connection.h"
#include "support/PgServer.h"
#include "support/TestConnection.h"

namespace fabrikon::testsupport {

inline std::string TempPath(const std::string& stem) {
  static std::atomic<int> counter{0};
  return (std::filesystem::temp_directory_path() /
          ("fabrikon_test_" + stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".db"))
      .string();
}

inline void RemoveDatabase(const std::string& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + suffix, ignored);
}

// The demo PostgreSQL database, made once per test program and dropped at its end.
struct PgDemoTemplate {
  PgDemoTemplate() : name(PgDatabaseName("template")), uri(CreatePgDatabase(name)) {
    CreateHostDatabase(uri, true, true);
  }
  ~PgDemoTemplate() {
    const std::string error = DropPgDatabase(name);
    if (!error.empty()) std::cerr << "cannot drop " << name << ": " << error;
  }
  std::string name;
  std::string uri;
};

inline const PgDemoTemplate& PgDemo() {
  static const PgDemoTemplate demo;
  return demo;
}

// The demo database, created once per test program and removed at its end:
// its file, or its URI in the PostgreSQL runs.
inline const std::string& DemoTemplate() {
  if (TestsUsePg()) return PgDemo().uri;
  struct Template {
    Template() : path(TempPath("template")) { HostDatabase::Create(path, true, true); }
    ~Template() { RemoveDatabase(path); }
    std::string path;
  };
  static const Template demo;
  return demo.path;
}

// A database of the test's own: a copy of the demo database.
class DemoDatabase {
 public:
  DemoDatabase() {
    if (TestsUsePg()) {
      pgName_ = PgDatabaseName("db");
      path_ = CreatePgDatabase(pgName_, PgDemo().name);
      return;
    }
    path_ = TempPath("db");
    for (const char* suffix : {"", "-wal"}) {
      if (std::filesystem::exists(DemoTemplate() + suffix)) {
        std::filesystem::copy_file(DemoTemplate() + suffix, path_ + suffix,
                                   std::filesystem::copy_options::overwrite_existing);
      }
    }
  }
  ~DemoDatabase() {
    if (pgName_.empty()) {
      RemoveDatabase(path_);
    } else if (const std::string error = DropPgDatabase(pgName_); !error.empty()) {
      std::cerr << "cannot drop " << pgName_ << ": " << error;
    }
  }
  DemoDatabase(const DemoDatabase&) = delete;
  DemoDatabase& operator=(const DemoDatabase&) = delete;
  // The database file, or the database's URI in the PostgreSQL runs.
  const std::string& Path() const { return path_; }
  // The embedded backend, the ODBC one when the suite runs through ODBC, or PostgreSQL.
  std::string ConnectionString() const { return TestConnectionString(path_); }

 private:
  std::string path_;
  std::string pgName_;  // the PostgreSQL database's name ("" for a file)
};

}  // namespace fabrikon::testsupport
