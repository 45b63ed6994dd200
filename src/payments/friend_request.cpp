#include "payments/friend_request.h"

#include <mutex>

#include "host/host_api.h"
#include "storage/settings.h"
#include "storage/sqlite_db.h"

namespace quorvel {

void HandleFriendRequest(const std::string& robotWxid, const std::string& requesterWxid,
                         const std::string& requesterNickname, const std::string& requestDetails) {
  HostApi& host = Host();
  host.AppendLogs("插件例子消息 | 好友请求，用户昵称：" + requesterNickname + " 对方ID：" + requesterWxid);
  bool accept = false;
  {
    std::lock_guard<std::recursive_mutex> lock(PluginLock());
    accept = SwitchOn("自动同意好友");
  }
  if (accept) host.AgreeFriendVerify(robotWxid, requestDetails);
}

}  // namespace quorvel
