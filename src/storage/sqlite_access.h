#pragma once
// Internal to the storage classes: the connection's statement cache, the
// registry of cursors bound to a connection, and the conversions of texts and
// values at the SQLite boundary.
#include <cstddef>
#include <string>
#include <string_view>

#include "storage/sql_value.h"

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace quorvel {

class SqliteDB;
class SqliteClient;

class SqliteAccess {
 public:
  // A prepared statement for one UTF-8 statement text, from the connection's
  // cache when an idle one is there. nullptr when SQLite rejects the text, when
  // it holds more than one statement, or without a connection.
  static sqlite3_stmt* Acquire(SqliteDB& db, const std::string& utf8Sql);
  // Resets the statement and gives it back to the cache; stmt becomes nullptr.
  static void Release(SqliteDB& db, sqlite3_stmt*& stmt);

  static void Attach(SqliteDB& db, SqliteClient* client);
  static void Detach(SqliteDB& db, SqliteClient* client);
};

// GBK → UTF-8 and back. ASCII is the same in both and passes straight through.
bool ToUtf8(const std::string& gbk, std::string& utf8);
bool FromUtf8(const char* utf8, size_t size, std::string& gbk);

// Binds one value (texts converted to UTF-8); false when a text cannot be
// converted or SQLite refuses the binding.
bool BindValue(sqlite3_stmt* stmt, int index, const SqlValue& value);
// Binds params to the parameters first, first+1, ...
bool BindParams(sqlite3_stmt* stmt, const SqlParams& params, int first = 1);

// Column names compare in UTF-8, where a byte below 0x80 is always a whole
// character, so folding ASCII case never touches part of a Chinese character.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// Fills a caller's variable from a result column or a kept value. A text that
// cannot be converted, and SQL NULL, give "".
void ReadColumn(sqlite3_stmt* stmt, int column, std::string& out);
void ReadColumn(sqlite3_stmt* stmt, int column, int32_t& out);
void ReadColumn(sqlite3_stmt* stmt, int column, int64_t& out);
void ReadColumn(sqlite3_stmt* stmt, int column, double& out);
void ReadColumn(sqlite3_stmt* stmt, int column, Blob& out);
void ReadValue(sqlite3_value* value, std::string& out);
void ReadValue(sqlite3_value* value, int32_t& out);
void ReadValue(sqlite3_value* value, int64_t& out);
void ReadValue(sqlite3_value* value, double& out);
void ReadValue(sqlite3_value* value, Blob& out);

}  // namespace quorvel
