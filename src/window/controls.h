#pragma once
// The control layer under the management window. Page logic knows controls by
// their names ("编辑框_商品id", "超级列表框_卡密", ...) and talks only to this
// interface, so it never includes windows.h and runs unchanged on the
// headless backend (Linux, tests) and on the native Win32 backend.
//
// Threading: every member is called on the window's thread, except Post(),
// which any thread may call. Names and texts are GBK. No member is named
// after a windows.h macro (MessageBox, ...), so a native backend can include
// both headers.
//
// A backend has three faces:
//  - the page logic's: read and write control state, show dialogs;
//  - the window's: create the controls from the layout, show, close, and
//    report what the operator did as ControlEvents;
//  - the operator's (Operate*): what a person would do with the mouse,
//    used by the simulator's driver; each fires the event the real action
//    would fire and returns "" or a reason why it cannot be done.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/window_layout.h"

namespace quorvel {

using ListRow = std::vector<std::string>;
using ListRows = std::vector<ListRow>;

enum class ControlEventKind {
  PageChanged,  // index: the new current page (after its controls are shown)
  Click,        // control: the button
  ComboChosen,  // control, index: chosen by the operator (not by SetComboIndex)
  MenuItem,     // control: the list right-clicked; item: the chosen item's text
  Closed,       // the operator closed the window; the window is already gone
};

struct ControlEvent {
  ControlEventKind kind;
  std::string control;
  int index = -1;
  std::string item;
};

enum class MessageButtons { Ok, OkCancel };

// What the operator was shown, for the simulator's report and for tests.
struct UiReport {
  enum class Kind { Message, Input, Clipboard };
  Kind kind;
  std::string title;
  std::string text;     // message text, input prompt or clipboard text
  std::string initial;  // input dialogs
  MessageButtons buttons = MessageButtons::Ok;
};

// The operator's answer to a message box or input dialog.
struct UiAnswer {
  bool ok = false;
  std::string text;
};

// Takes over the dialogs (the simulator): called instead of showing them.
// Clipboard texts are reported too (the answer is ignored) and still written.
using UiResponder = std::function<UiAnswer(const UiReport&)>;

class Controls {
 public:
  virtual ~Controls() = default;

  // --- the window ----------------------------------------------------------
  // Builds the window and every control of the layout, hidden, on page 0.
  virtual bool Create(const WindowLayout& layout) = 0;
  virtual void Show() = 0;
  virtual void BringToFront() = 0;
  // Destroys the window (no Closed event); pending posted tasks are dropped.
  virtual void Destroy() = 0;
  virtual bool IsOpen() const = 0;
  // Receives the operator's actions. Set before Create.
  void SetEventHandler(std::function<void(const ControlEvent&)> handler) { handler_ = std::move(handler); }

  // --- control state (no event fires) -----------------------------------------
  virtual bool Has(const std::string& control) const = 0;
  virtual std::string Text(const std::string& control) const = 0;
  virtual void SetText(const std::string& control, const std::string& text) = 0;
  virtual bool Checked(const std::string& control) const = 0;
  virtual void SetChecked(const std::string& control, bool checked) = 0;
  // -1 when no item is selected.
  virtual int ComboIndex(const std::string& control) const = 0;
  virtual void SetComboIndex(const std::string& control, int index) = 0;
  virtual int CurrentPage() const = 0;

  // --- report-style lists -------------------------------------------------------
  virtual void ClearList(const std::string& list) = 0;
  virtual void AppendRow(const std::string& list, const ListRow& texts) = 0;
  // Replaces every row at once (redrawing suspended on a real screen).
  virtual void SetRows(const std::string& list, ListRows rows) = 0;
  virtual int RowCount(const std::string& list) const = 0;
  // Empty when the row does not exist.
  virtual ListRow Row(const std::string& list, int row) const = 0;
  virtual ListRows Rows(const std::string& list) const = 0;
  // The first selected row, -1 when none.
  virtual int SelectedRow(const std::string& list) const = 0;
  virtual void SetSelectedRow(const std::string& list, int row) = 0;

  // --- dialogs (information icon; answered by the responder when one is set) ---
  // True only for OK.
  bool ShowMessage(const std::string& title, const std::string& text, MessageButtons buttons);
  // The entered text, or nothing when cancelled.
  std::optional<std::string> AskInput(const std::string& title, const std::string& prompt,
                                      const std::string& initial);
  void SetClipboardText(const std::string& text);
  void SetUiResponder(UiResponder responder) { responder_ = std::move(responder); }

  // --- the window's thread ---------------------------------------------------------
  // Queues the task to run on the window's thread. Safe from any thread; the
  // task is dropped if the window is destroyed first.
  virtual void Post(std::function<void()> task) = 0;
  // Runs the tasks posted so far, on the calling (window's) thread; false
  // when there was none. A real window runs them from its message loop anyway.
  virtual bool RunPosted() = 0;

  // --- the operator's actions (simulator driver) ---------------------------------
  virtual std::string OperateSelectPage(int index) = 0;
  virtual std::string OperateSetText(const std::string& control, const std::string& text) = 0;
  virtual std::string OperateCheck(const std::string& control, bool checked) = 0;
  virtual std::string OperateChoose(const std::string& control, int index) = 0;
  virtual std::string OperateSelectRow(const std::string& list, int row) = 0;
  virtual std::string OperateClick(const std::string& button) = 0;
  // Right-clicks the list and picks the item of its popup menu (an item of a
  // submenu by its own text).
  virtual std::string OperateMenu(const std::string& list, const std::string& item) = 0;
  virtual std::string OperateClose() = 0;

 protected:
  virtual bool DoShowMessage(const std::string& title, const std::string& text, MessageButtons buttons) = 0;
  virtual std::optional<std::string> DoAskInput(const std::string& title, const std::string& prompt,
                                                  const std::string& initial) = 0;
  virtual void DoWriteClipboard(const std::string& text) = 0;
  void Fire(const ControlEvent& event) {
    if (handler_) handler_(event);
  }

 private:
  std::function<void(const ControlEvent&)> handler_;
  UiResponder responder_;
};

// The backend of this platform: native on Windows, headless elsewhere.
std::unique_ptr<Controls> CreatePlatformControls();

}  // namespace quorvel
