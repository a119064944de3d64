#include "foundation/ui/GroundedWindow.h"

#include "foundation/HeldRows.h"
#include "foundation/TFDM.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <utility>

void CloseWhenGroundMoves(QWidget* window, const HeldRows* held) {
    if (!FDM) return;
    QObject::connect(&FDM->Ground(), &DataGround::Moved, window, [window, held] {
        if (window->isVisible() && !held->Stands()) window->close();
    });
}

void DropWorkWhenGroundMoves(QWidget* screen, std::function<void()> drop) {
    if (!FDM) return;
    // The ground is told before a file closes: the rows are read once the
    // road is over, as many times as it told.
    auto pending = std::make_shared<bool>(false);
    QObject::connect(&FDM->Ground(), &DataGround::Moved, screen, [screen, drop, pending] {
        if (std::exchange(*pending, true)) return;
        QTimer::singleShot(0, screen, [screen, drop, pending] {
            *pending = false;
            if (screen->isVisible() && FDM && FDM->Connected()) drop();
        });
    });
}
