#pragma once
// Reading table rows into list rows. Each list's column 0 is the row's
// position counted from 1; the columns read follow it. Every read uses a
// record set of its own and holds PluginLock() while it runs.
#include <string>

#include "storage/sql_value.h"
#include "window/controls.h"

namespace quorvel {

// Runs the query and appends one list row per result row, numbered from 1,
// with the query's first `columns` columns as texts (NULL as ""). False when
// the query could not be prepared (no connection, missing table); `rows` is
// then untouched.
bool QueryListRows(const std::string& sql, const SqlParams& params, int columns, ListRows& rows);

}  // namespace quorvel
