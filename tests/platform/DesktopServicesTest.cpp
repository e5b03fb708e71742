// What the program asks of the desktop over D-Bus, against a session bus and a stand-in
// system bus of the test's own (dbus-daemon, nothing to activate) and desktop_peer, which
// owns the services a test names and records what it is asked and which launcher updates
// it hears. The buses are named in the environment before the program first uses one. The
// program's end and a machine without any bus are tried in a child: this program again,
// with --child.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/NotifyIcon.h"
#include "platform/Power.h"
#include "platform/Taskbar.h"
#include "platform/WinApp.h"
#include "platform/WindowCalls.h"
#include "tests/app/MainDialogHarness.h"

extern char** environ;

namespace {
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr EXECUTION_STATE kAwake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED;
const char* const kReason = "Converting 3 Flv files";
const std::string kEntry = "application://com.vidmora.vidmora.desktop";

// A bus anyone may own any name on, with no service to activate.
const char* const kBusConfig = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// A dbus-daemon of the test's own, for the whole run.
class PrivateBus {
 public:
  explicit PrivateBus(const std::string& config) {
    int address[2];
    if (pipe(address) != 0) return;
    const std::string printTo = "--print-address=" + std::to_string(address[1]);
    const std::string configFile = "--config-file=" + config;
    char* argv[] = {const_cast<char*>("dbus-daemon"), const_cast<char*>(configFile.c_str()),
                    const_cast<char*>("--nofork"), const_cast<char*>(printTo.c_str()), nullptr};
    // Its complaints (it may not raise its descriptor limit) are not the test's.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&daemon, "dbus-daemon", &quiet, nullptr, argv, environ) != 0) daemon = 0;
    posix_spawn_file_actions_destroy(&quiet);
    close(address[1]);
    char text[512];
    ssize_t length = 0;
    if (daemon != 0) length = read(address[0], text, sizeof text - 1);
    close(address[0]);
    if (length > 0) busAddress.assign(text, static_cast<std::size_t>(length));
    while (!busAddress.empty() && busAddress.back() == '\n') busAddress.pop_back();
  }
  ~PrivateBus() {
    if (daemon == 0) return;
    kill(daemon, SIGTERM);
    waitpid(daemon, nullptr, 0);
  }
  const std::string& address() const { return busAddress; }

 private:
  pid_t daemon = 0;
  std::string busAddress;
};

// Delivers the program's messages and the toolkit's events for a while.
void Pump(std::chrono::milliseconds duration) {
  const auto until = Clock::now() + duration;
  do {
    QApplication::processEvents();
    PumpWaitingMessages();
    std::this_thread::sleep_for(2ms);
  } while (Clock::now() < until);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
  const auto until = Clock::now() + limit;
  while (!done() && Clock::now() < until) Pump(0ms);
  return done();
}

// desktop_peer with the services named, until the test ends.
class Peer {
 public:
  explicit Peer(const QStringList& services) {
    process.start(QStringLiteral(DESKTOP_PEER), services);
    EXPECT_TRUE(waitFor("ready")) << "the peer did not start: " << text();
  }
  ~Peer() {
    process.closeWriteChannel();
    if (!process.waitForFinished(3000)) process.kill();
    process.waitForFinished(3000);
  }

  // The lines recorded so far that start with `prefix`.
  std::vector<std::string> lines(const std::string& prefix = "") {
    read();
    std::vector<std::string> found;
    for (const std::string& line : recorded)
      if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
  }
  // The lines of the services asked, without "ready" and the launcher updates.
  std::vector<std::string> calls() {
    std::vector<std::string> found;
    for (const std::string& line : lines())
      if (line != "ready" && line.rfind("launcher ", 0) != 0) found.push_back(line);
    return found;
  }
  // Delivers messages until a line starts with `prefix`.
  bool waitFor(const std::string& prefix, std::chrono::milliseconds limit = 10s) {
    return PumpUntil([&] { return !lines(prefix).empty(); }, limit);
  }
  // A click on notice `notice`.
  void click(unsigned notice) {
    process.write(("click " + std::to_string(notice) + "\n").c_str());
    process.waitForBytesWritten(1000);
  }
  std::string text() {
    std::string all;
    for (const std::string& line : lines()) all += line + "\n";
    return all;
  }

 private:
  void read() {
    process.waitForReadyRead(0);
    pending += process.readAllStandardOutput().toStdString();
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      recorded.push_back(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
  }

  QProcess process;
  std::string pending;
  std::vector<std::string> recorded;
};

// This program again as a child with --child=SCENARIO, the environment as the test sets it.
class Child {
 public:
  explicit Child(const std::string& scenario, const QProcessEnvironment& environment =
                                                  QProcessEnvironment::systemEnvironment()) {
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(),
                  {QString::fromStdString("--child=" + scenario)});
  }
  // Tells it to end, and waits until it has.
  bool end(std::chrono::milliseconds limit = 10s) {
    process.write("end\n");
    process.closeWriteChannel();
    return PumpUntil([&] { return process.state() == QProcess::NotRunning; }, limit) &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  }

