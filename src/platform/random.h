#pragma once
// Bytes from the operating system's cryptographic generator.
#include <cstddef>

namespace quorvel {

// Fills the buffer; false when the system could not deliver.
bool SecureRandomBytes(unsigned char* buffer, size_t size);

}  // namespace quorvel
