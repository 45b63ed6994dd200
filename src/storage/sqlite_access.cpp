#include "storage/sqlite_access.h"

#include <sqlite3.h>

#include <string_view>

#include "platform/code_page.h"

namespace quorvel {

namespace {

bool IsAscii(const char* text, size_t size) {
  for (size_t i = 0; i < size; ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  return true;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// NULL, and a text that cannot be converted, read as "".
void AssignText(const unsigned char* text, int bytes, std::string& out) {
  if (!text || bytes < 0 || !FromUtf8(reinterpret_cast<const char*>(text), static_cast<size_t>(bytes), out)) out.clear();
}

void CopyBlob(const void* data, int bytes, Blob& out) {
  const auto* begin = static_cast<const unsigned char*>(data);
  if (!begin || bytes <= 0) {
    out.clear();
    return;
  }
  out.assign(begin, begin + bytes);
}

}  // namespace

bool ToUtf8(const std::string& gbk, std::string& utf8) {
  // Most texts (wxids, numbers, keys, statements) are plain ASCII.
  if (IsAscii(gbk.data(), gbk.size())) {
    utf8 = gbk;
    return true;
  }
  return GbkToUtf8(gbk, utf8);
}

bool FromUtf8(const char* utf8, size_t size, std::string& gbk) {
  if (IsAscii(utf8, size)) {
    gbk.assign(utf8, size);
    return true;
  }
  return Utf8ToGbk(std::string_view(utf8, size), gbk);
}

bool BindValue(sqlite3_stmt* stmt, int index, const SqlValue& value) {
  int rc = SQLITE_MISUSE;
  if (std::holds_alternative<std::nullptr_t>(value)) {
    rc = sqlite3_bind_null(stmt, index);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    std::string utf8;
    if (!ToUtf8(*text, utf8)) return false;
    rc = sqlite3_bind_text64(stmt, index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } else if (const auto* i32 = std::get_if<int32_t>(&value)) {
    rc = sqlite3_bind_int(stmt, index, *i32);
  } else if (const auto* i64 = std::get_if<int64_t>(&value)) {
    rc = sqlite3_bind_int64(stmt, index, *i64);
  } else if (const auto* real = std::get_if<double>(&value)) {
    rc = sqlite3_bind_double(stmt, index, *real);
  } else if (const auto* blob = std::get_if<Blob>(&value)) {
    // An empty blob stays a blob rather than turning into NULL.
    rc = blob->empty() ? sqlite3_bind_zeroblob(stmt, index, 0)
                       : sqlite3_bind_blob64(stmt, index, blob->data(), blob->size(), SQLITE_TRANSIENT);
  }
  return rc == SQLITE_OK;
}

bool BindParams(sqlite3_stmt* stmt, const SqlParams& params, int first) {
  for (size_t i = 0; i < params.size(); ++i)
    if (!BindValue(stmt, first + static_cast<int>(i), params[i])) return false;
  return true;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

void ReadColumn(sqlite3_stmt* stmt, int column, std::string& out) {
  const unsigned char* text = sqlite3_column_text(stmt, column);  // NULL gives nullptr
  AssignText(text, sqlite3_column_bytes(stmt, column), out);
}

void ReadColumn(sqlite3_stmt* stmt, int column, int32_t& out) { out = sqlite3_column_int(stmt, column); }
void ReadColumn(sqlite3_stmt* stmt, int column, int64_t& out) { out = sqlite3_column_int64(stmt, column); }
void ReadColumn(sqlite3_stmt* stmt, int column, double& out) { out = sqlite3_column_double(stmt, column); }

void ReadColumn(sqlite3_stmt* stmt, int column, Blob& out) {
  const void* data = sqlite3_column_blob(stmt, column);
  CopyBlob(data, sqlite3_column_bytes(stmt, column), out);
}

void ReadValue(sqlite3_value* value, std::string& out) {
  const unsigned char* text = sqlite3_value_text(value);
  AssignText(text, sqlite3_value_bytes(value), out);
}

void ReadValue(sqlite3_value* value, int32_t& out) { out = sqlite3_value_int(value); }
void ReadValue(sqlite3_value* value, int64_t& out) { out = sqlite3_value_int64(value); }
void ReadValue(sqlite3_value* value, double& out) { out = sqlite3_value_double(value); }

void ReadValue(sqlite3_value* value, Blob& out) {
  const void* data = sqlite3_value_blob(value);
  CopyBlob(data, sqlite3_value_bytes(value), out);
}

}  // namespace quorvel
