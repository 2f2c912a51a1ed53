// BenchSupport: what the benchmark programs share. Each path is measured as
// rounds that run the library and its floor alternately, so that a busy
// machine weighs on both alike; the medians of the rounds' processor times
// give the ratio. Every program ends with one line per path,
// "ratio NAME MEASURED TARGET", which ./dev bench collects.
#pragma once
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fabrikon::bench {

// Processor time of the process: wall time mostly shows the disk at commit
// and the other programs of a shared machine.
inline double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Measured {
  double library = 0;  // ms per operation (median of the rounds)
  double floor = 0;
  double Ratio() const { return floor > 0 ? library / floor : 0; }
};

// Processor time of `perRound` calls of run, each after an untimed prepare.
inline double TimePerCall(int perRound, const std::function<void()>& run, const std::function<void()>& prepare) {
  double total = 0;
  for (int i = 0; i < perRound; ++i) {
    if (prepare) prepare();
    const double start = CpuMs();
    run();
    total += CpuMs() - start;
  }
  return total / perRound;
}

// rounds x (library `perRound` times, then floor `perRound` times), each
// round followed by the untimed `check` that both did the same work.
inline Measured Alternate(int rounds, int perRound, const std::function<void()>& library,
                          const std::function<void()>& floor, const std::function<void()>& prepareLibrary = {},
                          const std::function<void()>& prepareFloor = {}, const std::function<void()>& check = {}) {
  std::vector<double> lib, flo;
  for (int r = 0; r < rounds; ++r) {
    lib.push_back(TimePerCall(perRound, library, prepareLibrary));
    flo.push_back(TimePerCall(perRound, floor, prepareFloor));
    if (check) check();
  }
  return Measured{Median(lib), Median(flo)};
}

// The ratio lines, printed together at the end of the program.
class Report {
 public:
  void Add(const std::string& name, const Measured& m, double target) {
    std::printf("%-16s library %9.4f ms  floor %9.4f ms  ratio %6.2f  (target <= %g)\n", name.c_str(), m.library,
                m.floor, m.Ratio(), target);
    std::fflush(stdout);
    char line[160];
    std::snprintf(line, sizeof line, "ratio %s %.2f %g", name.c_str(), m.Ratio(), target);
    lines_.push_back(line);
  }
  // A measure that is not a ratio of times (megabytes above the floor, a
  // spread), against its target.
  void Line(const std::string& name, double measured, double target) {
    char line[160];
    std::snprintf(line, sizeof line, "ratio %s %.2f %g", name.c_str(), measured, target);
    lines_.push_back(line);
  }
  void Note(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  }
  ~Report() {
    for (const std::string& line : lines_) std::printf("%s\n", line.c_str());
  }

 private:
  std::vector<std::string> lines_;
};

// A database file kept in the bench build folder between runs (large ones
// take a while to make): `make` writes it at the path it is given, again when
// a schema script is newer than the kept file.
inline std::string CachedDatabase(const std::string& name, const std::function<void(const std::string&)>& make) {
  namespace fs = std::filesystem;
  const fs::path file = fs::path(FABRIKON_BENCH_DIR) / name;
  bool stale = !fs::exists(file);
  for (const auto& entry : fs::directory_iterator(fs::path(FABRIKON_SOURCE_DIR) / "schema"))
    if (!stale && entry.is_regular_file() && entry.last_write_time() > fs::last_write_time(file)) stale = true;
  if (!stale) return file.string();
  const std::string making = file.string() + ".making";
  make(making);
  fs::rename(making, file);
  std::error_code ignored;
  for (const char* suffix : {"-wal", "-shm"}) fs::remove(making + suffix, ignored);
  return file.string();
}

// A database file of the benchmark's own, removed with its WAL files.
class TempPath {
 public:
  explicit TempPath(const std::string& stem) {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             (stem + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + ".db"))
                .string();
  }
  ~TempPath() {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path_ + suffix, ignored);
  }
  TempPath(const TempPath&) = delete;
  TempPath& operator=(const TempPath&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace fabrikon::bench
