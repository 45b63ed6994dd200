#include "line_runner.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "host/host_abi.h"
#include "platform/code_page.h"
#include "sim_control.h"

namespace quorvel::sim {
namespace {

const char* const kKinds[] = {"call", "concurrent", "host", "window"};

bool ToInt(const Json& value, int& out) {
  if (value.is_number_unsigned()) {
    std::uint64_t u = value.get<std::uint64_t>();
    if (u > INT32_MAX) return false;
    out = static_cast<int>(u);
    return true;
  }
  if (value.is_number_integer()) {
    std::int64_t i = value.get<std::int64_t>();
    if (i < INT32_MIN || i > INT32_MAX) return false;
    out = static_cast<int>(i);
    return true;
  }
  return false;
}

// Members other than `allowed` are most likely typing errors in a session.
bool OnlyMembers(const Json& line, std::initializer_list<const char*> allowed, std::string& error) {
  for (const auto& member : line.items()) {
    bool known = false;
    for (const char* name : allowed) known = known || member.key() == name;
    if (!known) {
      error = "unexpected member \"" + member.key() + "\"";
      return false;
    }
  }
  return true;
}

std::string Plural(size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// Holds every thread of a concurrent line until all have been started.
class StartGate {
 public:
  explicit StartGate(size_t count) : waiting_(count) {}
  void ArriveAndWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (waiting_ > 0 && --waiting_ == 0) opened_.notify_all();
    opened_.wait(lock, [this] { return waiting_ == 0; });
  }
  // Lets the threads that did start go when another could not be started.
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_ = 0;
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  size_t waiting_;
};

}  // namespace

std::string DumpLine(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

bool LineRunner::Run(const Json& line, Json& closing, std::string& error) {
  if (!line.is_object()) {
    error = "a line must be a JSON object";
    return false;
  }
  const char* kind = nullptr;
  for (const char* k : kKinds) {
    if (!line.contains(k)) continue;
    if (kind) {
      error = std::string("a line cannot be both \"") + kind + "\" and \"" + k + "\"";
      return false;
    }
    kind = k;
  }
  if (!kind) {
    error = "a line needs one of \"call\", \"concurrent\", \"host\" or \"window\"";
    return false;
  }
  std::string k = kind;
  if (k == "call") return RunCall(line, closing, error);
  if (k == "concurrent") return RunConcurrent(line, closing, error);
  if (k == "host") return RunHost(line, closing, error);
  return RunWindow(line, closing, error);
}

bool LineRunner::PrepareCall(const Json& line, PreparedCall& call, std::string& error) const {
  if (!line.is_object()) {
    error = "a call must be a JSON object";
    return false;
  }
  if (!OnlyMembers(line, {"call", "args"}, error)) return false;
  if (!line.contains("call") || !line["call"].is_string()) {
    error = "\"call\" must name an export";
    return false;
  }
  std::string exportName = line["call"].get<std::string>();
  call.exportIndex = PluginLibrary::ExportIndex(exportName);
  if (call.exportIndex < 0) {
    error = "unknown export \"" + exportName + "\"";
    return false;
  }
  if (!line.contains("args") || !line["args"].is_array()) {
    error = exportName + ": \"args\" must be an array";
    return false;
  }
  const Json& args = line["args"];
  std::string params = kQuorvelExports[call.exportIndex].params;
  if (args.size() != params.size()) {
    error = exportName + " takes " + Plural(params.size(), "argument") + ", got " + std::to_string(args.size());
    return false;
  }
  call.args.assign(params.size(), ExportArg());
  for (size_t i = 0; i < params.size(); ++i) {
    const Json& arg = args[i];
    ExportArg& out = call.args[i];
    if (params[i] == 'i') {
      if (!ToInt(arg, out.number)) {
        error = exportName + ": argument " + std::to_string(i + 1) + " must be a 32-bit integer";
        return false;
      }
    } else if (arg.is_string()) {
      // The plug-in speaks GBK; a character GBK lacks arrives as "?".
      std::string gbk;
      const std::string& utf8 = arg.get_ref<const std::string&>();
      out.text = Utf8ToGbk(utf8, gbk) ? gbk : Utf8ToGbkLossy(utf8);
    } else if (!arg.is_null()) {
      error = exportName + ": argument " + std::to_string(i + 1) + " must be a string or null";
      return false;
    }
  }
  if (!plugin_.Exports(call.exportIndex)) {
    error = "the plug-in does not export " + exportName;
    return false;
  }
  return true;
}

bool LineRunner::RunCall(const Json& line, Json& closing, std::string& error) {
  PreparedCall call;
  if (!PrepareCall(line, call, error)) return false;
  std::optional<int> result = plugin_.Call(call.exportIndex, call.args);
  closing = Json::object();
  if (result)
    closing["ret"] = *result;
  else
    closing["ret"] = nullptr;
  return true;
}

bool LineRunner::RunConcurrent(const Json& line, Json& closing, std::string& error) {
  if (!OnlyMembers(line, {"concurrent", "repeat"}, error)) return false;
  const Json& list = line["concurrent"];
  if (!list.is_array()) {
    error = "\"concurrent\" must be an array of call lines";
    return false;
  }
  int repeat = 1;
  if (line.contains("repeat") && (!ToInt(line["repeat"], repeat) || repeat < 0)) {
    error = "\"repeat\" must be a non-negative integer";
    return false;
  }
  std::vector<PreparedCall> calls(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    if (!PrepareCall(list[i], calls[i], error)) {
      error = "concurrent call " + std::to_string(i + 1) + ": " + error;
      return false;
    }
  }

  StartGate gate(calls.size());
  std::vector<std::thread> threads;
  threads.reserve(calls.size());
  try {
    for (const PreparedCall& call : calls) {
      threads.emplace_back([this, &gate, &call, repeat] {
        gate.ArriveAndWait();
        try {
          // Each thread passes its own copies: the plug-in sees separate
          // buffers as it would from a host's separate events.
          std::vector<ExportArg> args = call.args;
          for (int r = 0; r < repeat; ++r) plugin_.Call(call.exportIndex, args);
        } catch (...) {
        }
      });
    }
  } catch (...) {
    gate.Open();
    for (std::thread& t : threads) t.join();
    error = "could not start the threads of a concurrent line";
    return false;
  }
  for (std::thread& t : threads) t.join();
  closing = Json::object();
  closing["ret"] = "done";
  return true;
}

bool LineRunner::RunHost(const Json& line, Json& closing, std::string& error) {
  if (!OnlyMembers(line, {"host", "returns"}, error)) return false;
  if (!line["host"].is_string()) {
    error = "\"host\" must name a host function";
    return false;
  }
  std::string name = line["host"].get<std::string>();
  if (!line.contains("returns")) {
    error = name + ": \"returns\" is missing";
    return false;
  }
  if (!Sim_SetReturn(name.c_str(), DumpLine(line["returns"]).c_str())) {
    error = "cannot make " + name + " return " + DumpLine(line["returns"]) +
            " (an Api_ function returning an int takes an integer, one returning a text a string or null)";
    return false;
  }
  closing = Json::object();
  closing["ret"] = "done";
  return true;
}

bool LineRunner::RunWindow(const Json& line, Json& closing, std::string& error) {
  if (!line["window"].is_string()) {
    error = "\"window\" must name what to do";
    return false;
  }
  if (!Sim_WindowAttached()) {
    error = "no window is open (a window line needs Menu first)";
    return false;
  }
  std::string what = line["window"].get<std::string>();
  // Dialog answers wait in the host until the window asks for one.
  if (what == "reply") {
    if (!OnlyMembers(line, {"window", "button", "text"}, error)) return false;
    const Json& button = line.contains("button") ? line["button"] : Json();
    const Json& text = line.contains("text") ? line["text"] : Json("");
    if (!button.is_string() || (button != "ok" && button != "cancel")) {
      error = "reply: \"button\" must be \"ok\" or \"cancel\"";
      return false;
    }
    if (!text.is_string()) {
      error = "reply: \"text\" must be a string";
      return false;
    }
    Sim_QueueReply(button.get<std::string>().c_str(), text.get<std::string>().c_str());
    closing = Json::object();
    closing["ret"] = "done";
    return true;
  }
  const char* answer = Sim_DriveWindow(DumpLine(line).c_str());
  if (!answer) {
    error = "window: no answer to \"" + what + "\"";
    return false;
  }
  Json result = Json::parse(answer, nullptr, false);
  if (result.is_discarded() || !result.is_object()) {
    error = "window: the answer to \"" + what + "\" is not a JSON object";
    return false;
  }
  if (result.contains("error")) {
    const Json& why = result["error"];
    error = "window: " + (why.is_string() ? why.get<std::string>() : DumpLine(why));
    return false;
  }
  closing = std::move(result);
  return true;
}

}  // namespace quorvel::sim
