// Message boxes owned by the main window: one OK button, a text, a caption and an icon.
// Show returns when the user has closed the box. The texts are Shift-JIS bytes.
#pragma once

#include <string_view>

namespace orv {

enum class BoxIcon { None, Warning, Error, Information };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(std::string_view text, std::string_view caption, BoxIcon icon) = 0;
};

}  // namespace orv
