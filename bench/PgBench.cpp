// PgBench: the library on PostgreSQL against the floor the server allows:
// the same work through raw libpq prepared statements on the same server.
// The program starts a throwaway cluster of its own (tests/pg/cluster.sh,
// unix socket only) and stops it at the end; without the PostgreSQL server
// binaries it says so and succeeds.
//
//   pg-save-10x20   VoucherSave2 of a 10-line, 200-material-row order against
//                   BEGIN, the head and lines inserted, their bills of materials
//                   read (one query), the 200 material rows inserted, COMMIT;
//                   both sides' rows are compared afterwards
//   pg-load-100k    GetVoucherData of random orders among 100,000 against the
//                   statements the library reads them with, every cell read
//   a line with saves per second for 1 and 8 clients (processes, each with
//   its own connection) and the 99th-percentile save time at 8 clients.
//
//   build/…/PgBench            the ratios and the clients' line
//   build/…/PgBench --quick    a few rounds of each (to try the program)
//   build/…/PgBench --saves N  only N of the library's saves, untimed (for a profiler)
//
// Time is processor time of the client and of its server backend together
// (the backend's from /proc/PID/schedstat): the client's alone would leave
// out what the library asks of the server. While timed, the two backends
// share one processor and the client has another (SharedPlacement).
// Wall times are printed as well.
// PGBENCH_KEEP=1 in the environment leaves the cluster running (for a look
// with psql; the next run stops it first).
#include <libpq-fe.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "fabrikon/Connection.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

namespace {

using namespace fabrikon;

constexpr int kLines = 10;
constexpr int kComponents = 20;

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

double WallMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// ---- the cluster --------------------------------------------------------------------------

// tests/pg/cluster.sh on a folder of the bench's build folder.
class Cluster {
 public:
  // False when the server binaries are missing (the script's exit 77).
  bool Start() {
    const int status = std::system(("'" + Script() + "' start '" + State() + "' >/dev/null").c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return false;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the PostgreSQL cluster did not start");
    started_ = true;
    std::ifstream file(State() + "/pg/socket-dir");
    std::getline(file, socketDir_);
    return true;
  }
  ~Cluster() {
    if (started_ && !std::getenv("PGBENCH_KEEP")) std::system(("'" + Script() + "' stop '" + State() + "' >/dev/null").c_str());
  }
  std::string Uri(const std::string& database, const std::string& application = "fabrikon_pgbench") const {
    return "postgresql:///" + database + "?host=" + socketDir_ + "&user=postgres&application_name=" + application;
  }

 private:
  static std::string Script() { return FABRIKON_SOURCE_DIR "/tests/pg/cluster.sh"; }
  static std::string State() { return FABRIKON_BENCH_DIR "/pgbench"; }
  bool started_ = false;
  std::string socketDir_;
};

// ---- raw libpq ----------------------------------------------------------------------------

using Result = std::unique_ptr<PGresult, void (*)(PGresult*)>;

class Pq {
 public:
  explicit Pq(const std::string& uri) : conn_(PQconnectdb(uri.c_str())) {
    if (PQstatus(conn_) != CONNECTION_OK) Fail(std::string("connect: ") + PQerrorMessage(conn_));
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
  }
  ~Pq() { PQfinish(conn_); }
  Pq(const Pq&) = delete;
  Pq& operator=(const Pq&) = delete;

  Result Exec(const std::string& sql) { return Check(PQexec(conn_, sql.c_str()), sql); }
  std::string Value(const std::string& sql) {
    Result r = Exec(sql);
    return PQntuples(r.get()) > 0 && !PQgetisnull(r.get(), 0, 0) ? PQgetvalue(r.get(), 0, 0) : "";
  }
  void Prepare(const std::string& name, const std::string& sql) {
    Check(PQprepare(conn_, name.c_str(), sql.c_str(), 0, nullptr), sql);
  }
  // Runs a prepared statement with text parameters (nullptr for NULL).
  Result Run(const std::string& name, const std::vector<const char*>& values) {
    return Check(PQexecPrepared(conn_, name.c_str(), static_cast<int>(values.size()), values.data(), nullptr,
                                nullptr, 0),
                 name);
  }
  int BackendPid() const { return PQbackendPID(conn_); }

