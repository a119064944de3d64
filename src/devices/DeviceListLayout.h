#pragma once
// The layout rule the two device list screens (switches, call panels) share:
// the split of the frame's height between the upper and the lower grid.

struct GridHeights {
    int upper = 0;
    int lower = 0;
};

// Three quarters of what the header and the totals bar leave go to the upper
// grid, a quarter to the lower one, each rounded half away from zero.
GridHeights SplitGridHeights(int frameHeight, int headerHeight, int totalsHeight);
