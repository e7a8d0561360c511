// The data file loader: reads a file of cases, checks every row, counts the accepted rows
// into the case tables and writes the raw data report as it goes.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "workspace/workspace.h"
#include "platform/message_boxes.h"
#include "platform/rich_text_sink.h"

namespace orv {

// The largest data file a load reads, 2 GiB: far beyond any case series, and small enough
// that no count or position of a load can overflow. An input that never ends (a device, a
// pipe) stops here instead of filling the memory.
inline constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{1} << 31;

enum class FileRead { Read, Unreadable, TooLarge };

struct DataFileBytes {
  FileRead status = FileRead::Read;
  std::string bytes;  // empty unless status is Read
};

// Reads the whole file in one pass, so that a pipe or a device works as well as a file.
// More than maxBytes is refused; a file whose size is known is refused before it is read.
DataFileBytes ReadDataFile(const std::string& path, std::uint64_t maxBytes = kMaxDataFileBytes);
DataFileBytes ReadDataStream(std::istream& in, std::uint64_t maxBytes = kMaxDataFileBytes);

// Rebuilds every case table of the workspace from the file, resets the X range to five
// years, sets the shown flags (groups of 8 or more rows) and the view sizes, and leaves the
// raw data report in the sink. A file that cannot be read reads as empty; so does a file
// above maxBytes, after a message box that says so. Bad rows never stop the load. It does
// not compute the survival tables; see LoadAndAnalyse. The report prints shownPath when
// given: the path in the program's code page where the platform's own path bytes are in
// another (UTF-8 on Linux).
FileRead LoadDataFile(const std::string& path, Workspace& ws, RichTextSink& report, MessageBoxes& boxes,
                      std::string_view shownPath = {}, std::uint64_t maxBytes = kMaxDataFileBytes);

// The message box text of a file above maxBytes.
std::string TooLargeText(std::uint64_t maxBytes);

// The same for bytes already in memory; the path is only printed in the report.
void LoadDataBytes(std::string_view path, std::string_view bytes, Workspace& ws, RichTextSink& report,
                   MessageBoxes& boxes);

// Removes half-width blanks, full-width blanks and double quotes from both ends.
std::string_view TrimField(std::string_view field);

}  // namespace orv
