#pragma once
// The access code that unlocks the protected values of the hardware dialogs
// of switches, call panels and the console (the global parameters have a
// code of their own).

#include <QString>

inline const QString kHardwareAccessCode = QStringLiteral("kQ39@.t");

// Protected values are editable exactly while the code field holds the code.
inline bool HardwareUnlocked(const QString& codeField) {
    return codeField == kHardwareAccessCode;
}
