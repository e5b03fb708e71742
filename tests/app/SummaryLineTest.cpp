#include <gtest/gtest.h>

#include "app/SummaryLine.h"

TEST(SummaryLine, ReadsTheSettingsInOneLine) {
  ConversionSettings s = defaultConversionSettings();
  EXPECT_EQ(summaryLineText(s), "Output:AVI, Size: Original");

  s.format = Mpeg;
  s.mpegVersion = 1;
  s.useDefaultQuality = false;
  s.videoBitrate = "800";
  s.audioBitrate = "192";
  s.frameRate = "25.00";
  s.sizeMode = CustomSize;
  s.width = 640;
  s.height = 480;
  EXPECT_EQ(summaryLineText(s),
            "Output:MPEG1, Video:800kb/s, Audio:192kb/s, Framerate:25.00f/s, Size: 640x480");

  s = defaultConversionSettings();
  s.format = Wmv;
  s.useDefaultQuality = false;
  EXPECT_EQ(summaryLineText(s),
            "Output:WMV, Video:500kb/s, Audio:128kb/s, Framerate:29.97f/s, Size: Original");
}

TEST(SummaryLine, MpegVersionShowsOnlyForMpeg) {
  ConversionSettings s = defaultConversionSettings();
  s.mpegVersion = 1;
  EXPECT_EQ(summaryLineText(s), "Output:AVI, Size: Original");
  s.format = Mpeg;
  EXPECT_EQ(summaryLineText(s), "Output:MPEG1, Size: Original");
  s.mpegVersion = 2;
  EXPECT_EQ(summaryLineText(s), "Output:MPEG2, Size: Original");
}

TEST(SummaryLine, UnknownCodesLeaveTheirPartOut) {
  ConversionSettings s = defaultConversionSettings();
  s.format = 9;
  s.sizeMode = 0;
  EXPECT_EQ(summaryLineText(s), "Output:Size: ");
}
