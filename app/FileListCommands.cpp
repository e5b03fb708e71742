#include "app/FileListCommands.h"

#include <utility>

#include "engine/SourceFolder.h"
#include "platform/Files.h"
#include "platform/Paths.h"

FileListCommands::FileListCommands(FileListView& listView, ConversionSettings& settings,
                                   const EncoderPaths& paths, ConversionLog& log,
                                   EncoderNotifier::Post post,
                                   RunnerStopPauses pauses, std::chrono::milliseconds stopWait)
    : view(listView),
      runner(std::move(post), pauses),
      probe(listView, listView, runner, paths.encoderSystemPath,
            [this] { view.drainMessages(); }, [this] { return batch.converting(); }),
      batch(listView, listView, listView, runner, settings, paths.encoderSystemPath,
            paths.companionSystemPath, log, stopWait) {
  // Sources added while a batch ran are probed once it is over.
  batch.setOnBatchEnded([this] { probe.ProbeNextSource(); });
}

void FileListCommands::add() {
  std::vector<std::string> paths;
  if (view.chooseSourceFiles(paths)) addFiles(paths);
}

void FileListCommands::addFiles(const std::vector<std::string>& paths) {
  if (batch.converting()) return;
  for (const std::string& path : paths) {
    const std::vector<std::string> found =
        IsExistingFolder(path) ? FlvFilesInFolder(path) : std::vector<std::string>();
    // A folder that holds none is refused by the probe, as any path that is not a video.
    if (found.empty()) view.appendPendingRow(path);
    for (const std::string& file : found) view.appendPendingRow(file);
  }
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
  if (view.chooseFolder(folder)) view.setOutputFolderText(WithTrailingSlash(folder));
}

void FileListCommands::startOrStop() { batch.toggle(); }

LRESULT FileListCommands::onEncoderNotify(WPARAM wParam, LPARAM lParam) {
  const std::uint32_t job = encoderNotifyJob(wParam);
  switch (encoderNotifyCode(wParam)) {
    case ENC_TIME:
      if (encoderNotifyRun(wParam) == EncoderRun::Conversion) batch.onTime(job, lParam);
      break;
    case ENC_ENDED:
      if (encoderNotifyRun(wParam) == EncoderRun::Probe) probe.onProbeEnded(job, lParam);
      else batch.onRowEnded(job, lParam);
      break;
    default:
      break;
  }
  return 1;
}
