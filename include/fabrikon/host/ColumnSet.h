// ColumnSet: the list columns a user chose, as SQL fragments.
#pragma once
#include <memory>
#include <string>

namespace fabrikon {

class ColumnSet {
 public:
  virtual ~ColumnSet() = default;
  virtual std::string SelectList() const = 0;
  virtual std::string SumList() const = 0;
  virtual std::string OrderList() const = 0;  // "" means no ordering
};
using ColumnSetPtr = std::shared_ptr<ColumnSet>;

}  // namespace fabrikon
