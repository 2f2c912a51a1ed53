// RecordingConnection: passes everything to a real connection and keeps
// every SQL text it is given, so tests and benchmarks can see exactly what
// the library sends. A test may give it a session suffix of its own (as a
// server session reports one) and a hook that runs after each statement, to
// let another connection act between two statements of one call.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fabrikon/Connection.h"

namespace fabrikon::testsupport {

class RecordingConnection : public Connection {
 public:
  explicit RecordingConnection(ConnectionPtr inner) : inner_(std::move(inner)) {}
  void Execute(const std::string& text, long& recordsAffected) override {
    texts.push_back(text);
    inner_->Execute(text, recordsAffected);
    After(text);
  }
  using Connection::Execute;
  std::vector<long> ExecuteEach(const std::string& text) override {
    texts.push_back(text);
    std::vector<long> counts = inner_->ExecuteEach(text);
    After(text);
    return counts;
  }
  RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor, LockTypeEnum lock,
                    CursorLocationEnum location) override {
    texts.push_back(text);
    RecordsetPtr rows = inner_->Open(text, cursor, lock, location);
    After(text);
    return rows;
  }
  void BeginTrans() override { inner_->BeginTrans(); }
  void CommitTrans() override { inner_->CommitTrans(); }
  void RollbackTrans() override { inner_->RollbackTrans(); }
  bool InTransaction() const override { return inner_->InTransaction(); }
  std::string ConnectionString() const override { return inner_->ConnectionString(); }
  std::string SessionTableSuffix() const override { return sessionSuffix.value_or(inner_->SessionTableSuffix()); }

  std::vector<std::string> texts;
  std::optional<std::string> sessionSuffix;                  // replaces the inner connection's
  std::function<void(const std::string& text)> afterEach;  // runs after every statement

 private:
  void After(const std::string& text) {
    if (afterEach) afterEach(text);
  }
  ConnectionPtr inner_;
};

}  // namespace fabrikon::testsupport
