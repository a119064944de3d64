#include "keys/ui/EditorKeyParts.h"

#include "config/ui/EditorGrid.h"
#include "config/ui/EditorKeysTab.h"
#include "config/ui/TFrRedact.h"
#include "keys/ui/BekuDumpTab.h"
#include "keys/ui/DumpEntranceLists.h"
#include "keys/ui/KeyGridMenu.h"
#include "keys/ui/KeySavePanel.h"
#include "keys/ui/MirelDumpTab.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

EditorKeyControls EditorKeyControlsOf(TFrRedact& editor) {
    EditorKeysTab* tab = editor.TabCBV2;
    EditorKeyControls controls;
    controls.Keys5 = tab->Keys5;
    controls.Keys6 = tab->Keys6;
    controls.Keys7 = tab->Keys7;
    controls.KolSl5 = tab->KolSl5;
    controls.KolSl6 = tab->KolSl6;
    controls.KolSl7 = tab->KolSl7;
    controls.V_id_net = editor.V_id_net;
    controls.V_id_nom = editor.V_id_nom;
    controls.V_id_bv = editor.V_id_bv;
    controls.V_type_bv = editor.V_type_bv;
    controls.V_n_net = editor.V_n_net;
    controls.Ch_id_net = editor.Ch_id_net;
    controls.Ch_id_nom = editor.Ch_id_nom;
    controls.Ch_id_bv = editor.Ch_id_bv;
    controls.Ch_type_bv = editor.Ch_type_bv;
    controls.Ch_n_net = editor.Ch_n_net;
    controls.Mpd = editor.Mpd;
    controls.Mpp = editor.Mpp;
    // The key tab keeps what its grids do not show (quotas, reserve byte);
    // the key parts change the lists through it so that a save keeps them.
    controls.readSections = [tab](EditorKeyLists& lists) {
        tab->Read(lists.keys5, lists.keys6, lists.keys7);
    };
    controls.showSections = [tab](const EditorKeyLists& lists) {
        tab->Show(lists.keys5, lists.keys6, lists.keys7);
    };
    return controls;
}

EditorKeyParts::EditorKeyParts(TFrRedact& editor) : QObject(&editor), editor_(editor) {
    const EditorKeyControls controls = EditorKeyControlsOf(editor);
    EditorKeysTab* keysTab = editor.TabCBV2;
    editor.KeySave = new KeySavePanel(controls, keysTab);
    if (auto* grid = qobject_cast<QGridLayout*>(keysTab->layout()))
        grid->addWidget(editor.KeySave, 0, 3, 3, 1);
    editor.BitKeys = editor.KeySave->BitKeys;
    editor.L_Found = editor.KeySave->L_Found;
    editor.L_Keys = editor.KeySave->L_Keys;

    editor.TabBQ = new BekuDumpTab(editor.PageFile);
    editor.TabCP = new MirelDumpTab(editor.PageFile);
    editor.AddPage(editor.TabBQ, QStringLiteral("БЭКУ"));
    editor.AddPage(editor.TabCP, QStringLiteral("Mirel"));
    editor.ListHdev = editor.TabBQ->ListHdev;
    editor.ListKvKey = editor.TabCP->ListKvKey;
    editor.BitBQkeys = editor.TabBQ->BitBQkeys;
    editor.KolKey = editor.TabBQ->KolKey;
    entranceLists_ = new DumpEntranceLists(editor.ListHdev, editor.ListKvKey, &editor);
    editor.TabBQ->SetEntranceLists(entranceLists_);
    editor.TabCP->SetEntranceLists(entranceLists_);
    editor.TabCP->SetWrittenFolderChoice([&editor] { return editor.RBarm->isChecked(); });

    editor.KeyGrids = new KeyGridMenu(controls, editor.TabBQ->KeysBQ, editor.TabCP->KeysCP,
                                      editor.L_Keys, &editor);
}

void EditorKeyParts::SetDatabaseFolder(const QString& folder) {
    editor_.TabBQ->SetDatabaseFolder(folder);
    editor_.TabCP->SetDatabaseFolder(folder);
}

void EditorKeyParts::PrepareFrame(std::optional<qint64> idNet) {
    // The lists are filled again only for another object than they show.
    const qint64 listed = editor_.ListHdev->property("Tag").toLongLong();
    if (idNet && listed > 0 && listed != *idNet) {
        FillEntranceLists();
        editor_.ListHdev->setProperty("Tag", *idNet);
    }
    editor_.TabBQ->ListHdevClick();
}

void EditorKeyParts::FillEntranceLists() {
    entranceLists_->Fill();
}

void EditorKeyParts::ForgetFoundPanel() {
    editor_.BitKeys->setEnabled(false);
    editor_.L_Found->clear();
    editor_.L_Keys->clear();
}

void EditorKeyParts::ShowServedEntrances(int served) {
    editor_.KeySave->ShowServedEntrances(served);
}
