// The unlock indicator, drawn by cairo over the saver's picture
// (lock_pictures.cpp) or over black: a ring on a black disc whose colour gives
// the state (typing: blue, checking: amber, wrong: red), one mark per typed
// character on a black bar below it (at most 32 shown), and an orange inner
// ring while Caps Lock is on. Opaque, so it reads the same over any picture.
//
// Until an output's picture shows its first frame, or when it cannot, the lock
// surface shows one of two plain wl_shm buffers (one may be held by the
// compositor while the other is drawn): black with the indicator. The buffers
// are made when the surface's size is configured; a redraw allocates nothing.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>

#include "platform/wayland/lock_state.h"

namespace plat {

namespace {

void OnRelease(void* data, wl_buffer*) { static_cast<LockBuffer*>(data)->busy = false; }

const wl_buffer_listener kBufferListener = {OnRelease};

bool MakeBuffer(LockOutput& output, LockBuffer& buffer, int width, int height) {
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
    buffer.size = static_cast<std::size_t>(stride) * height;
    const int fd = memfd_create("corvel-lock", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return false;
    if (ftruncate(fd, static_cast<off_t>(buffer.size)) != 0) {
        close(fd);
        return false;
    }
    buffer.data = mmap(nullptr, buffer.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (buffer.data == MAP_FAILED) {
        buffer.data = nullptr;
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(lk.shm, fd, static_cast<std::int32_t>(buffer.size));
    buffer.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    buffer.owner = &output;
    wl_buffer_add_listener(buffer.buffer, &kBufferListener, &buffer);
    buffer.surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(buffer.data), CAIRO_FORMAT_RGB24,
                                                         width, height, stride);
    buffer.cairo = cairo_create(buffer.surface);
    buffer.busy = false;
    return cairo_status(buffer.cairo) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

void LockPaintIndicator(cairo_t* cr, int width, int height, int scale) {
    if (!lk.shown) return;
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    const double cx = width / 2.0, cy = height / 2.0;
    const double radius = 50.0 * scale, thickness = 10.0 * scale;
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill_preserve(cr);
    switch (lk.check) {
        case CheckState::Checking:
            cairo_set_source_rgb(cr, 1.0, 0.66, 0.0);
            break;
        case CheckState::Wrong:
            cairo_set_source_rgb(cr, 0.9, 0.0, 0.0);
            break;
        case CheckState::Idle:
            cairo_set_source_rgb(cr, 0.2, 0.45, 1.0);
            break;
    }
    cairo_set_line_width(cr, thickness);
    cairo_stroke(cr);
    if (lk.capsLock) {
        cairo_arc(cr, cx, cy, radius - thickness * 1.5, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 1.0, 0.5, 0.0);
        cairo_set_line_width(cr, thickness / 3);
        cairo_stroke(cr);
    }
    // One mark per character, in a row under the ring, on a bar wide enough for
    // the most marks shown, so that the saver's picture never reads as a mark.
    constexpr int kMostMarks = 32;
    const double gap = 12.0 * scale, dot = 3.5 * scale, row = cy + radius + 30.0 * scale;
    const double bar = (kMostMarks + 1) * gap;
    const double half = 3 * dot;  // the bar's half height: its ends are half circles
    cairo_new_path(cr);
    cairo_arc(cr, cx - bar / 2 + half, row, half, M_PI / 2, 3 * M_PI / 2);
    cairo_arc(cr, cx + bar / 2 - half, row, half, 3 * M_PI / 2, M_PI / 2);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    const std::size_t typed = PasswordCharacters();
    const int marks = typed > kMostMarks ? kMostMarks : static_cast<int>(typed);
    const double left = cx - (marks - 1) * gap / 2;
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    for (int i = 0; i < marks; ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, left + i * gap, row, dot, 0, 2 * M_PI);
    }
    cairo_fill(cr);
}

void LockFreeBuffers(LockOutput& output) {
    for (LockBuffer& buffer : output.buffers) {
        if (buffer.cairo != nullptr) cairo_destroy(buffer.cairo);
        if (buffer.surface != nullptr) cairo_surface_destroy(buffer.surface);
        if (buffer.buffer != nullptr) wl_buffer_destroy(buffer.buffer);
        if (buffer.data != nullptr) munmap(buffer.data, buffer.size);
        buffer = LockBuffer{};
    }
}

void LockDraw(LockOutput& output) {
    if (!output.configured || output.lockSurface == nullptr) return;
    const int scale = output.scale > 0 ? output.scale : 1;
    const int width = output.width * scale, height = output.height * scale;
    LockKeepPicture(output, width, height, scale);
    if (LockPictureShows(output)) {
        output.dirty = false;  // the picture's next frame carries the indicator
        return;
    }
    if (output.buffers[0].buffer == nullptr || output.bufferScale != scale) {
        LockFreeBuffers(output);
        output.bufferScale = scale;
        for (LockBuffer& buffer : output.buffers) {
            if (!MakeBuffer(output, buffer, width, height)) {
                LockFreeBuffers(output);
                return;
            }
        }
    }
    LockBuffer* free = nullptr;
    for (LockBuffer& buffer : output.buffers) {
        if (!buffer.busy) free = &buffer;
    }
    if (free == nullptr) {
        output.dirty = true;  // drawn on the next release
        return;
    }
    output.dirty = false;
    cairo_set_operator(free->cairo, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(free->cairo, 0, 0, 0);
    cairo_paint(free->cairo);
    LockPaintIndicator(free->cairo, width, height, scale);
    cairo_surface_flush(free->surface);
    wl_surface_set_buffer_transform(output.surface, WL_OUTPUT_TRANSFORM_NORMAL);  // a picture's was flipped
    wl_surface_set_buffer_scale(output.surface, scale);
    wl_surface_attach(output.surface, free->buffer, 0, 0);
    wl_surface_damage_buffer(output.surface, 0, 0, width, height);
    wl_surface_commit(output.surface);
    free->busy = true;
}

void LockRedrawAll() {
    for (LockOutput& output : lk.outputs) {
        if (output.used) output.dirty = true;
    }
}

void LockDrawDirty() {
    for (LockOutput& output : lk.outputs) {
        if (output.used && output.dirty) LockDraw(output);
    }
}

}  // namespace plat
