#pragma once
// One SQLite connection, or none. Texts in and out are GBK; the database holds
// UTF-8. No operation throws or shows anything: failures are false, 0 or "".
#include <memory>
#include <mutex>
#include <string>

#include "storage/sql_value.h"

struct sqlite3;

namespace quorvel {

class SqliteDB {
 public:
  SqliteDB();
  ~SqliteDB();
  SqliteDB(const SqliteDB&) = delete;
  SqliteDB& operator=(const SqliteDB&) = delete;

  // Closes any connection held first. An empty path or ":memory:" opens an
  // in-memory database, but only with create; without create the file must exist.
  bool Open(const std::string& path, bool create = false);
  bool Close();
  bool IsOpen() const;

  // Runs every statement of the text; true when SQLite reports success.
  bool Execute(const std::string& sql);
  // One statement with its "?" parameters bound to the values (never spliced).
  bool Execute(const std::string& sql, const SqlParams& params);

  int ErrorCode() const;
  std::string ErrorText() const;

  // The raw handle for the cursor classes; nullptr when unconnected.
  sqlite3* Handle() const;

 private:
  sqlite3* db_ = nullptr;
};

// Serialises all database and settings work of the plug-in: the host's event
// threads, the window's thread and its workers. Recursive, so a handler that
// holds it may call helpers that take it again. Never hold it while waiting on
// the window.
std::recursive_mutex& PluginLock();

// Commits on Commit(); rolls back when destroyed uncommitted. Begins with
// BEGIN IMMEDIATE so a read-modify-write cannot be overtaken.
class Transaction {
 public:
  explicit Transaction(SqliteDB& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool Active() const { return active_; }
  bool Commit();

 private:
  SqliteDB& db_;
  bool active_ = false;
};

}  // namespace quorvel
