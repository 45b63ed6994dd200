#include "storage/settings.h"

#include <mutex>

#include "boundary/config_dir.h"
#include "storage/profile_file.h"
#include "storage/sqlite_db.h"

namespace quorvel {

namespace {

const char kSection[] = "配置";
const char kLineBreakMarker[] = "【换行】";

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Replaces every occurrence of `from`, scanning whole GBK characters, so the
// marker is never matched across the middle of a double-byte character.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
      continue;
    }
    size_t length = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    out.append(text, i, length);
    i += length;
  }
  return out;
}

}  // namespace

Settings& GlobalSettings() {
  static Settings settings;
  return settings;
}

std::string SettingsPath() {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  return ConfigDir() + "cfg.ini";
}

std::string ReadSetting(const std::string& key) { return ReadProfileString(SettingsPath(), kSection, key); }

bool WriteSetting(const std::string& key, const std::string& value) {
  return WriteProfileString(SettingsPath(), kSection, key, value);
}

bool SwitchOn(const std::string& key) { return ReadSetting(key) == "真"; }

void LoadSettings() {
  // The record is replaced under the lock, so no reader sees half a field.
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  Settings& s = GlobalSettings();
  s.adminId = ReadSetting("管理员id");
  s.pointsRatio = ReadSetting("积分比例");
  s.cardShopUrl = ReadSetting("发卡地址");
  s.groupKeyword = ReadSetting("拉群关键词");
  s.groupId = ReadSetting("拉群ID");
  s.replyNewFriend = DecodeLineBreaksForChat(ReadSetting("自动回复_添加好友"));
  s.replyHelp = DecodeLineBreaksForChat(ReadSetting("自动回复_帮助"));
  s.replyRecharge = DecodeLineBreaksForChat(ReadSetting("自动回复_充值"));
  s.replyOrderStart = DecodeLineBreaksForChat(ReadSetting("自动回复_订单开始"));
  s.replyOrderDone = DecodeLineBreaksForChat(ReadSetting("自动回复_订单成功"));
  s.replyOrderFailed = DecodeLineBreaksForChat(ReadSetting("自动回复_订单失败"));
}

std::string EncodeLineBreaks(const std::string& text) { return ReplaceAll(text, "\r\n", kLineBreakMarker); }

std::string DecodeLineBreaksForWindow(const std::string& text) { return ReplaceAll(text, kLineBreakMarker, "\r\n"); }

// Chat replies break lines with a bare carriage return.
std::string DecodeLineBreaksForChat(const std::string& text) { return ReplaceAll(text, kLineBreakMarker, "\r"); }

}  // namespace quorvel