 private:
  Result Check(PGresult* raw, const std::string& what) {
    Result r(raw, &PQclear);
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
      Fail(what + ": " + (r ? PQresultErrorMessage(r.get()) : PQerrorMessage(conn_)));
    return r;
  }
  PGconn* conn_;
};

// Reads every cell, as the library's recordset does; the rows seen.
int ReadAll(const PGresult* r) {
  volatile size_t bytes = 0;
  for (int row = 0; row < PQntuples(r); ++row)
    for (int col = 0; col < PQnfields(r); ++col) bytes = bytes + std::strlen(PQgetvalue(r, row, col));
  return PQntuples(r);
}

// ---- processor time of a client and its server backend -------------------------------------

// Nanoseconds the process has run (the first field of /proc/PID/schedstat).
double BackendCpuMs(int pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/schedstat");
  double ns = 0;
  if (!(file >> ns)) return 0;
  return ns / 1e6;
}

bool CanReadBackends(int pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/schedstat");
  double ns = 0;
  return static_cast<bool>(file >> ns);
}

// One path of a ratio: the operation, its untimed preparation, and the
// server backend whose processor time it is charged with.
struct Side {
  Side(std::function<void()> run, std::function<void()> prepare, int backend)
      : run(std::move(run)), prepare(std::move(prepare)), backend(backend) {}
  std::function<void()> run;
  std::function<void()> prepare;
  int backend = 0;
  std::vector<double> cpu, wall, server;
};

void TimeRound(Side& side, int perRound) {
  double cpu = 0, wall = 0, server = 0;
  for (int i = 0; i < perRound; ++i) {
    if (side.prepare) side.prepare();
    const double c = bench::CpuMs(), s = BackendCpuMs(side.backend), w = WallMs();
    side.run();
    const double serverPart = BackendCpuMs(side.backend) - s;
    cpu += bench::CpuMs() - c + serverPart;
    server += serverPart;
    wall += WallMs() - w;
  }
  side.cpu.push_back(cpu / perRound);
  side.server.push_back(server / perRound);
  side.wall.push_back(wall / perRound);
}

struct PgMeasured {
  bench::Measured cpu, wall, server;  // server: the backend's part of cpu
};

// While timed, both backends run on one processor and this client on
// another. The processors of a virtual machine need not run at one speed:
// on the machine this was measured on, each one's processor time for the
// same loop moved between two speeds twice apart, over seconds and
// independently of the other. Left to the scheduler, the library's backend
// and the floor's could sit on different processors for a whole run and
// charge that difference to the ratio; on one processor, in turns within
// each round, they meet the same speeds. The client keeps a processor of its
// own, as a client of a server does.
class SharedPlacement {
 public:
  SharedPlacement(int libraryBackend, int floorBackend) {
    if (sched_getaffinity(0, sizeof client_, &client_) != 0 || CPU_COUNT(&client_) < 2) return;
    int first = -1, last = -1;  // of the processors this process may use
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (!CPU_ISSET(cpu, &client_)) continue;
      if (first < 0) first = cpu;
      last = cpu;
    }
    cpu_set_t server, client;
    CPU_ZERO(&server);
    CPU_ZERO(&client);
    CPU_SET(last, &server);
    CPU_SET(first, &client);
    restore_ = sched_setaffinity(0, sizeof client, &client) == 0;
    if (!restore_ || sched_setaffinity(libraryBackend, sizeof server, &server) != 0 ||
        sched_setaffinity(floorBackend, sizeof server, &server) != 0)
      std::printf("note: the backends could not be placed on one processor\n");
  }
  ~SharedPlacement() {
    if (restore_) sched_setaffinity(0, sizeof client_, &client_);
  }
  SharedPlacement(const SharedPlacement&) = delete;
  SharedPlacement& operator=(const SharedPlacement&) = delete;

