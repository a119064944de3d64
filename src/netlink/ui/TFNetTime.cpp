#include "netlink/ui/TFNetTime.h"

#include "foundation/SettingsFile.h"

TFNetTime* FNetTime = nullptr;

namespace {
NetFormSettings readSavedNetSettings() {
    IniFile ini;
    SettingsFile::Open(ini);
    return SettingsFile::ReadNet(ini);
}
}  // namespace

TFNetTime::TFNetTime(QWidget* parent) : QDialog(parent), settings_(readSavedNetSettings()) {
    setObjectName(QStringLiteral("FNetTime"));
    setWindowTitle(QStringLiteral("Настройки сети"));
    InstallNetSettings(&settings_);
}

TFNetTime::~TFNetTime() {
    if (&NetSettings() == &settings_) InstallNetSettings(nullptr);
}
