// ListBench: one page of a list screen over 100,000 and over 1,000,000
// vouchers. A database of forecasts with one line each is listed through
// clsVoucherCO::GetVchListData in paged mode (copy of the filtered list into
// the numbered temporary table, its index, the page keys, the page and the
// totals of the whole list) and compared with its floor, the ordinary way on
// a plain SQLite connection: one query for the count and the totals of the
// whole list and one for the page (ORDER BY, LIMIT and OFFSET), both prepared
// once. Library and floor are run alternately and timed in processor time;
// after every round both must have given the same count, the same page rows
// (a checksum of their values) and the same totals, else the program stops
// with a failure.
//
// The databases are made with plain SQL and kept in the bench build folder
// (listbench-N.db); they are made again when a schema script is newer.
//
//   build/…/ListBench                    list-100k, list-1m
//   build/…/ListBench --lists N [V]      N library lists and nothing else (to profile; V vouchers, 100,000)
#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "data/HostDatabase.h"
#include "data/dialect/TSqlDialect.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedColumnSet.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"

namespace {

using namespace fabrikon;

constexpr long kPageSize = 20;

[[noreturn]] void Fail(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::exit(1);
}

sqlite3* OpenPlain(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    Fail("list database: " + std::string(sqlite3_errmsg(db)));
  dialect::RegisterFunctions(db);  // the TSQL collation and the functions the views call
  return db;
}

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
    Fail("list database: " + std::string(error ? error : "?"));
}

// The database of `vouchers` forecasts with one line each, made once.
std::string ForecastDatabase(int vouchers) {
  return bench::CachedDatabase("listbench-" + std::to_string(vouchers) + ".db", [&](const std::string& path) {
    HostDatabase::Create(path, false, true);
    sqlite3* db = OpenPlain(path);
    const std::string n = std::to_string(vouchers);
    Exec(db, "BEGIN");
    Exec(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + n +
                 ") INSERT INTO PP_ForecastMain (cFCID, dplandate, cplanperson, cppname, bMRP, cdepcode) "
                 "SELECT printf('%010d', i), '2024-03-01 00:00:00', 'lina', '李娜', i % 2, 'D05' FROM n");
    Exec(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + n +
                 ") INSERT INTO pp_forecastdetail (cfcid, autoid, cinvcode, imqty, drequiredate, drequireenddate) "
                 "SELECT printf('%010d', i), i, 'P100', i % 50 + 1, '2024-04-01 00:00:00', '2024-04-30 00:00:00' "
                 "FROM n");
    Exec(db, "COMMIT");
    sqlite3_close(db);
  });
}

// What a page shows: the count and totals of the whole list and a checksum
// of the page's values.
struct Page {
  long count = 0;
  long rows = 0;
  double total = 0;
  uint64_t checksum = 1469598103934665603ULL;  // FNV-1a
  void Add(const std::string& value) {
    for (unsigned char c : value) checksum = (checksum ^ c) * 1099511628211ULL;
    checksum = (checksum ^ '|') * 1099511628211ULL;
  }
  bool operator==(const Page& other) const {
    return count == other.count && rows == other.rows && checksum == other.checksum &&
           std::fabs(total - other.total) < 1e-6;
  }
};

// Values in one spelling for both sides: numbers as numbers, dates by day.
std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

class LibraryList {
 public:
  LibraryList(const std::string& path, long page) : page_(page) {
    co_.Init(std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "李娜", "lina"),
             OpenConnection(HostDatabase::ConnectionStringFor(path)), "pp01");
  }
  void Run() {
    std::string errMsg;
    long pageCount = 0;
    sum_.reset();
    list_.reset();
    if (!co_.GetVchListData(columns_, list_, sum_, "", errMsg, false, count_, kPageSize, pageCount, page_))
      Fail("list failed: " + errMsg);
  }
  Page Shown() const {
    Page page;
    page.count = count_;
    for (list_->MoveFirst(); !list_->Eof(); list_->MoveNext()) {
      ++page.rows;
      page.Add(list_->Fields("cfcid").Value().ToText());
      page.Add(list_->Fields("dplandate").Value().ToText().substr(0, 10));
      page.Add(list_->Fields("cinvcode").Value().ToText());
      page.Add(Number(list_->Fields("imqty").Value().ToDouble()));
    }
    if (sum_ && !sum_->Eof()) page.total = sum_->Fields("imqty").Value().ToDouble();
    return page;
  }

 private:
  long page_;
  clsVoucherCO co_;
  ColumnSetPtr columns_ =
      std::make_shared<EmbeddedColumnSet>("cfcid,dplandate,cinvcode,imqty", "sum(imqty) AS imqty", "cfcid,autoid");
  RecordsetPtr list_, sum_;
  long count_ = 0;
};