 private:
  cpu_set_t client_{};  // this process's processors before
  bool restore_ = false;
};

// rounds x (library perRound times, then floor perRound times).
PgMeasured Alternate(int rounds, int perRound, Side& library, Side& floor) {
  const SharedPlacement placement(library.backend, floor.backend);
  for (int r = 0; r < rounds; ++r) {
    TimeRound(library, perRound);
    TimeRound(floor, perRound);
  }
  return {{bench::Median(library.cpu), bench::Median(floor.cpu)},
          {bench::Median(library.wall), bench::Median(floor.wall)},
          {bench::Median(library.server), bench::Median(floor.server)}};
}

// The backend of the library's connection, found by its application name.
int BackendOf(Pq& observer, const std::string& application) {
  const std::string pid = observer.Value("SELECT pid FROM pg_stat_activity WHERE application_name = '" +
                                         application + "' ORDER BY backend_start DESC LIMIT 1");
  if (pid.empty()) Fail("no backend for " + application);
  if (!CanReadBackends(std::atoi(pid.c_str())))
    std::printf("note: /proc/%s/schedstat cannot be read: the times leave the server's out\n", pid.c_str());
  return std::atoi(pid.c_str());
}

// ---- databases -----------------------------------------------------------------------------

std::string CreateDatabase(const Cluster& cluster, const std::string& name) {
  Pq server(cluster.Uri("postgres"));
  server.Exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
  server.Exec("CREATE DATABASE " + name);
  const std::string uri = cluster.Uri(name);
  CreateHostDatabase(uri, /*bDemo*/ true, /*bForce*/ true);
  return uri;
}

// The URI under an application name of its own (to find its backend).
std::string Application(const std::string& uri, const std::string& name) {
  return uri.substr(0, uri.find("&application_name=")) + "&application_name=" + name;
}

std::string Product(int line) { return "BP" + std::to_string(100 + line); }
std::string Component(int line, int c) { return Product(line) + "-C" + std::to_string(100 + c); }
std::string OrderCode(int number) {
  std::string code = "B";
  code += std::to_string(1000000 + number);
  return code;
}
std::string NumberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}
double PerUnit(int c) { return 1 + c % 4 * 0.5; }
double Waste(int c) { return c % 5 * 2.5; }

// The ten products' bills of materials, as SaveBench writes them (keys past the demo's).
void WriteBoms(const std::string& uri) {
  Pq db(uri);
  std::string batch = "BEGIN;";
  for (int line = 1; line <= kLines; ++line) {
    const std::string head = std::to_string(1000 + line);
    batch += "INSERT INTO ProductStructure(iAutoId,CPSPCode,cversion) VALUES (" + head + ",'" + Product(line) +
             "','1.0');";
    for (int c = 1; c <= kComponents; ++c) {
      batch += "INSERT INTO ProductStructures(IPID,CPSCode,cDepCode,cWhCode,iPSQuantity,iWasteRate) VALUES (" +
               head + ",'" + Component(line, c) + "','D01','W01'," + NumberText(PerUnit(c)) + "," +
               NumberText(Waste(c)) + ");";
    }
  }
  db.Exec(batch + "COMMIT;");
}

LoginInfoPtr BenchLogin() { return std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 11}, "Bench", "bench"); }

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

// One order after the other through VoucherSave2.
class SaveSession {
 public:
  SaveSession(const std::string& uri, int firstNumber) : conn_(OpenConnection(uri)), number_(firstNumber) {
    co_.Init(BenchLogin(), conn_, "pp25");
  }
  void Fill() { FillNewOrder(*form_, ++number_); }
  void Save() {
    Variant curId;
    const std::string answer = co_.VoucherSave2(form_, 2, curId);
    if (!answer.empty()) Fail("save of " + OrderCode(number_) + ": " + answer);
  }

 private:
  ConnectionPtr conn_;
  clsVoucherCO co_;
  std::shared_ptr<EmbeddedVoucherForm> form_ = std::make_shared<EmbeddedVoucherForm>();
  int number_;
};

