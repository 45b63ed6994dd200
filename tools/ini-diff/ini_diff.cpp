// Feeds a table of awkward settings files to the two INI primitives and prints
// every answer as one line. Built for Linux (our reader and writer) and for
// Windows (the system's profile functions); tests/storage/ini_diff.sh runs both
// and demands identical output.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "storage/profile_file.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using quorvel::ReadProfileString;
using quorvel::WriteProfileString;

const std::string kSection = "配置";

struct Op {
  enum Kind { kRead, kWrite } kind;
  std::string section, key, value;
};

Op R(const std::string& key, const std::string& section = kSection) { return {Op::kRead, section, key, ""}; }
Op W(const std::string& key, const std::string& value, const std::string& section = kSection) {
  return {Op::kWrite, section, key, value};
}

struct Case {
  std::string name;
  bool exists;          // false: no file before the first operation
  std::string content;  // the file's bytes
  std::vector<Op> ops;
  bool inMissingDir = false;  // the file's folder does not exist
};

std::string Repeat(const std::string& piece, size_t times) {
  std::string s;
  for (size_t i = 0; i < times; ++i) s += piece;
  return s;
}

std::string ShowByte(unsigned char c) {
  if (c >= 0x20 && c < 0x7F && c != '\\') return std::string(1, static_cast<char>(c));
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02X", c);
  return buf;
}

// Printable ASCII as it is, every other byte as \xNN. A long run of one byte
// or one byte pair is summarised so the transcript stays readable.
std::string Show(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    size_t unit = 1;
    if (i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x80) unit = 2;
    size_t run = 1;
    while (i + (run + 1) * unit <= bytes.size() && bytes.compare(i + run * unit, unit, bytes, i, unit) == 0) ++run;
    std::string one;
    for (size_t k = 0; k < unit; ++k) one += ShowByte(static_cast<unsigned char>(bytes[i + k]));
    if (run > 4) {
      out += one + "{" + std::to_string(run) + "}";
    } else {
      for (size_t k = 0; k < run; ++k) out += one;
    }
    i += run * unit;
  }
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The file's sections and key names in order, ignoring spacing, blank lines
// and line-break style, which the two writers may lay out differently.
std::string Outline(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "(no file)";
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string out;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = Trim(content.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (!out.empty()) out += " ";
    if (line[0] == '[') {
      out += line;
    } else {
      size_t eq = line.find('=');
      out += eq == std::string::npos ? "?" + line : Trim(line.substr(0, eq));
    }
  }
  return Show(out);
}

