#pragma once
#include <stdlib.h>

#include <filesystem>
#include <string>

// A fresh folder under /tmp for one test, removed with all it holds when the test ends.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    char name[] = "/tmp/vidmora-test-XXXXXX";
    if (mkdtemp(name) != nullptr) folder = std::string(name) + "/";
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // The folder's path, ending in '/'.
  const std::string& path() const { return folder; }

 private:
  std::string folder;
};
