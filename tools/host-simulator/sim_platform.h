#pragma once
// What the simulator needs of the operating system, one implementation per
// system (sim_platform_posix.cpp, sim_platform_win.cpp). Paths and texts are
// UTF-8 here; the Windows side converts to and from UTF-16 itself, so file
// names with Chinese characters work whatever the system's code page.
#include <string>
#include <vector>

namespace quorvel::sim {

// The directory of the running program, with a trailing separator.
std::string ExecutableDirectory();

// The program's arguments after its name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard input and output without newline translation, so every output
// line ends in "\n" alone on every system.
void UseBinaryStdio();

// Readies the terminal for a person: UTF-8 output on Windows consoles.
void PrepareInteractiveConsole();

// True when a person types the input (a terminal, not a pipe or a file).
bool StdinIsInteractive();

// One line of standard input without its line end; false at the end of input.
bool ReadInputLine(std::string& line);

// Dispatches this thread's window messages for up to `milliseconds`. False on
// a system without window messages: the caller then just waits.
bool PumpWindowMessages(int milliseconds);

// A dynamic library loaded by path; nullptr and a reason when it fails.
void* OpenLibrary(const std::string& path, std::string& error);
void* LibrarySymbol(void* library, const char* name);
void CloseLibrary(void* library);

}  // namespace quorvel::sim
