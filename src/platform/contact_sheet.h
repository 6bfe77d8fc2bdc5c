// Many frames in one picture, to see a whole run at a glance: each frame shrunk to a quarter of
// its size, in rows of five, in the order they came.
#pragma once

#include <vector>

#include "platform/surface565.h"

namespace tumu {

class ContactSheet {
 public:
  static constexpr int kShrink = 4;
  static constexpr int kColumns = 5;
  static constexpr int kGap = 4;
  // A run that waits thousands of times would make a picture nobody looks at; the sheet keeps
  // the first ones.
  static constexpr int kMaxFrames = 300;

  // Adds a frame (of any size); false when the sheet is full.
  bool Add(const Surface565& frame);
  int count() const { return static_cast<int>(thumbnails_.size()); }
  // The sheet; empty when no frame was added.
  Surface565 Compose() const;

 private:
  std::vector<Surface565> thumbnails_;
};

}  // namespace tumu
