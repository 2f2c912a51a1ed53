// ListBench: one page of a list screen over 100,000 vouchers. A database of
// 100,000 forecasts with one line each is listed through
// clsVoucherCO::GetVchListData in paged mode (copy of the filtered list into
// the numbered temporary table, its index, the page keys, the page and the
// totals of the whole list) and compared with its floor: the same steps in
// raw SQL on the same database through SQLite's own API (on a connection
// that registers the schema's collation). The two are run
// alternately; the medians give the ratio, printed last for scripts as
// "ratio list-100k MEASURED TARGET".
//
//   build/…/ListBench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "support/DemoDatabase.h"

namespace {

using namespace fabrikon;
using Clock = std::chrono::steady_clock;

constexpr int kVouchers = 100000;
constexpr long kPageSize = 20;
constexpr long kPage = 2500;
constexpr double kTarget = 1.5;

// A fresh database with kVouchers forecasts of one line each.
std::string BuildDatabase() {
  const std::string path = testsupport::TempPath("listbench");
  HostDatabase::Create(path, false, true);
  auto conn = SqliteConnection::Connect(HostDatabase::ConnectionStringFor(path));
  conn->ExecuteNative(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kVouchers) +
      ") INSERT INTO PP_ForecastMain (cFCID, dplandate, cplanperson, cppname, bMRP, cdepcode) "
      "SELECT printf('%010d', i), '2024-03-01 00:00:00', 'lina', '李娜', i % 2, 'D05' FROM n;"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kVouchers) +
      ") INSERT INTO pp_forecastdetail (cfcid, autoid, cinvcode, imqty, drequiredate, drequireenddate) "
      "SELECT printf('%010d', i), i, 'P100', i % 50 + 1, '2024-04-01 00:00:00', '2024-04-30 00:00:00' FROM n;");
  return path;
}

double Ms(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The library's paged list call.
double LibraryPage(clsVoucherCO& co, const ColumnSetPtr& columns) {
  const auto start = Clock::now();
  RecordsetPtr list, sum;
  std::string errMsg;
  long recordCount = 0, pageCount = 0;
  if (!co.GetVchListData(columns, list, sum, "", errMsg, false, recordCount, kPageSize, pageCount,
                         kPage) ||
      list->RecordCount() != kPageSize) {
    std::fprintf(stderr, "list failed: %s\n", errMsg.c_str());
    std::exit(1);
  }
  return Ms(start);
}

void Run(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "floor failed: %s\n", error ? error : "?");
    std::exit(1);
  }
}

int CountRows(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
  int rows = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) ++rows;
  sqlite3_finalize(statement);
  return rows;
}

// The same steps in raw SQL: numbered copy, index, count, page, totals.
double FloorPage(sqlite3* db) {
  const auto start = Clock::now();
  Run(db, "DROP TABLE IF EXISTS temp.TMPQX_floor");
  Run(db,
      "CREATE TEMP TABLE TMPQX_floor AS SELECT row_number() OVER (ORDER BY cfcid, autoid) AS IDOrder, cfcid, "
      "dplandate, cinvcode, imqty FROM v_pp01_list ORDER BY cfcid, autoid");
  Run(db, "CREATE INDEX temp.IX_IDOrder_floor ON TMPQX_floor(IDOrder)");
  CountRows(db, "SELECT IDOrder FROM TMPQX_floor ORDER BY IDOrder");
  const std::string first = std::to_string((kPage - 1) * kPageSize + 1);
  const std::string last = std::to_string(kPage * kPageSize);
  CountRows(db, ("SELECT cfcid, dplandate, cinvcode, imqty FROM TMPQX_floor WHERE IDOrder >= " + first +
                 " AND IDOrder <= " + last + " ORDER BY IDOrder").c_str());
  CountRows(db, "SELECT sum(imqty) FROM TMPQX_floor");
  return Ms(start);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::vector<double> g_library, g_floor;

void BM_PagedList100k(benchmark::State& state) {
  static const std::string path = BuildDatabase();
  ConnectionPtr conn = OpenConnection(HostDatabase::ConnectionStringFor(path));
  clsVoucherCO co;
  co.Init(std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "李娜", "lina"), conn, "pp01");
  auto columns = std::make_shared<EmbeddedColumnSet>("cfcid,dplandate,cinvcode,imqty", "sum(imqty) AS imqty",
                                                     "cfcid,autoid");
  // The floor's own connection, with the collation and functions the schema needs.
  auto floorConn = SqliteConnection::Connect(HostDatabase::ConnectionStringFor(path));
  sqlite3* raw = floorConn->Handle();
  for (auto _ : state) {
    g_library.push_back(LibraryPage(co, columns));
    g_floor.push_back(FloorPage(raw));
  }
  state.counters["library_ms"] = Median(g_library);
  state.counters["floor_ms"] = Median(g_floor);
  state.counters["ratio"] = Median(g_library) / Median(g_floor);
}
BENCHMARK(BM_PagedList100k)->Unit(benchmark::kMillisecond)->Iterations(9);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!g_library.empty()) std::printf("ratio list-100k %.2f %g\n", Median(g_library) / Median(g_floor), kTarget);
  return 0;
}
