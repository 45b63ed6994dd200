#pragma once
// Values handed to SQLite: bound parameters, pending field writes, read results.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace quorvel {

using Blob = std::vector<unsigned char>;

// Text is GBK; it is converted to UTF-8 when bound.
using SqlValue = std::variant<std::nullptr_t, std::string, int32_t, int64_t, double, Blob>;
using SqlParams = std::vector<SqlValue>;

// A column designated by name (ASCII case ignored, first match wins) or by
// number counted from 1 (0 or less designates nothing).
class Column {
 public:
  Column(const char* name) : name_(name ? name : ""), number_(0), byName_(true) {}
  Column(const std::string& name) : name_(name), number_(0), byName_(true) {}
  Column(int number) : number_(number), byName_(false) {}
  Column(int64_t number) : number_(number), byName_(false) {}
  Column(double number) : number_(static_cast<int64_t>(number)), byName_(false) {}

  bool ByName() const { return byName_; }
  const std::string& Name() const { return name_; }
  int64_t Number() const { return number_; }

 private:
  std::string name_;
  int64_t number_;
  bool byName_;
};

}  // namespace quorvel
