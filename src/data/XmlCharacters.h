// XmlCharacters: which text an XML 1.0 document can carry. A document must
// always be well formed: no NUL, no control characters other than tab, line
// feed and carriage return (neither raw nor as character references), no
// surrogates, no U+FFFE/U+FFFF, and valid UTF-8 only.
#pragma once
#include <string>
#include <string_view>

namespace fabrikon {

class XmlCharacters {
 public:
  // Valid UTF-8 made of XML characters only.
  static bool IsAllowed(std::string_view text);
  // Document text: IsAllowed, and every character reference (&#N; &#xH;)
  // names an XML character.
  static bool IsWellFormedText(std::string_view xml);
  // Raises ComError when a value for an attribute cannot be carried.
  static void Require(std::string_view value);
  // The text with every byte sequence XML cannot carry replaced by U+FFFD.
  static std::string Sanitized(std::string_view text);

 private:
  static bool IsXmlChar(char32_t c);
  // Decodes one character at pos (advancing it); false for an invalid sequence
  // (pos then moves past the first byte).
  static bool Decode(std::string_view text, size_t& pos, char32_t& c);
  static bool ReferencesAreAllowed(std::string_view xml);
};

}  // namespace fabrikon
