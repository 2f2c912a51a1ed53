// Field: one column of a recordset's current row, with the metadata the
// statement builders need (ADO type code, size, precision, ISAUTOINCREMENT).
#include "fabrikon/ComError.h"
#include "fabrikon/Recordset.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

const std::string& Field::Name() const { return rs_->Info(index_).name; }
int Field::Type() const { return rs_->Info(index_).type; }
long Field::DefinedSize() const { return rs_->Info(index_).definedSize; }
int Field::Precision() const { return rs_->Info(index_).precision; }
int Field::NumericScale() const { return rs_->Info(index_).numericScale; }
Variant Field::Properties(const std::string& name) const {
  const FieldInfo& info = rs_->Info(index_);
  if (UCase(name) == "ISAUTOINCREMENT") return Variant(info.isAutoIncrement);
  throw ItemNotFoundError(name);
}

}  // namespace fabrikon
