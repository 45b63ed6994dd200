#include <gtest/gtest.h>

#include "boundary/base64.h"
#include "boundary/plugin_info.h"

namespace quorvel {
namespace {

struct Base64Case {
  std::vector<unsigned char> bytes;
  const char* expected;
};

TEST(Base64, PadsByTheRemainder) {
  const Base64Case cases[] = {
      {{}, ""},
      {{'M'}, "TQ=="},
      {{'M', 'a'}, "TWE="},
      {{'M', 'a', 'n'}, "TWFu"},
      {{0xFF, 0xFE, 0xFD, 0x00}, "//79AA=="},
      {{0x00, 0x00, 0x00}, "AAAA"},
  };
  for (const auto& c : cases) EXPECT_EQ(Base64Encode(c.bytes), c.expected) << c.expected;
}

TEST(Cover, IsOneThirtyTwoPixelIconOf4286Bytes) {
  const auto& cover = CoverIcon();
  ASSERT_EQ(cover.size(), 4286u);
  // icon directory: reserved 0, type 1 (icon), one image
  EXPECT_EQ(cover[0] | cover[1] << 8, 0);
  EXPECT_EQ(cover[2] | cover[3] << 8, 1);
  EXPECT_EQ(cover[4] | cover[5] << 8, 1);
  // directory entry: 32x32, 32 bits per pixel, 4264 bytes at offset 22
  EXPECT_EQ(cover[6], 32);
  EXPECT_EQ(cover[7], 32);
  EXPECT_EQ(cover[12] | cover[13] << 8, 32);
  EXPECT_EQ(cover[14] | cover[15] << 8 | cover[16] << 16 | cover[17] << 24, 4264);
  EXPECT_EQ(cover[18] | cover[19] << 8 | cover[20] << 16 | cover[21] << 24, 22);
  const std::string encoded = Base64Encode(cover);
  EXPECT_EQ(encoded.size(), 5716u);
  EXPECT_EQ(encoded.back(), '=');
  EXPECT_NE(encoded[encoded.size() - 2], '=');
}

TEST(PluginInfo, FillLeavesTheApiVersionAlone) {
  PluginInfo info;
  info.apiVersion = "4.0";
  FillPluginInfo(info);
  EXPECT_EQ(info.name, "Quorvel系列");
  EXPECT_EQ(info.menuTitle, "面板");
  EXPECT_EQ(info.developerKey, "540367215");
  EXPECT_EQ(info.apiVersion, "4.0");
}

}  // namespace
}  // namespace quorvel