// ---- pg-save-10x20 --------------------------------------------------------------------------

// The floor of a save: one transaction of prepared statements that writes
// the head and the lines, reads the lines' bills of materials (as the
// library must) and writes a material row per component. Keys are counted
// on from the greatest at the start.
class FloorWriter {
 public:
  explicit FloorWriter(const std::string& uri) : db_(uri) {
    id_ = std::atoll(db_.Value("SELECT coalesce(max(id),0) FROM pp_productpo").c_str());
    mainId_ = std::atoll(db_.Value("SELECT coalesce(max(mainid),0) FROM pp_pomain").c_str());
    subId_ = std::atoll(db_.Value("SELECT coalesce(max(subid),0) FROM PP_PODetails").c_str());
    db_.Prepare("head", "INSERT INTO pp_productpo(id,ccode,ddate,cmaker,dplandate,cdepcode) VALUES ($1,$2,$3,$4,$5,$6)");
    db_.Prepare("line", "INSERT INTO pp_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate) VALUES ($1,$2,$3,$4,$5,$6)");
    std::string bom = "SELECT pm.mainid, s.cpscode, s.cdepcode, s.cwhcode, coalesce(s.ipsquantity,0), "
                      "coalesce(s.iwasterate,0), s.cfree1, s.cfree2, s.cfree3, s.cfree4, s.cfree5, s.cfree6, s.cfree7, "
                      "s.cfree8, s.cfree9, s.cfree10, pm.fquantity*s.ipsquantity*(1+coalesce(s.iwasterate,0)/100) "
                      "FROM pp_pomain pm JOIN ProductStructure p ON p.cpspcode = pm.cinvcode";
    for (int f = 1; f <= 10; ++f) {
      const std::string free = "cfree" + std::to_string(f);
      bom += " AND coalesce(p." + free + ",'') = coalesce(pm." + free + ",'')";
    }
    db_.Prepare("bom", bom + " JOIN ProductStructures s ON s.ipid = p.iautoid WHERE pm.id = $1 ORDER BY pm.mainid, s.autoid");
    db_.Prepare("material",
                "INSERT INTO PP_PODetails(MainID,SubID,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,"
                "iPSQuantity,iWasteRate,cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) "
                "VALUES ($1,$2,'',$3,$4,0,$5,$6,$7,$8,$9,$10,$11,$12,$13,$14,$15,$16,$17,$18)");
  }
  void Save() {
    ++number_;
    db_.Exec("BEGIN");
    const std::string id = std::to_string(++id_), code = OrderCode(number_);
    db_.Run("head", {id.c_str(), code.c_str(), "2024-03-11 00:00:00", "bench", "2024-03-29 00:00:00", "D01"});
    for (int line = 1; line <= kLines; ++line) {
      const std::string mainId = std::to_string(++mainId_), product = Product(line),
                        quantity = std::to_string(line * 10);
      db_.Run("line", {mainId.c_str(), id.c_str(), product.c_str(), quantity.c_str(), "2024-03-13 00:00:00",
                       "2024-03-29 00:00:00"});
    }
    Result bom = db_.Run("bom", {id.c_str()});
    for (int row = 0; row < PQntuples(bom.get()); ++row) WriteMaterial(bom.get(), row);
    db_.Exec("COMMIT");
  }
  int BackendPid() const { return db_.BackendPid(); }

 private:
  void WriteMaterial(const PGresult* bom, int row) {
    const auto cell = [&](int col) { return PQgetisnull(bom, row, col) ? nullptr : PQgetvalue(bom, row, col); };
    const std::string subId = std::to_string(++subId_);
    std::vector<const char*> values{cell(0), subId.c_str(), cell(1), cell(16), cell(2), cell(3), cell(4), cell(5)};
    for (int f = 6; f <= 15; ++f) values.push_back(cell(f));
    db_.Run("material", values);
  }

  Pq db_;
  long long id_ = 0, mainId_ = 0, subId_ = 0;
  int number_ = 0;
};

