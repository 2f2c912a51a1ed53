// NavigationBench: loading, moving and approving production orders against
// tables of 1,000, 100,000 and 1,000,000 orders, each path alternated with
// its floor: the same statements on the same views, prepared once, every
// column read. The table of 1,000,000 orders is made with plain SQL and kept
// in the bench build folder (navbench-1000000.db).
//
//   build/…/NavigationBench               load-1k, load-100k, load-1m, movenext-100k, confirm
//   build/…/NavigationBench --loads N [O]  N loads of random orders of O (1,000) and nothing else (to profile)
//   build/…/NavigationBench --moves N [O]  N moves to the next order of O (100,000) and nothing else
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"
#include "data/dialect/TSqlDialect.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

namespace {

using namespace fabrikon;

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
      std::fprintf(stderr, "floor statement: %s\n", sqlite3_errmsg(db));
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return stmt_; }
  Statement& Int(int i, int64_t v) {
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
  }
  Statement& Text(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // Steps to the end reading every column as text; the rows seen.
  int ReadAll() {
    int rows = 0;
    while (sqlite3_step(stmt_) == SQLITE_ROW) {
      ++rows;
      for (int c = 0; c < sqlite3_column_count(stmt_); ++c) benchmark::DoNotOptimize(sqlite3_column_text(stmt_, c));
    }
    sqlite3_reset(stmt_);
    return rows;
  }
  std::string FirstText() {
    std::string text;
    if (sqlite3_step(stmt_) == SQLITE_ROW && sqlite3_column_text(stmt_, 0) != nullptr)
      text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, 0));
    sqlite3_reset(stmt_);
    return text;
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// A schema-only database with `orders` production orders of one line each.
class OrdersDatabase {
 public:
  // The kept database of `orders` orders, made with plain SQL when missing.
  struct Kept {};
  OrdersDatabase(int orders, Kept) {
    const std::string file =
        bench::CachedDatabase("navbench-" + std::to_string(orders) + ".db", [&](const std::string& making) {
          HostDatabase::Create(making, /*bDemo*/ false, /*bForce*/ true);
          sqlite3* db = nullptr;
          sqlite3_open_v2(making.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
          dialect::RegisterFunctions(db);  // the TSQL collation of the indexed codes
          const std::string n = std::to_string(orders);
          const std::string sql =
              "BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + n +
              ") INSERT INTO pp_productpo(id,ccode,ddate,cmaker,dplandate,cdepcode) SELECT i, 'N' || (1000000 + i),"
              " '2024-03-11 00:00:00', 'bench', '2024-03-29 00:00:00', 'D01' FROM n;"
              " WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + n +
              ") INSERT INTO pp_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate) SELECT i, i, 'P' || (i % 50),"
              " 10, '2024-03-13 00:00:00', '2024-03-29 00:00:00' FROM n; COMMIT";
          char* error = nullptr;
          if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "orders database: %s\n", error ? error : "?");
            std::exit(1);
          }
          sqlite3_close(db);
        });
    conn_ = SqliteConnection::Connect(HostDatabase::ConnectionStringFor(file));
    file_ = file;
  }
  explicit OrdersDatabase(int orders) : path_(std::in_place, "fabrikon_navbench") {
    HostDatabase::Create(path_->Path(), /*bDemo*/ false, /*bForce*/ true);
    conn_ = SqliteConnection::Connect(HostDatabase::ConnectionStringFor(path_->Path()));
    file_ = path_->Path();
    sqlite3* db = conn_->Handle();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    Statement head(db, "INSERT INTO pp_productpo(id,ccode,ddate,cmaker,dplandate,cdepcode) VALUES (?,?,?,?,?,?)");
    Statement line(db, "INSERT INTO pp_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate) VALUES (?,?,?,?,?,?)");
    for (int id = 1; id <= orders; ++id) {
      head.Int(1, id).Text(2, "N" + std::to_string(1000000 + id)).Text(3, "2024-03-11 00:00:00").Text(4, "bench");
      head.Text(5, "2024-03-29 00:00:00").Text(6, "D01").ReadAll();
      line.Int(1, id).Int(2, id).Text(3, "P" + std::to_string(id % 50)).Int(4, 10);
      line.Text(5, "2024-03-13 00:00:00").Text(6, "2024-03-29 00:00:00").ReadAll();
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  const std::shared_ptr<SqliteConnection>& Conn() const { return conn_; }
  sqlite3* Handle() const { return conn_->Handle(); }
  const std::string& Path() const { return file_; }

 private:
  std::optional<bench::TempPath> path_;  // none for a kept database
  std::string file_;
  std::shared_ptr<SqliteConnection> conn_;
};

LoginInfoPtr BenchLogin() { return std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 11}, "Bench", "bench"); }

