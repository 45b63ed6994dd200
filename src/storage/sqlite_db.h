#pragma once
// One SQLite connection, or none. Texts in and out are GBK; the database holds
// UTF-8. No operation throws or shows anything: failures are false, 0 or "".
// Open and Close take PluginLock(), so a connection is never released under a
// cursor that another thread is driving while it holds the lock.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "storage/sql_value.h"

struct sqlite3;

namespace quorvel {

class SqliteAccess;

// A cursor or record set bound to a connection. Before the connection closes
// or is replaced it detaches every client: the client drops its statements and
// fails quietly from then on, so no statement outlives its connection.
class SqliteClient {
 public:
  virtual void DetachFromDb() = 0;

 protected:
  virtual ~SqliteClient() = default;
};

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
  friend class SqliteAccess;
  friend class Transaction;
  struct Shared;  // statement cache and attached clients
  sqlite3* db_ = nullptr;
  std::unique_ptr<Shared> shared_;
};

// Serialises all database and settings work of the plug-in: the host's event
// threads, the window's thread and its workers. Recursive, so a handler that
// holds it may call helpers that take it again. Never hold it while waiting on
// the window.
std::recursive_mutex& PluginLock();

// Commits on Commit(); rolls back when destroyed uncommitted. Begins with
// BEGIN IMMEDIATE so a read-modify-write cannot be overtaken.
// On a connection that is already inside a transaction the guard is passive:
// Active() is true, Commit() reports true without committing and the
// destructor leaves the outer transaction alone. Helpers can therefore take a
// guard of their own and still compose into a caller's transaction, which
// commits or rolls back the whole. Without a connection Active() is false.
class Transaction {
 public:
  explicit Transaction(SqliteDB& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool Active() const { return active_; }
  bool Commit();

 private:
  bool SameConnection() const;

  SqliteDB& db_;
  sqlite3* handle_ = nullptr;  // the connection the transaction began on
  uint64_t generation_ = 0;    // and which opening of db_ it was
  bool active_ = false;
  bool owner_ = false;  // began the transaction (not nested)
  bool done_ = false;   // committed
};

}  // namespace quorvel
