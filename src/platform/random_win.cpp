#include <windows.h>
#include <bcrypt.h>

#include "platform/random.h"

namespace quorvel {

bool SecureRandomBytes(unsigned char* buffer, size_t size) {
  return BCryptGenRandom(nullptr, buffer, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
}

}  // namespace quorvel
