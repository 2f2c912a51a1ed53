// SaveBench: what saving a production order costs. An order of 10 lines,
// each exploding into 20 components (1 head + 10 lines + 200 material rows),
// is saved through clsVoucherCO::VoucherSave2 and compared with the floor:
// plain SQLite on a database of its own (no triggers, prepared statements,
// one transaction) reading the bills of materials and writing the same rows
// and row versions. After every round both databases must hold the same rows
// (counts and a checksum of their values), else the program stops with a
// failure. The dialect layer is timed alone on the statements of one such
// save, once as the cache-free pipeline and once through TranslateBatch.
//
//   build/…/SaveBench                 the ratios (save-10x20, save-3200,
//                                     save-10000), the cost per material row
//                                     from 10 to 10,000 rows, peak memory and
//                                     memory after 500 saves
//   build/…/SaveBench --benchmark_counters_tabular=true   the Google Benchmark runs
//   build/…/SaveBench --saves N [C]   N saves and nothing else (to profile; C components a line)
//   build/…/SaveBench --floor-saves N [C]   the same orders written by the floor
//
// Counters: ms and cpu_ms (wall and processor time per order); ratio and
// cpu_ratio (save / baseline) on BM_VoucherSave2; share (processor time of
// the translations / of one save) on the dialect benchmarks. Wall time
// includes the disk at commit and a busy machine; processor time is steadier.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"
#include "data/dialect/BatchSplitter.h"
#include "data/dialect/StatementTranslator.h"
#include "data/dialect/TSqlDialect.h"
#include "data/dialect/TSqlLexer.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/modVoucher.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"
#include "BenchSupport.h"
#include "HeapCounter.h"
#include "support/RecordingConnection.h"

namespace {

using namespace fabrikon;
using Clock = std::chrono::steady_clock;

// Wall time includes waiting for the disk at commit and for a busy machine;
// the processor time of the process shows the work itself.
double CpuNs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// Wall and processor time of the code between Start and Stop, summed.
struct Stopwatch {
  void Start() {
    wallStart = Clock::now();
    cpuStart = CpuNs();
  }
  void Stop() {
    wall += std::chrono::duration<double, std::nano>(Clock::now() - wallStart).count();
    cpu += CpuNs() - cpuStart;
  }
  Clock::time_point wallStart;
  double cpuStart = 0;
  double wall = 0;
  double cpu = 0;
};

constexpr int kLines = 10;
constexpr int kComponents = 20;

std::string Product(int line) { return "BP" + std::to_string(100 + line); }
std::string Component(int line, int c) { return Product(line) + "-C" + std::to_string(100 + c); }
// Appended rather than "B" + text: g++ 12 warns falsely (-Wrestrict) on that form.
std::string OrderCode(int number) {
  std::string code = "B";
  code += std::to_string(1000000 + number);
  return code;
}
double PerUnit(int c) { return 1 + c % 4 * 0.5; }
double Waste(int c) { return c % 5 * 2.5; }

// A fresh schema-only database with the ten products' bills of materials,
// written through the library's own connection in T-SQL.
class BenchDatabase {
 public:
  explicit BenchDatabase(int components = kComponents) {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("fabrikon_savebench_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + ".db"))
                .string();
    HostDatabase::Create(path_, /*bDemo*/ false, /*bForce*/ true);
    conn_ = SqliteConnection::Connect(HostDatabase::ConnectionStringFor(path_));
    std::string batch;
    for (int line = 1; line <= kLines; ++line) {
      batch += "insert into ProductStructure(iAutoId,CPSPCode,cversion) values (" + std::to_string(line) + ",'" +
               Product(line) + "','1.0') ";
      for (int c = 1; c <= components; ++c) {
        batch += "insert into ProductStructures(IPID,CPSCode,cDepCode,cWhCode,iPSQuantity,iWasteRate) values (" +
                 std::to_string(line) + ",'" + Component(line, c) + "','D01','W01'," + NumberText(PerUnit(c)) +
                 "," + NumberText(Waste(c)) + ") ";
      }
    }
    conn_->Execute(batch);
  }
  ~BenchDatabase() {
    conn_.reset();
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path_ + suffix, ignored);
  }
  BenchDatabase(const BenchDatabase&) = delete;
  BenchDatabase& operator=(const BenchDatabase&) = delete;

