// TraceConnection: a connection that reports every batch the library sends
// through it (Execute, ExecuteEach, Open) to a callback, with its
// records-affected count and the milliseconds it took, and otherwise behaves
// exactly as the connection it wraps.
//
//   ConnectionPtr conn = std::make_shared<TraceConnection>(
//       OpenConnection("Data Source=plant.db"),
//       [](const std::string& sql, long count, double ms) { std::clog << ms << " ms: " << sql << "\n"; });
//
// The count is the batch's records-affected count as Execute answers it (for
// ExecuteEach the same: its first statement that produced a count); -1 for
// Open (a recordset has none) and for a batch that failed.
// A failure is reported, then raised again unchanged. The callback runs on
// the thread that sent the batch; what it raises reaches the caller.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "fabrikon/Connection.h"

namespace fabrikon {

using TraceCallback = std::function<void(const std::string& sql, long recordsAffected, double milliseconds)>;

class TraceConnection : public Connection {
 public:
  // An empty callback reports nothing.
  TraceConnection(ConnectionPtr inner, TraceCallback callback);

  const ConnectionPtr& Inner() const { return inner_; }

  using Connection::Execute;
  void Execute(const std::string& text, long& recordsAffected) override;
  std::vector<long> ExecuteEach(const std::string& text) override;
  RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor = adOpenForwardOnly,
                    LockTypeEnum lock = adLockReadOnly, CursorLocationEnum location = adUseServer) override;

  void BeginTrans() override { inner_->BeginTrans(); }
  void CommitTrans() override { inner_->CommitTrans(); }
  void RollbackTrans() override { inner_->RollbackTrans(); }
  bool InTransaction() const override { return inner_->InTransaction(); }
  std::string ConnectionString() const override { return inner_->ConnectionString(); }
  std::string SessionTableSuffix() const override { return inner_->SessionTableSuffix(); }

 private:
  // Runs the batch, then reports it with the count that `run` answers (-1
  // when it raised, and the failure is raised again).
  template <typename Run>
  auto Traced(const std::string& text, Run run) -> decltype(run());
  void Report(const std::string& text, long recordsAffected, double milliseconds) const;

  ConnectionPtr inner_;
  TraceCallback callback_;
};

}  // namespace fabrikon
