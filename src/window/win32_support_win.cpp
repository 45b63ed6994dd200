#include "window/win32_support_win.h"

#include <cstddef>
#include <vector>

namespace quorvel::win32 {
namespace {

constexpr UINT kGbk = 936;
constexpr WORD kManifestResource = 2;  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
constexpr WORD kManifestType = 24;     // RT_MANIFEST

std::wstring ModulePath(HMODULE module) {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) return std::wstring(path.data(), n);
    path.resize(path.size() * 2);
  }
}

const wchar_t* const kChineseFaces[] = {L"Microsoft YaHei UI", L"Microsoft YaHei", L"SimSun",
                                         L"WenQuanYi Micro Hei", L"Noto Sans CJK SC", L"Source Han Sans SC",
                                         L"Droid Sans Fallback"};

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

bool FaceExists(HDC dc, const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, &NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

bool HasChineseGlyphs(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  WORD glyph = 0xFFFF;
  DWORD converted = GetGlyphIndicesW(dc, L"\u4E2D", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);  // 中
  SelectObject(dc, old);
  return converted != GDI_ERROR && glyph != 0xFFFF;
}

}  // namespace

std::wstring GbkToWide(std::string_view gbk) {
  if (gbk.empty()) return std::wstring();
  int n = MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), n);
  return wide;
}

std::string WideToGbk(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string gbk(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(), n, nullptr, nullptr);
  return gbk;
}

HMODULE ThisModule() {
  static const char marker = 0;
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&marker), &module);
  return module;
}

UniqueActCtx CreateVisualStylesContext() {
  HMODULE module = ThisModule();
  if (!module || !FindResourceW(module, MAKEINTRESOURCEW(kManifestResource), MAKEINTRESOURCEW(kManifestType)))
    return UniqueActCtx();
  std::wstring path = ModulePath(module);
  ACTCTXW context{};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = path.c_str();
  context.hModule = module;
  context.lpResourceName = MAKEINTRESOURCEW(kManifestResource);
  HANDLE handle = CreateActCtxW(&context);
  if (handle == INVALID_HANDLE_VALUE) return UniqueActCtx();
  return UniqueActCtx(handle);
}

bool UiFont(LOGFONTW& font) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    // Systems before Vista know the structure without its last member.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  }
  font = metrics.lfMessageFont;
  WindowDc screen(nullptr);
  if (!screen.Get()) return true;
  {
    UniqueFont candidate(CreateFontIndirectW(&font));
    if (!candidate || HasChineseGlyphs(screen.Get(), candidate.Get())) return true;
  }
  // Every caption is Chinese: a message font without Chinese characters (a
  // Western system, or wine) gives way to a Chinese face of the same size.
  for (const wchar_t* face : kChineseFaces) {
    if (!FaceExists(screen.Get(), face)) continue;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    font.lfCharSet = DEFAULT_CHARSET;
    return true;
  }
  return true;
}

UniqueFont CreateMessageFont() {
  LOGFONTW font{};
  if (!UiFont(font)) return UniqueFont();
  return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace quorvel::win32