// What the bench's orders left in a database, keys aside: per table the
// rows, a digest of their values, and the distinct row versions.
std::vector<std::string> OrdersWritten(const std::string& uri) {
  Pq db(uri);
  const std::string ours = "h.ccode COLLATE \"C\" LIKE 'B1%'";
  const auto digest = [&](const std::string& row, const std::string& from, const std::string& version) {
    return db.Value("SELECT concat_ws(' ', count(*), md5(string_agg(" + row + "::text, ',' ORDER BY " + row +
                    "::text COLLATE \"C\")), " + (version.empty() ? "''" : "count(DISTINCT " + version + ")") +
                    ") FROM " + from + " WHERE " + ours);
  };
  return {
      digest("row(h.ccode, h.ddate, h.cmaker, h.dplandate, h.cdepcode, h.cpersoncode, h.cverifier, h.iproperty, "
             "h.itype, h.cmemo)",
             "pp_productpo h", "h.qxts"),
      digest("row(h.ccode, m.cinvcode, m.fquantity, m.dstartdate, m.denddate, m.cclose, m.idatafrom, m.cmemo, "
             "m.cfree1, m.cfree2, m.cfree3, m.cfree4, m.cfree5, m.cfree6, m.cfree7, m.cfree8, m.cfree9, m.cfree10)",
             "pp_pomain m JOIN pp_productpo h ON h.id = m.id", "m.qxts"),
      digest("row(h.ccode, m.cinvcode, d.cCode, d.cInvCode, round(d.fQuantity::numeric, 9), d.fOutQuantity, d.cDepCode, d.cWhCode, "
             "d.iPSQuantity, d.iWasteRate, d.cFree1, d.cFree2, d.cFree3, d.cFree4, d.cFree5, d.cFree6, d.cFree7, "
             "d.cFree8, d.cFree9, d.cFree10)",
             "PP_PODetails d JOIN pp_pomain m ON m.mainid = d.MainID JOIN pp_productpo h ON h.id = m.id", ""),
  };
}

// Both sides wrote `orders` orders, the same rows, each head and line with a row version of its own.
void CheckSaves(const std::string& libraryUri, const std::string& floorUri, int orders) {
  const std::vector<std::string> library = OrdersWritten(libraryUri), floor = OrdersWritten(floorUri);
  const std::vector<std::string> expected{std::to_string(orders), std::to_string(orders * kLines),
                                          std::to_string(orders * kLines * kComponents)};
  const char* tables[] = {"pp_productpo", "pp_pomain", "PP_PODetails"};
  for (size_t t = 0; t < library.size(); ++t) {
    if (library[t] != floor[t]) Fail(std::string(tables[t]) + " differs: library " + library[t] + ", floor " + floor[t]);
    std::istringstream fields(library[t]);
    std::string rows, digest, versions;
    fields >> rows >> digest >> versions;
    if (rows != expected[t]) Fail(std::string(tables[t]) + ": " + rows + " rows, expected " + expected[t]);
    if (t < 2 && versions != rows) Fail(std::string(tables[t]) + ": " + versions + " row versions for " + rows + " rows");
  }
}

PgMeasured SaveRatio(const Cluster& cluster, int rounds, int perRound) {
  const std::string libraryUri = CreateDatabase(cluster, "pgbench_save_library");
  const std::string floorUri = CreateDatabase(cluster, "pgbench_save_floor");
  WriteBoms(libraryUri);
  WriteBoms(floorUri);
  SaveSession library(Application(libraryUri, "pgbench_save_library"), 0);
  FloorWriter floor(floorUri);
  for (int i = 0; i < 2; ++i) {  // warm-up: the first save also learns the tables
    library.Fill();
    library.Save();
    floor.Save();
  }
  Pq observer(cluster.Uri("postgres"));
  Side lib{[&] { library.Save(); }, [&] { library.Fill(); }, BackendOf(observer, "pgbench_save_library")};
  Side flo{[&] { floor.Save(); }, {}, floor.BackendPid()};
  const PgMeasured m = Alternate(rounds, perRound, lib, flo);
  CheckSaves(libraryUri, floorUri, 2 + rounds * perRound);
  return m;
}

