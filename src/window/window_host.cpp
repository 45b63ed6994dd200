// The one management window of the process, opened by Menu, and its link to
// the simulator's host when the host library offers one.
#include <mutex>

#include <nlohmann/json.hpp>

#include "host/host_abi.h"
#include "host/host_api.h"
#include "platform/code_page.h"
#include "window/management_window.h"

namespace quorvel {
namespace {

using Json = nlohmann::ordered_json;

struct OpenWindow {
  std::mutex mutex;
  std::unique_ptr<ManagementWindow> window;
};

OpenWindow& TheWindow() {
  static OpenWindow open;
  return open;
}

// Dialogs become "ui" reports; the host answers with the operator's queued reply.
UiAnswer ReportToHost(Sim_ShowUi_t showUi, const UiReport& report) {
  Json ui;
  switch (report.kind) {
    case UiReport::Kind::Message:
      ui["ui"] = "message";
      ui["title"] = GbkToUtf8Lossy(report.title);
      ui["text"] = GbkToUtf8Lossy(report.text);
      ui["buttons"] = report.buttons == MessageButtons::Ok ? "ok" : "okcancel";
      break;
    case UiReport::Kind::Input:
      ui["ui"] = "input";
      ui["title"] = GbkToUtf8Lossy(report.title);
      ui["prompt"] = GbkToUtf8Lossy(report.text);
      ui["initial"] = GbkToUtf8Lossy(report.initial);
      break;
    case UiReport::Kind::Clipboard:
      ui["ui"] = "clipboard";
      ui["text"] = GbkToUtf8Lossy(report.text);
      break;
  }
  const char* reply = showUi(ui.dump().c_str());
  Json answer = Json::parse(reply ? reply : "", nullptr, false);
  UiAnswer result;
  if (answer.is_object()) {
    auto button = answer.find("button");
    auto text = answer.find("text");
    result.ok = button != answer.end() && button->is_string() && *button == "ok";
    if (text != answer.end() && text->is_string()) result.text = Utf8ToGbkLossy(text->get<std::string>());
  }
  return result;
}

const char* DriveOpenWindow(void* context, const char* lineJson) noexcept {
  static std::string answer;
  try {
    OpenWindow& open = TheWindow();
    std::lock_guard<std::mutex> lock(open.mutex);
    if (!open.window || open.window.get() != context) {
      answer = R"({"error":"the window is closed"})";
      return answer.c_str();
    }
    answer = open.window->Drive(lineJson ? lineJson : "");
    // Closed by this line: the window goes now, after its last answer is taken.
    if (!open.window->IsOpen()) open.window.reset();
  } catch (...) {
    answer = R"({"error":"the window failed"})";
  }
  return answer.c_str();
}

void AttachToHost(ManagementWindow& window) {
  HostApi& host = Host();
  auto attach = reinterpret_cast<Sim_AttachWindow_t>(host.FindFunction("Sim_AttachWindow"));
  auto detach = reinterpret_cast<Sim_DetachWindow_t>(host.FindFunction("Sim_DetachWindow"));
  auto showUi = reinterpret_cast<Sim_ShowUi_t>(host.FindFunction("Sim_ShowUi"));
  if (!attach) return;  // a real host: the operator answers the dialogs
  if (showUi) {
    window.Ui().SetUiResponder([showUi](const UiReport& report) { return ReportToHost(showUi, report); });
  }
  ManagementWindow* context = &window;
  window.SetOnClosed([detach, context] {
    if (detach) detach(context);
  });
  attach(&DriveOpenWindow, context);
}

}  // namespace

void OpenManagementWindow() {
  OpenWindow& open = TheWindow();
  std::lock_guard<std::mutex> lock(open.mutex);
  if (open.window && open.window->IsOpen()) {
    open.window->BringToFront();
    return;
  }
  open.window.reset();
  auto window = std::make_unique<ManagementWindow>(CreatePlatformControls());
  window->Create();
  AttachToHost(*window);
  open.window = std::move(window);
}

ManagementWindow* OpenedManagementWindow() {
  OpenWindow& open = TheWindow();
  std::lock_guard<std::mutex> lock(open.mutex);
  return open.window && open.window->IsOpen() ? open.window.get() : nullptr;
}

void CloseManagementWindow() {
  OpenWindow& open = TheWindow();
  std::lock_guard<std::mutex> lock(open.mutex);
  if (!open.window) return;
  if (open.window->IsOpen()) open.window->Ui().OperateClose();
  open.window.reset();
}

}  // namespace quorvel
