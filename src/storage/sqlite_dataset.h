#pragma once
// A forward-only record set over one SQL query.
#include <cstdint>
#include <string>
#include <vector>

#include "storage/sql_value.h"
#include "storage/sqlite_db.h"

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace quorvel {

class SqliteDataset : private SqliteClient {
 public:
  SqliteDataset();
  ~SqliteDataset() override;
  SqliteDataset(const SqliteDataset&) = delete;
  SqliteDataset& operator=(const SqliteDataset&) = delete;

  // Prepares the statement (nothing runs yet), binding the "?" parameters.
  bool Open(const std::string& sql, SqliteDB& db, const SqlParams& params = {});
  // Counts the rows; the next Next() delivers the first row.
  bool First();
  bool Next();
  int Count() const;
  bool Close();

  bool ReadField(const Column& column, std::string& value);
  bool ReadField(const Column& column, int32_t& value);
  bool ReadField(const Column& column, int64_t& value);
  bool ReadField(const Column& column, double& value);
  bool ReadField(const Column& column, Blob& value);

 private:
  int ResolveColumn(const Column& column) const;  // 0-based, -1 when none
  void DetachFromDb() override;
  template <typename T>
  bool ReadFieldAs(const Column& column, T& value);

  void DropKept();

  SqliteDB* owner_ = nullptr;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  int count_ = 0;
  bool beforeFirst_ = false;
  bool atEnd_ = false;
  bool onRow_ = false;
  // A small result is kept while First counts it, so Next need not run the
  // query again (a card-key lookup is one row).
  std::vector<std::vector<sqlite3_value*>> kept_;
  bool fromKept_ = false;     // Next delivers the kept rows
  size_t nextKept_ = 0;       // how many of them Next has delivered
  int64_t keptChanges_ = 0;   // the connection's total changes when they were kept
};

}  // namespace quorvel
