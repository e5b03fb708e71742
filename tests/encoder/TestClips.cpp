#include "tests/encoder/TestClips.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

namespace encoder_test {

namespace {
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    char pattern[] = "/tmp/vidmora-encoder-tests-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};
}  // namespace

std::string scratchPath(const std::string& name) {
  static ScratchFolder folder;
  return folder.path + "/" + name;
}

std::string scratchSubfolder(const std::string& name) {
  const std::string folder = scratchPath(name);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::string clip(const std::string& name, const flv_fixture::ClipSpec& spec) {
  static std::mutex mutex;
  static std::map<std::string, std::string> made;
  std::lock_guard lock(mutex);
  auto found = made.find(name);
  if (found != made.end()) return found->second;
  const std::string path = scratchPath(name + ".flv");
  flv_fixture::makeClip(path, spec);
  return made[name] = path;
}

std::string samplePath(const std::string& name) { return std::string(VIDMORA_SAMPLES_DIR) + "/" + name; }

std::string zandrioPath() { return VIDMORA_ZANDRIO; }
std::string quimbelPath() { return VIDMORA_QUIMBEL; }
std::string zandrioAsanPath() { return VIDMORA_ZANDRIO_ASAN; }
std::string programFolderFile(const std::string& name) {
  return std::string(VIDMORA_PROGRAM_DIR) + "/" + name;
}

std::string encoderFor(const std::string& codec, bool asan) {
  if (codec == "wmv2") return asan ? VIDMORA_QUIMBEL_ASAN : quimbelPath();
  return asan ? zandrioAsanPath() : zandrioPath();
}

std::string caseName(std::string text) {
  for (char& c : text)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return text;
}

}  // namespace encoder_test
