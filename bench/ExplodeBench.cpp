// ExplodeBench: what the outsourcing explosion costs. A product whose bill
// of materials has five levels and 1,000 (or 10,000) nodes (each
// sub-assembly of the first four levels holds four rows; the fifth level's
// materials are spread over the fourth level's heads) is exploded through
// ExplodeProductLine and compared with the floor: one recursive CTE, prepared
// once and reused, that computes the same quantities over the same tables on
// a plain SQLite connection. After every round both must have selected the
// same materials (their count, the sum of their row ids and of their
// quantities), else the program stops with a failure.
//
//   build/…/ExplodeBench                 the ratios (explode-1000, explode-10000):
//                                        alternating rounds, medians of processor time
//   build/…/ExplodeBench --explodes N    N explosions only, for a profiler
//   build/…/ExplodeBench --benchmark_counters_tabular=true   the detailed run
//
// Counters: ms and cpu_ms (wall and processor time per explosion), the
// floor's floor_ms and floor_cpu_ms, ratio and cpu_ratio (explosion / floor,
// measured alternately in the same run), materials and floor_rows (both 660).
// Wall time includes a busy machine; processor time is steadier.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cmath>
#include <memory>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "data/HostDatabase.h"
#include "fabrikon/modOutsourcing.h"
#include "fabrikon/modVoucher.h"

namespace {

using namespace fabrikon;
using Clock = std::chrono::steady_clock;

double CpuNs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

constexpr int kRootHead = 50000;
constexpr int kMainId = 70001;
constexpr int kNodes = 1000;
constexpr int kLevels = 5;

// The database with the bench's bill of materials and one product line.
class BomDatabase {
 public:
  explicit BomDatabase(int nodes = kNodes)
      : nodes_(nodes),
        path_((std::filesystem::temp_directory_path() /
               ("fabrikon_explode_" + std::to_string(getpid()) + "_" + std::to_string(nodes) + ".db"))
                  .string()) {
    HostDatabase::Create(path_, /*bDemo*/ false, /*bForce*/ true);
    conn_ = OpenConnection("Data Source=" + path_);
    Build();
  }
  ~BomDatabase() {
    conn_.reset();
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix, ignored);
  }
  const ConnectionPtr& Conn() const { return conn_; }
  const std::string& Path() const { return path_; }

 private:
  // Breadth first: heads of level d hold four rows each until the last
  // level, whose materials fill up the node count.
  void Build() {
    conn_->BeginTrans();
    conn_->Execute("insert into ProductStructure(iAutoId,cpspcode) values (" + std::to_string(kRootHead) +
                   ",'BENCH')");
    std::vector<int> heads = {kRootHead};
    int autoid = 0, nextHead = kRootHead + 1;
    for (int level = 1; level <= kLevels && autoid < nodes_; ++level) {
      std::vector<int> next;
      const int perHead = level < kLevels ? 4 : (nodes_ - autoid + static_cast<int>(heads.size()) - 1) /
                                                    static_cast<int>(heads.size());
      for (int head : heads) {
        for (int i = 0; i < perHead && autoid < nodes_; ++i) {
          ++autoid;
          std::string child = "NULL";
          if (level < kLevels) {
            child = std::to_string(nextHead);
            conn_->Execute("insert into ProductStructure(iAutoId,cpspcode) values (" + child + ",'S" + child + "')");
            next.push_back(nextHead++);
          }
          conn_->Execute("insert into ProductStructures(autoid,iPId,cpscode,ipsquantity,iwasterate,cdepcode,"
                         "cwhcode,childguid) values (" + std::to_string(autoid) + "," + std::to_string(head) +
                         ",'M" + std::to_string(autoid) + "'," + std::to_string(1 + autoid % 3) + "," +
                         std::to_string(autoid % 7) + ",'D01','W01'," + child + ")");
        }
      }
      heads = std::move(next);
    }
    conn_->Execute("insert into om_pomain(mainid,id,cinvcode,fquantity,iblevel) values (" + std::to_string(kMainId) +
                   ",1,'BENCH',10," + std::to_string(kLevels) + ")");
    conn_->CommitTrans();
  }

  int nodes_;
  std::string path_;
  ConnectionPtr conn_;
};

// The bill of `nodes` nodes the ratios explode (UseNodes switches it).
std::unique_ptr<BomDatabase>& CurrentDatabase() {
  static std::unique_ptr<BomDatabase> db;
  return db;
}
void UseNodes(int nodes) {
  CurrentDatabase().reset();
  CurrentDatabase() = std::make_unique<BomDatabase>(nodes);
}
BomDatabase& Database() {
  if (!CurrentDatabase()) UseNodes(kNodes);
  return *CurrentDatabase();
}

// The floor: the same walk as one recursive query, on integers only.
const char* kFloorQuery =
    "WITH RECURSIVE walk(autoid, childguid, qty, nowaste, ps, factor, depth) AS ("
    " SELECT s.autoid, s.childguid, s.ipsquantity*10*(1+s.iwasterate/100.0), s.ipsquantity*10, s.ipsquantity,"
    " 1+s.iwasterate/100.0, 1 FROM ProductStructures s WHERE s.iPId=50000"
    " UNION ALL SELECT c.autoid, c.childguid, c.ipsquantity*w.qty*(1+c.iwasterate/100.0), c.ipsquantity*w.nowaste,"
    " c.ipsquantity*w.ps, w.factor*(1+c.iwasterate/100.0), w.depth+1"
    " FROM walk w JOIN ProductStructures c ON c.iPId=w.childguid WHERE w.childguid IS NOT NULL AND w.depth<5)"
    " SELECT autoid, qty, nowaste, ps, (factor-1)*100 FROM walk WHERE childguid IS NULL OR depth=5";

