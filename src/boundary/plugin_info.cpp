#include "boundary/plugin_info.h"

namespace quorvel {

namespace {
const unsigned char kCover[] = {
#include "boundary/cover_icon.inc"
};
}  // namespace

const std::vector<unsigned char>& CoverIcon() {
  static const std::vector<unsigned char> cover(std::begin(kCover), std::end(kCover));
  return cover;
}

PluginInfo& GlobalPluginInfo() {
  static PluginInfo info;
  return info;
}

void FillPluginInfo(PluginInfo& info) {
  info.name = "Quorvel系列";
  info.author = "tovu";
  info.desc = "有问题可以联系作者tovu";
  info.version = "1.0";
  info.cover = CoverIcon();
  info.menuTitle = "面板";
  info.developerKey = "540367215";
}

}  // namespace quorvel
