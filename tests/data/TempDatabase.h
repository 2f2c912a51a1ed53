// TempDatabase: a database file of its own for one test, in the temporary
// directory, removed (with its WAL files) when the test ends. The file starts
// as an empty database in WAL mode (version 0: no host schema).
#pragma once
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

namespace fabrikon::testing {

class TempDatabase {
 public:
  TempDatabase() {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("fabrikon_conn_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".db"))
                .string();
    Remove();
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~TempDatabase() { Remove(); }
  TempDatabase(const TempDatabase&) = delete;
  TempDatabase& operator=(const TempDatabase&) = delete;

  const std::string& Path() const { return path_; }
  std::string ConnectionString(const std::string& extra = "") const { return "Data Source=" + path_ + extra; }

 private:
  void Remove() const {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path_ + suffix, ignored);
  }
  std::string path_;
};

}  // namespace fabrikon::testing

#include "fabrikon/ComError.h"

namespace fabrikon::testing {

// The error number a call raises, 0 when it raises nothing.
template <class Call>
int32_t ErrorNumberOf(Call&& call) {
  try {
    call();
  } catch (const ComError& error) {
    return error.Number();
  }
  return 0;
}

}  // namespace fabrikon::testing
