// fabrikon init-db DB [--demo] [--force]: creates the embedded host database
// (with the demo plant on request). An existing file is replaced only when
// forced.
#include <exception>
#include <iostream>

#include "Command.h"
#include "ErrorOutput.h"
#include "data/HostDatabase.h"

namespace fabrikon::cli {
namespace {

constexpr const char* kUsage = "init-db DB [--demo] [--force]";

int InitDb(const std::vector<std::string>& args) {
  std::string path;
  bool demo = false;
  bool force = false;
  for (const std::string& arg : args) {
    if (arg == "--demo") {
      demo = true;
    } else if (arg == "--force") {
      force = true;
    } else if (arg.rfind("--", 0) == 0 || !path.empty()) {
      std::cerr << "usage: fabrikon " << kUsage << "\n";
      return 2;
    } else {
      path = arg;
    }
  }
  if (path.empty()) {
    std::cerr << "usage: fabrikon " << kUsage << "\n";
    return 2;
  }
  try {
    HostDatabase::Create(path, demo, force);
  } catch (const ComError& e) {
    return ReportError(e);
  } catch (const std::exception& e) {
    return ReportError(ErrorNumber::E_FAIL_, e.what());
  }
  std::cout << "created " << path << " (schema version " << HostDatabase::CurrentVersion()
            << (demo ? ", demo plant" : "") << ")\n";
  return 0;
}

const CommandRegistration registration("init-db", kUsage, InitDb);

}  // namespace
}  // namespace fabrikon::cli
