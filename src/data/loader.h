// The data file loader: reads a file of cases, checks every row, counts the accepted rows
// into the case tables and writes the raw data report as it goes.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "data/case_data.h"
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

// The case tables of the bytes of a data file: every row checked, the accepted rows counted
// with the given causes counted as censored, and the raw data report written into the sink,
// which the caller has cleared. Bad rows never stop the load. UTF-8 input is read through
// code page 932. The report prints shownPath: the path in the program's code page where the
// platform's own path bytes are in another (UTF-8 on Linux).
CaseData LoadCases(std::string_view shownPath, std::string_view bytes, const CauseFlags& censoredCauses,
                   RichTextSink& report, MessageBoxes& boxes);

// The message box text of a file above maxBytes.
std::string TooLargeText(std::uint64_t maxBytes);

// The note of a RowNote exactly as the raw data report writes it, with its leading TAB.
std::string_view RowNoteText(int note);
// The same note's words alone: without the TAB, the blanks and the "＊" mark around them.
std::string_view RowNoteWords(int note);

// Removes half-width blanks, full-width blanks and double quotes from both ends.
std::string_view TrimField(std::string_view field);

}  // namespace orv
