#pragma once
#include <string>

#include "tests/encoder/FileContents.h"
#include "tests/fixtures/FlvFixture.h"
// Where the encoder tests find their executables, real samples and generated clips.

namespace encoder_test {

// A folder of this test run's own, removed when the tests end.
const std::string& scratchFolder();
// A fresh path inside the scratch folder (nothing is created).
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

}  // namespace encoder_test
