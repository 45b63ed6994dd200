#pragma once
// The two INI primitives over the settings file. On Windows these are the
// system's profile functions; elsewhere our own implementation with the same
// behaviour. Paths, sections, keys and values are GBK.
#include <string>

namespace quorvel {

// Missing file, section or key → "". At most 10239 bytes are returned; leading
// and trailing blanks are dropped and one pair of enclosing quotes removed.
std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key);

// Creates the file and section when missing, replaces the key's value in
// place, otherwise appends the key at the end of the section.
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

// The reader over a file's content, for tests and for the platform without
// profile functions.
std::string ReadProfileStringFromText(const std::string& content, const std::string& section, const std::string& key);

}  // namespace quorvel
