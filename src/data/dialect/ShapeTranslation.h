// ShapeTranslation: the translation of one statement shape, kept by the
// ShapeCache: what kind of statement it is and the templates of its IF
// condition and of its SQLite statements. A shape whose literals could not be
// found again in its translation is kept as "not parameterized": its
// statements are translated one by one and never kept.
#pragma once
#include <vector>

#include "data/dialect/StatementTemplate.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon::dialect {

struct ShapeTranslation {
  StatementKind kind = StatementKind::Other;
  bool parameterized = false;
  bool guarded = false;
  bool otherwise = false;  // an ELSE branch (see TranslatedStatement)
  std::vector<bool> unnamed;  // see TranslatedStatement
  StatementTemplate condition;
  std::vector<StatementTemplate> sql;
  std::vector<std::string> resultTypes;  // as TranslatedStatement's

  size_t Bytes() const {
    size_t bytes = sizeof(*this) + condition.Bytes();
    for (const StatementTemplate& t : sql) bytes += t.Bytes();
    for (const std::string& t : resultTypes) bytes += sizeof t + t.size();
    return bytes;
  }
};

}  // namespace fabrikon::dialect
