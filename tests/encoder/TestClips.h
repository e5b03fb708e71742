#pragma once
#include <string>

#include "tests/encoder/FileContents.h"
#include "tests/fixtures/FlvFixture.h"
// Where the encoder tests find their executables, real samples and generated clips.

namespace encoder_test {

// A fresh path inside a folder of this test run's own, removed when the tests end (nothing is
// created).
std::string scratchPath(const std::string& name);
// A new empty folder inside the scratch folder.
std::string scratchSubfolder(const std::string& name);

// The generated clip `name`.flv made from `spec`, made once per test run.
std::string clip(const std::string& name, const flv_fixture::ClipSpec& spec);
// A real .flv sample from tests/samples.
std::string samplePath(const std::string& name);

// The plain executables the build produced, the AddressSanitizer build of zandrio, and the
// scrambled files in the program folder.
std::string zandrioPath();
std::string quimbelPath();
std::string zandrioAsanPath();
std::string programFolderFile(const std::string& name);

// The executable that writes `codec` ("wmv2" is quimbel's, the others zandrio's), plain or
// built with AddressSanitizer.
std::string encoderFor(const std::string& codec, bool asan = false);

// The four output formats in the order the program offers them, as the libraries read them back.
struct FormatCase {
  const char* codec;
  const char* extension;
  const char* container;  // as the libraries name the demuxer
  const char* audioCodec;
  bool mpegRates;  // frame rates snap to the MPEG ones
};
inline constexpr FormatCase kFormats[] = {
    {"msmpeg4v2", ".avi", "avi", "mp3", false},
    {"mpeg1video", ".mpg", "mpeg", "mp2", true},
    {"mpeg2video", ".mpg", "mpeg", "mp2", true},
    {"wmv2", ".wmv", "asf", "wmav2", false},
};

// `text` as a test's name: every character but a letter or a digit made '_'.
std::string caseName(std::string text);

}  // namespace encoder_test
