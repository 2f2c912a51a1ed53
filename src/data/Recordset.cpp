// Recordset: a materialised snapshot with ADO's cursor rules. Moving past
// either end, reading a field without a current record and touching a closed
// recordset raise the errors ADO raises, so callers that rely on ADO's checks
// fail the same way here.
#include "fabrikon/Recordset.h"

#include <algorithm>

#include "RowsetWriter.h"
#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

namespace {

constexpr long kPosUnknown = -1, kPosBof = -2, kPosEof = -3;  // ADO PositionEnum

[[noreturn]] void ThrowItemNotFound(const std::string& what) {
  throw ItemNotFoundError(what);
}

}  // namespace

Recordset::Recordset(std::vector<FieldInfo> fields, std::vector<std::vector<Variant>> rows) {
  nameIndex_ = IndexNames(fields);
  fields_ = std::make_shared<const std::vector<FieldInfo>>(std::move(fields));
  for (const auto& row : rows)
    if (row.size() != fields_->size())
      throw ComError(ErrorNumber::E_FAIL_, "Recordset: a row does not have one value per field");
  rows_ = std::make_shared<const std::vector<std::vector<Variant>>>(std::move(rows));
}

Recordset::Recordset(std::shared_ptr<const std::vector<FieldInfo>> fields, std::shared_ptr<const NameIndex> names,
                     std::vector<std::vector<Variant>> rows)
    : fields_(std::move(fields)), nameIndex_(std::move(names)) {
  if (!fields_ || !nameIndex_ || nameIndex_->size() != fields_->size())
    throw ComError(ErrorNumber::E_FAIL_, "Recordset: the name index does not belong to the fields");
  for (const auto& row : rows)
    if (row.size() != fields_->size())
      throw ComError(ErrorNumber::E_FAIL_, "Recordset: a row does not have one value per field");
  rows_ = std::make_shared<const std::vector<std::vector<Variant>>>(std::move(rows));
}

std::shared_ptr<const Recordset::NameIndex> Recordset::IndexNames(const std::vector<FieldInfo>& fields) {
  auto index = std::make_shared<NameIndex>();
  index->reserve(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) index->emplace_back(LCase(fields[i].name), i);
  // Stable: with duplicate names the first column wins, as in ADO.
  std::stable_sort(index->begin(), index->end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  return index;
}

void Recordset::RequireOpen() const {
  if (!open_) throw ComError(ErrorNumber::ObjectClosed, "Operation is not allowed when the object is closed.");
}

void Recordset::RequireCurrentRecord() const {
  RequireOpen();
  if (position_ < 0 || position_ >= static_cast<long>(rows_->size()))
    throw ComError(ErrorNumber::NoCurrentRecord,
                   "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                   "requires a current record.");
}

Field Recordset::Fields(const std::string& name) const {
  RequireOpen();
  const std::string key = LCase(name);
  auto found = std::lower_bound(nameIndex_->begin(), nameIndex_->end(), key,
                                [](const auto& entry, const std::string& k) { return entry.first < k; });
  if (found == nameIndex_->end() || found->first != key) ThrowItemNotFound(name);
  return Field(this, found->second);
}

Field Recordset::Fields(size_t index) const {
  RequireOpen();
  if (index >= fields_->size()) ThrowItemNotFound(std::to_string(index));
  return Field(this, index);
}

size_t Recordset::FieldCount() const {
  RequireOpen();
  return fields_->size();
}

const FieldInfo& Recordset::Info(size_t index) const {
  RequireOpen();
  if (index >= fields_->size()) ThrowItemNotFound(std::to_string(index));
  return (*fields_)[index];
}

bool Recordset::Eof() const {
  RequireOpen();
  return position_ >= static_cast<long>(rows_->size());
}

bool Recordset::Bof() const {
  RequireOpen();
  return position_ < 0 || rows_->empty();
}

void Recordset::MoveFirst() {
  RequireOpen();
  position_ = 0;
}

void Recordset::MoveLast() {
  RequireOpen();
  position_ = rows_->empty() ? 0 : static_cast<long>(rows_->size()) - 1;
}

void Recordset::MoveNext() {
  if (Eof()) RequireCurrentRecord();  // raises: nothing lies beyond EOF
  ++position_;
}

void Recordset::MovePrevious() {
  if (Bof()) RequireCurrentRecord();  // raises: nothing lies before BOF
  --position_;
}

long Recordset::RecordCount() const {
  RequireOpen();
  return static_cast<long>(rows_->size());
}

long Recordset::AbsolutePosition() const {
  RequireOpen();
  if (rows_->empty()) return kPosUnknown;
  if (position_ < 0) return kPosBof;
  if (position_ >= static_cast<long>(rows_->size())) return kPosEof;
  return position_ + 1;
}

void Recordset::PageSize(long size) {
  if (size < 1)
    throw ComError(ErrorNumber::InvalidArgument,
                   "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one "
                   "another: PageSize " + std::to_string(size));
  pageSize_ = size;
}

long Recordset::PageCount() const {
  RequireOpen();
  const long count = static_cast<long>(rows_->size());
  return (count + pageSize_ - 1) / pageSize_;
}

long Recordset::AbsolutePage() const {
  const long position = AbsolutePosition();
  return position > 0 ? (position - 1) / pageSize_ + 1 : position;
}

void Recordset::AbsolutePage(long page) {
  if (page < 1 || page > PageCount())
    throw ComError(ErrorNumber::InvalidArgument,
                   "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one "
                   "another: AbsolutePage " + std::to_string(page));
  position_ = (page - 1) * pageSize_;
}

RecordsetPtr Recordset::Clone() const {
  RequireOpen();
  auto clone = std::make_shared<Recordset>(*this);
  clone->position_ = 0;
  return clone;
}

void Recordset::Close() {
  RequireOpen();
  open_ = false;
  // Clones share the rows; this cursor only lets go of its references.
  fields_.reset();
  nameIndex_.reset();
  rows_.reset();
}

void Recordset::Save(const DOMDocumentPtr& document, int persistFormat) const {
  RequireOpen();
  if (!document) throw ComError(ErrorNumber::InvalidArgument, "Save: no document to save into");
  if (persistFormat != adPersistXML)
    throw ComError(ErrorNumber::E_FAIL_, "Save: only the XML persistence format is supported");
  RowsetWriter(fields_, *rows_).WriteInto(*document);
}

const Variant& Recordset::CheckedValueAt(size_t field) const {
  RequireCurrentRecord();
  if (field >= fields_->size()) ThrowItemNotFound(std::to_string(field));
  return (*rows_)[static_cast<size_t>(position_)][field];
}

}  // namespace fabrikon