 private:
  QProcess process;
};

// A child's scenario: it asks the desktop for everything, and ends when told (at once for
// "no-bus"), without letting go of anything itself.
int RunChild(const std::string& scenario) {
  SetThreadExecutionState(kAwake, kReason);
  ITaskbarList3 taskbar;
  taskbar.SetProgressValue(nullptr, 1, 2);
  if (scenario != "no-bus") {
    QSocketNotifier told(STDIN_FILENO, QSocketNotifier::Read);
    bool ended = false;
    QObject::connect(&told, &QSocketNotifier::activated, [&] { ended = true; });
    while (!ended) Pump(5ms);
  }
  return 0;
}

class DesktopServices : public testing::Test {
 protected:
  ~DesktopServices() override {
    SetThreadExecutionState(ES_CONTINUOUS);
    ITaskbarList3().SetProgressState(nullptr, TBPF_NOPROGRESS);
    Pump(50ms);
  }
};

// Who keeps the machine awake: the first service that grants it, in the desktop's order.
TEST_F(DesktopServices, TheMachineIsKeptAwakeByTheFirstServiceThatGrantsItAndLetGo) {
  const struct {
    const char* name;
    QStringList services;
    std::vector<std::string> asked, letGo;
  } cases[] = {
      {"portal",
       {"--portal", "--logind", "--screensaver"},
       {"portal Inhibit flags=12 reason=Converting 3 Flv files"},
       {"portal Close"}},
      {"a portal that refuses",
       {"--portal-refuses", "--logind", "--screensaver"},
       {"portal Inhibit flags=12 reason=Converting 3 Flv files",
        "logind Inhibit what=sleep:idle who=vidmora why=Converting 3 Flv files mode=block"},
       {"logind released"}},
      {"logind",
       {"--logind", "--screensaver"},
       {"logind Inhibit what=sleep:idle who=vidmora why=Converting 3 Flv files mode=block"},
       {"logind released"}},
      {"screen saver",
       {"--screensaver"},
       {"screensaver Inhibit app=vidmora reason=Converting 3 Flv files cookie=1"},
       {"screensaver UnInhibit 1"}},
      {"none", {}, {}, {}},
  };
  for (const auto& c : cases) {
    Peer peer(c.services);
    EXPECT_EQ(SetThreadExecutionState(kAwake, kReason), ES_CONTINUOUS) << c.name;
    Pump(300ms);  // every service asked has answered
    EXPECT_EQ(peer.calls(), c.asked) << c.name;
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), kAwake) << c.name;
    if (!c.letGo.empty()) {
      EXPECT_TRUE(peer.waitFor(c.letGo.back())) << c.name;
    }
    Pump(100ms);
    std::vector<std::string> all = c.asked;
    all.insert(all.end(), c.letGo.begin(), c.letGo.end());
    EXPECT_EQ(peer.calls(), all) << c.name;
  }
}

// A request let go of before it is granted is given back once it is.
TEST_F(DesktopServices, ARequestLetGoOfWhileAskedIsGivenBackWhenGranted) {
  Peer peer({"--portal"});
  SetThreadExecutionState(kAwake, kReason);
  SetThreadExecutionState(ES_CONTINUOUS);
  EXPECT_TRUE(peer.waitFor("portal Close"));
}

// The program's end lets go of what it holds, also what is on its way; logind's descriptor
// is closed. A program without any bus ends as quickly, having changed nothing.
TEST_F(DesktopServices, TheProgramsEndLetsGoAndWithoutABusNothingFails) {
  const struct {
    QStringList services;
    const char* asked;
    const char* letGo;
  } cases[] = {
      {{"--portal"}, "portal Inhibit", "portal Close"},
      {{"--logind"}, "logind Inhibit", "logind released"},
      {{"--screensaver"}, "screensaver Inhibit", "screensaver UnInhibit 1"},
  };
  for (const auto& c : cases) {
    Peer peer(c.services);
    Child child("hold");
    EXPECT_TRUE(peer.waitFor(c.asked)) << c.asked;
    EXPECT_TRUE(child.end()) << c.asked;
    EXPECT_TRUE(peer.waitFor(c.letGo)) << c.asked;
  }
  QProcessEnvironment noBus = QProcessEnvironment::systemEnvironment();
  noBus.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
  noBus.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("disabled:"));
  EXPECT_TRUE(Child("no-bus", noBus).end());
}

