// TotalsNames: see the header.
#include "TotalsNames.h"

namespace fabrikon::cli {

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The comma-separated items of the list, commas inside brackets and quotes
// not counted.
std::vector<std::string> Items(const std::string& list) {
  std::vector<std::string> items;
  std::string item;
  int depth = 0;
  bool quoted = false;
  for (char c : list) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == '(') ++depth;
    if (!quoted && c == ')') --depth;
    if (!quoted && depth == 0 && c == ',') {
      items.push_back(Trimmed(item));
      item.clear();
      continue;
    }
    item += c;
  }
  items.push_back(Trimmed(item));
  return items;
}

}  // namespace

std::vector<std::string> TotalsNames(const Recordset& sum, const std::string& sumList) {
  const std::vector<std::string> items = Items(sumList);
  std::vector<std::string> names;
  for (size_t i = 0; i < sum.FieldCount(); ++i) {
    std::string name = sum.Info(i).name;
    if (name.empty() && i < items.size()) name = items[i];
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace fabrikon::cli
