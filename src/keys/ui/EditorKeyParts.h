#pragma once
// The key parts of the configuration-file editor, built into it: the panel
// "Сохранение ключей" beside the call panel's key grids, the dump tabs "БЭКУ"
// and "Mirel" with their shared entrance lists, and the popup menu of the
// five key grids. They work on the editor's key grids and service values.

#include "config/ui/EditorKeyPlace.h"
#include "keys/ui/EditorKeyControls.h"

#include <QObject>

class DumpEntranceLists;
class TFrRedact;

class EditorKeyParts : public QObject, public EditorKeyPlace {
  public:
    explicit EditorKeyParts(TFrRedact& editor);

    // The editor's maker of its key parts.
    static EditorKeyPlace* Make(TFrRedact& editor) { return new EditorKeyParts(editor); }

    void SetDatabaseFolder(const QString& folder) override;
    void PrepareFrame(std::optional<qint64> idNet) override;
    void FillEntranceLists() override;
    void ForgetFoundPanel() override;
    void ShowServedEntrances(int served) override;

  private:
    TFrRedact& editor_;
    DumpEntranceLists* entranceLists_ = nullptr;
};

// The editor's controls the key parts read and write.
EditorKeyControls EditorKeyControlsOf(TFrRedact& editor);
