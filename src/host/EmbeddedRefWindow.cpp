// EmbeddedRefWindow: runs the reference query and picks the preset row, so a
// program (or a test) can drive the reference link without a screen.
#include "fabrikon/host/EmbeddedRefWindow.h"

#include "fabrikon/ComError.h"

namespace fabrikon {

EmbeddedRefWindow::EmbeddedRefWindow(ConnectionPtr conn, long instance) : conn_(std::move(conn)), instance_(instance) {}

void EmbeddedRefWindow::ChooseRow(long row) {
  if (row < 1) throw ComError(ErrorNumber::InvalidArgument, "The reference window counts rows from 1.");
  preset_ = Preset::Row;
  row_ = row;
}

void EmbeddedRefWindow::ChooseNothing() { preset_ = Preset::Nothing; }

void EmbeddedRefWindow::Refuse() { preset_ = Preset::Refuse; }

bool EmbeddedRefWindow::StrRefInit(LoginInfoPtr&, bool, const std::string&, std::string& query,
                                   std::string& captions) {
  ++initCount_;
  query_ = query;
  captions_ = captions;
  chosen_.reset();
  return preset_ != Preset::Refuse;
}

void EmbeddedRefWindow::Show() {
  chosen_.reset();
  if (preset_ != Preset::Row) return;
  if (!conn_) throw ComError(ErrorNumber::ObjectNotSet, "The reference window has no connection to run its query on.");
  if (query_.empty()) throw ComError(ErrorNumber::InvalidArgument, "The reference window has no rows to choose from.");
  RecordsetPtr rows = conn_->Open(query_, adOpenStatic, adLockReadOnly, adUseClient);
  if (row_ > rows->RecordCount()) {
    throw ComError(ErrorNumber::InvalidArgument, "The reference window has no row " + std::to_string(row_) + ".");
  }
  rows->MoveFirst();
  for (long n = 1; n < row_; ++n) rows->MoveNext();
  chosen_ = rows;
}

}  // namespace fabrikon
