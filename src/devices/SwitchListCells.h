#pragma once
// The drawn cells of the switch list screen: the texts the grids show in
// place of the stored values, and where a centred text starts in its cell.

#include <QString>
#include <QVariant>

// Switch grid, first column: the house, a space, then the entrance's name
// after one more space, or "под." and the entrance number when it has no
// name (a blank name counts as none).
QString EntranceCellText(const QVariant& house, const QVariant& nmPod, const QVariant& nPod);
// "КМ" and the switch's network number in two digits; empty without one.
QString SwitchCellText(const QVariant& nNet);
// "БВ" and the panel's number in two digits; empty without one.
QString PanelCellText(const QVariant& nNt0);
// "калитка" for a gate panel (1), "вход в подъезд" for any other; empty without a type.
QString PanelTypeText(const QVariant& bvType);
// Left offset of a text centred in its cell, never below 0.
int CentredTextOffset(int cellWidth, int textWidth);
