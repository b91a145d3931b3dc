#pragma once

#include <stdlib.h>

#include <filesystem>

// A fresh folder in the system's temporary folder, removed with all it holds at the end.
struct TempFolder {
  std::filesystem::path path = [] {
    std::string pattern = std::filesystem::temp_directory_path() / "vantorel-XXXXXX";
    return std::filesystem::path(mkdtemp(pattern.data()) ? pattern : "/nonexistent");
  }();
  ~TempFolder() { std::filesystem::remove_all(path); }
};
