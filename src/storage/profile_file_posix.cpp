#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

#include "platform/code_page.h"
#include "storage/profile_file.h"

namespace quorvel {

namespace {

// Paths are GBK like every text; the file system here names files in UTF-8.
bool NativePath(const std::string& path, std::string& native) { return !path.empty() && GbkToUtf8(path, native); }

bool ReadWholeFile(const std::string& native, std::string& content) {
  content.clear();
  int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[8192];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return false;
    }
    content.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

bool WriteAll(int fd, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The new content goes to a file beside the old one, which then replaces it:
// a crash in the middle never leaves the settings half written.
bool ReplaceFile(const std::string& native, const std::string& content) {
  std::string temporary = native + ".writing";
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat old {};
  if (stat(native.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);
  bool ok = WriteAll(fd, content) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temporary.c_str(), native.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  return ok;
}

// Writers within the process take turns; each rewrites the whole file.
std::mutex& WriteLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section, const std::string& key) {
  std::string native, content;
  if (!NativePath(path, native) || !ReadWholeFile(native, content)) return "";
  return ReadProfileStringFromText(content, section, key);
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  std::string native;
  if (!NativePath(path, native)) return false;
  std::lock_guard<std::mutex> lock(WriteLock());
  std::string content;
  if (!ReadWholeFile(native, content) && errno != ENOENT) return false;
  return ReplaceFile(native, WriteProfileStringToText(content, section, key, value));
}

}  // namespace quorvel
