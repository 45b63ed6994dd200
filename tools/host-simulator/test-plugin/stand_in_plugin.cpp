// A tiny plug-in that exercises the host simulator before the real one
// exists, and that stays the simulator's own test fixture afterwards. It binds
// the host library by file name at first use, as the real plug-in does.
//
//   LoadingInfo           registers a short JSON text, returns the handle
//   EventInit             SetFatal, GetAppDirectory, GetFrameVersion, one log line
//   EventEnable           one log line
//   EventStop             one log line; returns the change type
//   EventFriendMsg        echoes the message to the sender; "坏字节" answers with
//                         bytes that are not GBK; type 2002 is sent on to
//                         wxid_fulfil and forwarded there
//   EventReceivedTransfer accepts the transfer, confirms the amount
//   EventFriendVerify     accepts, invites the requester into group1@chatroom
//   EventSendOutMsg       logs its two ints and the message
//   Menu                  attaches a one-edit-box window (see Drive below)
// Its literals are GBK like the real plug-in's; the window channel is UTF-8.
#include <string>
#include <thread>

#include <nlohmann/json.hpp>

#include "host/host_abi.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

using Json = nlohmann::ordered_json;

void* HostFunction(const char* name) {
#ifdef _WIN32
  static HMODULE host = LoadLibraryA("coupler.dll");
  return host ? reinterpret_cast<void*>(GetProcAddress(host, name)) : nullptr;
#else
  static void* host = dlopen("libcoupler.so", RTLD_NOW);
  return host ? dlsym(host, name) : nullptr;
#endif
}

template <typename F>
F Bind(const char* name) {
  return reinterpret_cast<F>(HostFunction(name));
}

int handle = 0;

void Log(const std::string& line) {
  if (auto f = Bind<Api_AppendLogs_t>("Api_AppendLogs")) f(handle, line.c_str());
}

std::string Text(const char* text) { return text ? text : "(null)"; }

// The stand-in's window: one edit box, three buttons that open dialogs, one
// that works on a thread, and close.
struct Window {
  std::string editText;
  std::string answer;
} window;

std::string ShowUi(const Json& ui) {
  auto show = Bind<Sim_ShowUi_t>("Sim_ShowUi");
  if (!show) return std::string();
  const char* answer = show(ui.dump().c_str());
  return answer ? answer : "";
}

std::string Drive(const Json& line) {
  std::string what = line.value("window", "");
  std::string control = line.value("control", "");
  Json done = {{"ret", "done"}};
  if (what == "set" && control == u8"编辑框_测试") {
    window.editText = line.value("text", "");
    return done.dump();
  }
  if (what == "read" && control == u8"编辑框_测试") {
    Json read;
    read["control"] = control;
    read["text"] = window.editText;
    return read.dump();
  }
  if (what == "click" && control == u8"按钮_删除") {
    Json ui;
    ui["ui"] = "message";
    ui["title"] = u8"系统提示";
    ui["text"] = u8"确定删除？";
    ui["buttons"] = "okcancel";
    Json answer = Json::parse(ShowUi(ui), nullptr, false);
    Log(answer.is_object() && answer.value("button", "") == "ok" ? "已删除" : "取消删除");
    return done.dump();
  }
  if (what == "click" && control == u8"按钮_输入") {
    Json ui;
    ui["ui"] = "input";
    ui["title"] = u8"一键配置";
    ui["prompt"] = u8"请输入";
    ui["initial"] = "";
    Json answer = Json::parse(ShowUi(ui), nullptr, false);
    // ASCII only: the answer is UTF-8, the log line GBK.
    if (answer.is_object()) Log("输入：" + answer.value("button", "") + " " + answer.value("text", ""));
    return done.dump();
  }
  if (what == "click" && control == u8"按钮_复制") {
    Json ui;
    ui["ui"] = "clipboard";
    ui["text"] = window.editText;
    ShowUi(ui);
    return done.dump();
  }
  if (what == "click" && control == u8"按钮_后台") {
    // Answered only once the work is over, as the protocol asks.
    std::thread worker([] { Log("后台完成"); });
    worker.join();
    return done.dump();
  }
  if (what == "close") {
    if (auto detach = Bind<Sim_DetachWindow_t>("Sim_DetachWindow")) detach(&window);
    return done.dump();
  }
  Json error;
  error["error"] = "cannot " + what + " " + control;
  return error.dump();
}

