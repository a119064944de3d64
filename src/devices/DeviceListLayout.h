#pragma once
// What the two device list screens (switches, call panels) share: the split
// of the frame's height between the upper and the lower grid, the coded cells
// and the totals bar.

#include <QString>

struct GridHeights {
    int upper = 0;
    int lower = 0;
};

// Three quarters of what the header and the totals bar leave go to the upper
// grid, a quarter to the lower one, each rounded half away from zero.
GridHeights SplitGridHeights(int frameHeight, int headerHeight, int totalsHeight);

// The coded cells of the lists: "БВ07", "калитка" or "вход в подъезд", "КМ12".
QString PanelAddressText(int nNt0);
QString PanelKindText(int bvType);
QString SwitchAddressText(int nNet);

// Where a coded cell's text starts: centred in its column, the offset rounded
// half away from zero, and drawn this far below the cell's top.
int CentredTextLeft(int columnWidth, int textWidth);
inline constexpr int kCodedTextTop = 2;

// The totals bar ("Итого"): the current object's switches (rows of Q_MNpk),
// call panels (rows of Q_bv) and gates (k_net.v_kal).
struct DeviceTotals {
    int switches = 0;
    int panels = 0;
    int gates = 0;
};
DeviceTotals ReadDeviceTotals();