  const std::shared_ptr<SqliteConnection>& Conn() const { return conn_; }
  const std::string& Path() const { return path_; }
  // The floor's copy: the file stays, the library's connection goes.
  void CloseConnection() { conn_.reset(); }

 private:
  std::string path_;
  std::shared_ptr<SqliteConnection> conn_;
};

// The documents the production order screen hands over for a new order.
void FillNewOrder(VoucherForm& form, int number) {
  std::string head = "<xml><rs:data><z:row ccode=\"" + OrderCode(number) +
                     "\" ddate=\"2024-03-11\" cmaker=\"bench\" dplandate=\"2024-03-29\" cdepcode=\"D01\"/></rs:data></xml>";
  std::string body = "<xml><rs:data>";
  for (int line = 1; line <= kLines; ++line) {
    body += "<z:row cinvcode=\"" + Product(line) + "\" fquantity=\"" + std::to_string(line * 10) +
            "\" dstartdate=\"2024-03-13\" denddate=\"2024-03-29\" editprop=\"A\"/>";
  }
  body += "</rs:data></xml>";
  form.HeadDOM()->loadXML(head);
  form.BodyDOM()->loadXML(body);
}

using RecordingConnection = testsupport::RecordingConnection;

LoginInfoPtr BenchLogin() { return std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 11}, "Bench", "bench"); }

// ---- the floor: plain SQLite on a database of its own ---------------------------------
//
// What an engineer would write by hand: the same schema in a file of its own
// (created as the library's is, then its row-version triggers dropped), a
// plain sqlite3 connection that registers only what the schema's columns and
// views need (the TSQL collation and functions, no triggers), prepared
// statements and one transaction. It reads the bill of materials of each line
// as the library must and writes the same rows with the same row versions,
// which it takes from the database's counter in one step.

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "floor statement %s: %s\n", sql, sqlite3_errmsg(db));
      std::exit(1);
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return stmt_; }
  Statement& Int(int i, int64_t v) { sqlite3_bind_int64(stmt_, i, v); return *this; }
  Statement& Real(int i, double v) { sqlite3_bind_double(stmt_, i, v); return *this; }
  Statement& Text(int i, const std::string& v) {
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Null(int i) { sqlite3_bind_null(stmt_, i); return *this; }
  bool Run() {
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    return rc == SQLITE_DONE;
  }
  // The first column of the first row (`none` when there is none).
  int64_t Value(int64_t none = 0) {
    const int64_t value = sqlite3_step(stmt_) == SQLITE_ROW ? sqlite3_column_int64(stmt_, 0) : none;
    sqlite3_reset(stmt_);
    return value;
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// The library's database file, reopened by plain SQLite for the floor.
sqlite3* OpenPlain(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "floor database: %s\n", sqlite3_errmsg(db));
    std::exit(1);
  }
  dialect::RegisterFunctions(db);  // the TSQL collation of the text columns
  // As durable and as checked as the library's connection.
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
  std::vector<std::string> triggers;
  sqlite3_stmt* list = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'trigger'", -1, &list, nullptr);
  while (sqlite3_step(list) == SQLITE_ROW) triggers.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
  sqlite3_finalize(list);
  for (const std::string& name : triggers) sqlite3_exec(db, ("DROP TRIGGER \"" + name + "\"").c_str(), nullptr, nullptr, nullptr);
  return db;
}

