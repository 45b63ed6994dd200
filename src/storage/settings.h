#pragma once
// The settings file "cfg.ini" (section 配置) and the in-memory Settings record.
#include <string>

namespace quorvel {

// The eleven text settings; the three switches are read from the file at each use.
struct Settings {
  std::string adminId;           // 管理员id
  std::string pointsRatio;       // 积分比例
  std::string cardShopUrl;       // 发卡地址
  std::string groupKeyword;      // 拉群关键词
  std::string groupId;           // 拉群ID
  std::string replyNewFriend;    // 自动回复_添加好友
  std::string replyHelp;         // 自动回复_帮助
  std::string replyRecharge;     // 自动回复_充值
  std::string replyOrderStart;   // 自动回复_订单开始
  std::string replyOrderDone;    // 自动回复_订单成功
  std::string replyOrderFailed;  // 自动回复_订单失败
};

// The process-wide record (guard it with PluginLock()).
Settings& GlobalSettings();

// ConfigDir() + "cfg.ini".
std::string SettingsPath();
// One key of section 配置, read afresh from the file.
std::string ReadSetting(const std::string& key);
bool WriteSetting(const std::string& key, const std::string& value);
// A switch is on exactly when its stored value is "真".
bool SwitchOn(const std::string& key);

// Reads the eleven text keys into GlobalSettings(); the six reply texts get
// every "【换行】" turned into a bare CR.
void LoadSettings();

// Line-break encodings: CR LF → "【换行】" on save; "【换行】" → CR LF for the
// settings tab, → CR for chat replies.
std::string EncodeLineBreaks(const std::string& text);
std::string DecodeLineBreaksForWindow(const std::string& text);
std::string DecodeLineBreaksForChat(const std::string& text);

}  // namespace quorvel
