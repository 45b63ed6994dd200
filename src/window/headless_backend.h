#pragma once
// The control layer in memory: every control of the layout as plain state,
// the operator's actions as direct events, dialogs answered from a queue.
// Linux uses it as the window; tests and the simulator drive it by name.
#include <deque>
#include <map>
#include <mutex>

#include "window/controls.h"

namespace quorvel {

class HeadlessControls : public Controls {
 public:
  HeadlessControls();
  ~HeadlessControls() override;

  bool Create(const WindowLayout& layout) override;
  void Show() override;
  void BringToFront() override;
  void Destroy() override;
  bool IsOpen() const override;

  bool Has(const std::string& control) const override;
  std::string Text(const std::string& control) const override;
  void SetText(const std::string& control, const std::string& text) override;
  bool Checked(const std::string& control) const override;
  void SetChecked(const std::string& control, bool checked) override;
  int ComboIndex(const std::string& control) const override;
  void SetComboIndex(const std::string& control, int index) override;
  int CurrentPage() const override;

  void ClearList(const std::string& list) override;
  void AppendRow(const std::string& list, const ListRow& texts) override;
  void SetRows(const std::string& list, ListRows rows) override;
  int RowCount(const std::string& list) const override;
  ListRow Row(const std::string& list, int row) const override;
  ListRows Rows(const std::string& list) const override;
  int SelectedRow(const std::string& list) const override;
  void SetSelectedRow(const std::string& list, int row) override;

  void Post(std::function<void()> task) override;
  bool RunPosted() override;

  std::string OperateSelectPage(int index) override;
  std::string OperateSetText(const std::string& control, const std::string& text) override;
  std::string OperateCheck(const std::string& control, bool checked) override;
  std::string OperateChoose(const std::string& control, int index) override;
  std::string OperateSelectRow(const std::string& list, int row) override;
  std::string OperateClick(const std::string& button) override;
  std::string OperateMenu(const std::string& list, const std::string& item) override;
  std::string OperateClose() override;

  // For tests without a responder: the answers the next dialogs get (none
  // queued: cancel), what was shown, and the clipboard.
  void QueueAnswer(bool ok, const std::string& text = "");
  std::vector<UiReport> TakeShown();
  std::string Clipboard() const;
  // How often BringToFront ran (the window is kept, not made again).
  int BroughtToFront() const;

 protected:
  bool DoShowMessage(const std::string& title, const std::string& text, MessageButtons buttons) override;
  std::optional<std::string> DoAskInput(const std::string& title, const std::string& prompt,
                                          const std::string& initial) override;
  void DoWriteClipboard(const std::string& text) override;

 private:
  struct State {
    const ControlSpec* design = nullptr;
    std::string text;
    bool checked = false;
    int index = -1;  // combo item, or list selection
    ListRows rows;
  };
  // Null when the control does not exist or is of another kind.
  State* Find(const std::string& name, std::initializer_list<ControlKind> kinds);
  const State* Find(const std::string& name, std::initializer_list<ControlKind> kinds) const;
  std::string Missing(const std::string& what, const std::string& name) const;

  mutable std::mutex mutex_;  // posted tasks only; control state lives on the window's thread
  std::deque<std::function<void()>> posted_;
  const WindowLayout* layout_ = nullptr;
  std::map<std::string, State> controls_;
  int page_ = 0;
  bool open_ = false;
  bool shown_ = false;
  int broughtToFront_ = 0;
  std::deque<UiAnswer> answers_;
  std::vector<UiReport> shown_ui_;
  std::string clipboard_;
};

}  // namespace quorvel
