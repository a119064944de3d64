#pragma once
// Which network devices serve a key list that changed while the key screen
// was open. A switch stands for the call panels wired to it; when the screen
// is left the marks become the call panels' configuration-file state, so the
// panels get new files with the new keys.

#include <QString>
#include <QVariant>

#include <array>

class TFDM;

class KeyChangeFlags {
  public:
    static constexpr int kSize = 128;  // network numbers 0..127

    // All marks off; done each time the key screen is shown.
    void Clear();
    // Marks a network number; numbers outside 0..127 cannot be marked.
    void Set(int netNumber);
    bool IsSet(int netNumber) const;
    bool Any() const;
    // Marks the switch of the entrance idPod (the current object's switch
    // record of that entrance); nothing when it has none.
    void SetSwitchOfEntrance(TFDM& dm, const QVariant& idPod);
    // Marks every call panel of that switch's matrix column, those linked
    // with plus 3 (ringing only) too, as a key dump poured into the entrance
    // does.
    void SetPanelsOfEntrance(TFDM& dm, const QVariant& idPod);

    // Turns the marks into kf_pr of the current object's call panels: a
    // marked switch (number below sepDevice) marks the panels wired to it with
    // plus 1, then every marked panel number above sepDevice advances its
    // kf_pr. The marks stay set. False, with the reason, when a panel could
    // not be written; nothing is changed then.
    bool Apply(TFDM& dm, int sepDevice, QString* error = nullptr);

  private:
    enum PanelLinks { kCarryingKeys, kRingingToo };
    static int switchOfEntrance(TFDM& dm, const QVariant& idPod);
    void markPanelsOfSwitch(TFDM& dm, int netNumber, PanelLinks links);
    bool advancePanel(TFDM& dm, int netNumber, QString* error);

    std::array<bool, kSize> flags_{};
};
