#!/usr/bin/python3
"""add_monitor.py NAME WxH+X+Y: adds a RandR monitor to the X server in $DISPLAY, prints "ready",
and removes it once standard input closes (the server would drop it with the connection, but
without telling its clients)."""
import ctypes, re, sys

x11, xrandr = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXrandr.so.2")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes, x11.XDefaultRootWindow.restype = [ctypes.c_void_p], ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
# XRRMonitorInfo: name, primary, automatic, noutput, x, y, width, height, mwidth, mheight, outputs
fields = ["name", "primary", "automatic", "noutput", "x", "y", "width", "height", "mw", "mh"]
Monitor = type("Monitor", (ctypes.Structure,), {"_fields_": [("name", ctypes.c_ulong)] + [
    (field, ctypes.c_int) for field in fields[1:]] + [("outputs", ctypes.c_void_p)]})
xrandr.XRRSetMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Monitor)]
xrandr.XRRDeleteMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]

display = x11.XOpenDisplay(None) or sys.exit("no X display")
root = x11.XDefaultRootWindow(display)
width, height, left, top = map(int, re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", sys.argv[2]).groups())
name = x11.XInternAtom(display, sys.argv[1].encode(), 0)
# Millimetres at 96 dots per inch.
monitor = Monitor(name, 0, 0, 0, left, top, width, height, width * 254 // 960, height * 254 // 960)
xrandr.XRRSetMonitor(display, root, ctypes.byref(monitor))
x11.XSync(display, 0)
print("ready", flush=True)
sys.stdin.read()
xrandr.XRRDeleteMonitor(display, root, name)
x11.XSync(display, 0)
