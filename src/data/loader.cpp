// The data file loader (to be written).
#include "data/loader.h"

namespace orv {

void LoadDataFile(const std::string&, Workspace&, RichTextSink&, MessageBoxes&) {}

void LoadDataBytes(std::string_view, std::string_view, Workspace&, RichTextSink&, MessageBoxes&) {}

std::string_view TrimField(std::string_view field) { return field; }

}  // namespace orv