std::vector<Case> Cases() {
  const std::string s = "[配置]\r\n";
  const std::string longA = Repeat("a", 10300);
  const std::string chinese = Repeat("真", 6000);
  return {
      {"missing file", false, "", {R("k")}},
      {"missing section", true, "[其他]\r\nk=v\r\n", {R("k"), R("k", "其他")}},
      {"missing key", true, s + "a=1\r\n", {R("k")}},
      {"empty file", true, "", {R("k")}},
      {"plain", true, s + "k=v\r\n", {R("k")}},
      {"lf lines", true, "[配置]\nk=v\na=1\n", {R("k"), R("a")}},
      {"no final line break", true, s + "k=v", {R("k")}},
      {"blanks around", true, s + "  k  =   v v  \r\n", {R("k")}},
      {"tabs around", true, s + "\tk\t=\tv\t\r\n", {R("k")}},
      {"blanks in lookup key", true, s + "k=v\r\n", {R(" k "), R("k\t")}},
      {"double quotes", true, s + "k=\"v\"\r\n", {R("k")}},
      {"single quotes", true, s + "k='v'\r\n", {R("k")}},
      {"quotes keep inner blanks", true, s + "k=\" v \"\r\n", {R("k")}},
      {"blanks outside quotes", true, s + "k=  \"v\"  \r\n", {R("k")}},
      {"mixed quotes", true, s + "a=\"v'\r\nb='v\"\r\n", {R("a"), R("b")}},
      {"lone quote", true, s + "a=\"\r\nb='\r\n", {R("a"), R("b")}},
      {"empty quotes", true, s + "a=\"\"\r\nb=''\r\n", {R("a"), R("b")}},
      {"quote inside", true, s + "a=\"x\"y\"\r\nb=x\"y\"\r\nc=\"x\"y\r\n", {R("a"), R("b"), R("c")}},
      {"two pairs", true, s + "a=\"\"v\"\"\r\n", {R("a")}},
      {"duplicate keys", true, s + "k=1\r\nk=2\r\n", {R("k")}},
      {"duplicate sections", true, s + "a=1\r\n[其他]\r\nb=2\r\n" + s + "c=3\r\na=4\r\n", {R("a"), R("c")}},
      {"key case", true, s + "Key=v\r\n[ABC]\r\nx=1\r\n", {R("KEY"), R("key"), R("x", "abc")}},
      {"double-byte key case", true, s + "\xB0\x41=1\r\n", {R("\xB0\x41"), R("\xB0\x61")}},
      {"empty value", true, s + "a=\r\nb= \r\nc\r\n", {R("a"), R("b"), R("c")}},
      {"equals in value", true, s + "k=a=b\r\n", {R("k")}},
      {"blank lines", true, "\r\n" + s + "\r\n\r\nk=v\r\n\r\n", {R("k")}},
      {"keys before any section", true, "k=v\r\n" + s + "a=1\r\n", {R("k"), R("a")}},
      {"section with blanks", true, "[ 配置 ]\r\nk=v\r\n", {R("k")}},
      {"indented section", true, "  [配置]  \r\nk=v\r\n", {R("k")}},
      {"blanks in lookup section", true, s + "k=v\r\n", {R("k", " 配置 ")}},
      {"unclosed section", true, "[配置\r\nk=v\r\n" + s + "a=1\r\n", {R("k"), R("a"), R("k", "配置")}},
      {"key prefix", true, s + "kk=1\r\nk k=2\r\n", {R("k"), R("k k")}},
      {"text after section", true, "[配置] x\r\nk=v\r\n", {R("k")}},
      {"bracket trail byte", true, "[\xB0\x5D]\r\nk=v\r\n", {R("k", "\xB0\x5D")}},
      {"comment line", true, s + ";k=v\r\nk2=w\r\n", {R("k"), R("k2"), R(";k")}},
      {"ideographic spaces", true, s + "k=　真　\r\n", {R("k")}},
      {"chinese", true, s + "自动收款=真\r\n自动回复_帮助=第一行【换行】第二行\r\n", {R("自动收款"), R("自动回复_帮助")}},
      {"switch with blank", true, s + "自动收款=真 \r\n", {R("自动收款")}},
      {"long 10238", true, s + "k=" + Repeat("a", 10238) + "\r\n", {R("k")}},
      {"long 10239", true, s + "k=" + Repeat("a", 10239) + "\r\n", {R("k")}},
      {"long 10240", true, s + "k=" + Repeat("a", 10240) + "\r\n", {R("k")}},
      {"long 10300", true, s + "k=" + longA + "\r\n", {R("k")}},
      {"long quoted 10239", true, s + "k=\"" + Repeat("a", 10239) + "\"\r\n", {R("k")}},
      {"long quoted 10240", true, s + "k=\"" + Repeat("a", 10240) + "\"\r\n", {R("k")}},
      {"long quoted 10300", true, s + "k=\"" + longA + "\"\r\n", {R("k")}},
      {"long double-byte", true, s + "k=" + chinese + "\r\n", {R("k")}},
      {"long double-byte quoted", true, s + "k=\"" + Repeat("真", 5119) + "\"\r\n", {R("k")}},

      {"write creates file", false, "", {W("k", "v"), R("k")}},
      {"write replaces in place", true, s + "a=1\r\nk=old\r\nb=2\r\n", {W("k", "new"), R("k"), R("a"), R("b")}},
      {"write appends to section", true, s + "a=1\r\n\r\n[其他]\r\nb=2\r\n", {W("c", "3"), R("c"), R("b", "其他")}},
      {"write creates section", true, "[其他]\r\nb=2\r\n", {W("k", "v"), R("k"), R("b", "其他")}},
      {"write into empty file", true, "", {W("k", "v"), R("k")}},
      {"write empty value", true, s + "k=v\r\n", {W("k", ""), R("k"), W("n", ""), R("n")}},
      {"write lf file", true, "[配置]\na=1\nk=old\n", {W("k", "new"), W("z", "9"), R("a"), R("k"), R("z")}},
      {"write no final line break", true, s + "a=1", {W("b", "2"), R("a"), R("b")}},
      {"write blanks kept out", true, s, {W("k", "  v  "), R("k")}},
      {"write quoted", true, s, {W("k", "\"q\""), R("k")}},
      {"write duplicate keys", true, s + "k=1\r\nk=2\r\n", {W("k", "3"), R("k")}},
      {"write key case", true, s + "Key=1\r\n", {W("key", "2"), R("Key"), R("key")}},
      {"write long", true, s, {W("k", longA), R("k")}},
      {"write chinese", true, s, {W("自动回复_帮助", "甲【换行】乙"), W("自动收款", "真"), R("自动回复_帮助"), R("自动收款")}},
      {"write after blank lines", true, s + "a=1\r\n\r\n\r\n", {W("b", "2"), R("a"), R("b")}},
      {"write into second section", true, s + "a=1\r\n[其他]\r\nb=2\r\n",
       {W("c", "3", "其他"), W("d", "4"), R("c", "其他"), R("d")}},
      {"write section case", true, "[abc]\r\na=1\r\n", {W("b", "2", "ABC"), R("b", "abc")}},
      {"write key of a later twin section", true, s + "a=1\r\n[其他]\r\n" + s + "k=old\r\n",
       {W("k", "new"), R("k"), R("a")}},
      {"write to missing folder", false, "", {W("k", "v"), R("k")}, true},
  };
}

void Print(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int main() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // the transcripts compare byte for byte
#endif
  namespace fs = std::filesystem;
  std::random_device rd;
  fs::path dir = fs::temp_directory_path() / ("quorvel-ini-diff-" + std::to_string(rd()));
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "cannot create %s\n", dir.string().c_str());
    return 1;
  }
  int number = 0;
  for (const Case& c : Cases()) {
    fs::path folder = c.inMissingDir ? dir / "missing" : dir;
    std::string path = (folder / ("case" + std::to_string(++number) + ".ini")).string();
    if (c.exists) {
      std::ofstream out(path, std::ios::binary);
      out.write(c.content.data(), static_cast<std::streamsize>(c.content.size()));
    }
    for (const Op& op : c.ops) {
      if (op.kind == Op::kRead) {
        Print(c.name + " | R [" + Show(op.section) + "] " + Show(op.key) + " -> \"" +
              Show(ReadProfileString(path, op.section, op.key)) + "\"");
      } else {
        bool ok = WriteProfileString(path, op.section, op.key, op.value);
        Print(c.name + " | W [" + Show(op.section) + "] " + Show(op.key) + "=" + Show(op.value) + " -> " +
              (ok ? "true" : "false") + " | " + Outline(path));
      }
    }
  }
  fs::remove_all(dir, ec);
  return 0;
}
