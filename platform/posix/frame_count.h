// Frames presented, for the tests and benchmarks that judge a saver's pacing by
// what it does rather than by CPU time a busy machine moves. Off unless the
// environment variable SAVER_FRAME_COUNT_DIR names a folder; then each frame a
// process presents rewrites the file <folder>/<pid> with its count so far, in
// decimal. A frame costs one counter increment when off, one pwrite when on.
#pragma once

namespace plat {

void NoteFramePresented();

}  // namespace plat
