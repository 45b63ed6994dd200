#include "window/headless_backend.h"

#include <algorithm>

namespace quorvel {

HeadlessControls::HeadlessControls() = default;
HeadlessControls::~HeadlessControls() = default;

bool HeadlessControls::Create(const WindowLayout& layout) {
  layout_ = &layout;
  controls_.clear();
  for (const ControlSpec& design : layout.controls) {
    State s;
    s.design = &design;
    s.text = design.caption;
    s.index = design.kind == ControlKind::ComboBox ? design.selected : -1;
    controls_[design.name] = std::move(s);
  }
  page_ = 0;
  open_ = true;
  shown_ = false;
  return true;
}

void HeadlessControls::Show() { shown_ = true; }

void HeadlessControls::BringToFront() { ++broughtToFront_; }

void HeadlessControls::Destroy() {
  open_ = false;
  controls_.clear();
  std::lock_guard<std::mutex> lock(mutex_);
  posted_.clear();
}

bool HeadlessControls::IsOpen() const { return open_; }

HeadlessControls::State* HeadlessControls::Find(const std::string& name, std::initializer_list<ControlKind> kinds) {
  auto it = controls_.find(name);
  if (it == controls_.end()) return nullptr;
  if (kinds.size() && std::find(kinds.begin(), kinds.end(), it->second.design->kind) == kinds.end()) return nullptr;
  return &it->second;
}

const HeadlessControls::State* HeadlessControls::Find(const std::string& name,
                                                      std::initializer_list<ControlKind> kinds) const {
  return const_cast<HeadlessControls*>(this)->Find(name, kinds);
}

std::string HeadlessControls::Missing(const std::string& what, const std::string& name) const {
  return controls_.count(name) ? name + " is not " + what : "no control " + name;
}

bool HeadlessControls::Has(const std::string& control) const { return controls_.count(control) != 0; }

std::string HeadlessControls::Text(const std::string& control) const {
  const State* s = Find(control, {});
  return s ? s->text : std::string();
}

void HeadlessControls::SetText(const std::string& control, const std::string& text) {
  if (State* s = Find(control, {})) s->text = text;
}

bool HeadlessControls::Checked(const std::string& control) const {
  const State* s = Find(control, {ControlKind::CheckBox});
  return s && s->checked;
}

void HeadlessControls::SetChecked(const std::string& control, bool checked) {
  if (State* s = Find(control, {ControlKind::CheckBox})) s->checked = checked;
}

int HeadlessControls::ComboIndex(const std::string& control) const {
  const State* s = Find(control, {ControlKind::ComboBox});
  return s ? s->index : -1;
}

void HeadlessControls::SetComboIndex(const std::string& control, int index) {
  State* s = Find(control, {ControlKind::ComboBox});
  if (s && index >= -1 && index < static_cast<int>(s->design->items.size())) s->index = index;
}

int HeadlessControls::CurrentPage() const { return page_; }

void HeadlessControls::ClearList(const std::string& list) {
  if (State* s = Find(list, {ControlKind::List})) {
    s->rows.clear();
    s->index = -1;
  }
}

// A row holds exactly one text per column, as a report view does.
void HeadlessControls::AppendRow(const std::string& list, const ListRow& texts) {
  if (State* s = Find(list, {ControlKind::List})) {
    s->rows.push_back(texts);
    s->rows.back().resize(s->design->columns.size());
  }
}

void HeadlessControls::SetRows(const std::string& list, ListRows rows) {
  if (State* s = Find(list, {ControlKind::List})) {
    for (ListRow& r : rows) r.resize(s->design->columns.size());
    s->rows = std::move(rows);
    s->index = -1;
  }
}

int HeadlessControls::RowCount(const std::string& list) const {
  const State* s = Find(list, {ControlKind::List});
  return s ? static_cast<int>(s->rows.size()) : 0;
}

ListRow HeadlessControls::Row(const std::string& list, int row) const {
  const State* s = Find(list, {ControlKind::List});
  if (!s || row < 0 || row >= static_cast<int>(s->rows.size())) return {};
  return s->rows[static_cast<size_t>(row)];
}

ListRows HeadlessControls::Rows(const std::string& list) const {
  const State* s = Find(list, {ControlKind::List});
  return s ? s->rows : ListRows();
}

int HeadlessControls::SelectedRow(const std::string& list) const {
  const State* s = Find(list, {ControlKind::List});
  return s ? s->index : -1;
}

void HeadlessControls::SetSelectedRow(const std::string& list, int row) {
  State* s = Find(list, {ControlKind::List});
  if (s && row >= -1 && row < static_cast<int>(s->rows.size())) s->index = row;
}

void HeadlessControls::Post(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (open_) posted_.push_back(std::move(task));
}

bool HeadlessControls::RunPosted() {
  bool ran = false;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (posted_.empty() || !open_) return ran;
      task = std::move(posted_.front());
      posted_.pop_front();
    }
    task();
    ran = true;
  }
}

