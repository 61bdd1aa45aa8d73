// The hand-over between the session lock and its picture processes.
//
// The lock belongs to one Wayland client, and each effect keeps one state for
// its process, so the lock cannot draw the savers itself: for each output it
// starts the same program again (`<program> --lock-picture WxH`,
// entry_options.h), which runs
// the shell's full-screen saver off screen at that size in buffer pixels
// (picture_*.cpp) and hands each finished frame over through shared memory.
// The lock draws its unlock indicator over the frame and attaches it to the
// output's lock surface. The picture process connects to no compositor, reads
// no input and holds no secret: it is started with exec, so nothing of the
// lock's memory reaches it.
//
// Descriptors the picture process starts with:
//   kPictureMemoryFd   a memfd of kPictureSlots frames, each PictureSlotBytes
//                      long: rows bottom to top, as GL reads them (the
//                      lock shows them with a flipped buffer transform
//                      instead of copying them upright), 4 bytes per pixel
//                      in wl_shm's XRGB8888 order (B, G, R, X)
//   kPictureChannelFd  a SOCK_SEQPACKET socket; every message is one byte,
//                      a slot's index. From the lock: "this slot is yours to
//                      draw into". From the picture: "this slot holds a
//                      finished frame; it is yours again". A slot belongs to
//                      one side at a time.
// The lock's end of the channel closing ends the picture process; so does the
// lock's death (PR_SET_PDEATHSIG).
#pragma once

#include <cstddef>

#include "platform/linux/entry_options.h"

namespace plat {

constexpr int kPictureSlots = 2;
constexpr int kPictureMemoryFd = 3;
constexpr int kPictureChannelFd = 4;

constexpr std::size_t PictureSlotBytes(int width, int height) {
    return static_cast<std::size_t>(width) * 4 * static_cast<std::size_t>(height);
}

}  // namespace plat
