// One full-screen saver at a time per Wayland display, across all four savers,
// as the saver window's class and title make it on the other platforms: the
// supervisor holds an exclusive lock on a file in $XDG_RUNTIME_DIR named for
// the display's socket (its device and inode), so every spelling of
// $WAYLAND_DISPLAY that reaches that socket shares it. The kernel releases it
// with the process, however that ends.
#pragma once

namespace plat {

enum class LockResult {
    Taken,          // ours until the process ends; *fd holds it
    HeldElsewhere,  // another saver runs on this display
    Unavailable,    // no runtime folder or no lock there: run without one
};

// `display` is $WAYLAND_DISPLAY (a name or a path; null means "wayland-0").
LockResult TakeSaverLock(const char* runtimeDir, const char* display, int* fd);

}  // namespace plat
