// fabrikon: the command-line host. Dispatches to the registered subcommands.
// Usage errors exit 2 with the usage on standard error; --help (alone, or
// right after the command) prints the usage on standard output and exits 0.
#include <iostream>

#include "Command.h"

namespace fabrikon::cli {
std::map<std::string, CommandEntry>& Commands() {
  static std::map<std::string, CommandEntry> commands;
  return commands;
}
}  // namespace fabrikon::cli

namespace {

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h" || arg == "help"; }

void PrintUsage(std::ostream& out) {
  out << "usage: fabrikon COMMAND ...\n";
  for (const auto& [name, entry] : fabrikon::cli::Commands()) out << "  fabrikon " << entry.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  using fabrikon::cli::Commands;
  if (argc >= 2 && IsHelp(argv[1])) {
    PrintUsage(std::cout);
    return 0;
  }
  if (argc < 2 || Commands().find(argv[1]) == Commands().end()) {
    if (argc >= 2) std::cerr << "fabrikon: unknown command: " << argv[1] << "\n";
    PrintUsage(std::cerr);
    return 2;
  }
  const auto& entry = Commands()[argv[1]];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << "usage: fabrikon " << entry.usage << "\n";
    return 0;
  }
  return entry.run(args);
}