class BaselineWriter {
 public:
  explicit BaselineWriter(sqlite3* db)
      : db_(db),
        option_(db, "SELECT cValue FROM AccInformation WHERE csysid = 'PP' AND cName = 'bWasteRate'"),
        headId_(db, "SELECT ifnull(max(id), 0) + 1 FROM pp_productpo"),
        lineId_(db, "SELECT ifnull(max(mainid), 0) FROM pp_pomain"),
        subId_(db, "SELECT ifnull(max(SubID), 0) FROM PP_PODetails"),
        versions_(db, "UPDATE __dbts SET v = v + ?1 RETURNING v"),
        head_(db, "INSERT INTO pp_productpo(id,ccode,ddate,cmaker,dplandate,cdepcode,qxts) VALUES (?,?,?,?,?,?,?)"),
        line_(db, "INSERT INTO pp_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate,qxts) VALUES (?,?,?,?,?,?,?)"),
        bom_(db,
             "SELECT PS.CPSCode, PS.cDepCode, PS.cWhCode, ifnull(PS.iPSQuantity, 0), ifnull(PS.iWasteRate, 0),"
             " PS.cFree1, PS.cFree2, PS.cFree3, PS.cFree4, PS.cFree5, PS.cFree6, PS.cFree7, PS.cFree8, PS.cFree9,"
             " PS.cFree10 FROM ProductStructure P JOIN ProductStructures PS ON P.iAutoId = PS.IPID"
             " WHERE P.CPSPCode = ?1 AND ifnull(P.cFree1,'') = '' AND ifnull(P.cFree2,'') = ''"
             " AND ifnull(P.cFree3,'') = '' AND ifnull(P.cFree4,'') = '' AND ifnull(P.cFree5,'') = ''"
             " AND ifnull(P.cFree6,'') = '' AND ifnull(P.cFree7,'') = '' AND ifnull(P.cFree8,'') = ''"
             " AND ifnull(P.cFree9,'') = '' AND ifnull(P.cFree10,'') = ''"),
        material_(db,
                  "INSERT INTO PP_PODetails(MainID,SubID,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,"
                  "iPSQuantity,iWasteRate,cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) "
                  "VALUES (?,?,'',?,?,0,?,?,?,?,?,?,?,?,?,?,?,?,?,?)") {}

  // The order's head, its kLines lines and their materials; false when a
  // statement failed.
  bool WriteOrder(int number) {
    bool ok = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    const bool waste = option_.Value(1) == 1;  // without the option: with the waste rate
    const int64_t id = headId_.Value();
    int64_t mainid = lineId_.Value();
    int64_t subId = subId_.Value();
    int64_t version = versions_.Int(1, 1 + kLines).Value() - kLines;
    ok = head_.Int(1, id).Text(2, OrderCode(number)).Text(3, "2024-03-11 00:00:00").Text(4, "bench")
             .Text(5, "2024-03-29 00:00:00").Text(6, "D01").Int(7, version).Run() && ok;
    for (int line = 1; line <= kLines; ++line) {
      ok = line_.Int(1, ++mainid).Int(2, id).Text(3, Product(line)).Real(4, line * 10)
               .Text(5, "2024-03-13 00:00:00").Text(6, "2024-03-29 00:00:00").Int(7, ++version).Run() && ok;
      ok = WriteMaterials(mainid, line * 10, Product(line), waste, subId) && ok;
    }
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK && ok) return true;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }

 private:
  bool WriteMaterials(int64_t mainid, double quantity, const std::string& product, bool waste, int64_t& subId) {
    sqlite3_stmt* bom = bom_.Text(1, product).get();
    bool ok = true;
    while (sqlite3_step(bom) == SQLITE_ROW) {
      const double perUnit = sqlite3_column_double(bom, 3), rate = sqlite3_column_double(bom, 4);
      material_.Int(1, mainid).Int(2, ++subId).Text(3, ColumnText(bom, 0))
          .Real(4, waste ? quantity * perUnit * (1 + rate / 100) : quantity * perUnit)
          .Text(5, ColumnText(bom, 1)).Text(6, ColumnText(bom, 2)).Real(7, perUnit).Real(8, rate);
      for (int f = 0; f < 10; ++f) {
        if (sqlite3_column_type(bom, 5 + f) == SQLITE_NULL || sqlite3_column_bytes(bom, 5 + f) == 0)
          material_.Null(9 + f);
        else
          material_.Text(9 + f, ColumnText(bom, 5 + f));
      }
      ok = material_.Run() && ok;
    }
    sqlite3_reset(bom);
    return ok;
  }
  static std::string ColumnText(sqlite3_stmt* s, int c) {
    const unsigned char* text = sqlite3_column_text(s, c);
    return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text));
  }

  sqlite3* db_;
  Statement option_, headId_, lineId_, subId_, versions_, head_, line_, bom_, material_;
};

// The rows a save writes, as counts and a checksum over their values.
struct Written {
  long long rows = 0;
  uint64_t checksum = 1469598103934665603ULL;  // FNV-1a
  std::vector<std::string> firstRows;          // to show where two databases part
  bool operator==(const Written& other) const { return rows == other.rows && checksum == other.checksum; }
};

