// A rich-text control that receives the raw data report.
//
// It models an edit control with a caret: text is inserted at the caret, in the colour in
// force, and the caret then stands behind it. Clearing empties the whole text and puts the
// caret at 0; CaretToStart moves the caret before the first byte. The colour stays in force
// until it is changed, also across loads. Texts are Shift-JIS bytes and are never altered.
// Flush marks the end of a batch of writes: a control may defer showing what it received
// until then, and must then show exactly the text and colours that were written.
#pragma once

#include <string_view>

#include "platform/colour.h"

namespace orv {

class RichTextSink {
 public:
  virtual ~RichTextSink() = default;
  virtual void Clear() = 0;
  virtual void SetColour(Rgb colour) = 0;
  virtual void SetHeight(int twips) = 0;
  virtual void Insert(std::string_view bytes) = 0;
  virtual void CaretToStart() = 0;
  virtual void Flush() {}
};

}  // namespace orv
