#include "window/table_rows.h"

#include <iterator>
#include <mutex>

#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"

namespace quorvel {

bool QueryListRows(const std::string& sql, const SqlParams& params, int columns, ListRows& rows) {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  SqliteDataset set;
  if (!set.Open(sql, PluginDb(), params)) {
    // Read and dropped, so the connection's error state does not linger.
    PluginDb().ErrorCode();
    PluginDb().ErrorText();
    return false;
  }
  ListRows found;
  while (set.Next()) {
    ListRow row;
    row.reserve(static_cast<size_t>(columns) + 1);
    row.push_back(std::to_string(found.size() + 1));
    // Columns are counted from 1; the statement names exactly what the list shows.
    for (int column = 1; column <= columns; ++column) {
      std::string value;
      set.ReadField(column, value);
      row.push_back(std::move(value));
    }
    found.push_back(std::move(row));
  }
  set.Close();
  rows.insert(rows.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
  return true;
}

}  // namespace quorvel
