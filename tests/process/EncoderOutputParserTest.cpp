#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "process/EncoderOutputParser.h"

TEST(EncoderOutputParser, TimeFigureOfOneChunk) {
  const struct {
    const char* chunk;
    std::optional<const char*> figure;
  } cases[] = {
      {"frame=  250 fps= 30 q=5.0 size=    1024kB time=10.00 bitrate= 838.9kbits/s", "10"},
      {"time=   7.96 bitrate=1", "   7"},
      {"time=1.00 a\rtime=2.00 b\rtime=3.00 c\r", "1"},     // only the first of a chunk
      {"frame= 9 size= 1kB time=59", std::nullopt},       // the '.' comes in the next read
      {".00 bitrate= 838.9kbits/s", std::nullopt},          // and that next read gives nothing
      {"time=00:01:02.50 bitrate=", "00:01:02"},
      {"q=5.0 no marker here", std::nullopt},
      {"time=.5", ""},
      {"Time=3.00", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto figure = timeFigureInChunk(c.chunk);
    ASSERT_EQ(figure.has_value(), c.figure.has_value()) << c.chunk;
    if (figure) {
      EXPECT_EQ(std::string(*figure), *c.figure) << c.chunk;
    }
  }
}

TEST(EncoderOutputParser, DurationSecondsFromFixedPlaces) {
  const struct {
    const char* text;
    std::int32_t seconds;
  } cases[] = {
      {"Input #0, flv\n  Duration: 00:02:05.40, start: 0.000000, bitrate: 313 kb/s\n", 125},
      {"Duration: 01:00:00.00, start", 3600},
      {"Duration: N/A, start: 0.000000", 0},
      {"no duration at all", 0},
      {"Duration:00:02:05.40", 0},                   // no space after the colon
      {"Duration: 100:00:00.00", 36000},             // fixed places: 10, :0, :0
      {"Duration: 00:00:00.50", 0},
      {"Duration: 00:00:01.99", 1},
      {"Duration: 99:59:59.99", 359999},
      {"Duration: 00:01", 60},                       // cut short: missing fields are 0
      {"Duration: ", 0},
      {"Duration: 00:00:07.00\nDuration: 00:00:09.00", 7},  // the first one counts
  };
  for (const auto& c : cases) EXPECT_EQ(durationSeconds(c.text), c.seconds) << c.text;
}

TEST(EncoderOutputParser, FailureLineIsFoundWhereverTheChunksCutIt) {
  std::string progress;
  for (int second = 0; second < 100; ++second)  // far more than the start the probe keeps
    progress += "frame=  250 fps= 30 q=5.0 size=    1024kB time=" + std::to_string(second) +
                ".00 bitrate= 838.9kbits/s\n";
  const std::string longLine = "error: " + std::string(3000, 'x');
  const struct {
    const char* name;
    std::string text;
    std::string line;
  } cases[] = {
      {"after the progress", progress + "error: disk full\n", "error: disk full"},
      {"before a usage text", "error: unknown switch -q\nusage: zandrio -i SOURCE\n",
       "error: unknown switch -q"},
      {"the first one counts", "error: one\nerror: two\n", "error: one"},
      {"without a line end", progress + "error: out of memory", "error: out of memory"},
      {"after a carriage return", "time=1.00\rerror: stopped early\r", "error: stopped early"},
      {"only at a line's start", "frame= 1 error: no\n", ""},
      {"none at all", progress, ""},
      {"cut to the kept length", longLine + "\n", longLine.substr(0, 2047)},
  };
  for (const auto& c : cases) {
    for (std::size_t chunkSize : {std::size_t{1}, std::size_t{7}, std::size_t{256}}) {
      FailureLineFinder finder;
      finder.add("error: from an earlier run\n");
      finder.clear();
      for (std::size_t at = 0; at < c.text.size(); at += chunkSize)
        finder.add(std::string_view(c.text).substr(at, chunkSize));
      EXPECT_EQ(finder.line(), c.line) << c.name << ", chunks of " << chunkSize;
    }
  }
}

TEST(EncoderOutputParser, ConversionAnnouncesItsLengthInItsFirstLineOnly) {
  const struct {
    const char* name;
    std::string text;
    std::optional<std::int32_t> seconds;  // nothing: the first line has not ended
  } cases[] = {
      {"the probe's line",
       "  Duration: 00:02:05.40, start: 0.000000, bitrate: 313 kb/s\nOutput: x\n", 125},
      {"not known", "  Duration: N/A, start: 0.000000, bitrate: N/A\n", 0},
      {"an error first", "error: cannot read /a/Duration: 01:00:00.00.flv\n", 0},
      {"a later line does not count", "Output: x\n  Duration: 00:00:09.00, start\n", 0},
      {"after a carriage return", "  Duration: 00:00:07.00, start\rtime=1.00\r", 7},
      {"not ended yet", "  Duration: 00:00:07.00, st", std::nullopt},
  };
  for (const auto& c : cases) {
    for (std::size_t chunkSize : {std::size_t{1}, std::size_t{5}, std::size_t{256}}) {
      FirstLineDuration first;
      first.add("  Duration: 00:00:01.00, from an earlier run\n");
      first.clear();
      std::optional<std::int32_t> announced;
      int announcements = 0;
      for (std::size_t at = 0; at < c.text.size(); at += chunkSize)
        if (const auto seconds = first.add(std::string_view(c.text).substr(at, chunkSize))) {
          announced = seconds;
          ++announcements;
        }
      EXPECT_EQ(announced, c.seconds) << c.name << ", chunks of " << chunkSize;
      EXPECT_LE(announcements, 1) << c.name;
    }
  }
}
