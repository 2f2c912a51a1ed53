// SaveBench: what saving a production order costs. An order of 10 lines,
// each exploding into 20 components (1 head + 10 lines + 200 material rows),
// is saved through clsVoucherCO::VoucherSave2 and compared with the floor: the
// same rows inserted into the same SQLite schema with prepared statements in
// one transaction. The dialect layer is timed alone on the statements of one
// such save, once as the cache-free pipeline and once through TranslateBatch.
//
//   build/…/SaveBench                 the ratios (save-10x20, save-3200), the
//                                     cost per material row as the list grows,
//                                     peak memory and memory after 500 saves
//   build/…/SaveBench --benchmark_counters_tabular=true   the Google Benchmark runs
//   build/…/SaveBench --saves N [C]   N saves and nothing else (to profile; C components a line)
//
// Counters: ms and cpu_ms (wall and processor time per order); ratio and
// cpu_ratio (save / baseline) on BM_VoucherSave2; share (processor time of
// the translations / of one save) on the dialect benchmarks. Wall time
// includes the disk at commit and a busy machine; processor time is steadier.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
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

// ---- the baseline: the same rows, prepared statements, one transaction ----------------

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
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

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

class BaselineWriter {
 public:
  explicit BaselineWriter(sqlite3* db, int components = kComponents)
      : db_(db),
        components_(components),
        head_(db, "INSERT INTO pp_productpo(id,ccode,ddate,cmaker,dplandate,cdepcode) VALUES (?,?,?,?,?,?)"),
        line_(db, "INSERT INTO pp_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate) VALUES (?,?,?,?,?,?)"),
        material_(db,
                  "INSERT INTO PP_PODetails(MainID,SubID,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,"
                  "iPSQuantity,iWasteRate,cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) "
                  "VALUES (?,?,'',?,?,0,?,?,?,?,?,?,?,?,?,?,?,?,?,?)") {}

  bool WriteOrder(int number) {
    bool ok = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    ok = head_.Int(1, number).Text(2, OrderCode(number)).Text(3, "2024-03-11 00:00:00")
             .Text(4, "bench").Text(5, "2024-03-29 00:00:00").Text(6, "D01").Run() && ok;
    for (int line = 1; line <= kLines; ++line) {
      const int64_t mainid = int64_t{number} * 100 + line;
      ok = line_.Int(1, mainid).Int(2, number).Text(3, Product(line)).Real(4, line * 10)
               .Text(5, "2024-03-13 00:00:00").Text(6, "2024-03-29 00:00:00").Run() && ok;
      for (int c = 1; c <= components_; ++c) ok = WriteMaterial(mainid, line, c) && ok;
    }
    return sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK && ok;
  }

 private:
  bool WriteMaterial(int64_t mainid, int line, int c) {
    material_.Int(1, mainid).Int(2, ++subId_).Text(3, Component(line, c))
        .Real(4, line * 10 * PerUnit(c) * (1 + Waste(c) / 100)).Text(5, "D01").Text(6, "W01")
        .Real(7, PerUnit(c)).Real(8, Waste(c));
    for (int f = 9; f <= 18; ++f) material_.Null(f);
    return material_.Run();
  }

  sqlite3* db_;
  int components_;
  Statement head_;
  Statement line_;
  Statement material_;
  int64_t subId_ = 0;
};

// Per baseline order and per save (wall, processor), kept for the ratios.
Stopwatch g_baseline;
Stopwatch g_save;
double g_baselineRuns = 0;
double g_saveRuns = 0;

void MeasureBaseline(int runs) {
  BenchDatabase db;
  BaselineWriter writer(db.Conn()->Handle());
  g_baseline = Stopwatch{};
  g_baseline.Start();
  for (int number = 1; number <= runs; ++number) writer.WriteOrder(number);
  g_baseline.Stop();
  g_baselineRuns = runs;
}

void BM_BaselinePreparedInserts(benchmark::State& state) {
  BenchDatabase db;
  BaselineWriter writer(db.Conn()->Handle());
  int number = 0;
  Stopwatch watch;
  for (auto _ : state) {
    watch.Start();
    const bool written = writer.WriteOrder(++number);
    watch.Stop();
    if (!written) {
      state.SkipWithError(sqlite3_errmsg(db.Conn()->Handle()));
      break;
    }
  }
  if (state.iterations() == 0) return;
  g_baseline = watch;
  g_baselineRuns = static_cast<double>(state.iterations());
  state.counters["ms"] = watch.wall / g_baselineRuns / 1e6;
  state.counters["cpu_ms"] = watch.cpu / g_baselineRuns / 1e6;
  state.counters["rows"] = 1 + kLines + kLines * kComponents;
}
BENCHMARK(BM_BaselinePreparedInserts)->Unit(benchmark::kMillisecond);

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
    if (!answer.empty()) std::fprintf(stderr, "save failed: %s\n", answer.c_str());
  }
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
  explicit FloorSession(int components) : db_(components), writer_(db_.Conn()->Handle(), components) {}
  void Save() { writer_.WriteOrder(++number_); }

 private:
  BenchDatabase db_;
  BaselineWriter writer_;
  int number_ = 0;
};

bench::Measured SaveRatio(int components, int rounds, int perRound) {
  SaveSession library(components);
  FloorSession floor(components);
  for (int i = 0; i < 2; ++i) {  // warm-up: the first save also learns the tables
    library.FillAndSave();
    floor.Save();
  }
  return bench::Alternate(
      rounds, perRound, [&] { library.Save(); }, [&] { floor.Save(); }, [&] { library.Fill(); });
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
    std::snprintf(line, sizeof line, "peak heap of the 3200-row save: library +%.1f MB, floor +%.1f MB", libraryPeak,
                  floorPeak);
    report.Note(line);
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

// The cost per material row must not grow with the list.
void LinearityReport(bench::Report& report) {
  std::string line = "save per material row (library / floor, us):";
  for (int components : {5, 20, 80, 320}) {
    const int rounds = components >= 320 ? 3 : 5;
    const bench::Measured m = SaveRatio(components, rounds, components >= 80 ? 1 : 3);
    const double rows = kLines * components;
    char part[96];
    std::snprintf(part, sizeof part, "  %d rows %.1f / %.1f", kLines * components, m.library * 1000 / rows,
                  m.floor * 1000 / rows);
    line += part;
  }
  report.Note(line);
}

}  // namespace

int main(int argc, char** argv) {
  // For a profiler: N saves of the 10x20 order (or of 10 lines of C components).
  if ((argc == 3 || argc == 4) && std::string(argv[1]) == "--saves") {
    SaveSession library(argc == 4 ? std::atoi(argv[3]) : kComponents);
    for (int i = std::atoi(argv[2]); i > 0; --i) library.FillAndSave();
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