Written WrittenRows(sqlite3* db) {
  Written written;
  for (const char* query : {"SELECT * FROM pp_productpo ORDER BY id", "SELECT * FROM pp_pomain ORDER BY mainid",
                            "SELECT * FROM PP_PODetails ORDER BY SubID", "SELECT v FROM __dbts"}) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, query, -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
      std::string row = query;
      for (int c = 0; c < sqlite3_column_count(s); ++c) {
        const unsigned char* text = sqlite3_column_text(s, c);
        row += text == nullptr ? std::string("|null") : "|" + std::string(reinterpret_cast<const char*>(text));
      }
      for (unsigned char ch : row) written.checksum = (written.checksum ^ ch) * 1099511628211ULL;
      ++written.rows;
      if (written.firstRows.size() < 100000) written.firstRows.push_back(std::move(row));
    }
    sqlite3_finalize(s);
  }
  return written;
}

// Stops the program when library and floor wrote different rows.
void ExpectSameRows(sqlite3* library, sqlite3* floor, const char* what) {
  const Written a = WrittenRows(library), b = WrittenRows(floor);
  if (a == b) return;
  std::fprintf(stderr, "%s: library and floor wrote different rows (%lld and %lld rows, checksums %llx and %llx)\n",
               what, a.rows, b.rows, static_cast<unsigned long long>(a.checksum),
               static_cast<unsigned long long>(b.checksum));
  for (size_t i = 0; i < std::min(a.firstRows.size(), b.firstRows.size()); ++i) {
    if (a.firstRows[i] != b.firstRows[i]) {
      std::fprintf(stderr, "  library: %s\n  floor:   %s\n", a.firstRows[i].c_str(), b.firstRows[i].c_str());
      break;
    }
  }
  std::exit(1);
}

// Per baseline order and per save (wall, processor), kept for the ratios.
Stopwatch g_baseline;
Stopwatch g_save;
double g_baselineRuns = 0;
double g_saveRuns = 0;

class FloorSession;
void MeasureBaseline(int runs);

void BM_BaselinePreparedInserts(benchmark::State& state);

// ---- the library's save ----------------------------------------------------------------

void BM_VoucherSave2(benchmark::State& state) {
  BenchDatabase db;
  clsVoucherCO co;
  co.Init(BenchLogin(), db.Conn(), "pp25");
  auto form = std::make_shared<EmbeddedVoucherForm>();
  int number = 0;
  Stopwatch watch;
  for (auto _ : state) {
    state.PauseTiming();
    FillNewOrder(*form, ++number);
    state.ResumeTiming();
    watch.Start();
    Variant curId;
    const std::string answer = co.VoucherSave2(form, 2, curId);
    watch.Stop();
    if (!answer.empty()) {
      state.SkipWithError(answer.c_str());
      break;
    }
  }
  if (state.iterations() == 0) return;
  g_save = watch;
  g_saveRuns = static_cast<double>(state.iterations());
  if (g_baselineRuns == 0) MeasureBaseline(50);
  state.counters["ms"] = watch.wall / g_saveRuns / 1e6;
  state.counters["cpu_ms"] = watch.cpu / g_saveRuns / 1e6;
  state.counters["ratio"] = (watch.wall / g_saveRuns) / (g_baseline.wall / g_baselineRuns);
  state.counters["cpu_ratio"] = (watch.cpu / g_saveRuns) / (g_baseline.cpu / g_baselineRuns);
}
BENCHMARK(BM_VoucherSave2)->Unit(benchmark::kMillisecond);

// ---- the dialect layer alone --------------------------------------------------------------

// The texts one save of such an order sends to the connection.
const std::vector<std::string>& TextsOfOneSave() {
  static const std::vector<std::string> texts = [] {
    BenchDatabase db;
    auto recorder = std::make_shared<RecordingConnection>(db.Conn());
    clsVoucherCO co;
    co.Init(BenchLogin(), recorder, "pp25");
    auto form = std::make_shared<EmbeddedVoucherForm>();
    // The second save is the one recorded: the first also learns the tables.
    for (int number = 1; number <= 2; ++number) {
      FillNewOrder(*form, number);
      recorder->texts.clear();
      Variant curId;
      const std::string answer = co.VoucherSave2(form, 2, curId);
      if (!answer.empty()) std::fprintf(stderr, "capturing save failed: %s\n", answer.c_str());
    }
    return recorder->texts;
  }();
  return texts;
}

