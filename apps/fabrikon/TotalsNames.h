// TotalsNames: what the command line calls the columns of a list's totals
// row. The engine leaves a computed column without an alias unnamed, as SQL
// Server does, so an unnamed total is called after its item of the sum list
// ("count(*)"), as the output has always shown it.
#pragma once
#include <string>
#include <vector>

#include "fabrikon/Recordset.h"

namespace fabrikon::cli {

std::vector<std::string> TotalsNames(const Recordset& sum, const std::string& sumList);

}  // namespace fabrikon::cli
