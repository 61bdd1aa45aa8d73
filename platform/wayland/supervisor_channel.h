// The channel between the supervisor and each saver process (a socket pair):
// one byte per message. It carries what one process alone cannot know: whether
// the keyboard or the pointer that left its surface went to another of ours.
#pragma once

namespace plat {

// Saver process -> supervisor.
constexpr char kKeyboardEntered = 'E';
constexpr char kKeyboardLeft = 'L';   // to something else, the keyboard itself still there
constexpr char kQueryAnswered = 'R';  // a round trip after kQueryKeyboard is done
constexpr char kPointerEntered = 'P';
constexpr char kPointerLeft = 'p';  // to something else, the pointer itself still there

// Supervisor -> saver process. The end of the channel (the supervisor gone)
// ends the process.
constexpr char kQueryKeyboard = 'Q';  // make a round trip, then answer
constexpr char kDeactivate = 'D';     // the keyboard went to another program
constexpr char kTakeKeyboard = 'K';   // the one that had it is gone: ask for it

}  // namespace plat
