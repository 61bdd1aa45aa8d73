// A saver process's connection: the globals it binds (compositor, layer shell or
// xdg-shell, viewporter and fractional scale, seat, its one output), the
// output's mode and scale, and the end of the process when the compositor goes
// away or the saver ends.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/wayland/read_loop.h"
#include "platform/wayland/state.h"

namespace plat {

WaylandState wayland;

namespace {

constexpr std::uint32_t kCompositorVersion = 4;  // set_buffer_scale from 3
constexpr std::uint32_t kLayerShellVersion = 4;
constexpr std::uint32_t kWmBaseVersion = 2;
constexpr std::uint32_t kOutputVersion = 2;  // scale and done
constexpr std::uint32_t kViewporterVersion = 1;
constexpr std::uint32_t kFractionalScaleVersion = 1;

bool Sideways(int transform) { return (transform & 1) != 0; }  // 90 and 270, also flipped

std::uint32_t Lower(std::uint32_t offered, std::uint32_t wanted) { return offered < wanted ? offered : wanted; }

void OnGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char*,
                const char*, std::int32_t transform) {
    wayland.transform = transform;
}

void OnMode(void*, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
    wayland.modeWidth = width;
    wayland.modeHeight = height;
}

void OnDone(void*, wl_output*) {
    wayland.outputDone = true;
    if (wayland.surface != nullptr) wayland.resizePending = true;  // the scale may have changed
}

void OnScale(void*, wl_output*, std::int32_t factor) { wayland.scale = factor > 0 ? factor : 1; }

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, nullptr, nullptr};  // v2 of 4

void OnPing(void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }

const xdg_wm_base_listener kWmBaseListener = {OnPing};

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && wayland.compositor == nullptr) {
        wayland.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, Lower(version, kCompositorVersion)));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && wayland.layerShell == nullptr) {
        wayland.layerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, Lower(version, kLayerShellVersion)));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && wayland.wmBase == nullptr) {
        wayland.wmBase = static_cast<xdg_wm_base*>(
            wl_registry_bind(registry, name, &xdg_wm_base_interface, Lower(version, kWmBaseVersion)));
        xdg_wm_base_add_listener(wayland.wmBase, &kWmBaseListener, nullptr);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0 && wayland.viewporter == nullptr) {
        wayland.viewporter = static_cast<wp_viewporter*>(
            wl_registry_bind(registry, name, &wp_viewporter_interface, Lower(version, kViewporterVersion)));
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
               wayland.fractionalScaleManager == nullptr) {
        wayland.fractionalScaleManager = static_cast<wp_fractional_scale_manager_v1*>(wl_registry_bind(
            registry, name, &wp_fractional_scale_manager_v1_interface, Lower(version, kFractionalScaleVersion)));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && wayland.seat == nullptr) {
        BindSeat(name, version);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && name == wayland.outputName) {
        wayland.output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, Lower(version, kOutputVersion)));
        wl_output_add_listener(wayland.output, &kOutputListener, nullptr);
        if (version < 2) wayland.outputDone = true;  // no done event: the first round trip brings all
    }
}

// The supervisor ends this process when it sees the output go; leaving first
// keeps a surface that the compositor moves elsewhere from covering another's.
void OnGlobalRemove(void*, wl_registry*, std::uint32_t name) {
    if (name == wayland.outputName) EndQuietly(kOutputGoneStatus);
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

}  // namespace

void OutputDeviceSize(int* width, int* height) {
    *width = Sideways(wayland.transform) ? wayland.modeHeight : wayland.modeWidth;
    *height = Sideways(wayland.transform) ? wayland.modeWidth : wayland.modeHeight;
}

[[noreturn]] void EndQuietly(int status) { _exit(status); }

// The compositor frees what a closed connection held.
void WaylandExitProcess(UINT code) {
    if (wayland.display != nullptr) wlLib.displayFlush(wayland.display);
    std::fflush(stderr);
    _exit(static_cast<int>((wayland.failed && (code & 0xFF) == 0 ? 1 : code) & 0xFF));
}

void CheckConnection() {
    if (wayland.display == nullptr) return;
    const int error = wlLib.displayGetError(wayland.display);
    if (error == 0) return;
    // The compositor went away (the session ended): an ordinary end. Anything
    // else is our fault and gets a line.
    if (error != EPIPE && error != ECONNRESET) {
        std::fprintf(stderr, "%s: the Wayland connection failed: %s\n", wayland.program, std::strerror(error));
        EndQuietly(1);
    }
    EndQuietly(0);
}

void RoundTrip() {
    switch (WaitRoundTrip(wayland.display, wayland.signalFd, -1)) {
        case RoundTripResult::Done:
        case RoundTripResult::TimedOut:
            return;
        case RoundTripResult::Stopped:
            EndQuietly(0);
        case RoundTripResult::Failed:
            CheckConnection();
            EndQuietly(0);  // hung up without an error: the compositor is gone
    }
}

bool ConnectOutputProcess(const char* program, std::uint32_t outputName, int controlFd, int signalFd, int* status) {
    std::snprintf(wayland.program, sizeof wayland.program, "%s", program);
    wayland.outputName = outputName;
    wayland.controlFd = controlFd;
    wayland.signalFd = signalFd;
    wayland.scale = 1;
    wayland.bufferScale = 1;
    wayland.pixelsPerUnit = 1;
    wayland.display = wlLib.displayConnect(nullptr);
    if (wayland.display == nullptr) {
        std::fprintf(stderr, "%s: cannot connect to the Wayland display\n", program);
        *status = 1;
        return false;
    }
    wayland.registry = wl_display_get_registry(wayland.display);
    wl_registry_add_listener(wayland.registry, &kRegistryListener, nullptr);
    RoundTrip();  // the globals
    RoundTrip();  // the output's mode and scale, the seat's capabilities
    if (wayland.output == nullptr || !wayland.outputDone) {
        *status = kOutputGoneStatus;
        return false;
    }
    if (wayland.compositor == nullptr || (wayland.layerShell == nullptr && wayland.wmBase == nullptr)) {
        *status = 1;  // the supervisor, which saw the same globals, has said why
        return false;
    }
    OutputDeviceSize(&wayland.width, &wayland.height);  // the screen until the surface is configured
    return true;
}

}  // namespace plat
