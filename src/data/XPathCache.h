// XPathCache: compiled selections, kept per thread. Rowset selectors run for
// every line of every save, so each text is compiled once, not per call.
#pragma once
#include <pugixml.hpp>
#include <string>

namespace fabrikon {

class XPathCache {
 public:
  // The compiled query for the text, valid until the next Get on this thread.
  // An invalid text raises ComError.
  static const pugi::xpath_query& Get(const std::string& xpath);
};

}  // namespace fabrikon
