#pragma once
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/FileListCommands.h"

// The main dialog as the probe and the commands see it: its two lists, kept apart as the
// dialog keeps them (so that code which lets them fall out of step is caught at once),
// the folder box and Start button, message boxes, the two file dialogs and a message queue
// that the notifier's threads post to and drainMessages delivers through `dispatch`.
class FakeMainDialog : public FileListView {
 public:
  struct VisibleRow {
    std::string path, durationText, status;
    bool selected = false;
    std::string statusTip{};
  };
  struct HiddenRow {
    std::string path, seconds;
  };
  std::vector<VisibleRow> visible;
  std::vector<HiddenRow> hidden;
  std::vector<std::string> messages;
  std::vector<std::string> captions;  // caption, then " (i)" with the information icon
  std::vector<std::string> chosenFiles;
  std::string chosenFolder, folderBox;
  std::function<void(WPARAM wParam, LPARAM lParam)> dispatch;

  ~FakeMainDialog() override { checkInStep(); }

  EncoderNotifier::Post poster() {
    return [this](UINT, WPARAM wParam, LPARAM lParam) {
      std::lock_guard lock(mutex);
      queue.push_back({wParam, lParam});
    };
  }
  // Delivers posted messages until every row is probed or a few seconds passed.
  void runUntilProbed() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (visibleRowCount() < hiddenRowCount() && std::chrono::steady_clock::now() < until) {
      drainMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  // One field of every visible row, in order.
  std::vector<std::string> column(std::string VisibleRow::*field) const {
    std::vector<std::string> values;
    for (const VisibleRow& row : visible) values.push_back(row.*field);
    return values;
  }
  std::vector<std::string> visiblePaths() const { return column(&VisibleRow::path); }
  std::vector<std::string> statuses() const { return column(&VisibleRow::status); }
  // A visible row of the source with its probed seconds, as the probe would have made it.
  void addListedRow(const std::string& path, const std::string& seconds, bool selected = false) {
    hidden.insert(hidden.begin() + visibleRowCount(), HiddenRow{path, seconds});
    visible.push_back(VisibleRow{path, "", "Ready", selected});
  }

  int visibleRowCount() override { return static_cast<int>(visible.size()); }
  int hiddenRowCount() override { return static_cast<int>(hidden.size()); }
  std::string sourcePath(int row) override { return hidden.at(row).path; }
  std::string durationText(int row) override { return hidden.at(row).seconds; }
  void setDurationText(int row, const std::string& s) override { hidden.at(row).seconds = s; }
  void insertVisibleRow(int row, const std::string& path, const std::string& duration,
                        const std::string& status) override {
    ASSERT_LE(row, visibleRowCount());
    visible.insert(visible.begin() + row, VisibleRow{path, duration, status});
    checkInStep();
  }
  void setStatus(int row, const std::string& status) override { visible.at(row).status = status; }
  void setStatusTip(int row, const std::string& tip) override { visible.at(row).statusTip = tip; }
  void deleteHiddenRow(int row) override {
    ASSERT_LT(row, hiddenRowCount());
    hidden.erase(hidden.begin() + row);
    checkInStep();
  }
  void showMessage(const std::string& text, const std::string& caption, bool icon) override {
    messages.push_back(text);
    captions.push_back(caption + (icon ? " (i)" : ""));
  }
  void drainMessages() override {
    for (;;) {
      std::pair<WPARAM, LPARAM> message;
      {
        std::lock_guard lock(mutex);
        if (queue.empty()) return;
        message = queue.front();
        queue.pop_front();
      }
      if (dispatch) dispatch(message.first, message.second);
    }
  }
  std::string outputFolderText() override { return folderBox; }
  void setOutputFolderText(const std::string& folder) override { folderBox = folder; }
  void enableBatchControls(bool) override {}
  void setStartCaption(const std::string&) override {}
  void setProgressRange(std::int32_t) override {}
  void setProgressPosition(std::int32_t) override {}
  void appendPendingRow(const std::string& path) override { hidden.push_back(HiddenRow{path, ""}); }
  int firstSelectedRow() override {
    for (int i = 0; i < visibleRowCount(); ++i)
      if (visible[i].selected) return i;
    return -1;
  }
  void deleteRow(int row) override {
    ASSERT_LT(row, visibleRowCount());
    visible.erase(visible.begin() + row);
    hidden.erase(hidden.begin() + row);
    checkInStep();
  }
  void deleteAllRows() override {
    visible.clear();
    hidden.clear();
  }
  bool chooseSourceFiles(std::vector<std::string>& paths) override {
    paths = chosenFiles;
    return !paths.empty();
  }
  bool chooseFolder(std::string& folder) override {
    folder = chosenFolder;
    return !folder.empty();
  }

 private:
  // Every visible row stands for the hidden row at its index.
  void checkInStep() const {
    ASSERT_LE(visible.size(), hidden.size()) << "more visible rows than hidden ones";
    for (std::size_t i = 0; i < visible.size(); ++i)
      EXPECT_EQ(visible[i].path, hidden[i].path) << "the lists are out of step at row " << i;
  }

  std::mutex mutex;
  std::deque<std::pair<WPARAM, LPARAM>> queue;
};
