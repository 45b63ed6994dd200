// The simulator's "window" lines, carried out on the control layer as an
// operator would, so a scripted session drives the same page logic.
#include <nlohmann/json.hpp>

#include "platform/code_page.h"
#include "window/management_window.h"
#include "window/window_layout.h"

namespace quorvel {
namespace {

using Json = nlohmann::ordered_json;

std::string Error(const std::string& gbkReason) {
  Json answer;
  answer["error"] = GbkToUtf8Lossy(gbkReason);
  return answer.dump();
}

// A member of the line: false (with the reason) when it is missing or of another kind.
bool TextMember(const Json& line, const char* name, std::string& gbk, std::string& error) {
  auto it = line.find(name);
  if (it == line.end() || !it->is_string()) {
    error = std::string("\"") + name + "\" must be a string";
    return false;
  }
  gbk = Utf8ToGbkLossy(it->get<std::string>());
  return true;
}

bool IntMember(const Json& line, const char* name, int& value, std::string& error) {
  auto it = line.find(name);
  if (it == line.end() || !it->is_number_integer()) {
    error = std::string("\"") + name + "\" must be an integer";
    return false;
  }
  long long v = it->get<long long>();
  if (v < -1000000000LL || v > 1000000000LL) {
    error = std::string("\"") + name + "\" is out of range";
    return false;
  }
  value = static_cast<int>(v);
  return true;
}

bool BoolMember(const Json& line, const char* name, bool& value, std::string& error) {
  auto it = line.find(name);
  if (it == line.end() || !it->is_boolean()) {
    error = std::string("\"") + name + "\" must be true or false";
    return false;
  }
  value = it->get<bool>();
  return true;
}

}  // namespace

std::string ManagementWindow::Read(const std::string& control) const {
  const ControlSpec* design = ManagementWindowLayout().Find(control);
  if (!design || !ui_->Has(control)) return Error("no control " + control);
  Json answer;
  answer["control"] = GbkToUtf8Lossy(control);
  switch (design->kind) {
    case ControlKind::List: {
      Json rows = Json::array();
      for (const ListRow& row : ui_->Rows(control)) {
        Json texts = Json::array();
        for (const std::string& text : row) texts.push_back(GbkToUtf8Lossy(text));
        rows.push_back(std::move(texts));
      }
      answer["rows"] = std::move(rows);
      break;
    }
    case ControlKind::CheckBox:
      answer["checked"] = ui_->Checked(control);
      break;
    case ControlKind::ComboBox:
      answer["index"] = ui_->ComboIndex(control);
      break;
    default:
      answer["text"] = GbkToUtf8Lossy(ui_->Text(control));
      break;
  }
  return answer.dump();
}

std::string ManagementWindow::Drive(const std::string& lineJson) {
  Json line = Json::parse(lineJson, nullptr, false);
  if (line.is_discarded() || !line.is_object()) return Error("the line is not a JSON object");
  auto what = line.find("window");
  if (what == line.end() || !what->is_string()) return Error("\"window\" must name what to do");
  const std::string action = what->get<std::string>();
  if (!ui_->IsOpen()) return Error("the window is closed");

  std::string error, control, text;
  int number = 0;
  bool flag = false;
  std::string refused;
  if (action == "page") {
    if (!IntMember(line, "index", number, error)) return Error(error);
    refused = ui_->OperateSelectPage(number);
  } else if (action == "set") {
    if (!TextMember(line, "control", control, error) || !TextMember(line, "text", text, error)) return Error(error);
    refused = ui_->OperateSetText(control, text);
  } else if (action == "check") {
    if (!TextMember(line, "control", control, error) || !BoolMember(line, "value", flag, error)) return Error(error);
    refused = ui_->OperateCheck(control, flag);
  } else if (action == "choose") {
    if (!TextMember(line, "control", control, error) || !IntMember(line, "index", number, error)) return Error(error);
    refused = ui_->OperateChoose(control, number);
  } else if (action == "select") {
    if (!TextMember(line, "control", control, error) || !IntMember(line, "row", number, error)) return Error(error);
    refused = ui_->OperateSelectRow(control, number);
  } else if (action == "click") {
    if (!TextMember(line, "control", control, error)) return Error(error);
    refused = ui_->OperateClick(control);
  } else if (action == "menu") {
    if (!TextMember(line, "control", control, error) || !TextMember(line, "item", text, error)) return Error(error);
    refused = ui_->OperateMenu(control, text);
  } else if (action == "read") {
    if (!TextMember(line, "control", control, error)) return Error(error);
    Settle();
    return Read(control);
  } else if (action == "close") {
    refused = ui_->OperateClose();
  } else {
    return Error("unknown window action " + Utf8ToGbkLossy(action));
  }
  if (!refused.empty()) return Error(refused);
  // The line is answered once the work it started has ended.
  if (ui_->IsOpen()) Settle();
  return R"({"ret":"done"})";
}

}  // namespace quorvel
