// EmbeddedRefReport: the receiving screen object without a screen; it keeps
// what it was handed, for the program that runs the library to read.
#pragma once
#include <vector>

#include "fabrikon/host/RefReport.h"

namespace fabrikon {

class EmbeddedRefReport : public RefReport {
 public:
  struct Value {
    std::string filterName;
    std::string value;
  };
  void SetRefValue(const Variant& filterName, const std::string& value) override;
  void RefLink(std::shared_ptr<clsRefLink>& link) override { link_ = link; }

  const std::vector<Value>& Values() const { return values_; }
  const std::shared_ptr<clsRefLink>& Link() const { return link_; }

 private:
  std::vector<Value> values_;
  std::shared_ptr<clsRefLink> link_;
};

}  // namespace fabrikon
