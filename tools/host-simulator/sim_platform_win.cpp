#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <iostream>

#include "sim_platform.h"

namespace quorvel::sim {
namespace {

std::string FromWide(const wchar_t* wide, int length) {
  if (length <= 0) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, length, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring ToWide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

bool StdinIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace

std::string ExecutableDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return ".\\";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return FromWide(path.data(), static_cast<int>(path.size()));
}

// main()'s argv is in the ANSI code page, which cannot hold the plug-in's
// Chinese file name on most systems; the UTF-16 command line can.
std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  for (int i = 1; i < count; ++i) args.push_back(FromWide(wide[i], static_cast<int>(wcslen(wide[i]))));
  LocalFree(wide);
  return args;
}

void UseBinaryStdio() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

void PrepareInteractiveConsole() {
  SetConsoleOutputCP(CP_UTF8);
}

bool StdinIsInteractive() { return StdinIsConsole(); }

// A console hands over UTF-16 only through ReadConsoleW; pipes and files
// carry the UTF-8 bytes as they are.
bool ReadInputLine(std::string& line) {
  line.clear();
  if (StdinIsConsole()) {
    std::wstring wide;
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
      wchar_t c = 0;
      DWORD read = 0;
      if (!ReadConsoleW(in, &c, 1, &read, nullptr) || read == 0) {
        if (wide.empty()) return false;
        break;
      }
      if (c == L'\n') break;
      if (c == 0x1A && wide.empty()) return false;  // Ctrl+Z ends console input
      wide += c;
    }
    if (!wide.empty() && wide.back() == L'\r') wide.pop_back();
    line = FromWide(wide.data(), static_cast<int>(wide.size()));
    return true;
  }
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool PumpWindowMessages(int milliseconds) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(milliseconds), QS_ALLINPUT);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void* OpenLibrary(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryW(ToWide(path).c_str());
  if (!module) {
    DWORD code = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    error = "error " + std::to_string(code);
    if (text) {
      std::string message = FromWide(text, static_cast<int>(wcslen(text)));
      while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
      if (!message.empty()) error += ": " + message;
      LocalFree(text);
    }
  }
  return module;
}

void* LibrarySymbol(void* library, const char* name) {
  return library ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

void CloseLibrary(void* library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace quorvel::sim
