#include "platform/TextClipboard.h"

namespace {
TextClipboard*& clipboardSlot() {
    static TextClipboard* backend = nullptr;
    return backend;
}
}  // namespace

namespace Clipboard {

TextClipboard* SetBackend(TextClipboard* backend) {
    TextClipboard* previous = clipboardSlot();
    clipboardSlot() = backend;
    return previous;
}

QString Text() {
    return clipboardSlot() ? clipboardSlot()->Text() : QString();
}

void SetText(const QString& text) {
    if (clipboardSlot()) clipboardSlot()->SetText(text);
}

}  // namespace Clipboard
