// ConnectionRegistry: the connections open on this thread, by
// connection string. Host substitutes look the caller's connection up here so
// that they write inside its transaction instead of opening a second writer
// (SQLite allows one writer per file; a second one would wait and fail).
#pragma once
#include <memory>
#include <string>

namespace fabrikon {

class Connection;

class ConnectionRegistry {
 public:
  static void Add(const std::shared_ptr<Connection>& connection);
  // Forgets connections that no longer exist (called as one is destroyed).
  static void Prune();
  // A live connection opened with exactly this connection string by this
  // process (not one a forked child inherited): the one in a transaction when
  // there is one, else the earliest opened. Null if none.
  static std::shared_ptr<Connection> Find(const std::string& connectionString);
};

}  // namespace fabrikon
