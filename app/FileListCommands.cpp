#include "app/FileListCommands.h"

#include <utility>

#include "platform/Paths.h"

namespace {
constexpr int kOutputFolderBox = 1043;
}

FileListCommands::FileListCommands(FileListView& listView, ConversionSettings& settings,
                                   const EncoderPaths& paths, EncoderNotifier::Post post,
                                   RunnerStopPauses pauses, std::chrono::milliseconds stopWait)
    : view(listView),
      notifier(std::move(post), pauses),
      probe(listView, notifier, paths.encoderSystemPath),
      batch(listView, *this, settings, paths.encoderSystemPath, paths.companionSystemPath,
            stopWait) {
  // Sources added while a batch ran are probed once it is over.
  batch.setOnBatchEnded([this] { probe.ProbeNextSource(); });
}

void FileListCommands::add() {
  std::vector<std::string> paths;
  if (view.chooseSourceFiles(paths)) addFiles(paths);
}

void FileListCommands::addFiles(const std::vector<std::string>& paths) {
  if (batch.converting()) return;
  for (const std::string& path : paths) view.appendPendingRow(path);
  probe.ProbeNextSource();
}

void FileListCommands::remove() {
  for (int row = view.firstSelectedRow(); row >= 0; row = view.firstSelectedRow())
    view.deleteRow(row);
}

void FileListCommands::clear() {
  probe.cancel();
  view.deleteAllRows();
}

void FileListCommands::browse() {
  std::string folder;
  if (view.chooseFolder(folder)) view.setControlText(kOutputFolderBox, WithTrailingSlash(folder));
}

void FileListCommands::startOrStop() { batch.toggle(); }

LRESULT FileListCommands::onEncoderNotify(WPARAM wParam, LPARAM lParam) {
  const std::uint32_t job = encoderNotifyJob(wParam);
  switch (encoderNotifyCode(wParam)) {
    case ENC_TIME:
      batch.onTime(job, lParam);
      break;
    case ENC_ENDED:
      if (notifier.probeMode) probe.onProbeEnded(job, lParam);
      else batch.onRowEnded(job, lParam);
      break;
    default:
      break;
  }
  return 1;
}

void FileListCommands::Stop() { notifier.Stop(); }

bool FileListCommands::StartConversion(const EncoderCommand& command) {
  notifier.probeMode = false;
  return notifier.Start(command, false);
}

std::uint32_t FileListCommands::jobNumber() const { return notifier.jobNumber(); }
