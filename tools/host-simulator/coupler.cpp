// The simulator's host library: every host function the plug-in may call,
// each recorded as one output line and answered with the value a session set.
#include <deque>
#include <mutex>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/host_abi.h"
#include "platform/code_page.h"
#include "sim_control.h"
#include "sim_platform.h"

namespace quorvel::sim {
namespace {

using Json = nlohmann::ordered_json;

enum HostFunction {
  kInitialize,
  kSendTextMsg,
  kSendMiniAppMsg,
  kForwardMsg,
  kAcceptTransfer,
  kAgreeFriendVerify,
  kInviteInGroup,
  kAppendLogs,
  kSetFatal,
  kGetAppDirectory,
  kGetFrameVersion,
  kHostFunctionCount
};

struct HostFunctionShape {
  const char* name;
  bool returnsText;
};

constexpr HostFunctionShape kShapes[kHostFunctionCount] = {
    {"Api_Initialize", false},     {"Api_SendTextMsg", false},   {"Api_SendMiniAppMsg", false},
    {"Api_ForwardMsg", false},     {"Api_AcceptTransfer", false}, {"Api_AgreeFriendVerify", false},
    {"Api_InviteInGroup", false},  {"Api_AppendLogs", false},    {"Api_SetFatal", false},
    {"Api_GetAppDirectory", true}, {"Api_GetFrameVersion", true},
};

std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

// A GBK text from the plug-in as a JSON string; bytes that are not GBK
// become U+FFFD so the line stays valid UTF-8.
Json TextValue(const char* gbk) {
  if (!gbk) return "";
  std::string utf8;
  if (GbkToUtf8(gbk, utf8)) return utf8;
  return GbkToUtf8Lossy(gbk);
}

class Coupler {
 public:
  static Coupler& Instance() {
    static Coupler coupler;
    return coupler;
  }

  void SetSink(Sim_Sink_t sink, void* context) {
    std::lock_guard<std::mutex> lock(mutex_);
    sink_ = sink;
    sinkContext_ = context;
  }

  void Emit(const Json& line) {
    Sim_Sink_t sink;
    void* context;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      sink = sink_;
      context = sinkContext_;
    }
    if (sink) sink(context, Dump(line).c_str());
  }

  // One call of a host function: its line, then the value set for it.
  int RecordCall(HostFunction function, const int* handle, Json args) {
    Json line;
    line["api"] = kShapes[function].name;
    if (handle) line["handle"] = *handle;
    line["args"] = std::move(args);
    Emit(line);
    std::lock_guard<std::mutex> lock(mutex_);
    return numbers_[function];
  }

  const char* RecordTextCall(HostFunction function, int handle) {
    RecordCall(function, &handle, Json::array());
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_[function];
  }

  bool SetReturn(const std::string& name, const std::string& valueJson) {
    Json value = Json::parse(valueJson, nullptr, false);
    if (value.is_discarded()) return false;
    for (int f = 0; f < kHostFunctionCount; ++f) {
      if (name != kShapes[f].name) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      if (kShapes[f].returnsText) {
        if (value.is_null()) {
          texts_[f] = nullptr;
        } else if (value.is_string()) {
          texts_[f] = InternLocked(Utf8ToGbkLossy(value.get<std::string>()));
        } else {
          return false;
        }
      } else {
        if (!value.is_number_integer()) return false;
        if (value.is_number_unsigned() ? value.get<unsigned long long>() > 0x7FFFFFFFull
                                       : (value.get<long long>() < -0x80000000LL || value.get<long long>() > 0x7FFFFFFFLL))
          return false;
        numbers_[f] = value.get<int>();
      }
      return true;
    }
    return false;
  }

  void QueueReply(const std::string& button, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_.emplace_back(button, text);
  }

