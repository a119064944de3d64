#pragma once
// The system clipboard's test double: installs itself for its lifetime and
// holds the text in memory, so tests never touch the desktop's clipboard.

#include "platform/TextClipboard.h"

class FakeClipboard : public TextClipboard {
  public:
    FakeClipboard() { previous_ = Clipboard::SetBackend(this); }
    ~FakeClipboard() override { Clipboard::SetBackend(previous_); }
    FakeClipboard(const FakeClipboard&) = delete;
    FakeClipboard& operator=(const FakeClipboard&) = delete;

    QString Text() const override { return text_; }
    void SetText(const QString& text) override { text_ = text; }

  private:
    TextClipboard* previous_ = nullptr;
    QString text_;
};
