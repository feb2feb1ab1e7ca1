#!/usr/bin/env python3
"""A keyboard and mouse for a GNOME session, through mutter's remote desktop service on the session bus.

Reads one command a line from standard input, the same ones the sway test's virtual input takes:
  down CODE / up CODE   an evdev key code pressed or released
  move DX DY            relative pointer motion, in pixels (mutter applies no acceleration to it)
  home                  the pointer to the top left corner, from wherever it is
  click                 the left button pressed and released
  sync                  prints "ok" once everything before it has been delivered
The session lasts as long as this process: mutter ends a remote desktop session whose caller left the bus.
"""
import sys

from gi.repository import Gio, GLib

BUS_NAME = "org.gnome.Mutter.RemoteDesktop"
BTN_LEFT = 0x110


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def call(path, interface, method, args=None, reply="()"):
        return bus.call_sync(BUS_NAME, path, interface, method, args, GLib.VariantType(reply),
                             Gio.DBusCallFlags.NONE, 5000, None).unpack()

    (session,) = call("/org/gnome/Mutter/RemoteDesktop", BUS_NAME, "CreateSession", None, "(o)")
    session_if = BUS_NAME + ".Session"
    call(session, session_if, "Start")

    def key(code, pressed):
        call(session, session_if, "NotifyKeyboardKeycode", GLib.Variant("(ub)", (code, pressed)))

    def button(pressed):
        call(session, session_if, "NotifyPointerButton", GLib.Variant("(ib)", (BTN_LEFT, pressed)))

    def move(dx, dy):
        call(session, session_if, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)))

    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        try:
            if words[0] in ("down", "up"):
                key(int(words[1]), words[0] == "down")
            elif words[0] == "move":
                move(float(words[1]), float(words[2]))
            elif words[0] == "home":
                move(-100000.0, -100000.0)
            elif words[0] == "click":
                button(True)
                button(False)
            elif words[0] == "sync":
                print("ok", flush=True)
            else:
                print(f"remote_input: unknown command {line.strip()!r}", file=sys.stderr, flush=True)
        except GLib.Error as error:
            print(f"remote_input: {line.strip()}: {error.message}", file=sys.stderr, flush=True)
    call(session, session_if, "Stop")


if __name__ == "__main__":
    main()
