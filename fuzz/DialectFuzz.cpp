// DialectFuzz: libFuzzer target for the T-SQL dialect. Each input is a batch:
// it is lexed, split and translated, every translated statement is compiled
// on the embedded engine, and the batch then runs as the embedded connection
// runs it (parameterised, compiled as a whole, first result read into a
// recordset and saved as a rowset document) inside a transaction that is
// rolled back, on a host database with the demo plant. A ComError is the
// expected answer to bad text; a crash, a sanitizer report, any other
// exception or a hang is a finding.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"
#include "data/dialect/TSqlDialect.h"
#include "fabrikon/ComError.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/Recordset.h"

namespace {

using fabrikon::ComError;
using fabrikon::SqliteConnection;

// Engine steps one input may take (counted in units of kStepsPerTick): a
// recursive or cross-joined query must end with an error, well within the
// fuzzer's one-second timeout.
constexpr int kStepsPerTick = 1000;
constexpr int kMaxTicks = 200;

struct Host {
  std::string path;
  std::shared_ptr<SqliteConnection> connection;
  int ticks = 0;
};

Host* host = nullptr;

void RemoveHost() {
  if (host == nullptr) return;
  host->connection.reset();
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(host->path + suffix, ignored);
}

int CountTicks(void*) { return ++host->ticks > kMaxTicks ? 1 : 0; }

// Compiles (never runs) the plain translation of every statement.
void CompileTranslation(sqlite3* db, const std::string& tsql) {
  std::vector<fabrikon::dialect::TranslatedStatement> statements;
  try {
    statements = fabrikon::dialect::TranslateBatch(tsql);
  } catch (const ComError&) {
    return;
  }
  for (const auto& statement : statements) {
    std::vector<std::string> texts = statement.sql;
    if (!statement.condition.empty()) texts.push_back(statement.condition);
    for (const std::string& sql : texts) {
      sqlite3_stmt* compiled = nullptr;
      sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &compiled, nullptr);
      sqlite3_finalize(compiled);
    }
  }
}

// Reads every value of the first result and saves it as a rowset document,
// which must load again.
void ReadResult(const fabrikon::RecordsetPtr& rows) {
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext())
    for (size_t i = 0; i < rows->FieldCount(); ++i) (void)rows->Fields(i).Value();
  auto document = fabrikon::DOMDocument::Create();
  rows->Save(document);
  const std::string text = document->xml();
  if (!fabrikon::DOMDocument::Create()->loadXML(text)) {
    std::fprintf(stderr, "a saved result does not load again: %s\n", text.c_str());
    std::abort();
  }
}

// Runs the batch as the connection does, then undoes whatever it did.
void RunRolledBack(SqliteConnection& connection, const std::string& tsql) {
  host->ticks = 0;
  connection.BeginTrans();
  try {
    fabrikon::RecordsetPtr rows = connection.Open(tsql);
    if (rows) ReadResult(rows);
  } catch (const ComError&) {
  }
  if (connection.InTransaction()) connection.RollbackTrans();
  // A rolled-back CREATE or DROP leaves compiled statements and column
  // metadata of the schema that was: start every input from the same state.
  connection.ExecuteNative("");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  host = new Host;
  host->path = (std::filesystem::temp_directory_path() / ("fabrikon_fuzz_" + std::to_string(::getpid()) + ".db")).string();
  fabrikon::HostDatabase::Create(host->path, true, true);
  host->connection = SqliteConnection::Connect(host->path);
  sqlite3_progress_handler(host->connection->Handle(), kStepsPerTick, CountTicks, nullptr);
  std::atexit(RemoveHost);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string tsql(reinterpret_cast<const char*>(data), size);
  SqliteConnection& connection = *host->connection;
  host->ticks = 0;
  CompileTranslation(connection.Handle(), tsql);
  RunRolledBack(connection, tsql);
  return 0;
}
