#include "storage/sqlite_table.h"

#include <sqlite3.h>

#include <limits>
#include <optional>

#include "storage/sqlite_access.h"
#include "storage/sqlite_db.h"

namespace quorvel {

namespace {

constexpr size_t kMaxTableNameBytes = 1024;
constexpr int64_t kNoRowid = std::numeric_limits<int64_t>::min();

// Column names come from SQLite and are quoted, so any name works; the table
// name is the caller's and goes in as given.
std::string QuoteName(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

// The snapshot is "every row whose rowid is at most maxRowid", taken at open
// and after each update: rows added later have larger rowids and are not
// visited, and no list of rowids is held. The position is before the first
// row, at one rowid, or past the end.
//
// The statement that found the current row stays positioned on it. While the
// connection has changed no row since (its total change count is the same),
// that row is what the database holds, so reads come from it and Next simply
// steps the running scan; after a change, reads go to the database and Next
// seeks afresh past the current rowid.
struct SqliteTable::State final : SqliteClient {
  enum class Mode { kClosed, kBrowsing, kEditing };
  enum class Position { kBeforeFirst, kAtRow, kPastEnd };

  SqliteDB* owner = nullptr;
  sqlite3* db = nullptr;
  Mode mode = Mode::kClosed;
  std::string table;                 // UTF-8
  std::vector<std::string> columns;  // UTF-8, table order
  bool hasRows = false;
  int64_t maxRowid = 0;
  Position position = Position::kBeforeFirst;
  int64_t rowid = 0;
  std::vector<std::optional<SqlValue>> pending;
  bool slots = false;

  sqlite3_stmt* scan = nullptr;             // "rowid, every column" from a rowid on, in rowid order
  sqlite3_stmt* found = nullptr;            // the last Find's statement while it holds the current row
  sqlite3_stmt* source = nullptr;           // scan or found, positioned on the current row; or none
  int64_t sourceChanges = 0;                // the connection's total changes when it was positioned
  std::vector<sqlite3_stmt*> columnReads;  // one per column, prepared on first use

  // The statement on the current row, if it still shows what the database holds.
  sqlite3_stmt* FreshSource() const {
    return source && sqlite3_total_changes64(db) == sourceChanges ? source : nullptr;
  }

  void SetSource(sqlite3_stmt* stmt) {
    source = stmt;
    sourceChanges = sqlite3_total_changes64(db);
  }

  // Lets go of the current row's statement (and with it the read it holds).
  void DropSource() {
    if (scan) sqlite3_reset(scan);
    SqliteAccess::Release(*owner, found);
    source = nullptr;
  }

  void ReleaseStatements() {
    source = nullptr;
    SqliteAccess::Release(*owner, scan);
    SqliteAccess::Release(*owner, found);
    for (sqlite3_stmt*& stmt : columnReads) SqliteAccess::Release(*owner, stmt);
    columnReads.clear();
  }

  void Reset() {
    owner = nullptr;
    db = nullptr;
    mode = Mode::kClosed;
    table.clear();
    columns.clear();
    hasRows = false;
    maxRowid = 0;
    position = Position::kBeforeFirst;
    rowid = 0;
    pending.clear();
    slots = false;
    source = nullptr;
  }

  void DetachFromDb() override {
    for (sqlite3_stmt* stmt : {scan, found}) sqlite3_finalize(stmt);
    scan = found = nullptr;
    for (sqlite3_stmt* stmt : columnReads) sqlite3_finalize(stmt);
    columnReads.clear();
    Reset();
  }

  // Column names and the snapshot bound.
  bool Load() {
    std::vector<std::string> names;
    sqlite3_stmt* stmt = SqliteAccess::Acquire(*owner, "SELECT * FROM " + table + " LIMIT 0");
    if (!stmt) return false;
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW) {
      int count = sqlite3_column_count(stmt);
      for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        names.emplace_back(name ? name : "");
      }
    }
    SqliteAccess::Release(*owner, stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) return false;

    stmt = SqliteAccess::Acquire(*owner, "SELECT max(_ROWID_) FROM " + table);
    if (!stmt) return false;
    rc = sqlite3_step(stmt);
    bool ok = rc == SQLITE_ROW;
    if (ok) {
      hasRows = sqlite3_column_type(stmt, 0) != SQLITE_NULL;
      maxRowid = sqlite3_column_int64(stmt, 0);
    }
    SqliteAccess::Release(*owner, stmt);
    if (!ok) return false;
    if (names != columns) {
      for (sqlite3_stmt*& read : columnReads) SqliteAccess::Release(*owner, read);
      columnReads.clear();
      columns = std::move(names);
    }
    return true;
  }

  int Resolve(const Column& column) const {
    if (mode == Mode::kClosed) return -1;
    if (!column.ByName()) {
      int64_t number = column.Number();
      return number >= 1 && number <= static_cast<int64_t>(columns.size()) ? static_cast<int>(number - 1) : -1;
    }
    std::string wanted;
    if (column.Name().empty() || !ToUtf8(column.Name(), wanted)) return -1;
    for (size_t i = 0; i < columns.size(); ++i)
      if (EqualIgnoringAsciiCase(wanted, columns[i])) return static_cast<int>(i);
    return -1;
  }

  void TakeRow(sqlite3_stmt* stmt) {
    position = Position::kAtRow;
    rowid = sqlite3_column_int64(stmt, 0);
    SetSource(stmt);
  }

  // Positions the scan on the first row of the snapshot from `low` on.
  bool Seek(int64_t low) {
    DropSource();
    if (!scan) {
      scan = SqliteAccess::Acquire(
          *owner, "SELECT _ROWID_,* FROM " + table + " WHERE _ROWID_>=? AND _ROWID_<=? ORDER BY _ROWID_");
      if (!scan) return false;
    }
    if (sqlite3_bind_int64(scan, 1, low) != SQLITE_OK || sqlite3_bind_int64(scan, 2, maxRowid) != SQLITE_OK) return false;
    if (sqlite3_step(scan) != SQLITE_ROW) {
      sqlite3_reset(scan);
      return false;
    }
    TakeRow(scan);
    return true;
  }

  template <typename T>
  bool Read(const Column& column, T& value) {
    int index = Resolve(column);
    if (index < 0 || position != Position::kAtRow) return false;
    if (sqlite3_stmt* stmt = FreshSource(); stmt && index + 1 < sqlite3_column_count(stmt)) {
      ReadColumn(stmt, index + 1, value);
      return true;
    }
    columnReads.resize(columns.size(), nullptr);
    sqlite3_stmt*& stmt = columnReads[static_cast<size_t>(index)];
    if (!stmt) {
      stmt = SqliteAccess::Acquire(
          *owner, "SELECT " + QuoteName(columns[static_cast<size_t>(index)]) + " FROM " + table + " WHERE _ROWID_=?");
      if (!stmt) return false;
    }
    bool ok = sqlite3_bind_int64(stmt, 1, rowid) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW;
    if (ok) ReadColumn(stmt, 0, value);  // the row is gone otherwise: value untouched
    sqlite3_reset(stmt);
    return ok;
  }
};

SqliteTable::SqliteTable() : state_(std::make_unique<State>()) {}

SqliteTable::~SqliteTable() { Close(); }

bool SqliteTable::Open(const std::string& tableName, SqliteDB& db) {
  if (tableName.empty() || !db.IsOpen()) return false;
  Close();
  State& s = *state_;
  if (tableName.size() > kMaxTableNameBytes || !ToUtf8(tableName, s.table)) {
    s.table.clear();
    return false;
  }
  s.owner = &db;
  s.db = db.Handle();
  if (!s.Load()) {
    s.Reset();
    return false;
  }
  s.mode = State::Mode::kBrowsing;
  s.position = State::Position::kBeforeFirst;
  s.pending.assign(s.columns.size(), std::nullopt);
  s.slots = true;
  SqliteAccess::Attach(db, &s);
  return true;
}

bool SqliteTable::Next() {
  State& s = *state_;
  if (s.mode == State::Mode::kClosed || s.position == State::Position::kPastEnd) return false;
  if (s.position == State::Position::kAtRow) {
    // The scan still on the current row and nothing changed: its next row is the answer.
    if (s.scan && s.FreshSource() == s.scan) {
      int rc = sqlite3_step(s.scan);
      if (rc == SQLITE_ROW) {
        s.TakeRow(s.scan);
        return true;
      }
      if (rc == SQLITE_DONE) {
        s.DropSource();
        s.position = State::Position::kPastEnd;
        return false;
      }
      // Anything else: seek afresh below.
    }
    if (s.rowid == std::numeric_limits<int64_t>::max()) {
      s.DropSource();
      s.position = State::Position::kPastEnd;
      return false;
    }
  }
  if (s.hasRows && s.Seek(s.position == State::Position::kAtRow ? s.rowid + 1 : kNoRowid)) return true;
  s.DropSource();
  s.position = State::Position::kPastEnd;
  return false;
}

bool SqliteTable::Find(const std::string& condition, const SqlParams& params) {
  State& s = *state_;
  if (condition.empty() || s.mode == State::Mode::kClosed || s.position == State::Position::kPastEnd || !s.hasRows)
    return false;
  std::string utf8;
  if (!ToUtf8(condition, utf8)) return false;
  // The condition's own parameters come first and keep their numbers; the
  // line break ends a "--" comment the condition may close with.
  const std::string sql = "SELECT _ROWID_,* FROM " + s.table + " WHERE (" + utf8 +
                          "\n) AND _ROWID_>=? AND _ROWID_<=? ORDER BY _ROWID_ LIMIT 1";
  sqlite3_stmt* stmt = nullptr;
  if (s.found && sql == sqlite3_sql(s.found)) {
    // The same search again: its statement holds the current row.
    if (s.source == s.found) s.source = nullptr;
    std::swap(stmt, s.found);
    sqlite3_reset(stmt);
  } else {
    stmt = SqliteAccess::Acquire(*s.owner, sql);
    if (!stmt) return false;
  }
  int count = sqlite3_bind_parameter_count(stmt);
  int64_t low = s.position == State::Position::kAtRow ? s.rowid : kNoRowid;
  bool found = count == static_cast<int>(params.size()) + 2 && BindParams(stmt, params) &&
               sqlite3_bind_int64(stmt, count - 1, low) == SQLITE_OK &&
               sqlite3_bind_int64(stmt, count, s.maxRowid) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW;
  if (!found) {
    SqliteAccess::Release(*s.owner, stmt);
    return false;  // the position stays; so does whatever statement holds it
  }
  s.DropSource();
  s.found = stmt;
  s.TakeRow(stmt);
  return true;
}

bool SqliteTable::ReadField(const Column& column, std::string& value) { return state_->Read(column, value); }
bool SqliteTable::ReadField(const Column& column, int32_t& value) { return state_->Read(column, value); }
bool SqliteTable::ReadField(const Column& column, int64_t& value) { return state_->Read(column, value); }
bool SqliteTable::ReadField(const Column& column, double& value) { return state_->Read(column, value); }
bool SqliteTable::ReadField(const Column& column, Blob& value) { return state_->Read(column, value); }

bool SqliteTable::Edit() {
  State& s = *state_;
  if (s.mode == State::Mode::kClosed || s.position != State::Position::kAtRow) return false;
  s.pending.assign(s.columns.size(), std::nullopt);
  s.slots = true;
  s.mode = State::Mode::kEditing;
  return true;
}

bool SqliteTable::WriteField(const Column& column, const SqlValue& value) {
  State& s = *state_;
  int index = s.Resolve(column);
  if (index < 0 || !s.slots || static_cast<size_t>(index) >= s.pending.size()) return false;
  s.pending[static_cast<size_t>(index)] = value;
  return true;
}

bool SqliteTable::Update() {
  State& s = *state_;
  if (s.mode != State::Mode::kEditing || s.columns.empty() || !s.slots || s.position != State::Position::kAtRow)
    return false;
  std::string set;
  for (size_t i = 0; i < s.pending.size() && i < s.columns.size(); ++i) {
    if (!s.pending[i]) continue;
    if (!set.empty()) set += ',';
    set += QuoteName(s.columns[i]) + "=?";
  }
  if (set.empty()) return false;
  s.DropSource();  // no read of the table stays open across its change
  sqlite3_stmt* stmt = SqliteAccess::Acquire(*s.owner, "UPDATE " + s.table + " SET " + set + " WHERE _ROWID_=?");
  if (!stmt) return false;
  int index = 1;
  bool ok = true;
  for (const auto& value : s.pending)
    if (value && ok) ok = BindValue(stmt, index++, *value);
  ok = ok && sqlite3_bind_int64(stmt, index, s.rowid) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_DONE &&
       sqlite3_changes(s.db) > 0;  // the row may have gone: nothing written is no success
  SqliteAccess::Release(*s.owner, stmt);
  if (!ok) return false;
  s.mode = State::Mode::kBrowsing;
  s.pending.clear();
  s.slots = false;
  s.Load();  // the row is written either way; a failed refresh keeps the old snapshot
  return true;
}

bool SqliteTable::Close() {
  State& s = *state_;
  if (s.owner) {
    s.ReleaseStatements();
    SqliteAccess::Detach(*s.owner, &s);
  }
  s.Reset();
  return true;
}

}  // namespace quorvel
