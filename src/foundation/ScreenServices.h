#pragma once
// What the main window needs of screens that other parts of the program own:
// the network settings form and the keys screen. The main window reads and
// restores their settings through these narrow interfaces and stops them at
// exit; until those screens exist, placeholders keep the values.

#include <QString>

// Values of the network settings form kept in the sections Net and Log,
// with the form's defaults.
struct NetFormSettings {
    int cr = 3;                       // read count
    QString cm = QStringLiteral("0");  // COM port text: the adapter's port path, "0" none
    int wn = 100;                     // wait value, ms
    bool lc = true;                   // automatic port detection
    QString lg;                       // packet log file name; blank: the default file
};

class NetSettingsService {
  public:
    virtual ~NetSettingsService() = default;
    virtual NetFormSettings Settings() const = 0;
    // Stops the restart timer and drops the asynchronous-read timer.
    virtual void StopTimersForExit() = 0;
    // True while the network devices screen's stop button is enabled.
    virtual bool NetworkRunning() const = 0;
    // Sends the adapter its close command and closes the port; false when
    // sending failed. May throw.
    virtual bool CloseNetPort(bool showAnswer) = 0;
    // The database folder the network form works with.
    virtual QString DatabaseFolder() const = 0;
    // Takes a new database folder and forgets the devices it discovered.
    virtual void ChangeDatabaseFolder(const QString& folder) = 0;
};

// Values of the keys screen kept in the section Key.
struct KeyScreenSettings {
    int an = 4;  // spin edit AN
    int rb = 1;  // key group: 1 apartment, 2 entrance, 3 RBTer, 4 gate; 0 none selected
    bool am = true;
    bool al = false;
    bool au = true;
    bool bp = false;
    bool ai = true;
};

enum class KeyGroup { None = 0, Apartment = 1, Entrance = 2, Ter = 3, Gate = 4 };

// The key group a saved rb selects: gate keys only when the object has gates.
KeyGroup KeyGroupFromSaved(int rb, bool objectHasGates);

class KeysScreenService {
  public:
    virtual ~KeysScreenService() = default;
    virtual KeyScreenSettings Settings() const = 0;
    virtual void ApplySettings(const KeyScreenSettings& s, bool objectHasGates) = 0;
    // Stops the 1-Wire key poll and closes the card reader's port.
    virtual void Btn1WireOffClick() = 0;
    // Applies the change marks of the keys screen, as leaving it does; the
    // main window calls it when the program closes on that screen.
    virtual void FrameExit() = 0;
};

// Keeps the network settings until the real form exists: read from the
// settings file when made, handed back unchanged at exit.
class PlaceholderNetSettings : public NetSettingsService {
  public:
    explicit PlaceholderNetSettings(const NetFormSettings& s = {}) : settings_(s) {}
    NetFormSettings Settings() const override { return settings_; }
    void StopTimersForExit() override {}
    bool NetworkRunning() const override { return false; }
    bool CloseNetPort(bool) override { return true; }
    QString DatabaseFolder() const override { return folder_; }
    void ChangeDatabaseFolder(const QString& folder) override { folder_ = folder; }

  private:
    NetFormSettings settings_;
    QString folder_;
};

class PlaceholderKeysScreen : public KeysScreenService {
  public:
    KeyScreenSettings Settings() const override { return settings_; }
    void ApplySettings(const KeyScreenSettings& s, bool objectHasGates) override;
    void Btn1WireOffClick() override { ++pollStops_; }
    void FrameExit() override {}
    int PollStops() const { return pollStops_; }

  private:
    KeyScreenSettings settings_;
    int pollStops_ = 0;
};

// The network settings service in use: the real form installs itself, until
// then a placeholder with default values answers.
NetSettingsService& NetSettings();
void InstallNetSettings(NetSettingsService* service);
