#!/usr/bin/env python3
"""An X server that takes connections and never answers them: a client that
connects to it stays inside XOpenDisplay, as a program does while a busy
server is slow to let it in.

    x11_silent_server.py MARKER [lifetime_seconds]

Listens on the loopback address at port 6000 + N for the first free N from
300 on, prints the display name "127.0.0.1:N" and writes MARKER once a
client has connected. Ends after the lifetime (default 30 s), so that a stray
server never outlives its test.
"""
import socket
import sys
import time


def main():
    if len(sys.argv) < 2:
        print("usage: x11_silent_server.py MARKER [lifetime_seconds]", file=sys.stderr)
        return 2
    marker = sys.argv[1]
    end = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) > 2 else 30)
    server = socket.socket()
    for number in range(300, 400):
        try:
            server.bind(("127.0.0.1", 6000 + number))
            break
        except OSError:
            continue
    else:
        print("x11_silent_server.py: no free port from 6300 to 6399", file=sys.stderr)
        return 1
    server.listen(8)
    print(f"127.0.0.1:{number}", flush=True)
    server.settimeout(max(0.0, end - time.monotonic()))
    clients = []
    try:
        clients.append(server.accept()[0])
        with open(marker, "w") as f:
            f.write("connected\n")
        time.sleep(max(0.0, end - time.monotonic()))
    except (socket.timeout, OSError):
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
