#pragma once
// A cursor over one whole table: positions, find, field reads and in-place
// update of the current row. The snapshot is the set of rows present at open
// (and after each successful update); rows added later are not visited.
// A lookup costs O(log n) and the cursor holds O(1) rows in memory.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "storage/sql_value.h"

namespace quorvel {

class SqliteDB;

class SqliteTable {
 public:
  SqliteTable();
  ~SqliteTable();
  SqliteTable(const SqliteTable&) = delete;
  SqliteTable& operator=(const SqliteTable&) = delete;

  bool Open(const std::string& tableName, SqliteDB& db);
  bool Next();
  // The condition is a WHERE fragment; its "?" parameters are bound to params.
  bool Find(const std::string& condition, const SqlParams& params = {});
  bool ReadField(const Column& column, std::string& value);
  bool ReadField(const Column& column, int32_t& value);
  bool ReadField(const Column& column, int64_t& value);
  bool ReadField(const Column& column, double& value);
  bool ReadField(const Column& column, Blob& value);
  bool Edit();
  bool WriteField(const Column& column, const SqlValue& value);
  bool Update();
  bool Close();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace quorvel
