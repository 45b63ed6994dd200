#pragma once
// The one object through which every host function is called. The host
// library is bound by file name at first use and each function found by name;
// a missing library or function makes the call do nothing and return 0 or "".
#include <atomic>
#include <string>

namespace quorvel {

struct PluginInfo;

class HostApi {
 public:
  // The handshake: builds the plug-in information JSON from the record (setting
  // api_version to "5.0" when empty), calls Api_Initialize, keeps and returns
  // the handle.
  int Initialize(PluginInfo& info, int hostValue);

  int Handle() const { return handle_.load(); }

  int SendTextMsg(const std::string& robotWxid, const std::string& toWxid, const std::string& text);
  int SendMiniAppMsg(const std::string& robotWxid, const std::string& toWxid, const std::string& message);
  int ForwardMsg(const std::string& robotWxid, const std::string& toWxid, const std::string& messageId);
  int AcceptTransfer(const std::string& robotWxid, const std::string& fromWxid, const std::string& payload);
  int AgreeFriendVerify(const std::string& robotWxid, const std::string& requestDetails);
  int InviteInGroup(const std::string& robotWxid, const std::string& groupId, const std::string& friendWxid);
  // With join set, sends line + " | " + extra; else the line alone.
  int AppendLogs(const std::string& line, const std::string& extra = "", bool join = false);
  int SetFatal();
  std::string GetAppDirectory();
  std::string GetFrameVersion();

  // Any other function of the host library by name (nullptr when absent).
  void* FindFunction(const char* name);

 private:
  std::atomic<int> handle_{0};
};

// The process-wide object.
HostApi& Host();

}  // namespace quorvel