std::string HeadlessControls::OperateSelectPage(int index) {
  if (!open_) return "the window is closed";
  if (!layout_ || index < 0 || index >= static_cast<int>(layout_->pageCaptions.size()))
    return "no page " + std::to_string(index);
  // A click on the current tab changes nothing and fires nothing.
  if (index == page_) return "";
  page_ = index;
  Fire({ControlEventKind::PageChanged, layout_->tabName, index, ""});
  return "";
}

std::string HeadlessControls::OperateSetText(const std::string& control, const std::string& text) {
  State* s = Find(control, {ControlKind::Edit, ControlKind::MultiLineEdit});
  if (!s) return Missing("an edit box", control);
  s->text = text;
  return "";
}

std::string HeadlessControls::OperateCheck(const std::string& control, bool checked) {
  State* s = Find(control, {ControlKind::CheckBox});
  if (!s) return Missing("a check box", control);
  s->checked = checked;
  return "";
}

std::string HeadlessControls::OperateChoose(const std::string& control, int index) {
  State* s = Find(control, {ControlKind::ComboBox});
  if (!s) return Missing("a combo box", control);
  if (index < 0 || index >= static_cast<int>(s->design->items.size()))
    return control + " has no item " + std::to_string(index);
  s->index = index;
  Fire({ControlEventKind::ComboChosen, control, index, ""});
  return "";
}

std::string HeadlessControls::OperateSelectRow(const std::string& list, int row) {
  State* s = Find(list, {ControlKind::List});
  if (!s) return Missing("a list", list);
  if (row < -1 || row >= static_cast<int>(s->rows.size())) return list + " has no row " + std::to_string(row);
  s->index = row;
  return "";
}

std::string HeadlessControls::OperateClick(const std::string& button) {
  if (!Find(button, {ControlKind::Button})) return Missing("a button", button);
  Fire({ControlEventKind::Click, button, -1, ""});
  return "";
}

std::string HeadlessControls::OperateMenu(const std::string& list, const std::string& item) {
  if (!Find(list, {ControlKind::List})) return Missing("a list", list);
  const MenuSpec* menu = layout_ ? layout_->MenuOf(list) : nullptr;
  if (!menu) return list + " has no popup menu";
  if (!MenuHasAction(*menu, item)) return menu->name + " has no item " + item;
  Fire({ControlEventKind::MenuItem, list, -1, item});
  return "";
}

std::string HeadlessControls::OperateClose() {
  if (!open_) return "the window is closed";
  Destroy();
  Fire({ControlEventKind::Closed, "", -1, ""});
  return "";
}

void HeadlessControls::QueueAnswer(bool ok, const std::string& text) { answers_.push_back({ok, text}); }

std::vector<UiReport> HeadlessControls::TakeShown() {
  std::vector<UiReport> shown;
  shown.swap(shown_ui_);
  return shown;
}

std::string HeadlessControls::Clipboard() const { return clipboard_; }

int HeadlessControls::BroughtToFront() const { return broughtToFront_; }

bool HeadlessControls::DoShowMessage(const std::string& title, const std::string& text, MessageButtons buttons) {
  shown_ui_.push_back({UiReport::Kind::Message, title, text, "", buttons});
  if (answers_.empty()) return false;
  UiAnswer a = answers_.front();
  answers_.pop_front();
  return a.ok;
}

std::optional<std::string> HeadlessControls::DoAskInput(const std::string& title, const std::string& prompt,
                                                          const std::string& initial) {
  shown_ui_.push_back({UiReport::Kind::Input, title, prompt, initial, MessageButtons::OkCancel});
  if (answers_.empty()) return std::nullopt;
  UiAnswer a = answers_.front();
  answers_.pop_front();
  if (!a.ok) return std::nullopt;
  return a.text;
}

void HeadlessControls::DoWriteClipboard(const std::string& text) {
  shown_ui_.push_back({UiReport::Kind::Clipboard, "", text, "", MessageButtons::Ok});
  clipboard_ = text;
}

}  // namespace quorvel
