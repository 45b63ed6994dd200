#include "host/json_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <variant>
#include <vector>

#include "platform/code_page.h"

namespace quorvel {

using Json = nlohmann::ordered_json;

struct JsonDocument::Impl {
  Json root = Json::object();
};

namespace {

// One step of a path: a member name or an array index.
using PathStep = std::variant<std::string, size_t>;

bool SplitPath(const std::string& path, std::vector<PathStep>& steps) {
  steps.clear();
  size_t i = 0;
  const size_t n = path.size();
  while (i < n) {
    if (path[i] == '[') {
      size_t close = path.find(']', i);
      if (close == std::string::npos || close == i + 1) return false;
      size_t index = 0;
      for (size_t k = i + 1; k < close; ++k) {
        if (path[k] < '0' || path[k] > '9') return false;
        index = index * 10 + static_cast<size_t>(path[k] - '0');
      }
      steps.emplace_back(index);
      i = close + 1;
      if (i < n && path[i] == '.') ++i;
    } else {
      size_t end = path.find_first_of(".[", i);
      if (end == std::string::npos) end = n;
      if (end == i) return false;
      steps.emplace_back(path.substr(i, end - i));
      i = end;
      if (i < n && path[i] == '.') ++i;
    }
  }
  return true;
}

const Json* Resolve(const Json& root, const std::vector<PathStep>& steps) {
  const Json* node = &root;
  for (const PathStep& step : steps) {
    if (const std::string* name = std::get_if<std::string>(&step)) {
      if (!node->is_object()) return nullptr;
      auto it = node->find(*name);
      if (it == node->end()) return nullptr;
      node = &*it;
    } else {
      size_t index = std::get<size_t>(step);
      if (!node->is_array() || index >= node->size()) return nullptr;
      node = &(*node)[index];
    }
  }
  return node;
}

// JavaScript's String(value) for the kinds a JSON value can hold.
std::string ScriptText(const Json& value) {
  switch (value.type()) {
    case Json::value_t::string:
      return value.get_ref<const std::string&>();
    case Json::value_t::boolean:
      return value.get<bool>() ? "true" : "false";
    case Json::value_t::number_integer: {
      int64_t v = value.get<int64_t>();
      if (std::llabs(v) <= (int64_t{1} << 53)) return std::to_string(v);
      return EcmaNumberText(static_cast<double>(v));
    }
    case Json::value_t::number_unsigned: {
      uint64_t v = value.get<uint64_t>();
      if (v <= (uint64_t{1} << 53)) return std::to_string(v);
      return EcmaNumberText(static_cast<double>(v));
    }
    case Json::value_t::number_float:
      return EcmaNumberText(value.get<double>());
    case Json::value_t::array: {
      std::string out;
      bool first = true;
      for (const Json& element : value) {
        if (!first) out += ',';
        first = false;
        if (!element.is_null()) out += ScriptText(element);
      }
      return out;
    }
    case Json::value_t::object:
      return "[object Object]";
    default:
      return "";
  }
}

// Parsing, copying and reading a value each recurse once per level of
// nesting, so a payload nested a million deep would overflow the stack of the
// host's thread. No payload nests more than a few levels; RFC 8259 lets a
// parser limit the depth, and a deeper text counts as not JSON.
constexpr int kMaxNesting = 512;

// Counts brackets outside strings in UTF-8 text, where no byte of a
// multi-byte character can be mistaken for one.
bool NestedTooDeep(const std::string& utf8) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < utf8.size(); ++i) {
    char c = utf8[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxNesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

}  // namespace

std::string EcmaNumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (value == 0) return "0";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  std::string sign = value < 0 ? "-" : "";
  value = std::fabs(value);
  // Shortest round-trip digits in scientific form: d[.ddd]e±x.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  std::string sci(buf, res.ptr);
  size_t e = sci.find('e');
  std::string digits = sci.substr(0, e);
  digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
  int exponent = std::atoi(sci.c_str() + e + 1);
  const int k = static_cast<int>(digits.size());
  const int n = exponent + 1;  // the decimal point sits after n digits
  std::string out;
  if (k <= n && n <= 21) {
    out = digits + std::string(static_cast<size_t>(n - k), '0');
  } else if (0 < n && n <= 21) {
    out = digits.substr(0, static_cast<size_t>(n)) + "." + digits.substr(static_cast<size_t>(n));
  } else if (-6 < n && n <= 0) {
    out = "0." + std::string(static_cast<size_t>(-n), '0') + digits;
  } else {
    out = digits.substr(0, 1);
    if (k > 1) out += "." + digits.substr(1);
    out += (n - 1 >= 0 ? "e+" : "e-") + std::to_string(std::abs(n - 1));
  }
  return sign + out;
}

JsonDocument::JsonDocument() : impl_(std::make_unique<Impl>()) {}
JsonDocument::~JsonDocument() = default;

bool JsonDocument::Parse(const std::string& text) {
  impl_->root = nullptr;
  std::string utf8 = GbkToUtf8Lossy(text);
  if (NestedTooDeep(utf8)) return false;
  Json parsed = Json::parse(utf8, nullptr, false);
  if (parsed.is_discarded()) return false;
  impl_->root = std::move(parsed);
  return !impl_->root.is_null();
}

std::string JsonDocument::ReadText(const std::string& path) const {
  std::vector<PathStep> steps;
  if (!SplitPath(path, steps)) return "";
  const Json* node = Resolve(impl_->root, steps);
  if (!node) return "";
  return Utf8ToGbkLossy(ScriptText(*node));
}

bool JsonDocument::SetText(const std::string& path, const std::string& text) {
  std::vector<PathStep> steps;
  if (!SplitPath(path, steps) || steps.empty()) return false;
  PathStep last = steps.back();
  steps.pop_back();
  const Json* parentConst = Resolve(impl_->root, steps);
  if (!parentConst) return false;
  Json& parent = const_cast<Json&>(*parentConst);
  std::string value = GbkToUtf8Lossy(text);
  if (const std::string* name = std::get_if<std::string>(&last)) {
    if (!parent.is_object()) return false;
    parent[*name] = value;  // an existing member keeps its place
    return true;
  }
  size_t index = std::get<size_t>(last);
  if (!parent.is_array() || index >= parent.size()) return false;
  parent[index] = value;
  return true;
}

std::string JsonDocument::ToText() const {
  return Utf8ToGbkLossy(impl_->root.dump(-1, ' ', false, Json::error_handler_t::replace));
}

}  // namespace quorvel
