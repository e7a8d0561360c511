// The paragraphs for the paper as JSON and as files of --out.
#include "cli/paper_output.h"

#include "cli/encoding.h"
#include "cli/output_stream.h"
#include "words/paper_text.h"

namespace orv::cli {

void WritePaperJson(JsonWriter& json, const Workspace& ws) {
  const PaperText text = BuildPaperText(ws.PaperInput());
  json.BeginObject();
  json.Key("en");
  json.Utf8String(PaperDocument(text, PaperLanguage::English));
  json.Key("ja");
  json.Utf8String(PaperDocument(text, PaperLanguage::Japanese));
  json.EndObject();
}

std::string WritePaperFiles(const Workspace& ws, const std::string& dir) {
  const PaperText text = BuildPaperText(ws.PaperInput());
  // Text files show a name's control characters as ^X, as every other .txt of --out does, so
  // that no escape sequence of a data file acts on the terminal that shows the file; the JSON
  // escapes them, and the CSV files keep names whole, as a spreadsheet program reads them.
  std::string error = WriteOutFile(dir, "paper-en.txt", ShownControls(PaperDocument(text, PaperLanguage::English)));
  if (error.empty()) error = WriteOutFile(dir, "paper-ja.txt", ShownControls(PaperDocument(text, PaperLanguage::Japanese)));
  // The trace is UTF-8 already: the byte-order mark alone, for the spreadsheet programs.
  if (error.empty()) error = WriteOutFile(dir, "paper-trace.csv", "\xEF\xBB\xBF" + PaperTraceCsv(text));
  return error;
}

}  // namespace orv::cli
