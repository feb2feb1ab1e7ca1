#!/usr/bin/env python3
"""A screenshot of kwin's screen as binary PPM: kwin_shot.py OUT.ppm

kwin writes the pixels into a pipe handed over with the D-Bus call and answers with their size and layout; the
session runs kwin with its screenshot permission check off.
"""
import os
import sys
import threading

from gi.repository import Gio, GLib

QIMAGE_RGB32 = 4  # 0xffRRGGBB words, as kwin sends an opaque screen
QIMAGE_ARGB32 = 5
QIMAGE_ARGB32_PREMULTIPLIED = 6


def main():
    out = sys.argv[1]
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    read_end, write_end = os.pipe()
    fds = Gio.UnixFDList.new()
    handle = fds.append(write_end)
    os.close(write_end)

    data = bytearray()

    def drain():
        with os.fdopen(read_end, "rb") as pipe:
            while chunk := pipe.read(1 << 20):
                data.extend(chunk)

    reader = threading.Thread(target=drain, daemon=True)
    reader.start()
    try:
        reply, _ = bus.call_with_unix_fd_list_sync(
            "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureActiveScreen",
            GLib.Variant("(a{sv}h)", ({"include-cursor": GLib.Variant("b", False)}, handle)),
            GLib.VariantType("(a{sv})"), Gio.DBusCallFlags.NONE, 10000, fds, None)
    except GLib.Error as error:
        sys.exit(f"kwin_shot: {error.message}")
    # kwin holds the only write end now: the pipe ends when it has written everything.
    for fd in fds.steal_fds():
        os.close(fd)
    reader.join(10)
    (info,) = reply.unpack()
    width, height, stride, image_format = info["width"], info["height"], info["stride"], info["format"]
    if image_format not in (QIMAGE_RGB32, QIMAGE_ARGB32, QIMAGE_ARGB32_PREMULTIPLIED):
        sys.exit(f"kwin_shot: image format {image_format} is not one of the 32-bit ones")
    if len(data) < stride * height:
        sys.exit(f"kwin_shot: {len(data)} bytes, expected {stride * height}")
    rows = b"".join(bytes(data[y * stride:y * stride + width * 4]) for y in range(height))
    rgb = bytearray(width * height * 3)
    rgb[0::3] = rows[2::4]  # little-endian words: B, G, R, A in memory
    rgb[1::3] = rows[1::4]
    rgb[2::3] = rows[0::4]
    with open(out + ".new", "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(rgb)
    os.replace(out + ".new", out)


if __name__ == "__main__":
    main()
