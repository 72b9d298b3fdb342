// Shared by the fuzz targets: a process-wide temporary folder, a message sink that only counts,
// and the check that stops the fuzzer when an invariant breaks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/message_sink.h"

namespace tavrix::fuzz {

// Aborts with the broken invariant, so that libFuzzer keeps the input as a crash.
inline void require(bool holds, std::string_view what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

// A fresh folder under TMPDIR for this process, removed when the process ends normally.
class ProcessFolder {
 public:
  ProcessFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrix-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ProcessFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ProcessFolder(const ProcessFolder&) = delete;
  ProcessFolder& operator=(const ProcessFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

inline void writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  require(static_cast<bool>(out.flush()), "the input file could not be written");
}

// Message boxes of a fuzzed run: counted, never kept, so memory stays flat over millions of inputs.
class CountingMessageSink : public MessageSink {
 public:
  void show(const std::string&, MessageStyle) override { ++shown; }
  std::uint64_t shown = 0;
};

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

}  // namespace tavrix::fuzz
