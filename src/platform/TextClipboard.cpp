#include "platform/TextClipboard.h"

namespace {
TextClipboard*& backendSlot() {
    static TextClipboard* backend = nullptr;
    return backend;
}
}  // namespace

namespace Clipboard {

TextClipboard* SetBackend(TextClipboard* backend) {
    TextClipboard* previous = backendSlot();
    backendSlot() = backend;
    return previous;
}

QString Text() {
    return backendSlot() ? backendSlot()->Text() : QString();
}

void SetText(const QString& text) {
    if (backendSlot()) backendSlot()->SetText(text);
}

}  // namespace Clipboard
