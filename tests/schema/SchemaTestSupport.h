// Helpers of the host-database tests: a scratch directory per test, reading
// query results as text, and running the fabrikon command line.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"
#include "fabrikon/Connection.h"

namespace schema_test {

namespace fs = std::filesystem;

class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("fabrikon_schema_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

// Opens the file, making an empty one where there is none.
inline std::shared_ptr<fabrikon::SqliteConnection> Connect(const std::string& path) {
  return fabrikon::SqliteConnection::Connect(fabrikon::HostDatabase::ConnectionStringFor(path),
                                             fabrikon::SqliteConnection::Missing::Create);
}

// Every row of a query, each value as text ("NULL" for NULL).
inline std::vector<std::vector<std::string>> Rows(fabrikon::Connection& conn, const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  fabrikon::RecordsetPtr rs = conn.Open(sql);
  if (rs->RecordCount() == 0) return rows;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
    std::vector<std::string> row;
    for (size_t i = 0; i < rs->FieldCount(); ++i) {
      const fabrikon::Variant& value = rs->Fields(i).Value();
      row.push_back(value.IsNull() ? "NULL" : value.ToText());
    }
    rows.push_back(row);
  }
  return rows;
}

inline std::string Scalar(fabrikon::Connection& conn, const std::string& sql) {
  auto rows = Rows(conn, sql);
  return rows.empty() ? "<no row>" : rows.front().front();
}

// The column names of a table or view, as the database spells them.
inline std::vector<std::string> Columns(fabrikon::Connection& conn, const std::string& object) {
  fabrikon::RecordsetPtr rs = conn.Open("SELECT * FROM " + object + " WHERE 1=0");
  std::vector<std::string> names;
  for (size_t i = 0; i < rs->FieldCount(); ++i) names.push_back(rs->Info(i).name);
  return names;
}

// The schema version the file's header records (bytes 60..63, big-endian),
// read without opening a connection (which would upgrade the file).
inline int FileSchemaVersion(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char bytes[4] = {0, 0, 0, 0};
  in.seekg(60);
  in.read(reinterpret_cast<char*>(bytes), 4);
  return (bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') quoted += "'\\''";
    else quoted += c;
  }
  return quoted + "'";
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs the built fabrikon program with the arguments; output goes through
// files in the scratch directory.
inline CliResult RunCli(const ScratchDir& dir, const std::vector<std::string>& args) {
  std::string command = ShellQuote(FABRIKON_CLI);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  const std::string out = dir.File("cli.out"), err = dir.File("cli.err");
  command += " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  int status = std::system(command.c_str());
  CliResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

}  // namespace schema_test
