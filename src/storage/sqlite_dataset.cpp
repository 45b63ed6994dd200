#include "storage/sqlite_dataset.h"

#include <sqlite3.h>

#include "storage/sqlite_access.h"

namespace quorvel {

namespace {

constexpr size_t kKeptRows = 16;

}  // namespace

SqliteDataset::SqliteDataset() = default;

SqliteDataset::~SqliteDataset() { Close(); }

bool SqliteDataset::Open(const std::string& sql, SqliteDB& db, const SqlParams& params) {
  if (sql.empty() || !db.IsOpen()) return false;
  std::string utf8;
  sqlite3_stmt* stmt = nullptr;
  if (ToUtf8(sql, utf8)) stmt = SqliteAccess::Acquire(db, utf8);
  if (stmt && (sqlite3_bind_parameter_count(stmt) != static_cast<int>(params.size()) || !BindParams(stmt, params)))
    SqliteAccess::Release(db, stmt);
  Close();
  if (!stmt) return false;
  owner_ = &db;
  db_ = db.Handle();
  stmt_ = stmt;
  SqliteAccess::Attach(db, this);
  return true;
}

bool SqliteDataset::First() {
  if (!stmt_) return false;
  DropKept();
  sqlite3_reset(stmt_);
  const int columns = sqlite3_column_count(stmt_);
  int count = 0;
  bool keep = true;
  int rc;
  while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
    ++count;
    keep = keep && count <= static_cast<int>(kKeptRows);
    if (!keep) continue;
    std::vector<sqlite3_value*> row;
    for (int i = 0; i < columns && keep; ++i) {
      sqlite3_value* value = sqlite3_value_dup(sqlite3_column_value(stmt_, i));
      keep = value != nullptr;
      if (value) row.push_back(value);
    }
    kept_.push_back(std::move(row));  // DropKept frees it even when incomplete
  }
  sqlite3_reset(stmt_);
  if (rc != SQLITE_DONE || !keep) DropKept();
  if (rc != SQLITE_DONE) return false;
  fromKept_ = keep;
  keptChanges_ = sqlite3_total_changes64(db_);
  count_ = count;
  beforeFirst_ = true;
  atEnd_ = count == 0;
  onRow_ = false;
  return true;
}

bool SqliteDataset::Next() {
  if (!stmt_) return false;
  beforeFirst_ = false;
  // Stepping a finished statement would start the query over.
  if (atEnd_) {
    onRow_ = false;
    return false;
  }
  // A change before the first row is delivered: run the query afresh, as
  // stepping the rewound statement would.
  if (fromKept_ && nextKept_ == 0 && sqlite3_total_changes64(db_) != keptChanges_) DropKept();
  if (fromKept_) {
    onRow_ = nextKept_ < kept_.size();
    if (onRow_) {
      ++nextKept_;
    } else {
      atEnd_ = true;
    }
    return onRow_;
  }
  onRow_ = sqlite3_step(stmt_) == SQLITE_ROW;
  if (!onRow_) atEnd_ = true;  // the end, or an error that ends the rows as well
  return onRow_;
}

int SqliteDataset::Count() const { return count_; }

void SqliteDataset::DropKept() {
  for (auto& row : kept_)
    for (sqlite3_value* value : row) sqlite3_value_free(value);
  kept_.clear();
  fromKept_ = false;
  nextKept_ = 0;
}

bool SqliteDataset::Close() {
  DropKept();
  if (owner_) {
    SqliteAccess::Release(*owner_, stmt_);
    SqliteAccess::Detach(*owner_, this);
  }
  owner_ = nullptr;
  db_ = nullptr;
  stmt_ = nullptr;
  count_ = 0;
  beforeFirst_ = atEnd_ = onRow_ = false;
  return true;
}

void SqliteDataset::DetachFromDb() {
  DropKept();
  sqlite3_finalize(stmt_);
  owner_ = nullptr;
  db_ = nullptr;
  stmt_ = nullptr;
  count_ = 0;
  beforeFirst_ = atEnd_ = onRow_ = false;
}

int SqliteDataset::ResolveColumn(const Column& column) const {
  if (!stmt_) return -1;
  int count = sqlite3_column_count(stmt_);
  if (!column.ByName()) {
    int64_t number = column.Number();
    return number >= 1 && number <= count ? static_cast<int>(number - 1) : -1;
  }
  if (column.Name().empty()) return -1;
  std::string wanted;
  if (!ToUtf8(column.Name(), wanted)) return -1;
  for (int i = 0; i < count; ++i) {
    const char* name = sqlite3_column_name(stmt_, i);
    if (name && EqualIgnoringAsciiCase(wanted, name)) return i;
  }
  return -1;
}

template <typename T>
bool SqliteDataset::ReadFieldAs(const Column& column, T& value) {
  // The statement's own row, not the connection's last result code: another
  // statement run between Next and here must not make the row unreadable.
  if (!onRow_) return false;
  int index = ResolveColumn(column);
  if (index < 0) return false;
  if (fromKept_) {
    const auto& row = kept_[nextKept_ - 1];
    if (static_cast<size_t>(index) >= row.size()) return false;
    ReadValue(row[static_cast<size_t>(index)], value);
  } else {
    ReadColumn(stmt_, index, value);
  }
  return true;
}

bool SqliteDataset::ReadField(const Column& column, std::string& value) { return ReadFieldAs(column, value); }
bool SqliteDataset::ReadField(const Column& column, int32_t& value) { return ReadFieldAs(column, value); }
bool SqliteDataset::ReadField(const Column& column, int64_t& value) { return ReadFieldAs(column, value); }
bool SqliteDataset::ReadField(const Column& column, double& value) { return ReadFieldAs(column, value); }
bool SqliteDataset::ReadField(const Column& column, Blob& value) { return ReadFieldAs(column, value); }

}  // namespace quorvel
