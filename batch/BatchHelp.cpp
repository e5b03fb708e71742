#include "batch/BatchHelp.h"

#include <array>

#include "batch/BatchOptions.h"
#include "engine/ConversionSettings.h"
#include "res/OutputSettingsLists.h"

namespace lists = output_settings_lists;

namespace {

// The items of a list of the Output Settings dialog, on lines of their own at the column of
// the options' texts.
template <std::size_t N>
std::string offered(const std::array<const char*, N>& items) {
  constexpr std::size_t kColumn = 26, kWidth = 90;
  std::string text;
  std::size_t width = kWidth;  // of the line being written: a new line is due at once
  for (const std::string item : items) {
    if (width + 1 + item.size() > kWidth) {
      text.append("\n").append(kColumn, ' ');
      width = kColumn;
    } else {
      text.append(" ");
      ++width;
    }
    text.append(item);
    width += item.size();
  }
  return text;
}

// The help, each {name} standing for a value filled in below.
constexpr const char* kHelp = R"(Usage: vidmora-batch [OPTION]... PATH...
Converts Flash video (.flv) files to AVI, MPEG-1, MPEG-2 or WMV without a window, with the
encoder, settings, output names and conversion log of the Vidmora window, several at once.

A PATH is a file, converted whatever its name, or a folder: every .flv file under it (any
letter case, subfolders included, in name order; hidden entries and links to folders are
skipped), as the window adds a dropped folder. - reads PATHs from standard input, one a
line, so that `find ... | vidmora-batch -` works. A file named twice is converted once.

Output settings (as in the window's Output Settings, with its start-up values):
  --format avi|mpeg1|mpeg2|wmv  output format (default avi: msmpeg4v2 and MP3 in AVI;
                          mpeg1, mpeg2: MPEG program streams; wmv: wmv2 and WMA in ASF)
  --video-kbps N          video bit rate in kbit/s, one of:{video bit rates}
  --audio-kbps N          audio bit rate in kbit/s, one of:{audio bit rates}
  --fps F                 frame rate, one of:{frame rates}
                          (25 stands for 25.00, and so on). Without any of these three the
                          encoder chooses the quality itself ("Default" checked). Any of
                          them unchecks "Default", as in the window, and then all three
                          are used: those not given are {video} kbit/s, {audio} kbit/s and
                          {rate} frames per second.
  --size WxH              frame size in pixels, each at least {smallest} (default: the
                          source's)
  --existing rename|overwrite|skip
                          when the output file exists: write NAME_1, NAME_2, ...
                          (default), replace it once the new file is complete, or skip
                          the source
  --output DIR            the output folder, which must exist (default: videooutput in
                          your home folder, made when missing)
  --mirror-folders        make below DIR the folders each source lies in below the folder
                          named as its PATH (a file named by itself: the folders of its
                          path when relative and without ".."), so that an archive keeps
                          its shape and same-named files do not meet; without it every
                          output goes into DIR and the --existing rule decides

Running:
  --jobs N                conversions at once, 1 to {most jobs} (default: as many as the cores
                          vidmora-batch may run on, whatever the files' length: measured,
                          a second file at once fills what the encoder leaves idle even
                          while it spreads a long file over the cores). Files that could
                          be given the same output name start one after the other, so that
                          they are named as the window names them one by one
  --quiet                 print nothing but failures (on standard error)
  --json                  print one JSON object a line per file, nothing else:
                          source, target, status, length and converted (seconds of media;
                          length null when unknown), seconds (wall), exit_status (null when
                          no encoder ended by itself) and reason
  --help                  print this help and exit
  --version               print the version and exit

On a terminal each file gets a line when it ends (its status, name, target, seconds of
media and of work, or why it failed) and one line below them shows the whole batch: files
ended, seconds of media done of the total (~ while the length of files not yet started is
told from their size), the rate in media seconds per second and the time left; elsewhere
(a pipe, a file) only the file lines and a summary. Statuses are the window's: Done,
Renamed, Overwritten, Skipped, Failed, and Stopped for a file cut short.

Ctrl+C, SIGTERM or SIGHUP stops every running encoder as the window's Stop does: each
keeps the part converted so far as a valid, shorter file, except where it would replace a
file that was there before, which stays as it was; no temporary file is left. No other
file is started.

Every conversion is logged as the window logs it, in $XDG_STATE_HOME/vidmora/vidmora.log
(default ~/.local/state/vidmora/vidmora.log). While vidmora-batch runs, the encoders are
runnable in $XDG_DATA_HOME/vidmora/system/ (default ~/.local/share/vidmora/system/), shared
with any Vidmora window; the last of them to end puts them back.

Exit status: 0 when every file was converted or skipped by the --existing rule, 1 when any
failed (or a PATH does not exist), 2 for a usage error, 130 when stopped.

Examples:
  vidmora-batch --output /srv/avi --mirror-folders /srv/archive
  find /srv/archive -name '*.flv' -newer last-run | vidmora-batch --format wmv -
Over several machines GNU parallel runs vidmora-batch on each; the manual page and the
README give the command.
)";

// `text` with `{name}` replaced by `value`.
void fill(std::string& text, const std::string& name, const std::string& value) {
  const std::size_t at = text.find("{" + name + "}");
  if (at != std::string::npos) text.replace(at, name.size() + 2, value);
}

}  // namespace

std::string batchHelpText() {
  const ConversionSettings startUp;
  std::string help = kHelp;
  fill(help, "video bit rates", offered(lists::kVideoBitrates));
  fill(help, "audio bit rates", offered(lists::kAudioBitrates));
  fill(help, "frame rates", offered(lists::kFrameRates));
  fill(help, "video", startUp.videoBitrate);
  fill(help, "audio", startUp.audioBitrate);
  fill(help, "rate", startUp.frameRate);
  fill(help, "smallest", std::to_string(kSmallestFrameSide));
  fill(help, "most jobs", std::to_string(kMostJobs));
  return help;
}
