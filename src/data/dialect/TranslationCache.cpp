// TranslationCache: an entry weighs its text and the texts of its translation.
#include "data/dialect/TranslationCache.h"

namespace fabrikon::dialect {

void TranslationCache::Insert(const std::string& text, Entry translation) {
  if (text.size() > kMaxTextSize) return;
  size_t bytes = 0;
  for (const TranslatedStatement& statement : *translation) {
    bytes += statement.original.size() + statement.condition.size() + 64;
    for (const std::string& sql : statement.sql) bytes += sql.size();
  }
  cache_.Insert(text, std::move(translation), bytes);
}

}  // namespace fabrikon::dialect
