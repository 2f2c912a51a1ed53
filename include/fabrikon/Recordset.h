// Recordset: a materialised snapshot of one row-returning statement, with the
// ADO members the library uses. Backends fill it completely at Open time, so
// nothing stays pending on the database while the library writes on the same
// connection. EOF and BOF are C macros, hence Eof()/Bof().
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fabrikon/DOMDocument.h"
#include "fabrikon/Variant.h"

namespace fabrikon {

// ADO DataTypeEnum codes used by the library.
namespace AdoType {
inline constexpr int SmallInt = 2, Integer = 3, Single = 4, Double = 5, Currency = 6,
                     Boolean = 11, UnsignedTinyInt = 17, BigInt = 20, Binary = 128,
                     Char = 129, WChar = 130, Numeric = 131, DBTimeStamp = 135,
                     VarChar = 200, LongVarChar = 201, VarWChar = 202, LongVarWChar = 203,
                     VarBinary = 204;
}
enum CursorTypeEnum { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockTypeEnum { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum CursorLocationEnum { adUseServer = 2, adUseClient = 3 };
enum ObjectStateEnum { adStateClosed = 0, adStateOpen = 1 };
enum PersistFormatEnum { adPersistADTG = 0, adPersistXML = 1 };

struct FieldInfo {
  std::string name;
  int type = AdoType::VarChar;  // ADO DataTypeEnum
  long definedSize = 0;         // characters for text, bytes otherwise
  int precision = 0;
  int numericScale = 0;
  bool isAutoIncrement = false;
  bool isNullable = true;
};

class Recordset;

// A field of the current row (ADO Field). Reading Value at BOF/EOF raises.
class Field {
 public:
  Field(const Recordset* rs, size_t index) : rs_(rs), index_(index) {}
  const std::string& Name() const;
  int Type() const;
  long DefinedSize() const;
  int Precision() const;
  int NumericScale() const;
  inline const Variant& Value() const;
  // Supports "ISAUTOINCREMENT" (Boolean); unknown names raise ItemNotFound.
  Variant Properties(const std::string& name) const;

 private:
  const Recordset* rs_;
  size_t index_;
};

class Recordset;
using RecordsetPtr = std::shared_ptr<Recordset>;

class Recordset {
 public:
  // Lower-cased field names with their index, sorted, for lookups without regard to case.
  using NameIndex = std::vector<std::pair<std::string, size_t>>;

  Recordset(std::vector<FieldInfo> fields, std::vector<std::vector<Variant>> rows);
  // Backends: fields and their name index shared with other recordsets of
  // the same statement (names from IndexNames of these fields).
  Recordset(std::shared_ptr<const std::vector<FieldInfo>> fields, std::shared_ptr<const NameIndex> names,
            std::vector<std::vector<Variant>> rows);
  static std::shared_ptr<const NameIndex> IndexNames(const std::vector<FieldInfo>& fields);

  // Field lookup without regard to case; an unknown name raises ItemNotFound.
  Field Fields(const std::string& name) const;
  Field Fields(size_t index) const;
  size_t FieldCount() const;
  const FieldInfo& Info(size_t index) const;

  bool Eof() const;
  bool Bof() const;
  void MoveFirst();
  void MoveNext();
  void MovePrevious();
  void MoveLast();
  long RecordCount() const;
  long AbsolutePosition() const;  // 1-based; <= 0 at BOF/EOF

  long PageSize() const { return pageSize_; }
  void PageSize(long size);
  long PageCount() const;
  long AbsolutePage() const;
  void AbsolutePage(long page);  // moves to the first row of the page

  RecordsetPtr Clone() const;  // a new cursor over the same rows, at the first row
  void Close();
  int State() const { return open_ ? adStateOpen : adStateClosed; }

  // Writes the ADO XML persistence layout into the given document, in place.
  void Save(const DOMDocumentPtr& document, int persistFormat = adPersistXML) const;

  // Backends and the Field class only. The current row's value is read
  // inline (the walks over a recordset read it for every field of every row).
  const Variant& ValueAt(size_t field) const {
    if (open_ && position_ >= 0 && static_cast<size_t>(position_) < rows_->size()) {
      const std::vector<Variant>& row = (*rows_)[static_cast<size_t>(position_)];
      if (field < row.size() && field < fields_->size()) return row[field];
    }
    return CheckedValueAt(field);
  }

 private:
  const Variant& CheckedValueAt(size_t field) const;
  void RequireOpen() const;
  void RequireCurrentRecord() const;
  std::shared_ptr<const std::vector<FieldInfo>> fields_;
  std::shared_ptr<const NameIndex> nameIndex_;
  std::shared_ptr<const std::vector<std::vector<Variant>>> rows_;
  long position_ = 0;  // index of the current row; -1 = BOF, size = EOF
  long pageSize_ = 10;
  bool open_ = true;
};

inline const Variant& Field::Value() const { return rs_->ValueAt(index_); }

}  // namespace fabrikon
