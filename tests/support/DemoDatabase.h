// Database files for tests: unique temporary paths, removal with the WAL side
// files, and per-test copies of one demo database built once per program
// (building the demo plant is the slow part, copying a file is not).
#pragma once
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "data/HostDatabase.h"
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

// The demo database, created once per test program and removed at its end.
inline const std::string& DemoTemplate() {
  struct Template {
    Template() : path(TempPath("template")) { HostDatabase::Create(path, true, true); }
    ~Template() { RemoveDatabase(path); }
    std::string path;
  };
  static const Template demo;
  return demo.path;
}

// A database file of the test's own: a copy of the demo database.
class DemoDatabase {
 public:
  DemoDatabase() : path_(TempPath("db")) {
    for (const char* suffix : {"", "-wal"}) {
      if (std::filesystem::exists(DemoTemplate() + suffix)) {
        std::filesystem::copy_file(DemoTemplate() + suffix, path_ + suffix,
                                   std::filesystem::copy_options::overwrite_existing);
      }
    }
  }
  ~DemoDatabase() { RemoveDatabase(path_); }
  DemoDatabase(const DemoDatabase&) = delete;
  DemoDatabase& operator=(const DemoDatabase&) = delete;
  const std::string& Path() const { return path_; }
  // The embedded backend, or the ODBC one when the suite runs through ODBC.
  std::string ConnectionString() const { return TestConnectionString(path_); }

 private:
  std::string path_;
};

}  // namespace fabrikon::testsupport
