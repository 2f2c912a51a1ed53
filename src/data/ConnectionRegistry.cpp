// ConnectionRegistry: a thread-local list of weak references. It never keeps
// a connection alive; destroyed connections drop out.
#include "data/ConnectionRegistry.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "fabrikon/Connection.h"

namespace fabrikon {

namespace {

struct Entry {
  std::string connectionString;
  std::weak_ptr<Connection> connection;
  pid_t process;  // a child made by fork must not share its parent's server session
};

// Set once this thread's list is gone, so that a connection destroyed during
// thread exit (after the list) does not touch it. Trivially destructible, so
// it outlives every other thread-local object.
thread_local bool tListDestroyed = false;

struct EntryList {
  std::vector<Entry> entries;
  ~EntryList() { tListDestroyed = true; }
};

std::vector<Entry>* Entries() {
  if (tListDestroyed) return nullptr;
  thread_local EntryList list;
  return &list.entries;
}

void RemoveExpired(std::vector<Entry>& entries) {
  std::erase_if(entries, [](const Entry& entry) { return entry.connection.expired(); });
}

}  // namespace

void ConnectionRegistry::Add(const std::shared_ptr<Connection>& connection) {
  std::vector<Entry>* entries = Entries();
  if (entries == nullptr) return;
  RemoveExpired(*entries);
  entries->push_back(Entry{connection->ConnectionString(), connection, ::getpid()});
}

void ConnectionRegistry::Prune() {
  if (std::vector<Entry>* entries = Entries()) RemoveExpired(*entries);
}

std::shared_ptr<Connection> ConnectionRegistry::Find(const std::string& connectionString) {
  std::vector<Entry>* entries = Entries();
  if (entries == nullptr) return nullptr;
  std::shared_ptr<Connection> earliest;
  const pid_t process = ::getpid();
  for (const auto& entry : *entries) {
    if (entry.connectionString != connectionString || entry.process != process) continue;
    std::shared_ptr<Connection> live = entry.connection.lock();
    if (!live) continue;
    if (live->InTransaction()) return live;
    if (!earliest) earliest = std::move(live);
  }
  return earliest;
}

}  // namespace fabrikon
