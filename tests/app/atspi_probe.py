#!/usr/bin/python3
"""Reads an application's accessibility tree over AT-SPI, as a screen reader does (pyatspi is
the library Orca uses), and records the events a screen reader acts on.

Usage: atspi_probe.py PID. Finds the application of that process on the accessibility bus (its
first call starts the bus on the session bus), says {"ready": true}, then answers one JSON line
per request line on standard input:
  {"windows": true}       the application's windows: [{"role", "name"}]
  {"tree": NAME}          the window named NAME (or the window at that place when NAME is a
                          number) with everything under it, or null: nodes of
                          {"role", "name", "description", "states", "children"}
  {"events": true}        the events since the last such request, in order: {"type", "role",
                          "name"} for focus gained, objects shown and windows activated
"""

import json
import sys
import time

import pyatspi
from gi.repository import GLib

EVENTS = ["object:state-changed:focused", "object:state-changed:showing", "window:activate"]

pid = int(sys.argv[1])
application = None
events = []


def find_application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        candidate = desktop.getChildAtIndex(index)
        try:
            if candidate is not None and candidate.get_process_id() == pid:
                return candidate
        except Exception:
            pass
    return None


def node(accessible):
    states = accessible.getState()
    return {
        "role": accessible.getRoleName(),
        "name": accessible.name or "",
        "description": accessible.description or "",
        "states": sorted(pyatspi.stateToString(s) for s in states.getStates()),
        "children": [node(child) for child in accessible if child is not None],
    }


def windows():
    return [w for w in application if w is not None]


def answer(request):
    if "windows" in request:
        return [{"role": w.getRoleName(), "name": w.name} for w in windows()]
    if "tree" in request:
        key = request["tree"]
        found = [w for i, w in enumerate(windows()) if (i if isinstance(key, int) else w.name) == key]
        return node(found[0]) if found else None
    if "events" in request:
        taken = list(events)
        events.clear()
        return taken
    return {"error": "unknown request"}


def on_event(event):
    if event.type.startswith("object:state-changed") and not event.detail1:
        return  # focus lost, object hidden
    try:
        if event.source.get_process_id() != pid:
            return
        events.append({"type": event.type, "role": event.source.getRoleName(),
                       "name": event.source.name or ""})
    except Exception:
        pass  # gone meanwhile


def on_request(channel, condition):
    line = sys.stdin.readline()
    if not line:
        pyatspi.Registry.stop()
        return False
    try:
        reply = answer(json.loads(line))
    except Exception as error:  # reported, so the test says what went wrong
        reply = {"error": repr(error)}
    print(json.dumps(reply), flush=True)
    return True


deadline = time.monotonic() + 30
while application is None and time.monotonic() < deadline:
    application = find_application()
    if application is None:
        time.sleep(0.1)
if application is None:
    desktop = pyatspi.Registry.getDesktop(0)
    print("atspi_probe: no application of process %d among %s" % (pid, [
        (a.name, a.get_process_id()) for a in desktop if a is not None]), file=sys.stderr)
    print(json.dumps({"ready": False}), flush=True)
    sys.exit(1)
pyatspi.Registry.registerEventListener(on_event, *EVENTS)
GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.IO_IN | GLib.IO_HUP,
                  on_request)
print(json.dumps({"ready": True}), flush=True)
pyatspi.Registry.start()
