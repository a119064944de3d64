#pragma once
// The system clipboard as text, for the core units that exchange keys with
// other programs. The program installs the desktop's clipboard; without one
// nothing is kept, and tests install a fake.

#include <QString>

class TextClipboard {
  public:
    virtual ~TextClipboard() = default;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
};

namespace Clipboard {

// Installs the backend (not owned); nullptr removes it. Returns the previous one.
TextClipboard* SetBackend(TextClipboard* backend);
// The clipboard's text; empty without a backend.
QString Text();
// Puts text on the clipboard; dropped without a backend.
void SetText(const QString& text);

}  // namespace Clipboard
