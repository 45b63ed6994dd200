#pragma once
// A JSON value with path reads and writes. Texts in and out are GBK; inside,
// characters are held as they are. A local object of one handler, never shared.
#include <memory>
#include <string>

namespace quorvel {

class JsonDocument {
 public:
  JsonDocument();  // root: an empty object
  ~JsonDocument();
  JsonDocument(const JsonDocument&) = delete;
  JsonDocument& operator=(const JsonDocument&) = delete;

  // True when the text is a well-formed JSON value other than null, nested
  // no deeper than 512 levels.
  bool Parse(const std::string& text);
  // The value at the path as text: strings bare, numbers as ECMAScript writes
  // them, arrays joined by ",", objects "[object Object]", anything missing "".
  std::string ReadText(const std::string& path) const;
  // Stores the text as a JSON string at the path; every step before the last
  // must already exist. A new member goes after the existing ones.
  bool SetText(const std::string& path, const std::string& text);
  // Compact JSON, members in document order, non-ASCII characters unescaped.
  std::string ToText() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The ECMAScript Number-to-String form of a double ("1.5", "2", "1e+21").
std::string EcmaNumberText(double value);

}  // namespace quorvel
