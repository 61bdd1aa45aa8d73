#!/usr/bin/env python3
"""A Wayland compositor's socket that takes connections and never answers them,
as a frozen compositor's does: a client that connects waits for its first
round trip for ever.

    wayland_silent_server.py SOCKET_PATH [lifetime_seconds]

Listens on the Unix socket SOCKET_PATH, prints "ready" once it does and
"connected" for every connection, which it keeps open without reading it. Ends after the lifetime (default
30 s), so that a stray server never outlives its test.
"""
import os
import socket
import sys
import time


def main():
    if len(sys.argv) < 2:
        print("usage: wayland_silent_server.py SOCKET_PATH [lifetime_seconds]", file=sys.stderr)
        return 2
    path = sys.argv[1]
    end = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) > 2 else 30)
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(path)
    server.listen(8)
    print("ready", flush=True)
    clients = []
    try:
        while time.monotonic() < end:
            server.settimeout(max(0.01, end - time.monotonic()))
            clients.append(server.accept()[0])
            print("connected", flush=True)
    except (socket.timeout, OSError):
        pass
    finally:
        os.unlink(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
