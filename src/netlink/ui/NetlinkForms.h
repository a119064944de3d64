#pragma once
// The device network subsystem's place in the program: the frames of its work screens,
// registered with the main window, and the navigation hooks its core units fill.

namespace NetlinkForms {

// Registers the real frames of the subsystem's screens; run before the main
// window builds its frames.
void RegisterFrames();
// Installs the subsystem's navigation hooks; run once at start-up.
void InstallHooks();

}  // namespace NetlinkForms
