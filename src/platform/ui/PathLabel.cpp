#include "platform/ui/PathLabel.h"

PathLabel::PathLabel(QWidget* parent) : ElidedLabel(parent, Qt::ElideMiddle) {
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}
