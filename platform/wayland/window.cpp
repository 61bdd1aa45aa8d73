// The saver window's surface: a wlr-layer-shell OVERLAY surface on this
// process's output, anchored to every edge, over every exclusive zone and with
// the keyboard to itself; where the compositor has no layer shell, an
// xdg_toplevel set full screen on the output. The buffer is the configured size
// times the output's scale, so the picture has the output's full device
// resolution: with wp_fractional_scale_v1 and wp_viewporter, the scale the
// compositor prefers for the surface (1.5 too), the buffer scale left at 1 and
// the viewport showing the buffer at the configured size; without them, the
// output's integer scale as the buffer scale. Other windows get no surface.
#include <cstdio>

#include "platform/wayland/state.h"

namespace plat {

namespace {

constexpr int kConfigureRoundTrips = 8;
constexpr int kScaleUnit = 120;  // wp_fractional_scale_v1 gives scales in 120ths
constexpr int kLargestScale = 16 * kScaleUnit;

// The scale the buffer is drawn at, in 120ths.
int BufferScaleUnits() {
    if (wayland.viewport != nullptr && wayland.preferredScale > 0) return wayland.preferredScale;
    return wayland.scale * kScaleUnit;
}

// The buffer size the configured size asks for (rounded half away from zero,
// as the fractional scale protocol says); the output's own size until the
// compositor has said.
void BufferSize(int* width, int* height) {
    if (wayland.logicalWidth > 0 && wayland.logicalHeight > 0) {
        const int scale = BufferScaleUnits();
        *width = (wayland.logicalWidth * scale + kScaleUnit / 2) / kScaleUnit;
        *height = (wayland.logicalHeight * scale + kScaleUnit / 2) / kScaleUnit;
        return;
    }
    OutputDeviceSize(width, height);
}

void OnPreferredScale(void*, wp_fractional_scale_v1*, std::uint32_t scale) {
    if (scale == 0 || scale > static_cast<std::uint32_t>(kLargestScale)) return;
    wayland.preferredScale = static_cast<int>(scale);
    wayland.resizePending = true;
}

const wp_fractional_scale_v1_listener kFractionalScaleListener = {OnPreferredScale};

void OnLayerConfigure(void*, zwlr_layer_surface_v1* surface, std::uint32_t serial, std::uint32_t width,
                      std::uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    wayland.logicalWidth = static_cast<int>(width);
    wayland.logicalHeight = static_cast<int>(height);
    wayland.configured = true;
    wayland.resizePending = true;
}

// The compositor closes a layer surface whose output goes.
void OnLayerClosed(void*, zwlr_layer_surface_v1*) { EndQuietly(kOutputGoneStatus); }

const zwlr_layer_surface_v1_listener kLayerListener = {OnLayerConfigure, OnLayerClosed};

void OnXdgConfigure(void*, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    wayland.configured = true;
    wayland.resizePending = true;
}

const xdg_surface_listener kXdgSurfaceListener = {OnXdgConfigure};

void OnToplevelConfigure(void*, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
    wayland.logicalWidth = width;
    wayland.logicalHeight = height;
}

// The compositor's close (a key binding, a menu) is the close button.
void OnToplevelClose(void*, xdg_toplevel*) {
    if (wayland.window != nullptr) emu::QueueMessage(wayland.window, WM_CLOSE, 0, 0);
}

const xdg_toplevel_listener kToplevelListener = {OnToplevelConfigure, OnToplevelClose, nullptr, nullptr};  // v2 of 5

void CreateRole(const emu::Window& window) {
    if (wayland.layerShell != nullptr) {
        wayland.layerSurface = zwlr_layer_shell_v1_get_layer_surface(
            wayland.layerShell, wayland.surface, wayland.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, SAVER_PACKAGE_NAME);
        zwlr_layer_surface_v1_add_listener(wayland.layerSurface, &kLayerListener, nullptr);
        zwlr_layer_surface_v1_set_anchor(wayland.layerSurface,
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                             ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_size(wayland.layerSurface, 0, 0);
        zwlr_layer_surface_v1_set_exclusive_zone(wayland.layerSurface, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(wayland.layerSurface,
                                                         ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
        return;
    }
    wayland.xdgSurface = xdg_wm_base_get_xdg_surface(wayland.wmBase, wayland.surface);
    xdg_surface_add_listener(wayland.xdgSurface, &kXdgSurfaceListener, nullptr);
    wayland.toplevel = xdg_surface_get_toplevel(wayland.xdgSurface);
    xdg_toplevel_add_listener(wayland.toplevel, &kToplevelListener, nullptr);
    xdg_toplevel_set_title(wayland.toplevel, window.title);
    xdg_toplevel_set_app_id(wayland.toplevel, SAVER_PACKAGE_NAME);
    xdg_toplevel_set_fullscreen(wayland.toplevel, wayland.output);
}

void SetBufferScale(int scale) {
    if (wl_surface_get_version(wayland.surface) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION)
        wl_surface_set_buffer_scale(wayland.surface, scale);
    wayland.bufferScale = scale;
}

// How the next buffer maps to the surface: through the viewport at the
// configured size, or by the output's integer scale. Committed with that buffer.
void ApplyScale() {
    if (wayland.viewport != nullptr) {
        if (wayland.logicalWidth > 0 && wayland.logicalHeight > 0)
            wp_viewport_set_destination(wayland.viewport, wayland.logicalWidth, wayland.logicalHeight);
    } else if (wayland.scale != wayland.bufferScale) {
        SetBufferScale(wayland.scale);
    }
}

void NotePixelsPerUnit() {
    wayland.pixelsPerUnit = wayland.logicalWidth > 0 ? static_cast<double>(wayland.width) / wayland.logicalWidth
                                                     : static_cast<double>(wayland.bufferScale);
}

}  // namespace

void ApplySurfaceSize() {
    wayland.resizePending = false;
    if (wayland.surface == nullptr || !wayland.configured) return;
    int width = 0, height = 0;
    BufferSize(&width, &height);
    if (width <= 0 || height <= 0) return;
    // Set now, committed with the next frame's buffer, which has the new size.
    ApplyScale();
    if (width == wayland.width && height == wayland.height) {
        NotePixelsPerUnit();
        return;
    }
    wayland.width = width;
    wayland.height = height;
    NotePixelsPerUnit();
    wlLib.eglWindowResize(wayland.eglWindow, width, height, 0, 0);
    ResizeKeptFrame(width, height);
    emu::NativeResized(wayland.window, 0, 0, width, height);
}

void RequestKeyboard() {
    if (wayland.layerSurface == nullptr) return;
    // Committed with the next frame: a commit now could carry a new buffer
    // scale with the old buffer.
    zwlr_layer_surface_v1_set_keyboard_interactivity(wayland.layerSurface,
                                                     ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

namespace emu {

void WaylandCreateWindow(Window& window) {
    window.native = 0;
    const bool fullScreen = window.parent == nullptr && (window.style & WS_POPUP) != 0;
    if (!fullScreen || wayland.surface != nullptr || wayland.display == nullptr) return;

    wayland.surface = wl_compositor_create_surface(wayland.compositor);
    if (wayland.viewporter != nullptr && wayland.fractionalScaleManager != nullptr) {
        wayland.viewport = wp_viewporter_get_viewport(wayland.viewporter, wayland.surface);
        wayland.fractionalScale =
            wp_fractional_scale_manager_v1_get_fractional_scale(wayland.fractionalScaleManager, wayland.surface);
        wp_fractional_scale_v1_add_listener(wayland.fractionalScale, &kFractionalScaleListener, nullptr);
    }
    CreateRole(window);
    wl_surface_commit(wayland.surface);
    for (int i = 0; i < kConfigureRoundTrips && !wayland.configured; ++i) RoundTrip();
    if (!wayland.configured) {
        std::fprintf(stderr, "%s: the compositor did not configure the saver's surface\n", wayland.program);
        EndQuietly(1);
    }
    ApplyScale();
    wayland.resizePending = false;
    BufferSize(&wayland.width, &wayland.height);
    NotePixelsPerUnit();
    wayland.eglWindow = wlLib.eglWindowCreate(wayland.surface, wayland.width, wayland.height);
    wayland.window = window.handle;
    window.x = 0;
    window.y = 0;
    window.width = wayland.width;
    window.height = wayland.height;
    window.native = 1;
}

void WaylandDestroyWindow(Window& window) {
    window.native = 0;
    if (window.handle != wayland.window) return;
    ReleaseGl();
    if (wayland.eglWindow != nullptr) wlLib.eglWindowDestroy(wayland.eglWindow);
    if (wayland.frameCallback != nullptr) wl_callback_destroy(wayland.frameCallback);
    if (wayland.layerSurface != nullptr) zwlr_layer_surface_v1_destroy(wayland.layerSurface);
    if (wayland.toplevel != nullptr) xdg_toplevel_destroy(wayland.toplevel);
    if (wayland.xdgSurface != nullptr) xdg_surface_destroy(wayland.xdgSurface);
    if (wayland.fractionalScale != nullptr) wp_fractional_scale_v1_destroy(wayland.fractionalScale);
    if (wayland.viewport != nullptr) wp_viewport_destroy(wayland.viewport);
    wl_surface_destroy(wayland.surface);
    wlLib.displayFlush(wayland.display);
    wayland.eglWindow = nullptr;
    wayland.frameCallback = nullptr;
    wayland.layerSurface = nullptr;
    wayland.toplevel = nullptr;
    wayland.xdgSurface = nullptr;
    wayland.fractionalScale = nullptr;
    wayland.viewport = nullptr;
    wayland.preferredScale = 0;
    wayland.surface = nullptr;
    wayland.window = nullptr;
    wayland.configured = false;
}

// The surface is shown by its first frame and stays; focus is the compositor's.
void WaylandShowWindow(Window&, bool) {}
void WaylandSetForeground(Window&) {}
void WaylandMenuChanged(Window&) {}

}  // namespace emu
}  // namespace plat
