#pragma once
// The call-panel key tab of the configuration-file editor ("СБВ ключи",
// TabCBV2): the keys of sections 5, 6 and 7 in their grids with the slot
// counts beside them. The key parts of the screen (entering the keys into
// the database, the clipboard) work on these grids.

#include "config/PanelKeySections.h"

#include <QWidget>

class EditorGrid;
class QLabel;
class QSpinBox;

class EditorKeysTab : public QWidget {
    Q_OBJECT
  public:
    explicit EditorKeysTab(QWidget* parent = nullptr);

    EditorGrid* Keys5 = nullptr;
    EditorGrid* Keys6 = nullptr;
    EditorGrid* Keys7 = nullptr;
    QSpinBox* KolSl5 = nullptr;
    QSpinBox* MinSl = nullptr;
    QSpinBox* KolSl6 = nullptr;
    QSpinBox* BitSl = nullptr;
    QSpinBox* KolSl7 = nullptr;
    QSpinBox* ReservKey = nullptr;
    QLabel* L_Err = nullptr;

    void Clear();
    void Show(const Keys5List& keys5, const Keys6List& keys6, const Keys7List& keys7);
    void Read(Keys5List& keys5, Keys6List& keys6, Keys7List& keys7) const;
};
