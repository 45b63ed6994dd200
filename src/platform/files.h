#pragma once
// The few file operations the plug-in needs. Paths are GBK texts, as the host
// gives them.
#include <string>

namespace quorvel {

bool FileExists(const std::string& path);
// Appends the bytes at the end of the file, creating it when missing.
bool AppendToFile(const std::string& path, const std::string& bytes);
// The folder of the running executable, without a trailing separator.
std::string ExecutableDirectory();
// The path separator of this system.
char PathSeparator();

}  // namespace quorvel