// The ordinary way: count and totals, then the page, on prepared statements.
class FloorList {
 public:
  FloorList(const std::string& path, long page) : db_(OpenPlain(path)), offset_((page - 1) * kPageSize) {
    Prepare("SELECT count(*), sum(imqty) FROM v_pp01_list", &totals_);
    Prepare("SELECT cfcid, dplandate, cinvcode, imqty FROM v_pp01_list ORDER BY cfcid, autoid LIMIT ?1 OFFSET ?2",
            &page_);
  }
  ~FloorList() {
    sqlite3_finalize(totals_);
    sqlite3_finalize(page_);
    sqlite3_close(db_);
  }
  FloorList(const FloorList&) = delete;
  FloorList& operator=(const FloorList&) = delete;
  void Run() {
    shown_ = Page{};
    if (sqlite3_step(totals_) != SQLITE_ROW) Fail("floor totals: " + std::string(sqlite3_errmsg(db_)));
    shown_.count = static_cast<long>(sqlite3_column_int64(totals_, 0));
    shown_.total = sqlite3_column_double(totals_, 1);
    sqlite3_reset(totals_);
    sqlite3_bind_int64(page_, 1, kPageSize);
    sqlite3_bind_int64(page_, 2, offset_);
    int rc;
    while ((rc = sqlite3_step(page_)) == SQLITE_ROW) {
      ++shown_.rows;
      shown_.Add(Text(0));
      shown_.Add(Text(1).substr(0, 10));
      shown_.Add(Text(2));
      shown_.Add(Number(sqlite3_column_double(page_, 3)));
    }
    if (rc != SQLITE_DONE) Fail("floor page: " + std::string(sqlite3_errmsg(db_)));
    sqlite3_reset(page_);
  }
  const Page& Shown() const { return shown_; }

 private:
  void Prepare(const char* sql, sqlite3_stmt** statement) {
    if (sqlite3_prepare_v2(db_, sql, -1, statement, nullptr) != SQLITE_OK)
      Fail("floor statement: " + std::string(sqlite3_errmsg(db_)));
  }
  std::string Text(int column) const {
    const unsigned char* text = sqlite3_column_text(page_, column);
    return text == nullptr ? std::string() : reinterpret_cast<const char*>(text);
  }

  sqlite3* db_;
  long offset_;
  sqlite3_stmt* totals_ = nullptr;
  sqlite3_stmt* page_ = nullptr;
  Page shown_;
};

// The page in the middle of a list of `vouchers`.
bench::Measured ListRatio(int vouchers, int rounds) {
  const std::string path = ForecastDatabase(vouchers);
  const long page = vouchers / kPageSize / 2;
  LibraryList library(path, page);
  FloorList floor(path, page);
  const auto check = [&] {
    const Page a = library.Shown(), b = floor.Shown();
    if (a == b && a.rows == kPageSize && a.count == vouchers) return;
    Fail("list: library and floor differ (count " + std::to_string(a.count) + " and " + std::to_string(b.count) +
         ", page rows " + std::to_string(a.rows) + " and " + std::to_string(b.rows) + ", totals " + Number(a.total) +
         " and " + Number(b.total) + ", checksums " + std::to_string(a.checksum) + " and " +
         std::to_string(b.checksum) + ")");
  };
  library.Run();  // warm-up: the first list also learns the tables
  floor.Run();
  check();
  return bench::Alternate(
      rounds, 1, [&] { library.Run(); }, [&] { floor.Run(); }, {}, {}, check);
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "--lists") {
    const int vouchers = argc == 4 ? std::atoi(argv[3]) : 100000;
    LibraryList library(ForecastDatabase(vouchers), vouchers / kPageSize / 2);
    for (int i = std::atoi(argv[2]); i > 0; --i) library.Run();
    return 0;
  }
  bench::Report report;
  report.Add("list-100k", ListRatio(100000, 9), 2);
  report.Add("list-1m", ListRatio(1000000, 5), 2);
  return 0;
}
