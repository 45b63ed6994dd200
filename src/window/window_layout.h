#pragma once
// The management window described as data: every control with its kind,
// page, place and caption, the list columns and the popup menus. Backends
// build their controls from this table; nothing else knows the layout.
#include <string>
#include <vector>

namespace quorvel {

enum class ControlKind {
  GroupBox,
  Label,          // transparent background
  Edit,           // single line
  MultiLineEdit,  // CR LF line breaks, vertical scrolling
  CheckBox,
  ComboBox,       // drop-down list, not editable
  Button,
  List,           // report view with a header, whole-row selection
};

struct ListColumnSpec {
  std::string header;
  int width = 0;
};

struct ControlSpec {
  std::string name;
  ControlKind kind = ControlKind::Label;
  int page = 0;        // the tab page it is shown on
  std::string parent;  // the group box it sits in, or "" for the page itself
  std::string caption; // caption or initial text
  // Relative to the tab control, or to the parent group box. A label with
  // no size takes the size of its caption.
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<ListColumnSpec> columns;  // lists
  std::vector<std::string> items;       // combo boxes
  int selected = -1;                    // combo boxes: the item selected at creation
};

struct MenuItemSpec {
  std::string text;
  std::vector<MenuItemSpec> items;  // a submenu; such an item has no action of its own
};

// A hidden top-level menu, shown only as the popup of one list.
struct MenuSpec {
  std::string name;
  std::string list;
  std::vector<MenuItemSpec> items;
};

struct WindowLayout {
  std::string title;
  int x = 0, y = 0, width = 0, height = 0;  // outer size, designed position
  std::string tabName;
  int tabX = 0, tabY = 0, tabWidth = 0, tabHeight = 0;
  std::vector<std::string> pageCaptions;
  std::vector<ControlSpec> controls;
  std::vector<MenuSpec> menus;

  const ControlSpec* Find(const std::string& name) const;
  // The menu shown for the list, or nullptr.
  const MenuSpec* MenuOf(const std::string& list) const;
};

const WindowLayout& ManagementWindowLayout();

// Whether the item (at any depth) is in the menu and has an action (no submenu).
bool MenuHasAction(const MenuSpec& menu, const std::string& item);

}  // namespace quorvel
