#pragma once
// A bare window hosting the editor's key parts as the editor frame hosts
// them: the call-panel key tab ("СБВ ключи": the three key grids with their
// slot counts and the panel "Сохранение ключей"), the tabs "БЭКУ" and
// "Mirel", the service values of the opened file, the popup menu of the key
// grids and the shared entrance lists.

#include "PanelFileKeys.h"
#include "keys/ui/BekuDumpTab.h"
#include "keys/ui/DumpEntranceLists.h"
#include "keys/ui/EditorKeyControls.h"
#include "keys/ui/KeyGridMenu.h"
#include "keys/ui/KeySavePanel.h"
#include "keys/ui/MirelDumpTab.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

class KeyTabHost : public QWidget {
  public:
    KeyTabHost() {
        auto grid = [this](const char* name, const QStringList& titles) {
            auto* g = new QTableWidget(1, int(titles.size()), this);
            g->setObjectName(QLatin1String(name));
            g->horizontalHeader()->hide();
            g->verticalHeader()->hide();
            for (int c = 0; c < titles.size(); ++c) SetGridCell(g, 0, c, titles[c]);
            g->resizeColumnsToContents();
            return g;
        };
        auto spin = [this](const char* name) {
            auto* s = new QSpinBox(this);
            s->setObjectName(QLatin1String(name));
            s->setRange(0, 1000000);
            return s;
        };
        auto check = [this](const char* name) {
            auto* c = new QCheckBox(QLatin1String(name), this);
            c->setObjectName(QLatin1String(name));
            return c;
        };
        controls.Keys5 = grid("Keys5", {"№", "пор.№ кв.", " SN ключа", "осн/доп"});
        controls.Keys6 = grid("Keys6", {"№", "пор.№ кв.", " SN ключа"});
        controls.Keys7 = grid("Keys7", {"№", " SN ключа"});
        controls.KolSl5 = spin("KolSl5");
        controls.KolSl6 = spin("KolSl6");
        controls.KolSl7 = spin("KolSl7");
        controls.V_id_net = spin("V_id_net");
        controls.V_id_nom = spin("V_id_nom");
        controls.V_id_bv = spin("V_id_bv");
        controls.V_type_bv = spin("V_type_bv");
        controls.V_n_net = spin("V_n_net");
        controls.V_id_nom->setMaximum(16777215);
        controls.Ch_id_net = check("Ch_id_net");
        controls.Ch_id_nom = check("Ch_id_nom");
        controls.Ch_id_bv = check("Ch_id_bv");
        controls.Ch_type_bv = check("Ch_type_bv");
        controls.Ch_n_net = check("Ch_n_net");
        controls.Mpd = new QPlainTextEdit(this);
        controls.Mpd->setObjectName("Mpd");
        controls.Mpp = new QPlainTextEdit(this);
        controls.Mpp->setObjectName("Mpp");

        pages = new QTabWidget(this);
        auto* keysTab = new QWidget;
        keysTab->setObjectName("TabCBV2");
        panel = new KeySavePanel(controls, keysTab);
        auto* grids = new QHBoxLayout;
        for (auto [g, count] : {std::pair{controls.Keys5, controls.KolSl5},
                                std::pair{controls.Keys6, controls.KolSl6},
                                std::pair{controls.Keys7, controls.KolSl7}}) {
            auto* column = new QVBoxLayout;
            column->addWidget(g, 1);
            auto* form = new QFormLayout;
            form->addRow(QStringLiteral("Слотов"), count);
            column->addLayout(form);
            grids->addLayout(column, 1);
        }
        auto* keysLayout = new QHBoxLayout(keysTab);
        keysLayout->addLayout(grids, 5);
        keysLayout->addWidget(panel, 2);
        pages->addTab(keysTab, QStringLiteral("СБВ ключи"));

        beku = new BekuDumpTab;
        mirel = new MirelDumpTab;
        pages->addTab(beku, QStringLiteral("БЭКУ"));
        pages->addTab(mirel, QStringLiteral("Mirel"));
        entranceLists = new DumpEntranceLists(beku->ListHdev, mirel->ListKvKey, this);
        beku->SetEntranceLists(entranceLists);
        mirel->SetEntranceLists(entranceLists);
        menu = new KeyGridMenu(controls, beku->KeysBQ, mirel->KeysCP, panel->L_Keys, this);

        auto* service = new QWidget;
        service->setObjectName("Sys");
        auto* form = new QFormLayout(service);
        for (QSpinBox* s : {controls.V_id_net, controls.V_id_nom, controls.V_id_bv,
                            controls.V_type_bv, controls.V_n_net})
            form->addRow(s->objectName(), s);
        for (QCheckBox* c : {controls.Ch_id_net, controls.Ch_id_nom, controls.Ch_id_bv,
                             controls.Ch_type_bv, controls.Ch_n_net})
            form->addRow(c);
        form->addRow("Mpd", controls.Mpd);
        form->addRow("Mpp", controls.Mpp);
        pages->addTab(service, "Sys");
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(pages);
    }

    // Shows an opened call-panel file as the editor's decoders leave it.
    void Load(const PanelFileKeys& file) {
        controls.V_id_net->setValue(int(file.ident.idNet));
        controls.V_id_nom->setValue(int(file.ident.idNom));
        controls.V_id_bv->setValue(int(file.ident.idBv));
        controls.V_type_bv->setValue(int(file.ident.typeBv));
        controls.V_n_net->setValue(int(file.ident.nNet));
        controls.Mpd->setPlainText(file.entrances.mpd);
        controls.Mpp->setPlainText(file.entrances.mpp);
        EditorKeyLists lists;
        lists.keys5 = file.keys5;
        lists.keys6 = file.keys6;
        lists.keys7 = file.keys7;
        ShowKeyGrid(controls.Keys5, KeyGrid::Keys5, lists);
        ShowKeyGrid(controls.Keys6, KeyGrid::Keys6, lists);
        ShowKeyGrid(controls.Keys7, KeyGrid::Keys7, lists);
        controls.KolSl5->setValue(int(file.keys5.kolSl5));
        controls.KolSl6->setValue(int(file.keys6.kolSl6));
        controls.KolSl7->setValue(int(file.keys7.kolSl7));
        panel->ShowServedEntrances(file.entrances.servedEntrances);
        for (QTableWidget* g : {controls.Keys5, controls.Keys6, controls.Keys7})
            g->resizeColumnsToContents();
    }

    EditorKeyControls controls;
    QTabWidget* pages = nullptr;
    KeySavePanel* panel = nullptr;
    BekuDumpTab* beku = nullptr;
    MirelDumpTab* mirel = nullptr;
    DumpEntranceLists* entranceLists = nullptr;
    KeyGridMenu* menu = nullptr;
};
