#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>

#include "platform/MessageQueue.h"
#include "platform/qt/WindowObject.h"
#include "platform/ProgressCtrl.h"
#include "tests/app/MainDialogHarness.h"
#include "tests/encoder/MediaFacts.h"

namespace {
const int kBatchControls[] = {1000, 1001, 1002, 1003, 1004, 1043, 1044};

class MainDialogConversion : public MainDialogTest {
 protected:
  void SetUp() override {
    shipEncoders();
    open();
    SetWindowTextA(item(1043), output.path());
  }
  void startAndWait() {
    click(1008);
    pumpUntil([&] { return !dialog->converting(); });
  }
  // Delete pressed on the file list.
  void pressDelete() { QTest::keyClick(FindWindowObject(item(1007))->widget, Qt::Key_Delete); }
  Strings enabledBatchControls() {
    Strings states;
    for (int id : kBatchControls) states.push_back(IsWindowEnabled(item(id)) ? "on" : "off");
    return states;
  }
};
}  // namespace

TEST_F(MainDialogConversion, AddedClipsAreListedInOrderAndConvertedToDone) {
  const std::string a = testClip("a.flv", 2), b = testClip("b.flv", 3), c = testClip("c.flv", 2);
  add({a, notAVideo(), b, testClip("blink.flv", 0.5), c});
  EXPECT_EQ(column(1007, 0), (Strings{a, b, c}));
  EXPECT_EQ(column(1007, 1), (Strings{"00:00:02", "00:00:03", "00:00:02"}));
  EXPECT_EQ(column(1007, 2), (Strings{"Ready", "Ready", "Ready"}));
  saveShot("main-listed");
  EXPECT_EQ(column(1014, 1), (Strings{"2", "3", "2"}));
  EXPECT_EQ(hook.messages,
            (Strings{failedToLoad(notAVideo()), failedToLoad(testClip("blink.flv", 0.5))}));
  hook.messages.clear();

  click(1008);
  EXPECT_TRUE(dialog->converting());
  EXPECT_EQ(GetWindowTextA(item(1008)), "&Stop");
  EXPECT_EQ(enabledBatchControls(), Strings(7, "off"));
  EXPECT_FALSE(drop({testClip("late.flv", 2)})) << "refused while Add is disabled";
  pumpUntil([&] { return column(1007, 2)[0] != "Ready"; });
  saveShot("main-converting");
  pumpUntil([&] { return !dialog->converting(); });

  EXPECT_EQ(column(1007, 2), (Strings{"Done", "Done", "Done"}));
  EXPECT_EQ(column(1014, 0), (Strings{a, b, c}));
  EXPECT_EQ(hook.messages, Strings{kAllConverted});
  EXPECT_EQ(GetWindowTextA(item(1008)), "S&tart");
  EXPECT_EQ(enabledBatchControls(), Strings(7, "on"));
  saveShot("main-done");
  const auto* bar = static_cast<const CProgressCtrl*>(CWndFromHandle(item(1009)));
  int lower = 0, upper = 0;
  bar->GetRange(lower, upper);
  EXPECT_EQ(upper, 7);
  for (const char* name : {"a.avi", "b.avi", "c.avi"}) {
    const encoder_test::MediaFacts facts = encoder_test::readMediaFacts(output.path() + name);
    EXPECT_TRUE(facts.opened) << name;
    EXPECT_EQ(facts.videoCodec, "msmpeg4v2") << name;
  }

  hook.messages.clear();
  startAndWait();
  EXPECT_EQ(column(1007, 2), (Strings{"Renamed", "Renamed", "Renamed"}));
  EXPECT_TRUE(std::filesystem::exists(output.path() + "b_1.avi"));
  EXPECT_TRUE(drop({testClip("late.flv", 2)})) << "taken again once the batch is over";
}

// A source gone between its probe and its conversion: the row reads "Failed", and the
// encoder's reason is its status's tooltip and in the log.
TEST_F(MainDialogConversion, AFailedRowSaysWhyInItsTooltipAndTheLog) {
  const std::string doomed = home.path() + "doomed.flv";
  std::filesystem::copy_file(testClip("a.flv", 2), doomed);
  add({doomed});
  std::filesystem::remove(doomed);
  startAndWait();
  ASSERT_EQ(column(1007, 2), Strings{"Failed"});
  const std::string reason = "error: cannot read " + doomed + ": No such file or directory";

  auto* list = static_cast<QTreeWidget*>(FindWindowObject(item(1007))->widget.data());
  const QRect row = list->visualItemRect(list->topLevelItem(0));
  const int statusX = list->header()->sectionViewportPosition(2) + list->header()->sectionSize(2) / 2;
  const QPoint status(statusX, row.center().y());
  QHelpEvent hover(QEvent::ToolTip, status, list->viewport()->mapToGlobal(status));
  QApplication::sendEvent(list->viewport(), &hover);
  EXPECT_EQ(QToolTip::text().toStdString(), reason);
  saveShot("main-failed-row");

  std::ifstream log(logFile());
  std::string line;
  ASSERT_TRUE(std::getline(log, line)) << "no log at " << logFile();
  EXPECT_TRUE(line.ends_with("\t" + doomed + "\t\"" + system.path() + "zandrio.dll\" -i \"" +
                             doomed + "\" -vcodec msmpeg4v2 -y \"" + output.path() +
                             "doomed.avi\"\texit status 1\t" + reason))
      << line;
}

