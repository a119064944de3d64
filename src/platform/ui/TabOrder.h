#pragma once
// The Tab order of the program's windows follows their layouts, so Tab reads
// a window as the eye does, whatever order its controls were made in: each
// layout from top to bottom and from left to right (a grid row by row, a form
// label before field), a group's controls together before the next group's;
// the tab bar of a tab widget before its pages. Controls placed by hand,
// outside a layout, follow the laid-out ones of their parent by position.

#include <QObject>

class QWidget;

namespace TabOrder {

// Chains the controls of root (root first, when it takes the focus itself)
// in that order. A control that takes no focus now is left where it is.
void FollowLayouts(QWidget* root);

// Installed once on the application. Each window of the program's own
// follows its layouts when it shows; Qt's own windows (the file picker, the
// message boxes) keep the order Qt gives them. Tab into a group of radio
// buttons lands on the checked one, where the arrows then choose.
class Keeper : public QObject {
  public:
    explicit Keeper(QObject* parent) : QObject(parent) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace TabOrder
