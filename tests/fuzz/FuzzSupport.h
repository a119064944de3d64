#pragma once
// What every fuzz target needs: a dialog service that answers at once and
// quietly, and a check that stops the run at a broken promise.

#include "platform/Dialogs.h"

#include <cstdlib>

namespace fuzz {

class SilentDialogs : public DialogBackend {
  public:
    DlgAnswer Message(const QString&, const QString&, DlgButtons, DlgIcon) override {
        return DlgAnswer::Ok;
    }
    QString OpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseFolder(const QString&, const QString&) override { return {}; }
};

// Installs the silent dialogs once; cheap to call for every input.
inline void SilenceDialogs() {
    static SilentDialogs silent;
    if (Dialogs::Backend() != &silent) Dialogs::SetBackend(&silent);
}

inline void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace fuzz
