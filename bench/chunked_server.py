#!/usr/bin/env python3
"""Serves one large body with chunked transfer coding, for bench/compare.

Usage: chunked_server.py --port N --size BYTES --chunk BYTES

Every GET is answered HTTP/1.1 200 with "Transfer-Encoding: chunked" and SIZE bytes in
chunks of CHUNK bytes; the bytes are the same repeated SHA-256 pattern that bench/compare
writes into its static file, so both bodies can be checked against one digest. The
connection stays open for the next request. Listens on 127.0.0.1 only.
"""

import argparse
import hashlib
import socketserver

FRAMES_PER_SEND = 64


class ChunkedHandler(socketserver.StreamRequestHandler):
    def handle(self):
        while self.read_request_head():
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                             b"Transfer-Encoding: chunked\r\n\r\n")
            self.send_chunks()

    def read_request_head(self):
        line = self.rfile.readline()
        if not line:
            return False
        while line not in (b"\r\n", b"\n", b""):
            line = self.rfile.readline()
        return True

    def send_chunks(self):
        size, chunk = self.server.size, self.server.chunk
        pattern = hashlib.sha256(b"quorvel").digest()
        data = (pattern * (chunk // len(pattern) + 1))[:chunk]
        frame = b"%x\r\n" % chunk + data + b"\r\n"
        full_frames = size // chunk
        burst = frame * FRAMES_PER_SEND
        for _ in range(full_frames // FRAMES_PER_SEND):
            self.wfile.write(burst)
        self.wfile.write(frame * (full_frames % FRAMES_PER_SEND))
        rest = size % chunk
        if rest:
            self.wfile.write(b"%x\r\n" % rest + data[:rest] + b"\r\n")
        self.wfile.write(b"0\r\n\r\n")
        self.wfile.flush()


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--size", type=int, required=True)
    parser.add_argument("--chunk", type=int, default=8192)
    args = parser.parse_args()
    with Server(("127.0.0.1", args.port), ChunkedHandler) as server:
        server.size, server.chunk = args.size, args.chunk
        server.serve_forever()


if __name__ == "__main__":
    main()