// N library saves and nothing else: what a profiler should see of a save.
void SavesOnly(const Cluster& cluster, int saves) {
  const std::string uri = CreateDatabase(cluster, "pgbench_save_library");
  WriteBoms(uri);
  SaveSession library(uri, 0);
  for (int i = 0; i < saves; ++i) {
    library.Fill();
    library.Save();
  }
}

// ---- pg-load-100k --------------------------------------------------------------------------

// `orders` production orders of one line each, written on the server, after the demo's.
long long WriteOrders(const std::string& uri, int orders) {
  Pq db(uri);
  const long long base = std::atoll(db.Value("SELECT coalesce(max(id),0) FROM pp_productpo").c_str());
  const long long mainBase = std::atoll(db.Value("SELECT coalesce(max(mainid),0) FROM pp_pomain").c_str());
  const std::string n = std::to_string(orders), b = std::to_string(base), mb = std::to_string(mainBase);
  db.Exec("INSERT INTO pp_productpo(id,ccode,ddate,cmaker,dplandate,cdepcode) SELECT " + b + "+g, 'N'||(1000000+g), "
          "'2024-03-11 00:00:00', 'bench', '2024-03-29 00:00:00', 'D01' FROM generate_series(1," + n + ") g");
  db.Exec("INSERT INTO pp_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate) SELECT " + mb + "+g, " + b +
          "+g, 'P'||(g % 50), 10, '2024-03-13 00:00:00', '2024-03-29 00:00:00' FROM generate_series(1," + n + ") g");
  db.Exec("ANALYZE");
  return base;
}

// What the library reads to load an order, prepared once, every cell read.
class FloorLoader {
 public:
  // With `endsFrom` "pp_productpo" the first and last keys come from the
  // table (its index) rather than through the head view as the library reads them.
  explicit FloorLoader(const std::string& uri, const std::string& endsFrom = "pp_scdd_h") : db_(uri) {
    db_.Prepare("head", "SELECT *,'' AS editprop FROM pp_scdd_h WHERE id = $1");
    db_.Prepare("body", "SELECT *,'' AS editprop FROM pp_scdd_l WHERE id = $1 ORDER BY id");
    db_.Prepare("ends", "SELECT (SELECT MAX(id) FROM " + endsFrom + ") AS MaxID, (SELECT min(id) FROM " + endsFrom +
                            ") AS MinID");
  }
  // The rows read: the head, its line and the first and last keys.
  int Load(long long id) {
    const std::string key = std::to_string(id);
    return ReadAll(db_.Run("head", {key.c_str()}).get()) + ReadAll(db_.Run("body", {key.c_str()}).get()) +
           ReadAll(db_.Run("ends", {}).get());
  }
  int BackendPid() const { return db_.BackendPid(); }

 private:
  Pq db_;
};

// The floor's load with the first and last keys read from the table: what
// reading them through the head view costs both sides.
double LoadWithEndsFromTable(const std::string& uri, int orders, long long base, int rounds, int perRound) {
  FloorLoader floor(uri, "pp_productpo");
  std::mt19937 random(11);
  std::uniform_int_distribution<int> pick(1, orders);
  Side side{[&] {
              if (floor.Load(base + pick(random)) != 3) Fail("the floor did not read one head, one line and the ends");
            },
            {}, floor.BackendPid()};
  for (int r = 0; r < rounds; ++r) TimeRound(side, perRound);
  return bench::Median(side.cpu);
}

