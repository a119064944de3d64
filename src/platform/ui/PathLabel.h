#pragma once
// A label that shows a file or folder path. A deep path takes the room the
// window has and no more: what does not fit is left out in the middle
// ("/home/…/Fl_1/cbv02.bin"), and the whole path is its tool tip. text()
// keeps the whole path.

#include "platform/ui/ElidedLabel.h"

class PathLabel : public ElidedLabel {
  public:
    explicit PathLabel(QWidget* parent = nullptr);
};
