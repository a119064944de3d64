#pragma once
// The place the configuration-file editor keeps for its key parts: the panel
// "Сохранение ключей" beside the key grids, the dump tabs "БЭКУ" and "Mirel"
// and the popup menu of the key grids. Those parts read keys out of a
// call-panel file or a key dump and enter them into the database, which is
// the keys' work, so the keys build them into the editor (the editor's public
// controls and pages are theirs to use) and the editor tells them what
// happens on its side through this interface.

#include <QString>

#include <optional>

class EditorKeyPlace {
  public:
    virtual ~EditorKeyPlace() = default;

    // The screen opens on the database folder.
    virtual void SetDatabaseFolder(const QString& folder) = 0;
    // The screen is prepared for the current object (none without one).
    virtual void PrepareFrame(std::optional<qint64> idNet) = 0;
    // The entrance lists of the dump tabs, from the current object.
    virtual void FillEntranceLists() = 0;
    // A file is being opened: what was found for the previous one goes.
    virtual void ForgetFoundPanel() = 0;
    // A call-panel file is shown: the entrances its mask serves.
    virtual void ShowServedEntrances(int served) = 0;
};