PgMeasured LoadRatio(const Cluster& cluster, bench::Report& report, int orders, int rounds, int perRound) {
  const std::string uri = CreateDatabase(cluster, "pgbench_load");
  const long long base = WriteOrders(uri, orders);
  ConnectionPtr conn = OpenConnection(Application(uri, "pgbench_load_library"));
  clsVoucherCO co;
  co.Init(BenchLogin(), conn, "pp25");
  auto form = std::make_shared<EmbeddedVoucherForm>();
  FloorLoader floor(uri);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(1, orders);
  int loaded = 0;
  // The order loaded last is in the documents (checked before the next load, untimed).
  const auto check = [&] {
    if (loaded == 0) return;
    const std::string code = "N" + std::to_string(1000000 + loaded);
    if (form->HeadDOM()->xml().find(code) == std::string::npos || form->BodyDOM()->selectNodes("//z:row").length() != 1)
      Fail("the library did not load order " + code);
  };
  Pq observer(cluster.Uri("postgres"));
  Side lib{[&] { co.GetVoucherData(form, "", Variant(base + (loaded = pick(random)))); }, check,
           BackendOf(observer, "pgbench_load_library")};
  Side flo{[&] {
             if (floor.Load(base + pick(random)) != 3) Fail("the floor did not read one head, one line and the ends");
           },
           {}, floor.BackendPid()};
  lib.run();
  const PgMeasured m = Alternate(rounds, perRound, lib, flo);
  char line[200];
  std::snprintf(line, sizeof line, "pg-load-100k: the floor with the first and last keys read from pp_productpo "
                "rather than through pp_scdd_h: %.4f ms", LoadWithEndsFromTable(uri, orders, base, rounds, perRound));
  report.Note(line);
  return m;
}

// ---- concurrent clients -----------------------------------------------------------------------

struct ClientTimes {
  int saves = 0;
  double elapsedMs = 0;
  std::vector<double> saveMs;
};

// A client process: its own connection, one untimed save, then `saves`
// saves from the go signal; writes their count, its time and the save times to `out`.
[[noreturn]] void RunClient(const std::string& uri, int client, int go, int out, int saves) {
  int status = 0;
  try {
    SaveSession session(Application(uri, "pgbench_client_" + std::to_string(client)), client * 1000000);
    session.Fill();
    session.Save();
    char signal = 0;
    if (read(go, &signal, 1) != 1) _exit(3);
    std::vector<double> times;
    const double start = WallMs();
    for (int i = 0; i < saves; ++i) {
      session.Fill();
      const double before = WallMs();
      session.Save();
      times.push_back(WallMs() - before);
    }
    const double elapsed = WallMs() - start;
    const int count = static_cast<int>(times.size());
    if (write(out, &count, sizeof count) != sizeof count || write(out, &elapsed, sizeof elapsed) != sizeof elapsed ||
        write(out, times.data(), times.size() * sizeof(double)) != static_cast<ssize_t>(times.size() * sizeof(double)))
      status = 4;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "client %d: %s\n", client, e.what());
    status = 2;
  }
  std::fflush(stderr);
  _exit(status);  // no destructors: the parent's connections are not the child's to close
}

ClientTimes ReadClient(int in) {
  ClientTimes t;
  if (read(in, &t.saves, sizeof t.saves) != sizeof t.saves || read(in, &t.elapsedMs, sizeof t.elapsedMs) != sizeof t.elapsedMs)
    Fail("a client sent no times");
  t.saveMs.resize(static_cast<size_t>(t.saves));
  size_t wanted = t.saveMs.size() * sizeof(double), got = 0;
  char* into = reinterpret_cast<char*>(t.saveMs.data());
  while (got < wanted) {
    const ssize_t n = read(in, into + got, wanted - got);
    if (n <= 0) Fail("a client's times were cut short");
    got += static_cast<size_t>(n);
  }
  return t;
}

struct Throughput {
  double savesPerSecond = 0, p99Ms = 0, medianMs = 0;
  int saves = 0;
};

