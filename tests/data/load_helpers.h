// Loads bytes into a fresh workspace and keeps everything the load left behind.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "session/analysis.h"
#include "platform/recording.h"

namespace orv::test {

struct Loaded {
  Workspace ws;
  RecordingRichText report;
  RecordingMessageBoxes boxes;

  // The report between the raw data heading and the END line: the file's lines with notes.
  std::string Body() const {
    const std::string text = report.Text(), head = "--- Raw data --- \t\r\n\r\n";
    const std::size_t from = text.find(head) + head.size();
    return text.substr(from, text.find(" ---.--- END") - from);
  }
};

inline std::unique_ptr<Loaded> Load(std::string_view bytes, std::unique_ptr<Loaded> into = nullptr) {
  if (!into) into = std::make_unique<Loaded>();
  LoadDataBytes("case.csv", bytes, into->ws, into->report, into->boxes);
  return into;
}

}  // namespace orv::test
