#include "foundation/ui/ScreenFrames.h"

#include "foundation/MainWindowLogic.h"
#include "foundation/ui/TScreenFrame.h"

#include <QMap>

namespace ScreenFrames {

namespace {
QMap<int, Maker>& makers() {
    static QMap<int, Maker> map;
    return map;
}
}  // namespace

void Register(int screen, Maker maker) {
    makers().insert(screen, std::move(maker));
}

TScreenFrame* Make(int screen) {
    const Screens::ScreenInfo* info = Screens::Find(screen);
    const Maker maker = makers().value(screen);
    TScreenFrame* frame = maker ? maker() : new TScreenFrame(info->frame, info->title);
    // The main window finds its frames by the design's names.
    frame->setObjectName(info->frame);
    return frame;
}

}  // namespace ScreenFrames
