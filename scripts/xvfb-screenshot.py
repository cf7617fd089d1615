#!/usr/bin/python3
"""Runs a graphical program on a private virtual X display and saves a picture of what it shows.

    scripts/xvfb-screenshot.py OUT.png [--timeout SECONDS] -- PROGRAM [ARGUMENT]...

Xvfb keeps its screen in a file (-fbdir, XWD format); once the program has drawn something and
the picture has stopped changing, the drawn part of the screen is written as a PNG and the
program and the display are ended. Needs only Xvfb (package xvfb) and Python's standard
library. Exit status 0, or 1 with the reason on standard error.
"""

import argparse
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SCREEN = (1280, 900)
MARGIN = 0
STABLE_SECONDS = 0.6


def read_screen(path):
    """The screen as (width, height, rows of RGB bytes), or None while the file is incomplete."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 100:
        return None
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if bits_per_pixel != 32:
        raise ValueError(f"unexpected {bits_per_pixel} bits per pixel")
    start = header_size + 12 * ncolors
    if len(data) < start + bytes_per_line * height:
        return None
    # 0x00RRGGBB words in the server's byte order.
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line : start + y * bytes_per_line + 4 * width]
        if byte_order == 0:  # least significant byte first: B G R x
            rgb = bytearray(3 * width)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
        else:  # x R G B
            rgb = bytearray(3 * width)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[1::4], line[2::4], line[3::4]
        rows.append(bytes(rgb))
    return width, height, rows


def drawn_box(width, height, rows):
    """The bounding box of what is not the black root window, or None when nothing is drawn."""
    blank = bytes(3 * width)
    used = [y for y in range(height) if rows[y] != blank]
    if not used:
        return None
    left, right = width, 0
    for y in used:
        row = rows[y]
        stripped = row.lstrip(b"\0")
        first = (len(row) - len(stripped)) // 3
        last = (len(row.rstrip(b"\0")) - 1) // 3
        left, right = min(left, first), max(right, last)
    return (
        max(0, left - MARGIN),
        max(0, used[0] - MARGIN),
        min(width, right + 1 + MARGIN),
        min(height, used[-1] + 1 + MARGIN),
    )


def write_png(path, rows, box):
    left, top, right, bottom = box
    width, height = right - left, bottom - top
    raw = b"".join(b"\0" + rows[y][3 * left : 3 * right] for y in range(top, bottom))

    def chunk(kind, body):
        return (
            struct.pack(">I", len(body))
            + kind
            + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
        )

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def start_display(folder):
    """Starts Xvfb with its screen in folder; returns the process and its display name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        [
            "Xvfb",
            "-displayfd",
            str(write_end),
            "-screen",
            "0",
            f"{SCREEN[0]}x{SCREEN[1]}x24",
            "-fbdir",
            folder,
            "-nocursor",
            "-nolisten",
            "tcp",
            "-auth",
            os.devnull,
        ],
        pass_fds=(write_end,),
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    os.close(write_end)
    with os.fdopen(read_end) as ready:
        number = ready.readline().strip()  # written once the display accepts clients
    if not number:
        server.kill()
        server.wait()
        raise RuntimeError("Xvfb did not start")
    return server, ":" + number


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output")
    parser.add_argument("--timeout", type=float, default=30)
    parser.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    program = args.program[1:] if args.program[:1] == ["--"] else args.program
    if not program:
        parser.error("no program given")

    with tempfile.TemporaryDirectory(prefix="qorsched-xvfb-") as folder:
        try:
            server, display = start_display(folder)
        except (OSError, RuntimeError) as error:
            print(f"xvfb-screenshot: cannot start Xvfb: {error}", file=sys.stderr)
            return 1
        environment = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb")
        environment.pop("WAYLAND_DISPLAY", None)
        if "XDG_RUNTIME_DIR" not in environment:  # outside a login session, as under sudo
            runtime = os.path.join(folder, "runtime")
            os.mkdir(runtime, 0o700)
            environment["XDG_RUNTIME_DIR"] = runtime
        client = subprocess.Popen(program, env=environment, stdin=subprocess.DEVNULL)
        try:
            screen_file = os.path.join(folder, "Xvfb_screen0")
            deadline = time.monotonic() + args.timeout
            last, since = None, 0.0
            while time.monotonic() < deadline:
                if client.poll() is not None:
                    print(
                        f"xvfb-screenshot: {program[0]} ended with status {client.returncode} "
                        "before showing anything",
                        file=sys.stderr,
                    )
                    return 1
                screen = read_screen(screen_file)
                box = drawn_box(*screen) if screen else None
                if box and screen[2] == last:
                    if time.monotonic() - since >= STABLE_SECONDS:
                        write_png(args.output, screen[2], box)
                        return 0
                elif box:
                    last, since = screen[2], time.monotonic()
                time.sleep(0.1)
            print(
                f"xvfb-screenshot: {program[0]} showed nothing within {args.timeout:g} s",
                file=sys.stderr,
            )
            return 1
        finally:
            if client.poll() is None:
                client.terminate()
                try:
                    client.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    client.kill()
                    client.wait()
            server.terminate()
            server.wait()


if __name__ == "__main__":
    sys.exit(main())
