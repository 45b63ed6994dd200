#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace quorvel::preview {
namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

class BitWriter {
 public:
  // Deflate packs values from the least significant bit up.
  void Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
  }
  // Huffman codes go most significant bit first.
  void Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  std::vector<uint8_t> Finish() {
    if (used_) out_.push_back(current_);
    used_ = 0;
    current_ = 0;
    return std::move(out_);
  }

 private:
  void Bit(uint32_t bit) {
    current_ |= static_cast<uint8_t>(bit << used_);
    if (++used_ == 8) {
      out_.push_back(current_);
      used_ = 0;
      current_ = 0;
    }
  }
  std::vector<uint8_t> out_;
  uint8_t current_ = 0;
  int used_ = 0;
};

void Literal(BitWriter& w, uint32_t symbol) {
  if (symbol < 144) w.Code(0x30 + symbol, 8);
  else if (symbol < 256) w.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280) w.Code(symbol - 256, 7);
  else w.Code(0xC0 + symbol - 280, 8);
}

const uint16_t kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t kDistanceBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                  193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(BitWriter& w, int length, int distance) {
  int code = 28;
  while (kLengthBase[code] > length) --code;
  Literal(w, 257 + static_cast<uint32_t>(code));
  w.Bits(static_cast<uint32_t>(length - kLengthBase[code]), kLengthExtra[code]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  w.Code(static_cast<uint32_t>(d), 5);
  w.Bits(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// One fixed-Huffman block, greedy matches found through a hash of three bytes.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
  constexpr int kWindow = 32768, kHashBits = 15, kMaxMatch = 258;
  std::vector<int> head(1 << kHashBits, -1);
  BitWriter w;
  w.Bits(1, 1);  // last block
  w.Bits(1, 2);  // fixed Huffman codes
  const int size = static_cast<int>(data.size());
  auto hash = [&](int i) {
    return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & ((1 << kHashBits) - 1);
  };
  int i = 0;
  while (i < size) {
    int bestLength = 0, bestDistance = 0;
    if (i + 2 < size) {
      int h = hash(i);
      int candidate = head[h];
      head[h] = i;
      if (candidate >= 0 && i - candidate <= kWindow) {
        int limit = std::min(kMaxMatch, size - i);
        int length = 0;
        while (length < limit && data[candidate + length] == data[i + length]) ++length;
        if (length >= 3) {
          bestLength = length;
          bestDistance = i - candidate;
        }
      }
    }
    if (bestLength) {
      Match(w, bestLength, bestDistance);
      for (int k = 1; k < bestLength; ++k)
        if (i + k + 2 < size) head[hash(i + k)] = i + k;
      i += bestLength;
    } else {
      Literal(w, data[i]);
      ++i;
    }
  }
  Literal(w, 256);  // end of block
  return w.Finish();
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
  Put32(png, static_cast<uint32_t>(data.size()));
  size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  Put32(png, Crc32(png.data() + start, png.size() - start));
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb) {
  // Each row filtered "Up": rows that repeat the one above become zeros.
  const size_t stride = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> raw;
  raw.reserve((stride + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = rgb.data() + stride * static_cast<size_t>(y);
    raw.push_back(y == 0 ? 0 : 2);
    for (size_t x = 0; x < stride; ++x) raw.push_back(static_cast<uint8_t>(row[x] - (y ? row[x - stride] : 0)));
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};
  std::vector<uint8_t> compressed = Deflate(raw);
  zlib.insert(zlib.end(), compressed.begin(), compressed.end());
  Put32(zlib, Adler32(raw));

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, static_cast<uint32_t>(width));
  Put32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", {});
  return png;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> png = EncodePng(width, height, rgb);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return false;
  return std::fwrite(png.data(), 1, png.size(), file.get()) == png.size();
}

}  // namespace quorvel::preview