// What an explosion selected: how many materials, the sum of their row ids
// and of their quantities.
struct Selected {
  long count = 0;
  double ids = 0;
  double quantity = 0;
  bool Matches(const Selected& other) const {
    return count == other.count && ids == other.ids &&
           std::fabs(quantity - other.quantity) <= 1e-9 * std::max(1.0, std::fabs(quantity));
  }
};

Selected LibrarySelected() {
  Selected s;
  for (const auto& line : SelectedBomLines()) {
    ++s.count;
    s.quantity += line->fQuantity();
  }
  const std::string& ids = SelectedAutoIDs();
  for (size_t at = 0; at < ids.size();) {
    size_t end = ids.find(',', at);
    if (end == std::string::npos) end = ids.size();
    s.ids += std::atof(ids.substr(at, end - at).c_str());
    at = end + 1;
  }
  return s;
}

// The floor's query, compiled once on its own read-only connection.
class FloorExplosion {
 public:
  explicit FloorExplosion(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    if (sqlite3_prepare_v2(db_, kFloorQuery, -1, &statement_, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "floor query: %s\n", sqlite3_errmsg(db_));
      std::exit(1);
    }
  }
  ~FloorExplosion() {
    sqlite3_finalize(statement_);
    sqlite3_close(db_);
  }
  FloorExplosion(const FloorExplosion&) = delete;
  FloorExplosion& operator=(const FloorExplosion&) = delete;
  void Run() {
    selected_ = Selected{};
    while (sqlite3_step(statement_) == SQLITE_ROW) {
      ++selected_.count;
      selected_.ids += static_cast<double>(sqlite3_column_int64(statement_, 0));
      selected_.quantity += sqlite3_column_double(statement_, 1);
    }
    sqlite3_reset(statement_);
  }
  const Selected& Result() const { return selected_; }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
  Selected selected_;
};

double FloorNs(FloorExplosion& floor, long& rows, double& cpuNs) {
  const auto start = Clock::now();
  const double cpuStart = CpuNs();
  floor.Run();
  rows = floor.Result().count;
  cpuNs += CpuNs() - cpuStart;
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

void BM_ExplodeProductLine(benchmark::State& state) {
  BomDatabase& db = Database();
  FloorExplosion floor(db.Path());
  double explodeNs = 0, floorNs = 0, explodeCpu = 0, floorCpu = 0;
  long floorRows = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const double cpuStart = CpuNs();
    const std::string ids = ExplodeProductLine(kMainId, "", db.Conn());
    explodeCpu += CpuNs() - cpuStart;
    explodeNs += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    benchmark::DoNotOptimize(ids);
    state.PauseTiming();
    floorNs += FloorNs(floor, floorRows, floorCpu);  // alternately, in the same run
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ms"] = explodeNs / n / 1e6;
  state.counters["floor_ms"] = floorNs / n / 1e6;
  state.counters["ratio"] = floorNs > 0 ? explodeNs / floorNs : 0;
  state.counters["cpu_ms"] = explodeCpu / n / 1e6;
  state.counters["floor_cpu_ms"] = floorCpu / n / 1e6;
  state.counters["cpu_ratio"] = floorCpu > 0 ? explodeCpu / floorCpu : 0;
  state.counters["materials"] = static_cast<double>(SelectedBomLines().size());
  state.counters["floor_rows"] = static_cast<double>(floorRows);
}
BENCHMARK(BM_ExplodeProductLine)->Unit(benchmark::kMillisecond);

void Explode() {
  const std::string ids = ExplodeProductLine(kMainId, "", Database().Conn());
  benchmark::DoNotOptimize(ids);
}

bench::Measured ExplodeRatio(int rounds, int perRound) {
  FloorExplosion floor(Database().Path());
  const auto check = [&] {
    const Selected a = LibrarySelected(), b = floor.Result();
    if (a.count > 0 && a.Matches(b)) return;
    std::fprintf(stderr, "explosion: library %ld materials (ids %.0f, quantity %.6f), floor %ld (ids %.0f, quantity %.6f)\n",
                 a.count, a.ids, a.quantity, b.count, b.ids, b.quantity);
    std::exit(1);
  };
  Explode();  // warm-up: the first explosion also learns the tables
  floor.Run();
  check();
  return bench::Alternate(
      rounds, perRound, Explode, [&] { floor.Run(); }, {}, {}, check);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--explodes") {  // for a profiler: N explosions
    for (int i = std::atoi(argv[2]); i > 0; --i) Explode();
    return 0;
  }
  if (argc > 1) {  // Google Benchmark flags: the detailed run
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
  }
  bench::Report report;
  report.Add("explode-1000", ExplodeRatio(15, 5), 2.5);
  UseNodes(10000);
  report.Add("explode-10000", ExplodeRatio(9, 1), 2.5);
  return 0;
}
