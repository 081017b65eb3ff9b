#!/usr/bin/env python3
"""A TCP relay between the program and the test's database server that can go
silent: it forwards until it gets SIGUSR1, then keeps every connection open
but passes nothing either way (as a network that drops packets, while this
computer still acknowledges them); SIGUSR2 lets it forward again.

  silent_relay.py UNIX_SOCKET_PATH    prints the TCP port it listens on
"""
import select
import signal
import socket
import sys

target = sys.argv[1]
silent = False


def hush(*_):
    global silent
    silent = True


def speak(*_):
    global silent
    silent = False


signal.signal(signal.SIGUSR1, hush)
signal.signal(signal.SIGUSR2, speak)

listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(16)
print(listener.getsockname()[1], flush=True)

peers = {}  # socket -> the socket it forwards to
while True:
    watched = [listener] + ([] if silent else list(peers))
    try:
        ready, _, _ = select.select(watched, [], [], 0.1)
    except InterruptedError:
        continue
    for s in ready:
        if s is listener:
            client, _ = listener.accept()
            server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            server.connect(target)
            peers[client] = server
            peers[server] = client
            continue
        if s not in peers:
            continue
        try:
            data = s.recv(65536)
        except OSError:
            data = b""
        other = peers[s]
        if not data:
            for end in (s, other):
                peers.pop(end, None)
                end.close()
            continue
        other.sendall(data)
