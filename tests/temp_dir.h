#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace velkorn::testing {

// A fresh directory under the system's temporary directory, removed on exit.
struct TempDir {
  TempDir() { std::filesystem::create_directories(path_); }
  TempDir(const TempDir&) = delete;
  ~TempDir() { std::filesystem::remove_all(path_, ignored_); }
  const std::filesystem::path& path() const { return path_; }
  // Writes a file, and the directories it lies in.
  std::filesystem::path write(const std::filesystem::path& name, std::string_view bytes) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return path_ / name;
  }

 private:
  std::filesystem::path path_ = std::filesystem::temp_directory_path() / ("velkorn-" + std::to_string(std::random_device()()));
  std::error_code ignored_;
};

inline std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace velkorn::testing
