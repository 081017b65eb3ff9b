#!/usr/bin/python3
"""A mail server for the tests: listens on 127.0.0.1 on a free port, prints
"PORT n" once it accepts connections, and keeps every message it accepts in
the folder given as N.eml (the data) and N.env (the envelope: MAIL FROM on
the first line, one RCPT TO per line after it).

--refuse ADDRESS        answers RCPT TO for that address with a 550
--user U --password P   asks for authentication with these credentials
"""
import argparse
import os
import signal
import socket

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


class Keeper:
    def __init__(self, folder, refused):
        self.folder = folder
        self.refused = set(a.lower() for a in refused)
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.refused:
            return "550 5.1.1 <%s>: Recipient address rejected: User unknown" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".eml.part", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".env", "w") as f:
            f.write(envelope.mail_from + "\n")
            for r in envelope.rcpt_tos:
                f.write(r + "\n")
        os.rename(base + ".eml.part", base + ".eml")
        return "250 Message accepted for delivery"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    p = argparse.ArgumentParser()
    p.add_argument("folder")
    p.add_argument("--refuse", action="append", default=[])
    p.add_argument("--user")
    p.add_argument("--password")
    a = p.parse_args()

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (auth_data.login or b"").decode() == a.user and \
             (auth_data.password or b"").decode() == a.password
        # handled=False: the server answers 535 itself on a refusal.
        return AuthResult(success=ok, handled=False)

    options = {}
    if a.user:
        options = dict(authenticator=authenticate, auth_required=True,
                       auth_require_tls=False)
    port = free_port()
    c = Controller(Keeper(a.folder, a.refuse), hostname="127.0.0.1", port=port,
                   **options)
    c.start()
    print("PORT %d" % port, flush=True)
    signal.sigwait({signal.SIGTERM, signal.SIGINT})
    c.stop()


if __name__ == "__main__":
    # The server's thread inherits the blocked signals; the main thread waits for them.
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGTERM, signal.SIGINT})
    main()
