// modRefLink: what the reference window shows for each filter field: the
// query, the column captions and the column whose value is handed back.
#pragma once
#include <optional>
#include <string>

namespace fabrikon::reflink {

struct Reference {
  std::string query;
  std::string captions;
  std::string keyField;
};

// The reference of a filter name (already in lower case) for the open report
// (compared exactly); nothing when the name has no reference window.
std::optional<Reference> ReferenceFor(const std::string& filterName, const std::string& reportName);

}  // namespace fabrikon::reflink
