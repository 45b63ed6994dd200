#pragma once
#include <string>
#include <vector>

namespace quorvel {

// Standard alphabet, "=" padding, no line breaks; empty input gives "".
std::string Base64Encode(const std::vector<unsigned char>& bytes);

}  // namespace quorvel
