#include "keys/ui/BekuDumpTab.h"

#include "foundation/TFDM.h"
#include "foundation/ui/TFProgress.h"
#include "foundation/ui/WaitCursor.h"
#include "keys/BekuDumpFile.h"
#include "keys/DumpKeyPour.h"
#include "keys/ui/DumpEntranceLists.h"
#include "keys/ui/EditorKeyControls.h"
#include "platform/Dialogs.h"
#include "platform/ui/GridKeys.h"

#include <QFormLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const KeyDumpTab::Names kBekuNames{"TabBQ", "BitBQ",      "KeysBQ", "KolKey",   "InBQKey",
                                   "Memo1", "ButVisible", "lFile4", "ListHdev", "BitBQkeys"};
const QString kOpenBeku = QStringLiteral("Открыть файл БЭКУ");
}  // namespace

BekuDumpTab::BekuDumpTab(QWidget* parent)
    : KeyDumpTab(kBekuNames, KeyGrid::KeysBQ, kOpenBeku, new KeyboardGrid<QListWidget>, 2, parent) {
    BitBQ = open_;
    KeysBQ = grid_;
    KolKey = keyCount_;
    InBQKey = poured_;
    Memo1 = console_;
    ButVisible = consoleButton_;
    lFile4 = fileLabel_;
    ListHdev = entrances_;
    BitBQkeys = pour_;
    KolByte = new QSpinBox(this);
    KolByte->setObjectName(QStringLiteral("KolByte"));
    KolByte->setRange(3, 4);
    KolByte->setValue(4);
    auto* width = new QFormLayout;
    width->addRow(QStringLiteral("Количество байтов на ключ"), KolByte);
    left_->addLayout(width);
    SetGridCell(KeysBQ, 0, 0, QStringLiteral("№"));
    SetGridCell(KeysBQ, 0, 1, QStringLiteral(" SN ключа"));
    ShowKeyGrid(KeysBQ, KeyGrid::KeysBQ, EditorKeyLists{});

    connect(BitBQ, &QPushButton::clicked, this, &BekuDumpTab::BitBQClick);
    connect(BitBQkeys, &QPushButton::clicked, this, &BekuDumpTab::BitBQkeysClick);
}

void BekuDumpTab::BitBQClick() {
    const QString file = chooseFile(kOpenBeku, false);
    if (!file.isEmpty()) ReadDump(file);
}

void BekuDumpTab::parseDump(const QByteArray& bytes, EditorKeyLists& lists, QStringList& console) {
    const BekuDump dump = ReadBekuDump(bytes, true, ProgressGauge());
    KolByte->setValue(dump.keyBytes);
    lists.keysBQ = dump.keys;
    console = dump.console;
}

void BekuDumpTab::BitBQkeysClick() {
    ListHdevClick();
    if (!BitBQkeys->isEnabled() || !FDM) return;
    if (!Dialogs::AskYesNo(QStringLiteral("Подтверждение"),
                           QStringLiteral("Залить ключи в выбранный подъезд?")))
        return;
    const std::optional<DumpEntrance> entrance = chosenEntrance();
    echoChosen();
    DumpPourResult result;
    {
        WaitCursor wait;
        result = PourBekuKeys(*FDM, entrance->idPod, gridKeys().keysBQ, ProgressGauge());
    }
    showPoured(result.console, result.entered);
}