// What loading or moving to an order does on the database.
class FloorLoader {
 public:
  explicit FloorLoader(sqlite3* db)
      : atOrAfter_(db, "SELECT *,'' AS editprop FROM pp_scdd_h WHERE id >= ?1 ORDER BY id LIMIT 1"),
        after_(db, "SELECT *,'' AS editprop FROM pp_scdd_h WHERE id > ?1 ORDER BY id LIMIT 1"),
        body_(db, "SELECT *,'' AS editprop FROM pp_scdd_l WHERE id = ?1"),
        max_(db, "SELECT MAX(id) FROM pp_scdd_h"),
        min_(db, "SELECT MIN(id) FROM pp_scdd_h") {}
  void Load(int64_t id) { Finish(atOrAfter_.Int(1, id), id); }
  void Next() { Finish(after_.Int(1, current_), current_ + 1); }
  void At(int64_t id) { current_ = id; }

 private:
  void Finish(Statement& head, int64_t id) {
    head.ReadAll();
    body_.Int(1, id).ReadAll();
    max_.ReadAll();
    min_.ReadAll();
    current_ = id;
  }
  Statement atOrAfter_, after_, body_, max_, min_;
  int64_t current_ = 1;
};

// The library and the floor on one table of `orders` orders, the voucher
// loaded at the first.
struct Navigation {
  explicit Navigation(int orders) : db(orders), floor(db.Handle()) { Start(); }
  Navigation(int orders, OrdersDatabase::Kept kept) : db(orders, kept), floor(db.Handle()) { Start(); }
  void Start() {
    co.Init(BenchLogin(), db.Conn(), "pp25");
    co.GetVoucherData(form, "", Variant(1));
  }
  OrdersDatabase db;
  clsVoucherCO co;
  std::shared_ptr<EmbeddedVoucherForm> form = std::make_shared<EmbeddedVoucherForm>();
  FloorLoader floor;
};

bench::Measured LoadRatio(int orders, int rounds, bool kept = false) {
  const auto made = kept ? std::make_unique<Navigation>(orders, OrdersDatabase::Kept{})
                         : std::make_unique<Navigation>(orders);
  Navigation& n = *made;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(1, orders);
  return bench::Alternate(
      rounds, 20, [&] { n.co.GetVoucherData(n.form, "", Variant(pick(random))); },
      [&] { n.floor.Load(pick(random)); });
}

bench::Measured MoveNextRatio(int orders, int rounds) {
  Navigation n(orders);
  n.floor.At(orders / 2);
  return bench::Alternate(
      rounds, 20, [&] { n.co.MoveNext(n.form); }, [&] { n.floor.Next(); });
}

// The floor's own copy of an orders database on a plain connection: the
// TSQL collation and functions registered, no triggers (the floor writes the
// row version itself).
class PlainOrders {
 public:
  explicit PlainOrders(int orders) : file_(orders) {
    sqlite3_open_v2(file_.Path().c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    dialect::RegisterFunctions(db_);
    std::vector<std::string> triggers;
    {
      Statement list(db_, "SELECT name FROM sqlite_master WHERE type = 'trigger'");
      while (sqlite3_step(list.get()) == SQLITE_ROW)
        triggers.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0)));
    }
    for (const std::string& name : triggers)
      sqlite3_exec(db_, ("DROP TRIGGER \"" + name + "\"").c_str(), nullptr, nullptr, nullptr);
  }
  ~PlainOrders() { sqlite3_close(db_); }
  PlainOrders(const PlainOrders&) = delete;
  PlainOrders& operator=(const PlainOrders&) = delete;
  sqlite3* Handle() const { return db_; }

 private:
  OrdersDatabase file_;
  sqlite3* db_ = nullptr;
};

