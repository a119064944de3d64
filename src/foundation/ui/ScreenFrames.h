#pragma once
// Makers of the work screens' frames. Each subsystem registers the real frame
// of its screens (in its <Subsystem>Forms::RegisterFrames); the main window
// asks here for every screen it hosts, and a screen nobody registered gets the
// plain frame with its title.

#include <functional>

class TScreenFrame;

namespace ScreenFrames {

using Maker = std::function<TScreenFrame*()>;

// A later registration of the same screen replaces the earlier one.
void Register(int screen, Maker maker);
// A new frame for the screen, named after it (the design's frame name).
TScreenFrame* Make(int screen);

}  // namespace ScreenFrames