// Add and Start clicked together: Start is handled while the probe step of Add lets waiting
// messages run. The batch it starts runs to its end, and the chain probes the new file after.
TEST_F(MainDialogConversion, AStartHandledWhileTheProbeChainDrainsIsNeverUndone) {
  const std::string a = testClip("a.flv", 2), b = testClip("b.flv", 3);
  add({a});
  hook.files = {b};
  PostMessage(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED),
              reinterpret_cast<LPARAM>(item(1000)));
  PostMessage(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(1008, BN_CLICKED),
              reinterpret_cast<LPARAM>(item(1008)));
  pumpUntil([&] { return !hook.messages.empty() && column(1007, 0).size() == 2; },
            std::chrono::seconds(20));
  EXPECT_EQ(hook.messages, Strings{kAllConverted});
  EXPECT_EQ(column(1007, 0), (Strings{a, b}));
  EXPECT_EQ(column(1007, 2), (Strings{"Done", "Ready"}));
  EXPECT_FALSE(dialog->converting());
  EXPECT_EQ(GetWindowTextA(item(1008)), "S&tart");
}

TEST_F(MainDialogConversion, ClosingIsRefusedByEveryPathWhileConverting) {
  add({testClip("long.flv", 40)});
  click(1008);
  ASSERT_TRUE(dialog->converting());
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  dialog->SendMessage(WM_CLOSE);
  static_cast<CListCtrl*>(CWndFromHandle(item(1007)))->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  pressDelete();  // as Remove, disabled
  PumpWaitingMessages();
  EXPECT_TRUE(isOpen());
  EXPECT_EQ(column(1007, 0).size(), 1u);
  EXPECT_EQ(hook.messages, Strings(3, "Warning: Please stop converting before close! (i)"));
  EXPECT_FALSE(std::filesystem::exists(optionFile()));

  click(1008);  // Stop
  EXPECT_FALSE(dialog->converting());
  EXPECT_EQ(GetWindowTextA(item(1008)), "S&tart");
  click(1004);
  EXPECT_FALSE(isOpen());
}

TEST_F(MainDialogConversion, RemoveDeletesTheSelectedRowsFromBothListsInStep) {
  Strings files;
  for (const char* name : {"r1.flv", "r2.flv", "r3.flv", "r4.flv", "r5.flv"})
    files.push_back(testClip(name, 1.2));
  add(files);
  ASSERT_EQ(column(1007, 0).size(), 5u);
  auto* visible = static_cast<CListCtrl*>(CWndFromHandle(item(1007)));
  visible->SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  visible->SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  click(1001);
  const Strings kept{files[0], files[2], files[4]};
  EXPECT_EQ(column(1007, 0), kept);
  EXPECT_EQ(column(1014, 0), kept);
  visible->SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  pressDelete();
  EXPECT_EQ(column(1007, 0), (Strings{files[0], files[4]}));
  EXPECT_EQ(column(1014, 0), (Strings{files[0], files[4]}));
  click(1002);
  EXPECT_TRUE(column(1007, 0).empty());
  EXPECT_TRUE(column(1014, 0).empty());
}

TEST_F(MainDialogConversion, BrowsePutsTheChosenFolderIntoTheBox) {
  hook.folder = "/srv/videos";
  click(1044);
  EXPECT_EQ(GetWindowTextA(item(1043)), "/srv/videos/");
}

TEST_F(MainDialogConversion, TheEncodersAreDeployedWhileTheDialogLivesAndRestoredAfter) {
  const std::string deployed = system.path() + "zandrio.dll";
  EXPECT_EQ(access(deployed.c_str(), X_OK), 0);
  const auto shipped = std::filesystem::file_size(program.path() + "zandrio.dll");
  EXPECT_EQ(std::filesystem::file_size(deployed), shipped);
  click(1004);
  dialog.reset();
  std::ifstream a(deployed, std::ios::binary), b(program.path() + "zandrio.dll", std::ios::binary);
  EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b)));
}
