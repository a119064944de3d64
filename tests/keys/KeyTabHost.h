#pragma once
// The configuration-file editor with its key parts, as the main window shows
// it: the call-panel key tab ("СБВ ключи": the three key grids with their
// slot counts and the panel "Сохранение ключей"), the tabs "БЭКУ" and
// "Mirel", the service values of the opened file, the popup menu of the key
// grids and the shared entrance lists. Files are opened as the operator opens
// them, built by the write screen's file builder from the database.

#include "config/CallPanelFile.h"
#include "config/ConfigRepository.h"
#include "config/ui/EditorGrid.h"
#include "config/ui/EditorKeysTab.h"
#include "config/ui/TFrRedact.h"
#include "keys/ui/BekuDumpTab.h"
#include "keys/ui/EditorKeyControls.h"
#include "keys/ui/EditorKeyParts.h"
#include "keys/ui/KeyGridMenu.h"
#include "keys/ui/KeySavePanel.h"
#include "keys/ui/MirelDumpTab.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <gtest/gtest.h>

class KeyTabHost : public QWidget {
  public:
    explicit KeyTabHost(const QString& dbFolder) {
        editor = new TFrRedact(this);
        editor->PrepareScreen(dbFolder);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(editor);
        editor->show();  // as the main window shows its current screen

        controls = EditorKeyControlsOf(*editor);
        pages = editor->PageFile;
        panel = editor->KeySave;
        beku = editor->TabBQ;
        mirel = editor->TabCP;
        menu = editor->KeyGrids;
    }

    // Writes the file the write screen makes for panel nNet of object idNet
    // (spare slots as it writes them by default); its path.
    QString WritePanelFile(QSqlDatabase db, qint64 idNet, int nNet) {
        ConfigRepository repository(db);
        std::optional<PanelFileInput> in;
        EXPECT_TRUE(repository.ReadPanelFileInput(idNet, nNet, in))
            << repository.LastError().toStdString();
        if (!in) return {};
        in->reserveSlots = true;
        const QString path = files_.filePath(QStringLiteral("cbv%1.bin").arg(nNet));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(BuildCallPanelFile(*in, QStringLiteral("f")).bytes);
        return path;
    }

    // Opens a call-panel file in the editor and shows its key tab.
    void Open(const QString& path) {
        editor->OpenConfigFile(path);
        EXPECT_TRUE(editor->SaveArmed()) << path.toStdString();
        ShowTab(editor->TabCBV2);
    }

    // Brings the page that holds tab to the front (some pages scroll their tab).
    void ShowTab(QWidget* tab) {
        for (int i = 0; i < pages->count(); ++i)
            if (pages->widget(i) == tab || pages->widget(i)->isAncestorOf(tab))
                pages->setCurrentIndex(i);
    }

    TFrRedact* editor = nullptr;
    EditorKeyControls controls;  // the editor's controls the key parts work on
    QTabWidget* pages = nullptr;
    KeySavePanel* panel = nullptr;
    BekuDumpTab* beku = nullptr;
    MirelDumpTab* mirel = nullptr;
    KeyGridMenu* menu = nullptr;

  private:
    QTemporaryDir files_;
};
