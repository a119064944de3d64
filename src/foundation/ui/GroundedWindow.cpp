#include "foundation/ui/GroundedWindow.h"

#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"

#include <QWidget>

void CloseWhenGroundMoves(QWidget* window, const HeldRows* held) {
    if (!FDM) return;
    QObject::connect(&FDM->Ground(), &DataGround::Moved, window, [window, held] {
        if (window->isVisible() && !held->Stands()) window->close();
    });
}
