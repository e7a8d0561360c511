// An editable text control that receives one pairwise comparison table.
//
// Command takes the edit commands by exact text: "CLEAR" (focus, text emptied), "CUT",
// "COPY", "PASTE" and "ALLSELECT"; any other text does nothing. Append replaces the current
// selection with the text, so after "CLEAR" successive appends build the table line by line.
// CaretToStart gives the control the focus with the empty selection at 0. Replace leaves the
// control as "CLEAR", Append of the whole text and CaretToStart do; a control may get there by
// a shorter way, such as leaving a text it already holds.
#pragma once

#include <string_view>

namespace orv {

class ResultTextSink {
 public:
  virtual ~ResultTextSink() = default;
  virtual void Command(std::string_view command) = 0;
  virtual void Append(std::string_view text) = 0;
  virtual void CaretToStart() = 0;
  virtual void Replace(std::string_view text) {
    Command("CLEAR");
    Append(text);
    CaretToStart();
  }
};

inline void ResultClear(ResultTextSink& sink) { sink.Command("CLEAR"); }
inline void ResultAppend(ResultTextSink& sink, std::string_view text) { sink.Append(text); }

}  // namespace orv
