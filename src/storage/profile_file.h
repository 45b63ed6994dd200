#pragma once
// The two INI primitives over the settings file. On Windows these are the
// system's profile functions; elsewhere our own implementation with the same
// behaviour. Paths, sections, keys and values are GBK.
#include <string>

// windows.h names the win.ini function WriteProfileString with a macro.
#ifdef WriteProfileString
#undef WriteProfileString
#endif

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
// The writer over a file's content: the content with the key written.
std::string WriteProfileStringToText(const std::string& content, const std::string& section, const std::string& key,
                                     const std::string& value);

}  // namespace quorvel