  // The ui line goes out in order with the api lines; the answer is the
  // operator's queued reply, "cancel" when none is queued. A clipboard text
  // asks nothing, so it takes no reply from the queue.
  const char* ShowUi(const char* uiJson) {
    Json ui = Json::parse(uiJson ? uiJson : "", nullptr, false);
    if (ui.is_discarded() || !ui.is_object() || !ui.contains("ui") || !ui["ui"].is_string()) {
      // Shown as it came, so a broken ui report is seen in the output.
      Json line;
      line["ui"] = "invalid";
      line["json"] = uiJson ? uiJson : "";
      ui = std::move(line);
    }
    Emit(ui);
    Json answer;
    std::lock_guard<std::mutex> lock(mutex_);
    if (ui["ui"] == "clipboard") {
      answer["button"] = "ok";
      answer["text"] = "";
    } else if (replies_.empty()) {
      answer["button"] = "cancel";
      answer["text"] = "";
    } else {
      answer["button"] = replies_.front().first;
      answer["text"] = replies_.front().second;
      replies_.pop_front();
    }
    return InternLocked(Dump(answer));
  }

  int AttachWindow(Sim_WindowDrive_t drive, void* context) {
    if (!drive) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    windows_.emplace_back(drive, context);
    return 1;
  }

  int DetachWindow(void* context) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      if (it->second == context) {
        windows_.erase(std::next(it).base());
        return 1;
      }
    }
    return 0;
  }

  bool WindowAttached() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !windows_.empty();
  }

  // The driver runs without the lock held: it calls back into the host
  // functions, shows dialogs and may detach its window.
  const char* DriveWindow(const char* lineJson) {
    std::pair<Sim_WindowDrive_t, void*> window;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (windows_.empty()) return nullptr;
      window = windows_.back();
    }
    return window.first(window.second, lineJson);
  }

 private:
  Coupler() {
    numbers_[kInitialize] = 1;
    texts_[kGetAppDirectory] = InternLocked(Utf8ToGbkLossy(ExecutableDirectory()));
    texts_[kGetFrameVersion] = InternLocked("sim");
  }

  // Texts handed to the plug-in stay valid for the life of the process: a
  // caller on another thread may still be copying one when a session sets a
  // new value. The set only grows by the few distinct values a session uses.
  const char* InternLocked(std::string text) { return interned_.insert(std::move(text)).first->c_str(); }

  std::mutex mutex_;
  Sim_Sink_t sink_ = nullptr;
  void* sinkContext_ = nullptr;
  int numbers_[kHostFunctionCount] = {};
  const char* texts_[kHostFunctionCount] = {};
  std::unordered_set<std::string> interned_;
  std::deque<std::pair<std::string, std::string>> replies_;
  std::vector<std::pair<Sim_WindowDrive_t, void*>> windows_;
};

// Host functions are called from the plug-in's code: nothing may escape them.
template <typename F>
auto Guarded(F&& body, decltype(body()) fallback) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

Json Texts(std::initializer_list<const char*> texts) {
  Json args = Json::array();
  for (const char* t : texts) args.push_back(TextValue(t));
  return args;
}

int RecordTexts(HostFunction function, int handle, std::initializer_list<const char*> texts) {
  return Guarded([&] { return Coupler::Instance().RecordCall(function, &handle, Texts(texts)); }, 0);
}

}  // namespace
}  // namespace quorvel::sim

using quorvel::sim::Coupler;
using quorvel::sim::Guarded;
using quorvel::sim::RecordTexts;

