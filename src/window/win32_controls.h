#pragma once
// The control layer on real Win32 controls: a top-level window holding a
// comctl32 tab control, and every control of the layout on its page, with
// visual styles and the system's message font. Texts cross to the W
// functions through code page 936, so the window shows Chinese whatever
// the system's code page. The window belongs to the thread that calls
// Create; the operator's actions (Operate*) are carried out with the same
// window messages a mouse would cause.
#include <memory>

#include "window/controls.h"

namespace quorvel {

class Win32Controls : public Controls {
 public:
  Win32Controls();
  ~Win32Controls() override;
  Win32Controls(const Win32Controls&) = delete;
  Win32Controls& operator=(const Win32Controls&) = delete;

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

  // The handles (HWND) of the top-level window and of a control, null while
  // closed or unknown: for screenshots and tests.
  void* NativeWindow() const;
  void* NativeControl(const std::string& control) const;

 protected:
  bool DoShowMessage(const std::string& title, const std::string& text, MessageButtons buttons) override;
  std::optional<std::string> DoAskInput(const std::string& title, const std::string& prompt,
                                        const std::string& initial) override;
  void DoWriteClipboard(const std::string& text) override;

 private:
  struct Impl;  // the Win32 side, kept out of this header
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel
