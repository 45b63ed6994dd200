#include "storage/sqlite_db.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <list>
#include <vector>

#include "storage/sqlite_access.h"

namespace quorvel {

namespace {

// Idle prepared statements kept per connection. The chat side issues the same
// handful of statements for every message and a listing reads column after
// column, so a small cache saves nearly every prepare.
constexpr size_t kIdleStatements = 64;

// Another connection to the file (a second process, a test) may hold the write
// lock for a moment; wait a little instead of failing at once.
constexpr int kBusyTimeoutMs = 1000;

// Error messages are handed out cut to 199 bytes, at a character boundary so
// the cut text still converts.
constexpr size_t kErrorTextBytes = 199;

bool IsMemoryPath(const std::string& path) {
  return path.empty() || EqualIgnoringAsciiCase(path, ":memory:");
}

bool OnlyBlanksAndSemicolons(const char* tail) {
  for (; tail && *tail; ++tail) {
    char c = *tail;
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';') return false;
  }
  return true;
}

}  // namespace

struct SqliteDB::Shared {
  std::mutex mutex;  // guards the two lists below, not the connection
  std::list<sqlite3_stmt*> idle;  // most recent first, each known by its own text
  std::vector<SqliteClient*> clients;
  uint64_t generation = 0;  // counts opens, so a guard knows its connection
};

std::recursive_mutex& PluginLock() {
  static std::recursive_mutex lock;
  return lock;
}

SqliteDB::SqliteDB() : shared_(std::make_unique<Shared>()) {}

SqliteDB::~SqliteDB() { Close(); }

bool SqliteDB::Open(const std::string& path, bool create) {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  Close();
  std::string utf8Path;
  if (IsMemoryPath(path)) {
    if (!create) return false;
    utf8Path = ":memory:";
  } else if (!ToUtf8(path, utf8Path)) {
    return false;
  }
  // Without create SQLite itself refuses a missing file, through the same path
  // conversion it uses to open it.
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  sqlite3* handle = nullptr;
  if (sqlite3_open_v2(utf8Path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(handle);  // a failed open still allocates a handle
    return false;
  }
  sqlite3_busy_timeout(handle, kBusyTimeoutMs);
  db_ = handle;
  std::lock_guard<std::mutex> guard(shared_->mutex);
  ++shared_->generation;
  return true;
}

bool SqliteDB::Close() {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  if (!db_) return true;
  std::vector<SqliteClient*> clients;
  std::list<sqlite3_stmt*> idle;
  {
    std::lock_guard<std::mutex> guard(shared_->mutex);
    clients.swap(shared_->clients);
    idle.swap(shared_->idle);
  }
  for (SqliteClient* client : clients) client->DetachFromDb();
  for (sqlite3_stmt* stmt : idle) sqlite3_finalize(stmt);
  sqlite3* handle = db_;
  db_ = nullptr;
  if (sqlite3_close(handle) == SQLITE_OK) return true;
  // Statements prepared on the raw handle outside these classes are still
  // open: the connection goes away once the last of them is finalised.
  sqlite3_close_v2(handle);
  return false;
}

bool SqliteDB::IsOpen() const { return db_ != nullptr; }

bool SqliteDB::Execute(const std::string& sql) {
  if (!db_ || sql.empty()) return false;
  std::string utf8;
  if (!ToUtf8(sql, utf8)) return false;
  return sqlite3_exec(db_, utf8.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteDB::Execute(const std::string& sql, const SqlParams& params) {
  if (!db_ || sql.empty()) return false;
  std::string utf8;
  if (!ToUtf8(sql, utf8)) return false;
  sqlite3_stmt* stmt = SqliteAccess::Acquire(*this, utf8);
  if (!stmt) return false;
  bool ok = false;
  if (sqlite3_bind_parameter_count(stmt) == static_cast<int>(params.size()) && BindParams(stmt, params)) {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    ok = rc == SQLITE_DONE;
  }
  SqliteAccess::Release(*this, stmt);
  return ok;
}

int SqliteDB::ErrorCode() const { return db_ ? sqlite3_errcode(db_) : 0; }

std::string SqliteDB::ErrorText() const {
  if (!db_) return "";
  std::string message = sqlite3_errmsg(db_);
  if (EqualIgnoringAsciiCase(message, "not an error")) return "";
  if (message.size() > kErrorTextBytes) {
    size_t cut = kErrorTextBytes;
    while (cut > 0 && (static_cast<unsigned char>(message[cut]) & 0xC0) == 0x80) --cut;
    message.resize(cut);
  }
  std::string text;
  FromUtf8(message.data(), message.size(), text);
  return text;
}

sqlite3* SqliteDB::Handle() const { return db_; }

// --- statement cache and clients --------------------------------------------

sqlite3_stmt* SqliteAccess::Acquire(SqliteDB& db, const std::string& utf8Sql) {
  if (!db.db_) return nullptr;
  {
    std::lock_guard<std::mutex> guard(db.shared_->mutex);
    auto& idle = db.shared_->idle;
    auto it = std::find_if(idle.begin(), idle.end(), [&](sqlite3_stmt* stmt) { return utf8Sql == sqlite3_sql(stmt); });
    if (it != idle.end()) {
      sqlite3_stmt* stmt = *it;
      idle.erase(it);
      return stmt;
    }
  }
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db.db_, utf8Sql.c_str(), static_cast<int>(utf8Sql.size() + 1), &stmt, &tail);
  // A second statement behind the first would be dropped silently: refuse it.
  if (rc != SQLITE_OK || !stmt || !OnlyBlanksAndSemicolons(tail)) {
    sqlite3_finalize(stmt);
    return nullptr;
  }
  return stmt;
}

void SqliteAccess::Release(SqliteDB& db, sqlite3_stmt*& stmt) {
  if (!stmt) return;
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  sqlite3_stmt* evicted = nullptr;
  if (db.db_ && sqlite3_db_handle(stmt) == db.db_) {
    std::lock_guard<std::mutex> guard(db.shared_->mutex);
    auto& idle = db.shared_->idle;
    idle.push_front(stmt);
    if (idle.size() > kIdleStatements) {
      evicted = idle.back();
      idle.pop_back();
    }
  } else {
    evicted = stmt;
  }
  sqlite3_finalize(evicted);
  stmt = nullptr;
}

void SqliteAccess::Attach(SqliteDB& db, SqliteClient* client) {
  std::lock_guard<std::mutex> guard(db.shared_->mutex);
  db.shared_->clients.push_back(client);
}

void SqliteAccess::Detach(SqliteDB& db, SqliteClient* client) {
  std::lock_guard<std::mutex> guard(db.shared_->mutex);
  auto& clients = db.shared_->clients;
  clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
}

// --- Transaction --------------------------------------------------------------

Transaction::Transaction(SqliteDB& db) : db_(db) {
  handle_ = db.Handle();
  if (!handle_) return;
  {
    std::lock_guard<std::mutex> guard(db.shared_->mutex);
    generation_ = db.shared_->generation;
  }
  if (!sqlite3_get_autocommit(handle_)) {
    active_ = true;  // nested: the outer transaction decides
    return;
  }
  active_ = owner_ = sqlite3_exec(handle_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Transaction::SameConnection() const {
  if (db_.Handle() != handle_) return false;
  std::lock_guard<std::mutex> guard(db_.shared_->mutex);
  return db_.shared_->generation == generation_;
}

Transaction::~Transaction() {
  if (!owner_ || done_ || !SameConnection()) return;  // closing a connection rolls back by itself
  if (!sqlite3_get_autocommit(handle_)) sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Transaction::Commit() {
  if (!active_) return false;
  if (!SameConnection()) return false;
  if (!owner_) return !sqlite3_get_autocommit(handle_);
  if (done_) return true;
  if (sqlite3_exec(handle_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  done_ = true;
  return true;
}

}  // namespace quorvel
