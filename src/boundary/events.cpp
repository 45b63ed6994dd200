#include "boundary/events.h"

#include <mutex>

#include "boundary/config_dir.h"
#include "boundary/plugin_info.h"
#include "host/host_api.h"
#include "storage/database.h"
#include "storage/sqlite_db.h"

namespace quorvel {

int OnLoadingInfo(int hostValue) {
  PluginInfo& info = GlobalPluginInfo();
  FillPluginInfo(info);
  return Host().Initialize(info, hostValue);
}

int OnEventInit(const std::string& configDir) {
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    ConfigDir() = configDir;
  }
  HostApi& host = Host();
  host.SetFatal();
  std::string appDir = host.GetAppDirectory();
  std::string version = host.GetFrameVersion();
  host.AppendLogs("插件例子消息 | 软件启动，插件准备初始化，插件配置路径：" + appDir + " 版本号: " + version);
  return 0;
}

int OnEventEnable() {
  std::string dir;
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    dir = ConfigDir();
  }
  Host().AppendLogs("插件例子消息 | 插件启用 | 当前配置目录：" + dir);
  OpenDatabase();
  return 0;
}

int OnEventStop(int changeType) {
  {
    // Under the lock, so no handler or window worker is mid-way on the connection.
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    PluginDb().Close();
  }
  if (changeType == 0) Host().AppendLogs("插件例子消息 | 插件停用，变化类型：" + std::to_string(changeType));
  return 0;
}

int OnEventLogin(const std::string& nickname, int changeType) {
  Host().AppendLogs("插件例子消息 | 账号登录成功或下线消息，账号昵称" + nickname + "，变化类型：" +
                    std::to_string(changeType));
  return 0;
}

int OnEventContactsChange(const std::string& logged) {
  Host().AppendLogs("插件例子消息 | 联系人发生变动了" + logged);
  return 0;
}

int OnEventSendOutMsg(int device, const std::string& message, const std::string& messageId, const std::string& json) {
  const char* word = device == 1 ? "手机" : "电脑";
  Host().AppendLogs(std::string("我用[") + word + "]发出了这样的消息：" + message + " 消息唯一ID: " + messageId +
                    " json文本: " + json);
  return 0;
}

}  // namespace quorvel
