#include "keys/ui/MirelDumpTab.h"

#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "keys/DumpKeyPour.h"
#include "keys/MirelDumpFile.h"
#include "keys/ui/DumpEntranceLists.h"
#include "keys/ui/EditorKeyControls.h"
#include "keys/ui/TFKeyInKv.h"
#include "platform/ui/GridKeys.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace {
const KeyDumpTab::Names kMirelNames{"TabCP", "BitCP",    "KeysCP", "KolCPkey",  "InCpKey",
                                    "Memo3", "ButCPVis", "lFile5", "ListKvKey", "BitCPkeys"};
const QString kOpenMirel = QStringLiteral("Открыть файл Mirel");

// The operator's conditions of the pour; none when the dialog is cancelled.
std::optional<MirelPourChoice> askConditions(const MirelPourSource& source) {
    if (!FKeyInKv) return std::nullopt;
    FKeyInKv->SetSource(source.indexCount, source.keyCount, source.firstIndex);
    if (FKeyInKv->exec() != QDialog::Accepted) return std::nullopt;
    const KeyPourConditions& c = FKeyInKv->Conditions;
    return MirelPourChoice{c.Common(), c.Value(PourField::Ind_1), c.Value(PourField::Ind_po),
                           c.Value(PourField::Kv_n1)};
}

}  // namespace

MirelDumpTab::MirelDumpTab(QWidget* parent)
    : KeyDumpTab(kMirelNames, KeyGrid::KeysCP, kOpenMirel, new KeyboardGrid<QListWidget>, 3,
                 parent) {
    BitCP = open_;
    KeysCP = grid_;
    KolCPkey = keyCount_;
    InCpKey = poured_;
    Memo3 = console_;
    ButCPVis = consoleButton_;
    lFile5 = fileLabel_;
    ListKvKey = entrances_;
    BitCPkeys = pour_;
    SetGridCell(KeysCP, 0, 0, QStringLiteral("№"));
    SetGridCell(KeysCP, 0, 1, QStringLiteral(" SN ключа"));
    SetGridCell(KeysCP, 0, 2, QStringLiteral("пор.№ кв."));
    ShowKeyGrid(KeysCP, KeyGrid::KeysCP, EditorKeyLists{});

    connect(BitCP, &QPushButton::clicked, this, &MirelDumpTab::BitCPClick);
    connect(BitCPkeys, &QPushButton::clicked, this, &MirelDumpTab::BitCPkeysClick);
}

void MirelDumpTab::BitCPClick() {
    const QString file = chooseFile(kOpenMirel, written_ && written_());
    if (!file.isEmpty()) ReadDump(file);
}

void MirelDumpTab::parseDump(const QByteArray& bytes, EditorKeyLists& lists, QStringList& console) {
    const MirelDump dump = ReadMirelDump(bytes, true, ProgressGauge());
    lists.keysCP = dump.rows;
    console = dump.console;
}

void MirelDumpTab::BitCPkeysClick() {
    ListKvKeyClick();
    echoChosen();
    const std::optional<DumpEntrance> entrance = chosenEntrance();
    if (!BitCPkeys->isEnabled() || !FDM || !entrance) return;
    if (!PositionDumpEntrance(*FDM, *entrance)) return;
    const QList<MirelKeyRow> rows = gridKeys().keysCP;
    const std::optional<MirelPourChoice> choice = askConditions(MirelPourSourceOf(rows));
    if (!choice) return;
    DumpPourResult result;
    {
        WaitCursor wait;
        result = PourMirelKeys(*FDM, *entrance, rows, *choice, ProgressGauge());
    }
    showPoured(result.console, result.entered);
}
