// The output file in-process, made both ways (without a name, and under the fallback's
// temporary name): no temporary is left whatever happens, a file at the target is replaced
// only when it was there at the start, and a file that appears at a free target is kept.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "encoder/AudioStage.h"
#include "encoder/EncoderError.h"
#include "encoder/OutputFile.h"
#include "encoder/contract/EncoderContract.h"
#include "tests/encoder/MediaFacts.h"
#include "tests/encoder/TestClips.h"

using namespace encoder_test;
using vidmora_encoder::OutputFile;

namespace {

// Writes the header and a second of silence as MP2, as a conversion of an audio-only source
// to MPEG does; commit is left to the test.
void writeSilence(OutputFile& output) {
  vidmora_encoder::CodecContextPtr source(avcodec_alloc_context3(nullptr));
  source->sample_rate = 44100;
  av_channel_layout_default(&source->ch_layout, 2);
  vidmora_encoder::AudioStage audio(vidmora_encoder::ConversionProfile::forCodec("mpeg1video"),
                                    source.get(), std::nullopt, output);
  output.open();
  vidmora_encoder::DecodedFrame silence;
  silence.type = AVMEDIA_TYPE_AUDIO;
  silence.frame = vidmora_encoder::allocateFrame();
  AVFrame* frame = silence.frame.get();
  frame->format = AV_SAMPLE_FMT_S16;
  frame->sample_rate = 44100;
  frame->nb_samples = 44100;
  av_channel_layout_default(&frame->ch_layout, 2);
  ASSERT_EQ(av_frame_get_buffer(frame, 0), 0);
  av_samples_set_silence(frame->extended_data, 0, frame->nb_samples, 2, AV_SAMPLE_FMT_S16);
  audio.add(silence);
  audio.finish();
}

class OutputFileNaming : public ::testing::TestWithParam<OutputFile::Naming> {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    folder = scratchSubfolder("output_file_" + name);
    target = folder + "/out.mpg";
  }
  std::string folder;
  std::string target;
};

TEST_P(OutputFileNaming, CommitGivesTheTargetNameAndTheUsualPermissions) {
  const mode_t umaskBefore = ::umask(027);
  {
    OutputFile output(target, "mpeg", GetParam());
    writeSilence(output);
    output.commit();
  }
  ::umask(umaskBefore);
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"out.mpg"});
  const MediaFacts facts = readMediaFacts(target);
  EXPECT_EQ(facts.audioCodec, "mp2");
  EXPECT_NEAR(facts.audioSeconds, 1.0, 0.1);
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST_P(OutputFileNaming, CommitReplacesAFileThatWasThereAtTheStart) {
  std::ofstream(target) << "the user's earlier file";
  {
    OutputFile output(target, "mpeg", GetParam());
    EXPECT_TRUE(output.replacesExisting());
    writeSilence(output);
    output.commit();
  }
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"out.mpg"});
  EXPECT_EQ(readMediaFacts(target).audioCodec, "mp2");
}

TEST_P(OutputFileNaming, AFileThatAppearsAtAFreeTargetIsKeptAndCommitFails) {
  OutputFile output(target, "mpeg", GetParam());
  EXPECT_FALSE(output.replacesExisting());
  writeSilence(output);
  std::ofstream(target) << "a file another program wrote meanwhile";
  try {
    output.commit();
    ADD_FAILURE() << "commit replaced a file that appeared while converting";
  } catch (const vidmora_encoder::EncoderError& error) {
    EXPECT_NE(std::string(error.what()).find(target + " appeared while converting; it was kept"),
              std::string::npos)
        << error.what();
  }
  EXPECT_EQ(readAll(target), "a file another program wrote meanwhile");
}

TEST_P(OutputFileNaming, AnOutputNeverCommittedLeavesNothingAndTheOldFileAsItWas) {
  const std::string earlier = folder + "/earlier.mpg";
  std::ofstream(earlier) << "the user's earlier file";
  {
    OutputFile free(target, "mpeg", GetParam());
    writeSilence(free);
  }
  {
    OutputFile replacing(earlier, "mpeg", GetParam());
    writeSilence(replacing);
  }
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"earlier.mpg"});
  EXPECT_EQ(readAll(earlier), "the user's earlier file");
}

// While it is written, the file is either nameless or under exactly the name the program
// removes after a killed encoder; a stale file of that name (pid reused) is no obstacle.
TEST_P(OutputFileNaming, WhileWritingTheFolderHoldsAtMostTheContractsTemporaryName) {
  const std::string temporary = encoder_contract::temporaryFileName(::getpid());
  const bool named = GetParam() == OutputFile::Naming::Named;
  if (named) std::ofstream(folder + "/" + temporary) << "left by a killed encoder";
  OutputFile output(target, "mpeg", GetParam());
  writeSilence(output);
  EXPECT_EQ(entriesOf(folder),
            named ? std::vector<std::string>{temporary} : std::vector<std::string>{});
  output.commit();
  EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"out.mpg"});
}

INSTANTIATE_TEST_SUITE_P(Namings, OutputFileNaming,
                         ::testing::Values(OutputFile::Naming::Unnamed, OutputFile::Naming::Named),
                         [](const auto& info) {
                           return std::string(info.param == OutputFile::Naming::Named ? "Named"
                                                                                      : "Unnamed");
                         });

}  // namespace