extern "C" {

int QUORVEL_CALL Api_Initialize(int hostValue, const char* pluginInfoJson) {
  return Guarded(
      [&] {
        quorvel::sim::Json args = quorvel::sim::Json::array();
        args.push_back(hostValue);
        args.push_back(quorvel::sim::TextValue(pluginInfoJson));
        return Coupler::Instance().RecordCall(quorvel::sim::kInitialize, nullptr, std::move(args));
      },
      0);
}

int QUORVEL_CALL Api_SendTextMsg(int handle, const char* robotWxid, const char* toWxid, const char* text) {
  return RecordTexts(quorvel::sim::kSendTextMsg, handle, {robotWxid, toWxid, text});
}

int QUORVEL_CALL Api_SendMiniAppMsg(int handle, const char* robotWxid, const char* toWxid, const char* message) {
  return RecordTexts(quorvel::sim::kSendMiniAppMsg, handle, {robotWxid, toWxid, message});
}

int QUORVEL_CALL Api_ForwardMsg(int handle, const char* robotWxid, const char* toWxid, const char* messageId) {
  return RecordTexts(quorvel::sim::kForwardMsg, handle, {robotWxid, toWxid, messageId});
}

int QUORVEL_CALL Api_AcceptTransfer(int handle, const char* robotWxid, const char* fromWxid, const char* payload) {
  return RecordTexts(quorvel::sim::kAcceptTransfer, handle, {robotWxid, fromWxid, payload});
}

int QUORVEL_CALL Api_AgreeFriendVerify(int handle, const char* robotWxid, const char* requestDetails) {
  return RecordTexts(quorvel::sim::kAgreeFriendVerify, handle, {robotWxid, requestDetails});
}

int QUORVEL_CALL Api_InviteInGroup(int handle, const char* robotWxid, const char* groupId, const char* friendWxid) {
  return RecordTexts(quorvel::sim::kInviteInGroup, handle, {robotWxid, groupId, friendWxid});
}

int QUORVEL_CALL Api_AppendLogs(int handle, const char* line) {
  return RecordTexts(quorvel::sim::kAppendLogs, handle, {line});
}

int QUORVEL_CALL Api_SetFatal(int handle) { return RecordTexts(quorvel::sim::kSetFatal, handle, {}); }

const char* QUORVEL_CALL Api_GetAppDirectory(int handle) {
  return Guarded([&] { return Coupler::Instance().RecordTextCall(quorvel::sim::kGetAppDirectory, handle); },
                 static_cast<const char*>(nullptr));
}

const char* QUORVEL_CALL Api_GetFrameVersion(int handle) {
  return Guarded([&] { return Coupler::Instance().RecordTextCall(quorvel::sim::kGetFrameVersion, handle); },
                 static_cast<const char*>(nullptr));
}

int Sim_AttachWindow(Sim_WindowDrive_t drive, void* context) {
  return Guarded([&] { return Coupler::Instance().AttachWindow(drive, context); }, 0);
}

int Sim_DetachWindow(void* context) {
  return Guarded([&] { return Coupler::Instance().DetachWindow(context); }, 0);
}

const char* Sim_ShowUi(const char* uiJson) {
  return Guarded([&] { return Coupler::Instance().ShowUi(uiJson); },
                 static_cast<const char*>("{\"button\":\"cancel\",\"text\":\"\"}"));
}

void Sim_SetSink(Sim_Sink_t sink, void* context) {
  Guarded(
      [&] {
        Coupler::Instance().SetSink(sink, context);
        return 0;
      },
      0);
}

int Sim_SetReturn(const char* hostFunction, const char* valueJson) {
  if (!hostFunction || !valueJson) return 0;
  return Guarded([&] { return Coupler::Instance().SetReturn(hostFunction, valueJson) ? 1 : 0; }, 0);
}

int Sim_QueueReply(const char* button, const char* text) {
  if (!button) return 0;
  std::string b = button;
  if (b != "ok" && b != "cancel") return 0;
  return Guarded(
      [&] {
        Coupler::Instance().QueueReply(b, text ? text : "");
        return 1;
      },
      0);
}

int Sim_WindowAttached() {
  return Guarded([&] { return Coupler::Instance().WindowAttached() ? 1 : 0; }, 0);
}

const char* Sim_DriveWindow(const char* lineJson) {
  return Guarded([&] { return Coupler::Instance().DriveWindow(lineJson); }, static_cast<const char*>(nullptr));
}

}  // extern "C"
