#pragma once
// Standard output shared by every thread that reports: the plug-in's threads
// (through the coupler's sink) and the session. Each line is written whole
// under one lock, so concurrent calls interleave lines, never characters.
#include <cstdio>
#include <mutex>
#include <string>

namespace quorvel::sim {

class Output {
 public:
  explicit Output(std::FILE* file) : file_(file) {}

  // Writes `text` and "\n", then flushes: a session that dies mid-way still
  // shows everything up to the fault.
  void Line(const std::string& text) { Write(text + "\n"); }

  void Write(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
  }

 private:
  std::mutex mutex_;
  std::FILE* file_;
};

}  // namespace quorvel::sim
