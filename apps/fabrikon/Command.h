// Subcommands of the fabrikon command-line host. Each command lives in its
// own file and registers itself with a static FABRIKON_COMMAND object.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fabrikon::cli {

using CommandFn = std::function<int(const std::vector<std::string>& args)>;

struct CommandEntry {
  std::string usage;
  CommandFn run;
};

std::map<std::string, CommandEntry>& Commands();

struct CommandRegistration {
  CommandRegistration(const std::string& name, const std::string& usage, CommandFn fn) {
    Commands()[name] = CommandEntry{usage, std::move(fn)};
  }
};

}  // namespace fabrikon::cli