// What TranslateBatch does on a cache miss (the cache cannot be switched off).
size_t TranslateWithoutCache(const std::string& text) {
  const dialect::LexedText lexed = dialect::TSqlLexer::Tokenize(text);
  const auto ranges = dialect::BatchSplitter::Split(lexed.tokens);
  const auto& translator = dialect::StatementTranslator::Instance();
  size_t statements = 0;
  for (const auto& range : ranges) {
    benchmark::DoNotOptimize(translator.Translate(text, lexed.tokens, range));
    ++statements;
  }
  return statements;
}

// share: the part of one save's processor time the translations stand for.
void ReportDialect(benchmark::State& state, const std::vector<std::string>& texts, const Stopwatch& watch) {
  size_t bytes = 0;
  for (const auto& text : texts) bytes += text.size();
  state.counters["texts"] = static_cast<double>(texts.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  const double runs = static_cast<double>(state.iterations());
  state.counters["cpu_ms"] = watch.cpu / runs / 1e6;
  if (g_saveRuns > 0) state.counters["share"] = (watch.cpu / runs) / (g_save.cpu / g_saveRuns);
}

void BM_DialectUncached(benchmark::State& state) {
  const auto& texts = TextsOfOneSave();
  size_t statements = 0;
  Stopwatch watch;
  watch.Start();
  for (auto _ : state) {
    statements = 0;
    for (const auto& text : texts) statements += TranslateWithoutCache(text);
  }
  watch.Stop();
  ReportDialect(state, texts, watch);
  state.counters["statements"] = static_cast<double>(statements);
}
BENCHMARK(BM_DialectUncached)->Unit(benchmark::kMillisecond);

void BM_DialectTranslateBatch(benchmark::State& state) {
  const auto& texts = TextsOfOneSave();
  Stopwatch watch;
  watch.Start();
  for (auto _ : state) {
    for (const auto& text : texts) benchmark::DoNotOptimize(dialect::TranslateBatch(text));
  }
  watch.Stop();
  ReportDialect(state, texts, watch);
}
BENCHMARK(BM_DialectTranslateBatch)->Unit(benchmark::kMillisecond);

// ---- the ratios -------------------------------------------------------------------------

// One order after the other through VoucherSave2 on a database of its own.
class SaveSession {
 public:
  explicit SaveSession(int components) : db_(components) {
    co_.Init(BenchLogin(), db_.Conn(), "pp25");
  }
  void Fill() { FillNewOrder(*form_, ++number_); }
  void Save() {
    Variant curId;
    const std::string answer = co_.VoucherSave2(form_, 2, curId);
    if (!answer.empty()) {
      std::fprintf(stderr, "save failed: %s\n", answer.c_str());
      std::exit(1);
    }
  }
  sqlite3* Handle() const { return db_.Conn()->Handle(); }
  void FillAndSave() {
    Fill();
    Save();
  }
  // Stored values go in as given: tsql_store and tsql_store_as, which
  // convert each value to its column's declared type, become functions that
  // hand their value on.
  void StoreValuesAsGiven() {
    const auto asGiven = [](sqlite3_context* ctx, int, sqlite3_value** argv) { sqlite3_result_value(ctx, argv[0]); };
    for (const auto& [name, arguments] : {std::pair{"tsql_store", 3}, std::pair{"tsql_store_as", 4}})
      sqlite3_create_function_v2(db_.Conn()->Handle(), name, arguments, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr,
                                 asGiven, nullptr, nullptr, nullptr);
  }

 private:
  BenchDatabase db_;
  clsVoucherCO co_;
  std::shared_ptr<EmbeddedVoucherForm> form_ = std::make_shared<EmbeddedVoucherForm>();
  int number_ = 0;
};

class FloorSession {
 public:
  explicit FloorSession(int components) : db_(components) {
    db_.CloseConnection();
    handle_ = OpenPlain(db_.Path());
    writer_ = std::make_unique<BaselineWriter>(handle_);
  }
  ~FloorSession() {
    writer_.reset();
    sqlite3_close(handle_);
  }
  FloorSession(const FloorSession&) = delete;
  FloorSession& operator=(const FloorSession&) = delete;
  void Save() {
    if (!writer_->WriteOrder(++number_)) {
      std::fprintf(stderr, "floor save failed: %s\n", sqlite3_errmsg(handle_));
      std::exit(1);
    }
  }
  sqlite3* Handle() const { return handle_; }

 private:
  BenchDatabase db_;
  sqlite3* handle_ = nullptr;
  std::unique_ptr<BaselineWriter> writer_;
  int number_ = 0;
};

void MeasureBaseline(int runs) {
  FloorSession floor(kComponents);
  g_baseline = Stopwatch{};
  g_baseline.Start();
  for (int number = 1; number <= runs; ++number) floor.Save();
  g_baseline.Stop();
  g_baselineRuns = runs;
}

void BM_BaselinePreparedInserts(benchmark::State& state) {
  FloorSession floor(kComponents);
  Stopwatch watch;
  for (auto _ : state) {
    watch.Start();
    floor.Save();
    watch.Stop();
  }
  if (state.iterations() == 0) return;
  g_baseline = watch;
  g_baselineRuns = static_cast<double>(state.iterations());
  state.counters["ms"] = watch.wall / g_baselineRuns / 1e6;
  state.counters["cpu_ms"] = watch.cpu / g_baselineRuns / 1e6;
  state.counters["rows"] = 1 + kLines + kLines * kComponents;
}
BENCHMARK(BM_BaselinePreparedInserts)->Unit(benchmark::kMillisecond);

bench::Measured SaveRatio(int components, int rounds, int perRound) {
  SaveSession library(components);
  FloorSession floor(components);
  for (int i = 0; i < 2; ++i) {  // warm-up: the first save also learns the tables
    library.FillAndSave();
    floor.Save();
  }
  ExpectSameRows(library.Handle(), floor.Handle(), "warm-up");
  return bench::Alternate(
      rounds, perRound, [&] { library.Save(); }, [&] { floor.Save(); }, [&] { library.Fill(); }, {},
      [&] { ExpectSameRows(library.Handle(), floor.Handle(), "save"); });
}

// What converting the stored values to their columns' types costs the save:
// the same saves with tsql_store converting (the "library" side) and handing
// each value on as given (the "floor" side).
bench::Measured StoreConversionRatio(int rounds, int perRound) {
  SaveSession converting(kComponents);
  SaveSession asGiven(kComponents);
  asGiven.StoreValuesAsGiven();
  for (int i = 0; i < 2; ++i) {
    converting.FillAndSave();
    asGiven.FillAndSave();
  }
  return bench::Alternate(
      rounds, perRound, [&] { converting.Save(); }, [&] { asGiven.Save(); }, [&] { converting.Fill(); },
      [&] { asGiven.Fill(); });
}

// Heap held by C++ and pugixml, and by SQLite, in MB.
double HeldMb() {
  return static_cast<double>(bench::HeapCounter::Current().load() + sqlite3_memory_used()) / (1024.0 * 1024.0);
}

// The peak above what was held before: C++ and pugixml plus SQLite (each at
// its own peak, so an upper bound).
template <class Session>
double PeakOfOneSave(Session& session) {
  const long long heap = bench::HeapCounter::Current().load();
  const long long sqlite = sqlite3_memory_used();
  bench::HeapCounter::ResetPeak();
  sqlite3_memory_highwater(1);
  session.Save();
  return static_cast<double>(bench::HeapCounter::Peak().load() - heap + sqlite3_memory_highwater(0) - sqlite) /
         (1024.0 * 1024.0);
}

void MemoryReport(bench::Report& report) {
  bench::HeapCounter::CountPugixml();
  char line[200];
  {
    SaveSession library(320);
    library.FillAndSave();
    library.Fill();
    const double libraryPeak = PeakOfOneSave(library);
    FloorSession floor(320);
    floor.Save();
    const double floorPeak = PeakOfOneSave(floor);
    ExpectSameRows(library.Handle(), floor.Handle(), "3200-row save");
    std::snprintf(line, sizeof line, "peak heap of the 3200-row save: library +%.1f MB, floor +%.1f MB", libraryPeak,
                  floorPeak);
    report.Note(line);
    report.Line("heap-3200-mb-above-floor", libraryPeak - floorPeak, 2);
  }
  SaveSession library(kComponents);
  FloorSession floor(kComponents);
  for (int i = 0; i < 50; ++i) {
    library.FillAndSave();
    floor.Save();
  }
  const double atFifty = HeldMb();
  for (int i = 50; i < 500; ++i) library.FillAndSave();
  const double libraryGrowth = HeldMb() - atFifty;
  const double floorStart = HeldMb();
  for (int i = 50; i < 500; ++i) floor.Save();
  std::snprintf(line, sizeof line,
                "heap held from save 50 to save 500 of the 10x20 order: library %+.2f MB, floor %+.2f MB "
                "(library holds %.1f MB in all)",
                libraryGrowth, HeldMb() - floorStart, HeldMb());
  report.Note(line);
}

// The cost per material row must not grow with the order: 10 lines of 1,
// 10, 100 and 1,000 components (the largest is also save-10000). The cost
// per row of a whole save includes what every save costs once, so flatness
// is judged on the added cost per added row between neighbouring sizes:
// its spread is the dearest step over the cheapest. A step is the
// difference of two sizes' medians, so the sizes take turns within each
// round (a machine that slows down for a while weighs on every size alike)
// and every size writes the same 10,000 material rows a round: each size
// then pays the same share of the WAL checkpoints SQLite runs every
// thousand pages, and works on tables of the same size. With one save of
// each size a round, the checkpoints fell into every 10,000-row save but
// into hardly any 100-row save, and the tables of the small sizes stayed
// small.
void LinearityReport(bench::Report& report) {
  struct Size {
    explicit Size(int c) : components(c), library(c), floor(c) {}
    int components;
    SaveSession library;
    FloorSession floor;
    std::vector<double> libraryMs, floorMs;
  };
  std::vector<std::unique_ptr<Size>> sizes;
  for (int components : {1, 10, 100, 1000}) {
    sizes.push_back(std::make_unique<Size>(components));
    Size& size = *sizes.back();
    for (int i = 0; i < 2; ++i) {  // warm-up: the first save also learns the tables
      size.library.FillAndSave();
      size.floor.Save();
    }
    ExpectSameRows(size.library.Handle(), size.floor.Handle(), "warm-up");
  }
  for (int round = 0; round < 9; ++round) {
    for (auto& size : sizes) {
      const int perRound = 1000 / size->components;
      size->libraryMs.push_back(bench::TimePerCall(perRound, [&] { size->library.Save(); }, [&] { size->library.Fill(); }));
      size->floorMs.push_back(bench::TimePerCall(perRound, [&] { size->floor.Save(); }, {}));
      ExpectSameRows(size->library.Handle(), size->floor.Handle(), "save");
    }
  }
  std::string perRow = "save per material row (library / floor, us):";
  std::string added = "save per added material row (library / floor, us):";
  double dearest = 0, cheapest = 0;
  bench::Measured previous;
  int previousRows = 0;
  for (const auto& size : sizes) {
    const bench::Measured m{bench::Median(size->libraryMs), bench::Median(size->floorMs)};
    const int rows = kLines * size->components;
    char part[96];
    std::snprintf(part, sizeof part, "  %d rows %.1f / %.1f", rows, m.library * 1000 / rows, m.floor * 1000 / rows);
    perRow += part;
    if (previousRows > 0) {
      const double span = rows - previousRows;
      const double step = (m.library - previous.library) * 1000 / span;
      dearest = std::max(dearest, step);
      cheapest = cheapest == 0 ? step : std::min(cheapest, step);
      std::snprintf(part, sizeof part, "  %d-%d rows %.1f / %.1f", previousRows, rows, step,
                    (m.floor - previous.floor) * 1000 / span);
      added += part;
    }
    if (size->components == 1000) report.Add("save-10000", m, 2);
    previous = m;
    previousRows = rows;
  }
  report.Note(perRow);
  report.Note(added);
  report.Line("save-row-cost-spread", cheapest > 0 ? dearest / cheapest : 0, 1.3);
}

}  // namespace

int main(int argc, char** argv) {
  // For a profiler: N saves of the 10x20 order (or of 10 lines of C components).
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "--saves") {
    SaveSession library(argc == 4 ? std::atoi(argv[3]) : kComponents);
    for (int i = std::atoi(argv[2]); i > 0; --i) library.FillAndSave();
    return 0;
  }
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "--floor-saves") {  // the same orders by the floor
    FloorSession floor(argc == 4 ? std::atoi(argv[3]) : kComponents);
    for (int i = std::atoi(argv[2]); i > 0; --i) floor.Save();
    return 0;
  }
  if (argc > 1) {  // Google Benchmark flags: the detailed runs
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
  }
  bench::Report report;
  report.Add("save-10x20", SaveRatio(kComponents, 15, 4), 2);
  report.Add("save-3200", SaveRatio(320, 5, 1), 2);
  report.Add("store-conversion-10x20", StoreConversionRatio(41, 4), 1.15);  // a small difference: more rounds
  LinearityReport(report);
  MemoryReport(report);
  return 0;
}
