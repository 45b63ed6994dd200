#pragma once
// A small PNG writer for screenshots: 8-bit RGB, compressed with a plain
// deflate (fixed Huffman codes), so the preview needs no image library.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::preview {

// `rgb` holds height rows of width pixels, three bytes each, top row first.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace quorvel::preview