// `clients` processes, each making `saves` saves at once; saves per second
// from the go signal to the last client's end.
Throughput Concurrent(const std::string& uri, int clients, int saves) {
  int go[2];
  if (pipe(go) != 0) Fail("pipe");
  std::vector<pid_t> pids;
  std::vector<int> outs;
  std::fflush(stdout);
  for (int c = 0; c < clients; ++c) {
    int out[2];
    if (pipe(out) != 0) Fail("pipe");
    const pid_t pid = fork();
    if (pid == 0) {
      close(go[1]);
      close(out[0]);
      RunClient(uri, clients * 10 + c, go[0], out[1], saves);
    }
    close(out[1]);
    pids.push_back(pid);
    outs.push_back(out[0]);
  }
  close(go[0]);
  sleep(1);  // the clients connect and make their first save
  const std::string signals(static_cast<size_t>(clients), 'g');
  if (write(go[1], signals.data(), signals.size()) != static_cast<ssize_t>(signals.size())) Fail("go signal");
  close(go[1]);
  Throughput result;
  std::vector<double> all;
  double longest = 0;
  for (int c = 0; c < clients; ++c) {
    const ClientTimes t = ReadClient(outs[static_cast<size_t>(c)]);
    close(outs[static_cast<size_t>(c)]);
    result.saves += t.saves;
    longest = std::max(longest, t.elapsedMs);
    all.insert(all.end(), t.saveMs.begin(), t.saveMs.end());
  }
  bool failed = false;
  for (pid_t pid : pids) {
    int status = 0;
    waitpid(pid, &status, 0);
    failed = failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  }
  if (failed || all.empty()) Fail("a client failed");
  std::sort(all.begin(), all.end());
  result.savesPerSecond = result.saves / (longest / 1000);
  result.p99Ms = all[std::min(all.size() - 1, static_cast<size_t>(std::ceil(0.99 * static_cast<double>(all.size()))) - 1)];
  result.medianMs = bench::Median(all);
  return result;
}

void ConcurrencyReport(const Cluster& cluster, bench::Report& report, int savesAlone, int savesEach) {
  const std::string uri = CreateDatabase(cluster, "pgbench_concurrent");
  WriteBoms(uri);
  const Throughput one = Concurrent(uri, 1, savesAlone);
  const Throughput eight = Concurrent(uri, 8, savesEach);
  const std::string expected = std::to_string(one.saves + eight.saves + 1 + 8);
  const std::string written = Pq(uri).Value("SELECT count(*) FROM pp_productpo WHERE ccode COLLATE \"C\" LIKE 'B%'");
  if (written != expected) Fail("the clients wrote " + written + " orders, expected " + expected);
  char line[240];
  std::snprintf(line, sizeof line,
                "pg-save-10x20 clients: 1 client %.1f saves/s (median %.1f ms); 8 clients %.1f saves/s, "
                "median %.1f ms, 99th percentile %.1f ms (%d saves)",
                one.savesPerSecond, one.medianMs, eight.savesPerSecond, eight.medianMs, eight.p99Ms, eight.saves);
  report.Note(line);
}

void Add(bench::Report& report, const std::string& name, const PgMeasured& m, double target) {
  char line[240];
  std::snprintf(line, sizeof line,
                "%-16s wall: library %9.4f ms  floor %9.4f ms  ratio %6.2f; of the processor time the server's: "
                "library %.4f ms, floor %.4f ms",
                name.c_str(), m.wall.library, m.wall.floor, m.wall.Ratio(), m.server.library, m.server.floor);
  report.Note(line);
  report.Add(name, m.cpu, target);
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
  try {
    Cluster cluster;
    if (!cluster.Start()) {
      std::printf("pg ratios skipped: the PostgreSQL server binaries are not installed\n");
      return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "--saves") {
      SavesOnly(cluster, std::atoi(argv[2]));
      return 0;
    }
    bench::Report report;
    if (quick) {
      Add(report, "pg-save-10x20", SaveRatio(cluster, 3, 2), 2);
      Add(report, "pg-load-100k", LoadRatio(cluster, report, 100000, 3, 5), 3);
      ConcurrencyReport(cluster, report, 3, 2);
      return 0;
    }
    Add(report, "pg-save-10x20", SaveRatio(cluster, 15, 4), 2);
    Add(report, "pg-load-100k", LoadRatio(cluster, report, 100000, 15, 20), 3);
    ConcurrencyReport(cluster, report, 20, 10);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "PgBench failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
