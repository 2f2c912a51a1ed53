// ExplodeBench: what the outsourcing explosion costs. A product whose bill
// of materials has five levels and 1,000 nodes (each sub-assembly of the
// first four levels holds four rows; the fifth level's 660 materials are
// spread over the fourth level's heads) is exploded through
// ExplodeProductLine and compared with the floor: one recursive CTE that
// computes the same quantities over the same tables on a plain SQLite
// connection. The target is a ratio of at most 3.
//
//   build/…/ExplodeBench                 the ratio (explode-1000): alternating
//                                        rounds, medians of processor time
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
  BomDatabase()
      : path_((std::filesystem::temp_directory_path() / ("fabrikon_explode_" + std::to_string(getpid()) + ".db"))
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
    for (int level = 1; level <= kLevels && autoid < kNodes; ++level) {
      std::vector<int> next;
      const int perHead = level < kLevels ? 4 : (kNodes - autoid + static_cast<int>(heads.size()) - 1) /
                                                    static_cast<int>(heads.size());
      for (int head : heads) {
        for (int i = 0; i < perHead && autoid < kNodes; ++i) {
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

  std::string path_;
  ConnectionPtr conn_;
};

BomDatabase& Database() {
  static BomDatabase db;
  return db;
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

double FloorNs(sqlite3* db, long& rows, double& cpuNs) {
  const auto start = Clock::now();
  const double cpuStart = CpuNs();
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, kFloorQuery, -1, &statement, nullptr);
  rows = 0;
  double sink = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    ++rows;
    sink += sqlite3_column_double(statement, 1);
  }
  sqlite3_finalize(statement);
  benchmark::DoNotOptimize(sink);
  cpuNs += CpuNs() - cpuStart;
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

void BM_ExplodeProductLine(benchmark::State& state) {
  BomDatabase& db = Database();
  sqlite3* floor = nullptr;
  sqlite3_open_v2(db.Path().c_str(), &floor, SQLITE_OPEN_READONLY, nullptr);
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
  sqlite3_close(floor);
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
  sqlite3* floor = nullptr;
  sqlite3_open_v2(Database().Path().c_str(), &floor, SQLITE_OPEN_READONLY, nullptr);
  long rows = 0;
  double ignored = 0;
  Explode();  // warm-up: the first explosion also learns the tables
  FloorNs(floor, rows, ignored);
  const bench::Measured m = bench::Alternate(
      rounds, perRound, Explode, [&] { FloorNs(floor, rows, ignored); });
  sqlite3_close(floor);
  if (SelectedBomLines().size() != static_cast<size_t>(rows)) {
    std::fprintf(stderr, "explosion gave %zu materials, the floor %ld rows\n", SelectedBomLines().size(), rows);
  }
  return m;
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
  report.Add("explode-1000", ExplodeRatio(15, 5), 3);
  return 0;
}
