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

// The main dialog as the probe and the commands see it: both lists in one vector (a row is
// visible once probed), controls, message boxes, the two file dialogs and a message queue
// that the notifier's threads post to and drainMessages delivers through `dispatch`.
class FakeMainDialog : public FileListView {
 public:
  struct Row {
    std::string path, seconds, durationText, status;
    bool visible = false;
    bool selected = false;
  };
  std::vector<Row> rows;
  std::vector<std::string> messages;
  std::vector<std::string> captions;  // caption, then " (i)" with the information icon
  std::vector<std::string> chosenFiles;
  std::string chosenFolder, folderBox, startCaption;
  std::function<void(WPARAM wParam, LPARAM lParam)> dispatch;

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
  std::vector<std::string> visiblePaths() {
    std::vector<std::string> paths;
    for (int i = 0; i < visibleRowCount(); ++i) paths.push_back(rows[i].path);
    return paths;
  }

  int visibleRowCount() override {
    int n = 0;
    while (n < hiddenRowCount() && rows[n].visible) ++n;
    return n;
  }
  int hiddenRowCount() override { return static_cast<int>(rows.size()); }
  std::string sourcePath(int row) override { return rows.at(row).path; }
  std::string durationText(int row) override { return rows.at(row).seconds; }
  void setDurationText(int row, const std::string& s) override { rows.at(row).seconds = s; }
  void insertVisibleRow(int row, const std::string& path, const std::string& duration,
                        const std::string& status) override {
    EXPECT_EQ(row, visibleRowCount());
    Row& r = rows.at(row);
    EXPECT_EQ(r.path, path);
    r.durationText = duration;
    r.status = status;
    r.visible = true;
  }
  void setStatus(int row, const std::string& status) override { rows.at(row).status = status; }
  void deleteHiddenRow(int row) override {
    ASSERT_LT(row, hiddenRowCount());
    rows.erase(rows.begin() + row);
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
  std::string controlText(int id) override { return id == 1043 ? folderBox : startCaption; }
  void setControlText(int id, const std::string& text) override {
    (id == 1043 ? folderBox : startCaption) = text;
  }
  void enableControl(int, bool) override {}
  void setProgressRange(std::int32_t) override {}
  void setProgressPosition(std::int32_t) override {}
  void appendPendingRow(const std::string& path) override { rows.push_back(Row{path, "", "", ""}); }
  int firstSelectedRow() override {
    for (int i = 0; i < visibleRowCount(); ++i)
      if (rows[i].selected) return i;
    return -1;
  }
  void deleteRow(int row) override { rows.erase(rows.begin() + row); }
  void deleteAllRows() override { rows.clear(); }
  bool chooseSourceFiles(std::vector<std::string>& paths) override {
    paths = chosenFiles;
    return !paths.empty();
  }
  bool chooseFolder(std::string& folder) override {
    folder = chosenFolder;
    return !folder.empty();
  }

 private:
  std::mutex mutex;
  std::deque<std::pair<WPARAM, LPARAM>> queue;
};
