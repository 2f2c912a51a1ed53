// fabrikon: the command-line host. Dispatches to the registered subcommands.
// Usage errors exit 2 with the usage on standard error; --help (alone, or
// among a command's arguments) prints the usage, what the command does and
// its options on standard output and exits 0. `fabrikon --help` also lists
// the card numbers with their classes.
#include <algorithm>
#include <iomanip>
#include <iostream>

#include "CardClasses.h"
#include "Command.h"

namespace fabrikon::cli {
std::map<std::string, CommandEntry>& Commands() {
  static std::map<std::string, CommandEntry> commands;
  return commands;
}

void PrintCommandHelp(std::ostream& out, const CommandEntry& entry) {
  out << "usage: fabrikon " << entry.usage << "\n";
  if (!entry.summary.empty()) out << entry.summary << "\n";
  if (entry.options.empty()) return;
  size_t width = 0;
  for (const OptionHelp& option : entry.options) width = std::max(width, option.name.size());
  out << "\n";
  for (const OptionHelp& option : entry.options) {
    out << "  " << std::left << std::setw(static_cast<int>(width)) << option.name << "  " << option.description
        << "\n";
  }
}
}  // namespace fabrikon::cli

namespace {

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h" || arg == "help"; }

void PrintUsage(std::ostream& out) {
  out << "usage: fabrikon COMMAND ...\n";
  for (const auto& [name, entry] : fabrikon::cli::Commands()) out << "  fabrikon " << entry.usage << "\n";
}

void PrintCards(std::ostream& out) {
  out << "\n`fabrikon COMMAND --help` describes a command's arguments and options.\n"
      << "\ncard numbers (CARD of list, init CARD in the shell) and their classes:\n";
  for (const fabrikon::cli::CardClass& card : fabrikon::cli::CardClasses()) {
    out << "  " << std::left << std::setw(6) << card.card << std::setw(16)
        << (card.className.empty() ? "(none)" : card.className) << card.voucher << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  using fabrikon::cli::Commands;
  if (argc >= 2 && IsHelp(argv[1])) {
    PrintUsage(std::cout);
    PrintCards(std::cout);
    return 0;
  }
  if (argc < 2 || Commands().find(argv[1]) == Commands().end()) {
    if (argc >= 2) std::cerr << "fabrikon: unknown command: " << argv[1] << "\n";
    PrintUsage(std::cerr);
    return 2;
  }
  const auto& entry = Commands()[argv[1]];
  std::vector<std::string> args(argv + 2, argv + argc);
  // sql takes T-SQL text, which may be anything: only its first argument asks for help.
  const bool help = std::string(argv[1]) == "sql"
                        ? !args.empty() && (args[0] == "--help" || args[0] == "-h")
                        : std::any_of(args.begin(), args.end(),
                                      [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
  if (help) {
    fabrikon::cli::PrintCommandHelp(std::cout, entry);
    return 0;
  }
  return entry.run(args);
}
