#pragma once
// The console's hardware fields (k_po): link timeouts, level thresholds,
// command timeouts, the separator character's code and a reserve bit. The
// timeouts and thresholds are protected by the hardware access code; the
// others may be saved without it.

#include "devices/DeviceChange.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

// The link timeouts are 16-bit fields of the console's file.
inline constexpr int kMaxLinkTimeout = 65535;
inline constexpr int kDefaultSeparatorCode = 45;

struct ConsoleHardware {
    int busy = 31;
    int blato = 152;
    int npce = 915;
    int adccl = 25;
    int adccm = 110;
    int adcch = 200;
    int adchl = 32;
    int adchm = 64;
    int adchh = 150;
    int cbto = 120;
    int exec = 10;
    int frmc = kDefaultSeparatorCode;
    bool lrez = false;
    bool operator==(const ConsoleHardware&) const = default;
};

// The separator glyphs in the order of the dialog's pictures, then the label
// "к": the character code each one stands for.
const QList<int>& SeparatorGlyphCodes();
// The glyph of a code, -1 when no glyph stands for it.
int GlyphOfCode(int code);
// The separator code of a stored value: a value that is not a number is the
// default separator.
int SeparatorCode(const QVariant& stored);

// False when the object has no console row (with *found false) or the read fails.
bool ReadConsoleHardware(QSqlDatabase db, qint64 idNet, ConsoleHardware* hw, bool* found,
                         QString* error);

using ConsoleHardwareWrite = DeviceWrite;

// WriteHardwareFields: every hardware field into the object's console row,
// without comparing; nothing when the object has no console row.
ConsoleHardwareWrite WriteHardwareFields(QSqlDatabase db, qint64 idNet, const ConsoleHardware& hw);
// The save without the access code: only exec, cbto, lrez and frmc, and only
// when one of them differs.
ConsoleHardwareWrite SaveUnprotectedHardware(QSqlDatabase db, qint64 idNet,
                                             const ConsoleHardware& hw);
