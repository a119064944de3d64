#pragma once
// The desktop's clipboard behind the text clipboard interface.

#include "platform/TextClipboard.h"

class DesktopClipboard : public TextClipboard {
  public:
    QString Text() const override;
    void SetText(const QString& text) override;
};
