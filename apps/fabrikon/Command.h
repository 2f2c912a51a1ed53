// Subcommands of the fabrikon command-line host. Each command lives in its
// own file and registers itself with a static CommandRegistration object,
// with its usage line, what it does and its arguments and options for
// `fabrikon COMMAND --help`.
#pragma once
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace fabrikon::cli {

using CommandFn = std::function<int(const std::vector<std::string>& args)>;

// One argument or option as --help lists it: "--size N" and what it does.
struct OptionHelp {
  std::string name;
  std::string description;
};

struct CommandEntry {
  std::string usage;
  CommandFn run;
  std::string summary;
  std::vector<OptionHelp> options;
};

std::map<std::string, CommandEntry>& Commands();

// usage: fabrikon USAGE, the summary, then each argument and option with its
// description.
void PrintCommandHelp(std::ostream& out, const CommandEntry& entry);

struct CommandRegistration {
  CommandRegistration(const std::string& name, const std::string& usage, CommandFn fn, std::string summary = "",
                      std::vector<OptionHelp> options = {}) {
    Commands()[name] = CommandEntry{usage, std::move(fn), std::move(summary), std::move(options)};
  }
};

}  // namespace fabrikon::cli
