// RecordingConnection: passes everything to a real connection and keeps
// every SQL text it is given, so tests and benchmarks can see exactly what
// the library sends.
#pragma once
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
  }
  using Connection::Execute;
  std::vector<long> ExecuteEach(const std::string& text) override {
    texts.push_back(text);
    return inner_->ExecuteEach(text);
  }
  RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor, LockTypeEnum lock,
                    CursorLocationEnum location) override {
    texts.push_back(text);
    return inner_->Open(text, cursor, lock, location);
  }
  void BeginTrans() override { inner_->BeginTrans(); }
  void CommitTrans() override { inner_->CommitTrans(); }
  void RollbackTrans() override { inner_->RollbackTrans(); }
  bool InTransaction() const override { return inner_->InTransaction(); }
  std::string ConnectionString() const override { return inner_->ConnectionString(); }
  std::string SessionTableSuffix() const override { return inner_->SessionTableSuffix(); }

  std::vector<std::string> texts;

 private:
  ConnectionPtr inner_;
};

}  // namespace fabrikon::testsupport
