// fabrikon demo [DB] [--force]: the first thing to run. Creates a fresh demo
// plant (in a temporary file that is removed afterwards, or in DB, which is
// kept for `fabrikon shell`) and walks one production order through its life
// by way of the voucher service façade, printing every call and the
// library's answer. Exit status 0 when every answer was the expected one.
// An existing DB is replaced only with --force, so that a mistyped name
// cannot wipe a database someone works with.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>

#include "Command.h"
#include "DemoOutput.h"
#include "ErrorOutput.h"
#include "ProductionOrderDemo.h"
#include "data/HostDatabase.h"
#include "data/PgConnection.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"

namespace fabrikon::cli {
namespace {

constexpr const char* kUsage = "demo [DB] [--force]";

struct DemoOptions {
  std::string path;
  bool keep = false;  // DB was given: leave it for the shell
  bool force = false;
};

bool ParseOptions(const std::vector<std::string>& args, DemoOptions& options) {
  for (const std::string& arg : args) {
    if (arg == "--force") {
      options.force = true;
    } else if (arg.rfind("--", 0) == 0 || !options.path.empty()) {
      return false;
    } else {
      options.path = arg;
    }
  }
  options.keep = !options.path.empty();
  if (!options.keep) {
    options.path = (std::filesystem::temp_directory_path() /
                    ("fabrikon-demo-" + std::to_string(::getpid()) + ".db")).string();
  }
  return true;
}

void RemoveDatabase(const std::string& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + suffix, ignored);
}

int Walk(const DemoOptions& options, DemoOutput& out) {
  const auto start = std::chrono::steady_clock::now();
  // A PostgreSQL URI names an existing database: the demo plant replaces the host schema in it.
  const bool server = PgConnection::IsPgConnectionString(options.path);
  const std::string shown = server ? PgConnection::Masked(options.path) : options.path;
  if (server) {
    CreateHostDatabase(options.path, /*bDemo*/ true, /*bForce*/ true);
  } else {
    HostDatabase::Create(options.path, /*bDemo*/ true, /*bForce*/ true);
  }
  auto login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 11}, "李娜", "lina");
  out.Title("fabrikon demo: one production order of the demo plant through its life, driven through clsVoucherCO");
  out.Title("database: " + shown + (options.keep ? "" : " (temporary)") + ", a fresh demo plant");
  out.Title("login: 李娜 (lina, planner), dated 2024-03-11");
  {
    ProductionOrderDemo demo(OpenConnection(server ? options.path : HostDatabase::ConnectionStringFor(options.path)),
                             login, out);
    demo.Run();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.2f s", seconds);
  out.Title("");
  if (out.Unexpected() == 0) {
    out.Title("done: " + std::to_string(out.Steps()) + " steps, every answer as expected (" + elapsed + ")");
  } else {
    out.Title("done: " + std::to_string(out.Steps()) + " steps, " + std::to_string(out.Unexpected()) +
              " answers NOT as expected (" + elapsed + ")");
  }
  if (options.keep) out.Title("explore it further: fabrikon shell " + shown + " --user lina --date 2024-03-11");
  return out.Unexpected() == 0 ? 0 : 1;
}

int RunDemo(const std::vector<std::string>& args) {
  DemoOptions options;
  if (!ParseOptions(args, options)) {
    std::cerr << "usage: fabrikon " << kUsage << "\n";
    return 2;
  }
  if (options.keep && !PgConnection::IsPgConnectionString(options.path) && std::filesystem::exists(options.path) &&
      !options.force) {
    std::cerr << "fabrikon demo: " << options.path << " exists (--force replaces it)\n";
    return 1;
  }
  DemoOutput out(std::cout);
  int status = 1;
  try {
    status = Walk(options, out);
  } catch (const ComError& e) {
    status = ReportError(e);
  } catch (const std::exception& e) {
    status = ReportError(ErrorNumber::E_FAIL_, e.what());
  }
  std::cout.flush();
  if (!options.keep) RemoveDatabase(options.path);
  return status;
}

const CommandRegistration registration(
    "demo", kUsage, RunDemo,
    "Walks one production order of a fresh demo plant through its life, printing every call and answer.",
    {{"DB", "keep the demo plant in this file (or postgresql:// URI) for the shell; default: a temporary file"},
     {"--force", "replace an existing DB"}});

}  // namespace
}  // namespace fabrikon::cli
