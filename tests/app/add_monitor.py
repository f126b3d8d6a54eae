#!/usr/bin/python3
"""Adds a RandR monitor to the X server in $DISPLAY while it runs: add_monitor.py NAME WxH+X+Y.
Prints "ready" once the server has it, and removes it when its standard input closes (the
server also drops it with the connection, but tells nobody then)."""
import ctypes
import re
import sys

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xrandr = ctypes.cdll.LoadLibrary("libXrandr.so.2")


class Monitor(ctypes.Structure):
    _fields_ = [("name", ctypes.c_ulong), ("primary", ctypes.c_int), ("automatic", ctypes.c_int),
                ("noutput", ctypes.c_int), ("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int), ("mwidth", ctypes.c_int),
                ("mheight", ctypes.c_int), ("outputs", ctypes.c_void_p)]


x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xrandr.XRRSetMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Monitor)]
xrandr.XRRDeleteMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
width, height, left, top = map(int, re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", sys.argv[2]).groups())
# Millimetres at about 96 dots per inch.
monitor = Monitor(x11.XInternAtom(display, sys.argv[1].encode(), 0), 0, 0, 0, left, top, width,
                  height, width * 254 // 960, height * 254 // 960, None)
xrandr.XRRSetMonitor(display, x11.XDefaultRootWindow(display), ctypes.byref(monitor))
x11.XSync(display, 0)
print("ready", flush=True)
sys.stdin.read()
xrandr.XRRDeleteMonitor(display, x11.XDefaultRootWindow(display), monitor.name)
x11.XSync(display, 0)
