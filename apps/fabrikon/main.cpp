// fabrikon: the command-line host. Dispatches to the registered subcommands.
#include <iostream>

#include "Command.h"

namespace fabrikon::cli {
std::map<std::string, CommandEntry>& Commands() {
  static std::map<std::string, CommandEntry> commands;
  return commands;
}
}  // namespace fabrikon::cli

int main(int argc, char** argv) {
  using fabrikon::cli::Commands;
  if (argc < 2 || Commands().find(argv[1]) == Commands().end()) {
    std::cerr << "usage: fabrikon COMMAND ...\n";
    for (const auto& [name, entry] : Commands()) std::cerr << "  fabrikon " << entry.usage << "\n";
    return 2;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  return Commands()[argv[1]].run(args);
}
