#pragma once
// What every page of the management window works with.
#include <optional>
#include <string>

#include "window/controls.h"
#include "window/workers.h"

namespace quorvel {

struct PageContext {
  Controls& ui;
  Workers& workers;
  // The host program's directory, where card keys are exported.
  std::string exportDirectory;
};

// Message boxes of the pages are titled so.
inline constexpr char kNoticeTitle[] = "系统提示";

// The list's selected row, padded to `columns` texts; nothing when no row is
// selected.
inline std::optional<ListRow> SelectedListRow(const Controls& ui, const std::string& list, size_t columns) {
  int row = ui.SelectedRow(list);
  if (row < 0) return std::nullopt;
  ListRow texts = ui.Row(list, row);
  if (texts.size() < columns) texts.resize(columns);
  return texts;
}

}  // namespace quorvel