// Approving an order: its key list and the guarded update with a new row
// version. The library on its database, the floor on a copy of its own.
bench::Measured ConfirmRatio(int rounds, int perRound) {
  const int orders = rounds * perRound + 10;
  OrdersDatabase db(orders);
  PlainOrders floorDb(orders);
  clsVoucherCO co;
  co.Init(BenchLogin(), db.Conn(), "pp25");
  auto form = std::make_shared<EmbeddedVoucherForm>();
  sqlite3* handle = floorDb.Handle();
  Statement keys(handle, "SELECT cdepcode,id FROM pp_scdd_h WHERE id = ?1");
  Statement version(handle, "SELECT qxts FROM pp_scdd_h WHERE id = ?1");
  Statement next(handle, "UPDATE __dbts SET v = v + 1 RETURNING v");
  Statement approve(handle,
                    "UPDATE pp_productpo SET cverifier = ?1, dcheckdate = ?2, qxts = ?5 WHERE "
                    "tsql_char_money2(tsql_money_rv(qxts)) = tsql_char_money2(tsql_money(?3)) AND id = ?4");
  int libraryId = 0, floorId = 0;
  // The row versions, read beforehand: the library finds them in the loaded head.
  std::vector<std::string> versions(orders + 1);
  for (int id = 1; id <= orders; ++id) versions[id] = version.Int(1, id).FirstText();
  return bench::Alternate(
      rounds, perRound,
      [&] {
        const std::string answer = co.VoucherConfirm(form);
        if (answer.find("成功") == std::string::npos) {
          std::fprintf(stderr, "confirm: %s\n", answer.c_str());
          std::exit(1);
        }
      },
      [&] {
        ++floorId;
        keys.Int(1, floorId).ReadAll();
        sqlite3_exec(handle, "BEGIN", nullptr, nullptr, nullptr);
        const int64_t rowVersion = std::stoll(next.FirstText());
        approve.Text(1, "Bench").Text(2, "2024-03-11 00:00:00").Text(3, versions[floorId]).Int(4, floorId);
        approve.Int(5, rowVersion).ReadAll();
        const bool changed = sqlite3_changes(handle) == 1;
        sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
        if (!changed) {
          std::fprintf(stderr, "floor confirm changed nothing: %s\n", sqlite3_errmsg(handle));
          std::exit(1);
        }
      },
      [&] { co.GetVoucherData(form, "", Variant(++libraryId)); });
}

// For a profiler: only the library's side of load-… or movenext-100k.
int Profile(const std::string& mode, int count, int orders) {
  Navigation n(orders);
  const double start = bench::CpuMs();
  if (mode == "--moves") {
    for (int i = 0; i < count; ++i) {
      if (n.co.Eof()) n.co.GetVoucherData(n.form, "", Variant(1));
      n.co.MoveNext(n.form);
    }
  } else {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(1, orders);
    for (int i = 0; i < count; ++i) n.co.GetVoucherData(n.form, "", Variant(pick(random)));
  }
  std::fprintf(stderr, "%.4f ms each\n", (bench::CpuMs() - start) / count);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 3 || argc == 4) && (std::string(argv[1]) == "--loads" || std::string(argv[1]) == "--moves")) {
    const int orders = argc == 4 ? std::atoi(argv[3]) : std::string(argv[1]) == "--loads" ? 1000 : 100000;
    return Profile(argv[1], std::atoi(argv[2]), orders);
  }
  bench::Report report;
  report.Add("load-1k", LoadRatio(1000, 15), 2.5);
  report.Add("load-100k", LoadRatio(100000, 15), 2.5);
  report.Add("load-1m", LoadRatio(1000000, 15, /*kept*/ true), 2.5);
  report.Add("movenext-100k", MoveNextRatio(100000, 15), 2.5);
  report.Add("confirm", ConfirmRatio(15, 10), 1.5);
  return 0;
}
