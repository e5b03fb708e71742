// The child the runner tests start. One scenario per first argument:
//   exit N          exits at once with status N, writing nothing
//   stderr BYTES    writes BYTES of a known pattern to standard error, then exits 0
//   both BYTES      writes BYTES to standard output and to standard error, interleaved
//   stdout BYTES    writes BYTES of the pattern to standard output, then exits 0
//   times A B ...   writes one "frame= ... time=A bitrate=..." line per figure, one write each
//   sleep           writes "ready" to standard output, then sleeps until killed
//   ignore-term     forks a grandchild; both ignore SIGTERM; prints both pids, then sleeps
//   slow-term MS F  writes "ready", and on SIGTERM takes MS ms to finish, creates F, exits 0
//   say TEXT        writes TEXT to standard error, then exits 0
//   -i PATH         a stand-in encoder probe: writes the content of PATH to standard error
//   fds             prints the number of its open descriptors, then exits 0
//   crash           ends itself with SIGSEGV
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

char patternByte(std::size_t i) { return static_cast<char>('a' + i % 26); }

void writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n <= 0) std::exit(9);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void writePattern(int fd, std::size_t bytes, std::size_t from, std::size_t count) {
  std::string block;
  for (std::size_t i = from; i < from + count && i < bytes; ++i) block += patternByte(i);
  writeAll(fd, block.data(), block.size());
}

void sleepForever() {
  for (;;) pause();
}

volatile sig_atomic_t terminated = 0;
void onTerminate(int) { terminated = 1; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  const std::size_t bytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 0;
  if (mode == "exit") return static_cast<int>(bytes);
  if (mode == "stderr" || mode == "stdout") {
    writePattern(mode == "stderr" ? 2 : 1, bytes, 0, bytes);
    return 0;
  }
  if (mode == "both") {
    for (std::size_t at = 0; at < bytes; at += 4096) {
      writePattern(1, bytes, at, 4096);
      writePattern(2, bytes, at, 4096);
    }
    return 0;
  }
  if (mode == "times") {
    for (int i = 2; i < argc; ++i) {
      const std::string line = std::string("frame=  250 fps= 30 q=5.0 size=    1024kB time=") +
                               argv[i] + " bitrate= 838.9kbits/s\r";
      writeAll(2, line.data(), line.size());
      // Long enough apart that a reader on a loaded machine still gets one line per read.
      usleep(150000);
    }
    return 0;
  }
  if (mode == "say") {
    writeAll(2, argv[2], std::strlen(argv[2]));
    return 0;
  }
  if (mode == "-i") {
    FILE* source = std::fopen(argv[2], "rb");
    if (source == nullptr) return 1;
    char block[4096];
    while (const std::size_t n = std::fread(block, 1, sizeof block, source)) writeAll(2, block, n);
    std::fclose(source);
    return 0;
  }
  if (mode == "sleep") {
    writeAll(1, "ready\n", 6);
    sleepForever();
  }
  if (mode == "ignore-term") {
    signal(SIGTERM, SIG_IGN);
    const pid_t grandchild = fork();
    if (grandchild == 0) sleepForever();
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%d %d\n", getpid(), grandchild);
    writeAll(1, line, static_cast<std::size_t>(n));
    sleepForever();
  }
  if (mode == "slow-term") {
    signal(SIGTERM, onTerminate);
    writeAll(1, "ready\n", 6);
    while (!terminated) pause();
    usleep(static_cast<useconds_t>(bytes) * 1000);
    std::fclose(std::fopen(argv[3], "w"));
    return 0;
  }
  if (mode == "fds") {
    int count = 0;
    DIR* folder = opendir("/proc/self/fd");
    while (dirent* entry = readdir(folder))
      if (entry->d_name[0] != '.') ++count;
    closedir(folder);
    std::printf("%d\n", count - 1);  // without the folder's own descriptor
    return 0;
  }
  if (mode == "crash") raise(SIGSEGV);
  return 2;
}
