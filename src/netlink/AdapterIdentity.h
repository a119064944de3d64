#pragma once
// Writing a new USB identity (vendor and product id) into the adapter of the
// device network. It runs while the link is stopped, on a port of its own,
// and waits for the adapter's answer no longer than the port's read time-outs.

#include <QString>
#include <QStringList>

#include <optional>

class TComTimeouts;

struct UsbIdentity {
    int vid = 0;
    int pid = 0;
};

// Each text must be exactly 4 hexadecimal digits; empty otherwise.
std::optional<UsbIdentity> ParseUsbIdentity(const QString& vid, const QString& pid);

namespace AdapterIdentityTexts {
inline const QString kChanged = QStringLiteral("Изменены VID и PID");
inline const QString kNotChanged = QStringLiteral("VID и PID не изменены");
}  // namespace AdapterIdentityTexts

// Sends the identity to the adapter at portPath and logs whether the adapter
// confirmed it. Nothing is sent for an identity that is not two times 4 hex
// digits. Port failures are told to the operator. True when confirmed.
bool WriteAdapterUsbIdentity(const QString& portPath, const QString& vidText,
                             const QString& pidText, const TComTimeouts& timeouts,
                             QStringList& log);
