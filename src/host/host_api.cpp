#include "host/host_api.h"

#include <mutex>

#include "boundary/plugin_info.h"
#include "host/host_abi.h"
#include "host/json_document.h"
#include "boundary/base64.h"
#include "platform/dynamic_library.h"

namespace quorvel {
namespace {

// The host library, opened once at first use and kept until unload.
DynamicLibrary& HostLibrary() {
  static DynamicLibrary library;
  static std::once_flag opened;
  std::call_once(opened, [] { library.Open(HostLibraryFileName()); });
  return library;
}

template <typename Fn>
Fn Lookup(const char* name) {
  return reinterpret_cast<Fn>(HostLibrary().Symbol(name));
}

// A text returned by the host is copied at once; null becomes empty.
std::string Copy(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

HostApi& Host() {
  static HostApi api;
  return api;
}

void* HostApi::FindFunction(const char* name) { return HostLibrary().Symbol(name); }

int HostApi::Initialize(PluginInfo& info, int hostValue) {
  JsonDocument doc;
  if (info.apiVersion.empty()) info.apiVersion = "5.0";
  doc.SetText("name", info.name);
  doc.SetText("desc", info.desc);
  doc.SetText("author", info.author);
  doc.SetText("version", info.version);
  doc.SetText("api_version", info.apiVersion);
  doc.SetText("developer_key", info.developerKey);
  doc.SetText("menu_title", info.menuTitle);
  doc.SetText("cover_base64", Base64Encode(info.cover));
  std::string json = doc.ToText();
  int handle = 0;
  if (auto fn = Lookup<Api_Initialize_t>("Api_Initialize")) handle = fn(hostValue, json.c_str());
  handle_.store(handle);
  return handle;
}

int HostApi::SendTextMsg(const std::string& robotWxid, const std::string& toWxid, const std::string& text) {
  auto fn = Lookup<Api_SendTextMsg_t>("Api_SendTextMsg");
  return fn ? fn(Handle(), robotWxid.c_str(), toWxid.c_str(), text.c_str()) : 0;
}

int HostApi::SendMiniAppMsg(const std::string& robotWxid, const std::string& toWxid, const std::string& message) {
  auto fn = Lookup<Api_SendMiniAppMsg_t>("Api_SendMiniAppMsg");
  return fn ? fn(Handle(), robotWxid.c_str(), toWxid.c_str(), message.c_str()) : 0;
}

int HostApi::ForwardMsg(const std::string& robotWxid, const std::string& toWxid, const std::string& messageId) {
  auto fn = Lookup<Api_ForwardMsg_t>("Api_ForwardMsg");
  return fn ? fn(Handle(), robotWxid.c_str(), toWxid.c_str(), messageId.c_str()) : 0;
}

int HostApi::AcceptTransfer(const std::string& robotWxid, const std::string& fromWxid, const std::string& payload) {
  auto fn = Lookup<Api_AcceptTransfer_t>("Api_AcceptTransfer");
  return fn ? fn(Handle(), robotWxid.c_str(), fromWxid.c_str(), payload.c_str()) : 0;
}

int HostApi::AgreeFriendVerify(const std::string& robotWxid, const std::string& requestDetails) {
  auto fn = Lookup<Api_AgreeFriendVerify_t>("Api_AgreeFriendVerify");
  return fn ? fn(Handle(), robotWxid.c_str(), requestDetails.c_str()) : 0;
}

int HostApi::InviteInGroup(const std::string& robotWxid, const std::string& groupId, const std::string& friendWxid) {
  auto fn = Lookup<Api_InviteInGroup_t>("Api_InviteInGroup");
  return fn ? fn(Handle(), robotWxid.c_str(), groupId.c_str(), friendWxid.c_str()) : 0;
}

int HostApi::AppendLogs(const std::string& line, const std::string& extra, bool join) {
  auto fn = Lookup<Api_AppendLogs_t>("Api_AppendLogs");
  if (!fn) return 0;
  if (join) return fn(Handle(), (line + " | " + extra).c_str());
  return fn(Handle(), line.c_str());
}

int HostApi::SetFatal() {
  auto fn = Lookup<Api_SetFatal_t>("Api_SetFatal");
  return fn ? fn(Handle()) : 0;
}

std::string HostApi::GetAppDirectory() {
  auto fn = Lookup<Api_GetAppDirectory_t>("Api_GetAppDirectory");
  return fn ? Copy(fn(Handle())) : std::string();
}

std::string HostApi::GetFrameVersion() {
  auto fn = Lookup<Api_GetFrameVersion_t>("Api_GetFrameVersion");
  return fn ? Copy(fn(Handle())) : std::string();
}

}  // namespace quorvel
