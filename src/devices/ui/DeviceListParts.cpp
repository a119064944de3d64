#include "devices/ui/DeviceListParts.h"

#include "devices/DeviceListLayout.h"
#include "devices/ui/FormControls.h"
#include "foundation/ui/MainWindowHost.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QToolButton>

namespace {

const QString kNormalMark = QStringLiteral("ж");
const QString kBoldMark = QStringLiteral("н");

QLabel* TotalLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(QStringLiteral("00"), parent);
    label->setObjectName(QLatin1String(name));
    SetBold(label, true);
    label->setMinimumWidth(32);
    return label;
}

}  // namespace

TotalsBar MakeTotalsBar(QWidget* parent, const char* switchesName, const char* panelsName,
                        const char* gatesName) {
    TotalsBar bar;
    bar.panel = new QFrame(parent);
    bar.panel->setObjectName(QStringLiteral("PanelTotals"));
    bar.panel->setFrameShape(QFrame::StyledPanel);
    bar.panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    bar.switches = TotalLabel(bar.panel, switchesName);
    bar.panels = TotalLabel(bar.panel, panelsName);
    bar.gates = TotalLabel(bar.panel, gatesName);
    auto* row = new QHBoxLayout(bar.panel);
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(new QLabel(QStringLiteral("Итого"), bar.panel));
    const std::pair<const char*, QLabel*> totals[] = {
        {"КМ", bar.switches}, {"БВ", bar.panels}, {"Калиток", bar.gates}};
    for (const auto& [caption, value] : totals) {
        row->addSpacing(16);
        row->addWidget(new QLabel(QString::fromUtf8(caption), bar.panel));
        row->addWidget(value);
    }
    row->addStretch();
    return bar;
}

void ShowTotals(const TotalsBar& bar) {
    const DeviceTotals t = ReadDeviceTotals();
    bar.switches->setText(QString::number(t.switches));
    bar.panels->setText(QString::number(t.panels));
    bar.gates->setText(QString::number(t.gates));
}

QToolButton* MakeBoldToggle(QWidget* parent) {
    auto* toggle = new QToolButton(parent);
    toggle->setObjectName(QStringLiteral("P3_Fs"));
    toggle->setText(kNormalMark);
    SetBold(toggle, true);
    return toggle;
}

void ShowGridsBold(QToolButton* toggle, const QList<QWidget*>& grids, bool bold) {
    for (QWidget* grid : grids) {
        SetBold(grid, bold);
        if (auto* table = qobject_cast<QTableView*>(grid))
            SetBold(table->horizontalHeader(), false);
    }
    toggle->setText(bold ? kBoldMark : kNormalMark);
    SetBold(toggle, !bold);
}

bool GridsShownBold(const QToolButton* toggle) {
    return toggle->text() == kBoldMark;
}

bool StoredGridsBold(const QWidget* frame, const QString& key, bool shownBold) {
    const MainWindowHost* host = HostOf(frame);
    return host ? host->GridToggle(key) == kBoldMark : shownBold;
}

void StoreGridType(const QToolButton* toggle, const QString& key) {
    if (MainWindowHost* host = HostOf(toggle)) host->SetGridToggle(key, toggle->text());
}

void SplitFrameHeight(const QWidget* frame, const QWidget* header, const QWidget* totals,
                      QWidget* upper, QWidget* lower) {
    if (!frame->isVisible()) return;
    const GridHeights h = SplitGridHeights(frame->height(), header->height(), totals->height());
    upper->setFixedHeight(qMax(0, h.upper));
    lower->setFixedHeight(qMax(0, h.lower));
}
