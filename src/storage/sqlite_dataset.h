#pragma once
// A forward-only record set over one SQL query.
#include <string>

#include "storage/sql_value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quorvel {

class SqliteDB;

class SqliteDataset {
 public:
  SqliteDataset();
  ~SqliteDataset();
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
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  int count_ = 0;
  bool beforeFirst_ = false;
  bool atEnd_ = false;
  bool onRow_ = false;
};

}  // namespace quorvel
