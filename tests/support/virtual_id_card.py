#!/usr/bin/env python3
"""A Thai national ID card for the virtual reader of vsmartcard-vpcd.

Connects to the reader's port (127.0.0.1:35963 by default), which inserts
the card; closing the connection removes it. Messages both ways are a
2-byte big-endian length and a payload: a 1-byte payload is a control code
from the reader (0 power off, 1 power on, 2 reset, 4 send the ATR), any
other payload a command the card answers with data and status bytes.

    virtual_id_card.py CARD.json [--port N]

CARD.json holds the card's fields as text ("id", "thai_name", "english_name",
"birth", "sex", "issuer", "issued", "expires", "address", "request") and
"photo", the path of a JPEG file; "atr" (hex), "get_response_p2" (the only P2
of GET RESPONSE the card takes; others answer 6A 86) and "remove_at_photo_chunk"
(pull the card out when that chunk of the photo is asked for) are optional.
Prints "inserted" once connected and exits when the card is removed.
"""

import json
import socket
import struct
import sys
import time

OFFSETS = {
    "id": (0x0004, 13),
    "thai_name": (0x0011, 100),
    "english_name": (0x0075, 100),
    "birth": (0x00D9, 8),
    "sex": (0x00E1, 1),
    "issuer": (0x00F6, 100),
    "issued": (0x0167, 8),
    "expires": (0x016F, 8),
    "address": (0x1579, 100),
    "request": (0x1619, 14),
}
PHOTO = 0x017B
PHOTO_CHUNK = 255
SELECT = bytes.fromhex("00A4040008A000000054480001")


def memory_of(card):
    memory = bytearray(b" " * 0x1700)
    for key, (offset, length) in OFFSETS.items():
        data = card.get(key, "").encode("tis-620")[:length]
        memory[offset:offset + len(data)] = data
    if card.get("photo"):
        with open(card["photo"], "rb") as f:
            photo = f.read()[:20 * PHOTO_CHUNK]
        memory[PHOTO:PHOTO + 20 * PHOTO_CHUNK] = photo.ljust(20 * PHOTO_CHUNK, b"\0")
    return memory


def receive(sock, size):
    data = b""
    while len(data) < size:
        # Acknowledge at once: the reader's driver sends a command's length
        # and its bytes apart, and would wait for the acknowledgement of the
        # first (40 ms on Linux) before sending the second.
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
        part = sock.recv(size - len(data))
        if not part:
            return None
        data += part
    return data


DELAY = 0.0  # seconds before each answer (answer_delay_ms): a slower reader


def send(sock, payload):
    if DELAY:
        time.sleep(DELAY)
    sock.sendall(struct.pack(">H", len(payload)) + payload)


def main():
    card = json.load(open(sys.argv[1], encoding="utf-8"))
    port = int(sys.argv[sys.argv.index("--port") + 1]) if "--port" in sys.argv else 35963
    atr = bytes.fromhex(card.get("atr", "3B799600005448204E49442031 37").replace(" ", ""))
    global DELAY
    DELAY = card.get("answer_delay_ms", 0) / 1000.0
    remove_at = card.get("remove_at_photo_chunk")
    only_p2 = card.get("get_response_p2")
    # A card that gives text no longer than this at once (the photo's chunks aside).
    longest = card.get("longest_read", 255)
    memory = memory_of(card)
    pending = b""
    sock = socket.create_connection(("127.0.0.1", port))
    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    print("inserted", flush=True)
    while True:
        head = receive(sock, 2)
        if head is None:
            break
        message = receive(sock, struct.unpack(">H", head)[0])
        if message is None:
            break
        if len(message) == 1:
            if message[0] == 4:
                send(sock, atr)
            continue
        if message == SELECT:
            pending = b""
            send(sock, bytes([0x61, 0x0A]))
        elif message[:2] == b"\x80\xb0" and len(message) >= 7:
            offset = (message[2] << 8) | message[3]
            length = message[6]
            if remove_at is not None and offset >= PHOTO and offset < OFFSETS["address"][0]:
                if (offset - PHOTO) // PHOTO_CHUNK + 1 >= remove_at:
                    break  # pulled out halfway through the photo
            in_photo = PHOTO <= offset < OFFSETS["address"][0]
            if length > longest and not in_photo:
                send(sock, b"\x67\x00")  # wrong length
                continue
            pending = bytes(memory[offset:offset + length])
            send(sock, bytes([0x61, length]))
        elif message[:2] == b"\x00\xc0" and len(message) >= 5:
            if only_p2 is not None and message[3] != only_p2:
                send(sock, b"\x6a\x86")  # wrong P1 P2
                continue
            send(sock, pending[:message[4]] + b"\x90\x00")
            pending = b""
        else:
            send(sock, b"\x6d\x00")
    sock.close()


if __name__ == "__main__":
    main()
