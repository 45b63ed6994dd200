#include <sys/random.h>

#include <cerrno>

#include "platform/random.h"

namespace quorvel {

bool SecureRandomBytes(unsigned char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = getrandom(buffer + done, size - done, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace quorvel
