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
