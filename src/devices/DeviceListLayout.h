#pragma once
// What the two device list screens (switches, call panels) share: the split
// of the frame's height between the upper and the lower grid, and the totals
// bar.

#include <QString>

struct GridHeights {
    int upper = 0;
    int lower = 0;
};

// Three quarters of what the header and the totals bar leave go to the upper
// grid, a quarter to the lower one, each rounded half away from zero.
GridHeights SplitGridHeights(int frameHeight, int headerHeight, int totalsHeight);

// The totals bar ("Итого"): the current object's switches (rows of Q_MNpk),
// call panels (rows of Q_bv, opened when closed: it is not among the datasets
// the database opens with) and gates (k_net.v_kal).
struct DeviceTotals {
    int switches = 0;
    int panels = 0;
    int gates = 0;
};
DeviceTotals ReadDeviceTotals();