// The launcher entry is told at most four times a second, the latest value always, and at
// once when the progress goes.
TEST_F(DesktopServices, LauncherUpdatesAreThrottledButTheLastValueArrives) {
  Peer peer({});
  ITaskbarList3 taskbar;
  const auto began = std::chrono::steady_clock::now();
  for (int step = 1; step <= 200; ++step) {
    taskbar.SetProgressValue(nullptr, step, 200);
    Pump(5ms);
  }
  const auto sendingMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began)
          .count();
  EXPECT_TRUE(PumpUntil([&] {
    const auto updates = peer.lines("launcher ");
    return !updates.empty() && updates.back().find("progress=1.0000") != std::string::npos;
  }));
  taskbar.SetProgressState(nullptr, TBPF_NOPROGRESS);
  EXPECT_TRUE(PumpUntil([&] {
    return peer.lines("launcher ").back().find("visible=false") != std::string::npos;
  }));
  const std::vector<std::string> updates = peer.lines("launcher ");
  int shown = 0;
  for (const std::string& update : updates) {
    long at = 0;
    char entry[128];
    ASSERT_EQ(std::sscanf(update.c_str(), "launcher %ldms %127s", &at, entry), 2) << update;
    EXPECT_EQ(entry, kEntry);
    if (update.find("visible=true") != std::string::npos) ++shown;
  }
  // Two hundred values in about a second (longer on a loaded machine) gave a few updates:
  // about one a quarter of a second while they were sent, and the last one after. The
  // count, not the gaps the peer saw, since a busy peer reads queued signals close together.
  EXPECT_GE(shown, 2);
  EXPECT_LE(shown, sendingMs / 250 + 3) << sendingMs << " ms of sending";
  EXPECT_LE(static_cast<std::size_t>(shown), updates.size() - 1);
}

// The main dialog during a batch: kept awake with the number of files, the task bar's
// progress, both let go at the end; a notice of the end when the window is not active
// (whose click brings the window forward), none when it is; Stop lets go as well.
class BatchOnTheDesktop : public MainDialogTest {
 protected:
  void SetUp() override {
    shipEncoders();
    open();
    SetWindowTextA(item(1043), output.path());
    add({testClip("one.flv", 1.2), testClip("two.flv", 1.2), testClip("three.flv", 1.2)});
  }
  void runBatch() {
    click(1008);
    pumpUntil([&] { return !dialog->converting(); });
  }
};

TEST_F(BatchOnTheDesktop, AnInactiveWindowGetsANoticeOfTheEndThatBringsItForward) {
  Peer peer({"--portal", "--notifications"});
  QWidget elsewhere;  // another window has the user's attention
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(PumpUntil([&] { return QApplication::activeWindow() == &elsewhere; }));
  runBatch();
  ASSERT_TRUE(peer.waitFor("notify "));
  ASSERT_TRUE(peer.waitFor("portal Close"));
  EXPECT_EQ(peer.calls(),
            (std::vector<std::string>{
                "portal Inhibit flags=12 reason=Converting 3 Flv files", "portal Close",
                "notify id=1 app=vidmora replaces=0 icon=com.vidmora.vidmora title=Free Vidmora "
                "text=All Flv files have been converted! actions=default, "
                "desktop-entry=com.vidmora.vidmora"}))
      << peer.text();
  const std::vector<std::string> updates = peer.lines("launcher ");
  ASSERT_GE(updates.size(), 2u);
  EXPECT_NE(updates.front().find(kEntry + " visible=true progress=0.0000"), std::string::npos);
  EXPECT_NE(updates.back().find("visible=false"), std::string::npos);
  EXPECT_EQ(hook.messages, std::vector<std::string>{"Confirm: All Flv files have been converted! (i)"});

  peer.click(1);
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog->m_hWnd; }));
}

TEST_F(BatchOnTheDesktop, AnActiveWindowGetsNoNoticeAndStopLetsGo) {
  Peer peer({"--logind", "--notifications"});
  SetForegroundWindow(dialog->m_hWnd);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == dialog->m_hWnd; }));
  runBatch();
  ASSERT_TRUE(peer.waitFor("logind released"));
  Pump(300ms);
  EXPECT_EQ(peer.calls(), (std::vector<std::string>{
                              "logind Inhibit what=sleep:idle who=vidmora why=Converting 3 Flv "
                              "files mode=block",
                              "logind released"}));

  click(1008);  // a second batch, stopped
  ASSERT_TRUE(peer.waitFor("logind Inhibit", 5s));
  click(1008);
  EXPECT_TRUE(peer.waitFor("logind released"));
  EXPECT_TRUE(PumpUntil([&] {
    return peer.lines("launcher ").back().find("visible=false") != std::string::npos;
  }));
  EXPECT_TRUE(peer.lines("notify ").empty());
}
}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  for (int index = 1; index < argc; ++index) {
    const std::string argument = argv[index];
    if (argument.rfind("--child=", 0) != 0) continue;
    AfxWinInit(argc, argv);
    const int result = RunChild(argument.substr(8));
    AfxWinTerm();
    return result;
  }
  // The buses, for this run and the peers and children it starts.
  TemporaryFolder folder;
  std::ofstream(folder.path() + "bus.conf") << kBusConfig;
  PrivateBus session(folder.path() + "bus.conf"), system(folder.path() + "bus.conf");
  if (session.address().empty() || system.address().empty()) {
    std::fprintf(stderr, "dbus-daemon did not start\n");
    return 1;
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", session.address().c_str(), 1);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", system.address().c_str(), 1);
  testing::InitGoogleTest(&argc, argv);
  AfxWinInit(argc, argv);
  const int result = RUN_ALL_TESTS();
  AfxWinTerm();
  return result;
}