const char* DriveEntry(void*, const char* lineJson) {
  try {
    window.answer = Drive(Json::parse(lineJson ? lineJson : ""));
  } catch (...) {
    window.answer = R"({"error":"bad window line"})";
  }
  return window.answer.c_str();
}

}  // namespace

extern "C" {

int LoadingInfo(int hostValue) {
  auto init = Bind<Api_Initialize_t>("Api_Initialize");
  handle = init ? init(hostValue, "{\"name\":\"替身插件\",\"version\":\"0.1\",\"api_version\":\"5.0\"}") : 0;
  return handle;
}

int EventInit(const char* configDir) {
  if (auto f = Bind<Api_SetFatal_t>("Api_SetFatal")) f(handle);
  auto appDir = Bind<Api_GetAppDirectory_t>("Api_GetAppDirectory");
  auto version = Bind<Api_GetFrameVersion_t>("Api_GetFrameVersion");
  std::string app = appDir ? Text(appDir(handle)) : "";
  std::string ver = version ? Text(version(handle)) : "";
  Log("启动 | 配置：" + Text(configDir) + " | 程序：" + app + " | 版本：" + ver);
  return 0;
}

int EventEnable() {
  Log("启用");
  return 0;
}

int EventStop(int changeType) {
  Log("停用 " + std::to_string(changeType));
  return changeType;
}

void Menu() {
  auto attach = Bind<Sim_AttachWindow_t>("Sim_AttachWindow");
  auto detach = Bind<Sim_DetachWindow_t>("Sim_DetachWindow");
  if (!attach || !detach) return;
  detach(&window);  // one window: a second Menu brings the same one back
  attach(&DriveEntry, &window);
}

int EventFriendMsg(const char* robotWxid, int messageType, const char* senderWxid, const char*, const char*,
                   const char*, const char* message, const char* messageId, const char*) {
  auto send = Bind<Api_SendTextMsg_t>("Api_SendTextMsg");
  if (message && std::string(message) == "坏字节") {
    send(handle, robotWxid, senderWxid, "A\x81 B\xB0");
  } else if (messageType == 2002) {
    Bind<Api_SendMiniAppMsg_t>("Api_SendMiniAppMsg")(handle, robotWxid, "wxid_fulfil", message);
    Bind<Api_ForwardMsg_t>("Api_ForwardMsg")(handle, robotWxid, "wxid_fulfil", messageId);
  } else {
    send(handle, robotWxid, senderWxid, message);
  }
  return 0;
}

int EventReceivedTransfer(const char* robotWxid, const char* senderWxid, const char*, const char*, const char* amount,
                          const char* payload) {
  Bind<Api_AcceptTransfer_t>("Api_AcceptTransfer")(handle, robotWxid, senderWxid, payload);
  Bind<Api_SendTextMsg_t>("Api_SendTextMsg")(handle, robotWxid, senderWxid, ("收到 " + Text(amount)).c_str());
  return 0;
}

int EventFriendVerify(const char* robotWxid, const char* requesterWxid, const char*, const char*,
                      const char* requestDetails) {
  Bind<Api_AgreeFriendVerify_t>("Api_AgreeFriendVerify")(handle, robotWxid, requestDetails);
  Bind<Api_InviteInGroup_t>("Api_InviteInGroup")(handle, robotWxid, "group1@chatroom", requesterWxid);
  return 0;
}

int EventSendOutMsg(const char*, int a2, int device, const char*, const char*, const char* message, const char*,
                    const char*) {
  Log("发出 " + std::to_string(a2) + " " + std::to_string(device) + " " + Text(message));
  return 0;
}

}  // extern "C"
