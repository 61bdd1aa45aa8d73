// The session lock (`--lock`): locks the session through ext-session-lock-v1,
// covers every output with a lock surface and unlocks only on a correct PAM
// answer for the user running it. One process owns the connection, the lock
// surfaces, the keyboard and the password; the shell does not run in it.
//
// Refusals (one line on stderr, status 1, nothing locked or drawn): no PAM
// service file, no ext-session-lock-v1, the lock held by another client.
#pragma once

namespace plat {

// The PAM service, /etc/pam.d/corvel-savers.
constexpr const char* kLockPamService = "corvel-savers";

// Runs the lock until it is unlocked; the exit status. With `daemonize` the
// caller's process returns 0 as soon as the compositor has locked the session,
// and a child keeps the lock.
int RunLock(const char* program, bool daemonize);

}  // namespace plat
