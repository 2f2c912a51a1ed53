// XPathCache: compiled selections, kept per thread (see XPathCache.h). The
// cache is bounded: the library uses a handful of selectors, so a host that
// sends many different texts only costs recompilation, never memory.
#include "XPathCache.h"

#include <memory>
#include <unordered_map>

#include "fabrikon/ComError.h"

namespace fabrikon {

namespace {
constexpr size_t kMaxEntries = 128;
constexpr size_t kMaxBytes = 256 * 1024;  // of the texts; the compiled forms grow with them
}

const pugi::xpath_query& XPathCache::Get(const std::string& xpath) {
  thread_local std::unordered_map<std::string, std::unique_ptr<pugi::xpath_query>> cache;
  thread_local size_t bytes = 0;
  auto found = cache.find(xpath);
  if (found != cache.end()) return *found->second;

  std::unique_ptr<pugi::xpath_query> query;
  try {
    query = std::make_unique<pugi::xpath_query>(xpath.c_str());
  } catch (const pugi::xpath_exception& e) {
    throw ComError(ErrorNumber::DomError, std::string("Invalid selection \"") + xpath + "\": " + e.what());
  }
  if (!*query)
    throw ComError(ErrorNumber::DomError,
                   std::string("Invalid selection \"") + xpath + "\": " + query->result().description());
  if (cache.size() >= kMaxEntries || bytes + xpath.size() > kMaxBytes) {
    cache.clear();
    bytes = 0;
  }
  bytes += xpath.size();
  return *cache.emplace(xpath, std::move(query)).first->second;
}

}  // namespace fabrikon
