#include "config/ui/EditorKeysTab.h"

#include "config/ui/EditorGrid.h"
#include "config/ui/EditorWidgets.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

#include <limits>

namespace {

// A key list with its title and its counts under it.
EditorGrid* keyList(QGridLayout* grid, int column, const char* name, int columns,
                    const QString& title, const QString& hint) {
    auto* list = new EditorGrid(name, columns, 1, 1, 1, grid->parentWidget());
    list->SetInput(EditorGrid::Input::ReadOnly);
    list->setToolTip(hint);
    grid->addWidget(new QLabel(title, grid->parentWidget()), 0, column);
    grid->addWidget(list, 1, column);
    return list;
}

void showRows(EditorGrid* grid, int rows) {
    grid->SetRowCount(rows + 1);
    grid->NumberRows();
}

// A list's rows and the blank rows after them; the decoder keeps the blank
// rows to what a file could hold.
int gridRows(qsizetype held, qint64 blank) {
    return int(qMin<qint64>(held + qMax<qint64>(blank, 0), std::numeric_limits<int>::max() - 1));
}

}  // namespace

EditorKeysTab::EditorKeysTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabCBV2"));
    auto* grid = new QGridLayout(this);
    Keys5 = keyList(grid, 0, "Keys5", 4, QStringLiteral("Ключи по квартирам (секция 5)"),
                    QStringLiteral("Список ключей по квартирам, записанные с АРМа"));
    Keys6 = keyList(grid, 1, "Keys6", 3, QStringLiteral("Ключи, записанные с БВ (секция 6)"),
                    QStringLiteral("Список ключей, записанных с блока вызова, 6 секция"));
    Keys7 = keyList(grid, 2, "Keys7", 2, QStringLiteral("Общие ключи (секция 7)"),
                    QStringLiteral("Список общих ключей из секции 7"));
    auto* counts5 = new QFormLayout;
    KolSl5 = AddSpin(counts5, "KolSl5", QStringLiteral("Слотов"), 0, 65535);
    MinSl = AddSpin(counts5, "MinSl", QStringLiteral("Основных слотов"), 0, 100);
    L_Err = Named(new QLabel(this), "L_Err");
    counts5->addRow(L_Err);
    auto* counts6 = new QFormLayout;
    KolSl6 = AddSpin(counts6, "KolSl6", QStringLiteral("Слотов"), 0, 65535);
    BitSl = AddSpin(counts6, "BitSl", QStringLiteral("Бит индекса"), 0, 255);
    auto* counts7 = new QFormLayout;
    KolSl7 = AddSpin(counts7, "KolSl7", QStringLiteral("Слотов"), 0, 65535);
    ReservKey = AddSpin(counts7, "ReservKey", QStringLiteral("Резервный байт"), 0, 255);
    grid->addLayout(counts5, 2, 0);
    grid->addLayout(counts6, 2, 1);
    grid->addLayout(counts7, 2, 2);
    grid->setRowStretch(1, 1);
    Clear();
}

void EditorKeysTab::Clear() {
    const QStringList titles = {QStringLiteral("№"), QStringLiteral("пор.№ кв."),
                                QStringLiteral(" SN ключа"), QStringLiteral("осн/доп")};
    Keys5->SetRowTitles(titles);
    Keys6->SetRowTitles(titles.mid(0, 3));
    // Its one data column holds the key.
    Keys7->SetRowTitles({titles[0], titles[2]});
    for (EditorGrid* g : {Keys5, Keys6, Keys7}) {
        showRows(g, 0);
        g->FitColumns(40);
    }
    for (QSpinBox* spin : {KolSl5, MinSl, KolSl6, BitSl, KolSl7, ReservKey}) spin->setValue(0);
    L_Err->clear();
}

void EditorKeysTab::Show(const Keys5List& keys5, const Keys6List& keys6, const Keys7List& keys7) {
    showRows(Keys5, gridRows(keys5.rows.size(), keys5.blankRows));
    for (int r = 0; r < keys5.rows.size(); ++r) {
        Keys5->SetCell(1, r + 1, keys5.rows[r].apartment);
        Keys5->SetCell(2, r + 1, keys5.rows[r].key);
        Keys5->SetCell(3, r + 1, keys5.rows[r].kind);
    }
    showRows(Keys6, gridRows(keys6.rows.size(), keys6.blankRows));
    for (int r = 0; r < keys6.rows.size(); ++r) {
        Keys6->SetCell(1, r + 1, keys6.rows[r].apartment);
        Keys6->SetCell(2, r + 1, keys6.rows[r].key);
    }
    showRows(Keys7, gridRows(keys7.keys.size(), keys7.blankRows));
    for (int r = 0; r < keys7.keys.size(); ++r) Keys7->SetCell(1, r + 1, keys7.keys[r]);
    for (EditorGrid* g : {Keys5, Keys6, Keys7}) g->FitColumns(40);
    KolSl5->setValue(int(keys5.kolSl5));
    MinSl->setValue(int(keys5.minSl));
    L_Err->setText(keys5.unplaced);
    KolSl6->setValue(int(keys6.kolSl6));
    BitSl->setValue(int(keys6.bitSl));
    KolSl7->setValue(int(keys7.kolSl7));
    ReservKey->setValue(int(keys7.reservKey));
}

void EditorKeysTab::Read(Keys5List& keys5, Keys6List& keys6, Keys7List& keys7) const {
    keys5 = Keys5List();
    for (int r = 1; r < Keys5->RowCount(); ++r)
        keys5.rows << Keys5Row{Keys5->Cell(1, r), Keys5->Cell(2, r), Keys5->Cell(3, r)};
    keys5.kolSl5 = KolSl5->value();
    keys5.minSl = MinSl->value();
    keys5.unplaced = L_Err->text();
    keys6 = Keys6List();
    for (int r = 1; r < Keys6->RowCount(); ++r)
        keys6.rows << Keys6Row{Keys6->Cell(1, r), Keys6->Cell(2, r)};
    keys6.kolSl6 = KolSl6->value();
    keys6.bitSl = BitSl->value();
    keys7 = Keys7List();
    for (int r = 1; r < Keys7->RowCount(); ++r) keys7.keys << Keys7->Cell(1, r);
    keys7.kolSl7 = KolSl7->value();
    keys7.reservKey = ReservKey->value();
}
