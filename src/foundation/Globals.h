#pragma once
// Program-wide values loaded from t_global at start-up and reloaded by the
// screens that need them.

#include <QString>

struct ArmGlobals {
    int MaxDevice = 50;  // bound of switch addresses
    int SepDevice = 63;  // the console's network address
    int KolTractPK = 8;  // tracts per switch
    int Shapka = 5;
    int Colstp = 2;
    QString nmBVp = QStringLiteral("БВ подъезда ");  // stored text + one blank
    QString nmBVk = QStringLiteral("БВ калитки ");
    int WidthMain = 0;
    int HeightMain = 0;
};

ArmGlobals& Globals();
