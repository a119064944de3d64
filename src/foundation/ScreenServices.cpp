#include "foundation/ScreenServices.h"

KeyGroup KeyGroupFromSaved(int rb, bool objectHasGates) {
    switch (rb) {
        case 2:
            return KeyGroup::Entrance;
        case 3:
            return KeyGroup::Ter;
        case 4:
            return objectHasGates ? KeyGroup::Gate : KeyGroup::Apartment;
        default:
            return KeyGroup::Apartment;
    }
}

void PlaceholderKeysScreen::ApplySettings(const KeyScreenSettings& s, bool objectHasGates) {
    settings_ = s;
    settings_.rb = int(KeyGroupFromSaved(s.rb, objectHasGates));
}

namespace {
NetSettingsService*& installedNet() {
    static NetSettingsService* service = nullptr;
    return service;
}
}  // namespace

NetSettingsService& NetSettings() {
    static PlaceholderNetSettings fallback;
    return installedNet() ? *installedNet() : fallback;
}

void InstallNetSettings(NetSettingsService* service) {
    installedNet() = service;
}
