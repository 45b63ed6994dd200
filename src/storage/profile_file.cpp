#include <cstddef>
#include <string_view>
#include <vector>

#include "storage/profile_file.h"

// The INI text itself, read and rewritten the way the Windows profile
// functions treat it. Texts are GBK: a byte from 0x81 to 0xFE opens a
// double-byte character, whose second byte may look like '[', ']' or a
// letter, so the text is always walked character by character.
namespace quorvel {

namespace {

// At most this many bytes of a value are returned (a 10240-byte buffer less
// its terminator).
constexpr size_t kValueLimit = 10239;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

size_t CharLength(std::string_view text, size_t i) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  return c >= 0x81 && c <= 0xFE && i + 1 < text.size() ? 2 : 1;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Section and key names ignore the case of ASCII letters; double-byte
// characters compare exactly.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    size_t length = CharLength(a, i);
    if (length == 1 ? FoldAscii(a[i]) != FoldAscii(b[i]) : a.compare(i, 2, b.substr(i, 2)) != 0) return false;
    i += length;
  }
  return true;
}

// The first occurrence of an ASCII character as a whole character.
size_t FindChar(std::string_view text, char wanted) {
  for (size_t i = 0; i < text.size(); i += CharLength(text, i))
    if (text[i] == wanted) return i;
  return std::string_view::npos;
}

struct Line {
  enum Kind { kBlank, kSection, kKey } kind = kBlank;
  size_t start = 0;   // first byte of the line
  size_t finish = 0;  // its terminator: "\r\n", "\n", or the end of the text
  std::string_view name;
  std::string_view value;  // keys only; blanks around it dropped
};

std::vector<Line> Parse(std::string_view text) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t newline = text.find('\n', start);
    size_t end = newline == std::string_view::npos ? text.size() : newline;
    Line line;
    line.start = start;
    line.finish = end > start && text[end - 1] == '\r' ? end - 1 : end;
    std::string_view body = Trim(text.substr(start, end - start));
    if (!body.empty() && body.front() == '[' && FindChar(body, ']') != std::string_view::npos) {
      line.kind = Line::kSection;
      line.name = Trim(body.substr(1, FindChar(body, ']') - 1));
    } else if (!body.empty()) {
      line.kind = Line::kKey;
      size_t equals = FindChar(body, '=');
      line.name = Trim(body.substr(0, equals));
      if (equals != std::string_view::npos) line.value = Trim(body.substr(equals + 1));
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Where a section's lines are: its header and the line after its last one.
// Only the first section of a name counts.
bool FindSection(const std::vector<Line>& lines, std::string_view section, size_t& header, size_t& end) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::kSection || !SameName(lines[i].name, section)) continue;
    header = i;
    end = i + 1;
    while (end < lines.size() && lines[end].kind != Line::kSection) ++end;
    return true;
  }
  return false;
}

bool FindKey(const std::vector<Line>& lines, size_t from, size_t to, std::string_view key, size_t& found) {
  for (size_t i = from; i < to; ++i) {
    if (lines[i].kind == Line::kKey && SameName(lines[i].name, key)) {
      found = i;
      return true;
    }
  }
  return false;
}

// One pair of enclosing quotes (single or double) is dropped, and the value is
// cut to kValueLimit bytes without splitting a character. The profile
// functions count a quoted value in characters against their buffer: when the
// rest after the opening quote fills the buffer exactly, the last character
// kept is dropped in place of the closing quote that no longer fitted.
std::string ValueAsReturned(std::string_view value) {
  std::vector<size_t> starts;  // where each character begins
  for (size_t i = 0; i < value.size(); i += CharLength(value, i)) starts.push_back(i);
  size_t first = 0;
  size_t count = starts.size();
  bool quoted = count >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
  if (quoted) {
    first = 1;
    --count;
  }
  size_t kept = count < kValueLimit ? count : kValueLimit;
  if (quoted && count <= kValueLimit + 1 && kept > 0) --kept;
  size_t begin = starts.empty() ? 0 : starts[first < starts.size() ? first : 0];
  size_t end = first + kept < starts.size() ? starts[first + kept] : value.size();
  if (kept == 0) end = begin;
  while (end - begin > kValueLimit) {
    // Drop whole characters until the bytes fit.
    size_t last = first + kept - 1;
    end = starts[last];
    --kept;
  }
  return std::string(value.substr(begin, end - begin));
}

}  // namespace

std::string ReadProfileStringFromText(const std::string& content, const std::string& section, const std::string& key) {
  std::vector<Line> lines = Parse(content);
  size_t header = 0, end = 0, found = 0;
  if (!FindSection(lines, Trim(section), header, end) || !FindKey(lines, header + 1, end, Trim(key), found)) return "";
  return ValueAsReturned(lines[found].value);
}

std::string WriteProfileStringToText(const std::string& content, const std::string& section, const std::string& key,
                                     const std::string& value) {
  std::vector<Line> lines = Parse(content);
  std::string_view name = Trim(key);
  // New lines follow the file's own line breaks; a new file gets CR LF.
  size_t firstNewline = content.find('\n');
  std::string eol = firstNewline != std::string::npos && (firstNewline == 0 || content[firstNewline - 1] != '\r')
                        ? "\n"
                        : "\r\n";
  size_t header = 0, end = 0, found = 0;
  if (!FindSection(lines, Trim(section), header, end)) {
    std::string out = content;
    if (!out.empty() && out.back() != '\n') out += eol;
    out += "[" + std::string(Trim(section)) + "]" + eol + std::string(name) + "=" + value + eol;
    return out;
  }
  std::string out = content;
  if (FindKey(lines, header + 1, end, name, found)) {
    const Line& line = lines[found];
    out.replace(line.start, line.finish - line.start, std::string(line.name) + "=" + value);
    return out;
  }
  // After the section's last non-blank line, so a blank line before the next
  // section stays where it is.
  size_t last = header;
  for (size_t i = header + 1; i < end; ++i)
    if (lines[i].kind != Line::kBlank) last = i;
  out.insert(lines[last].finish, eol + std::string(name) + "=" + value);
  return out;
}

}  // namespace quorvel
