#!/usr/bin/python3
"""What a screen reader reads from the real window, read from outside it.

Starts `tavrin` on its own virtual X screen (Xvfb) with its own D-Bus session
and accessibility bus (AT-SPI), types the typical run with real key presses
(Length, Inches, 12, Centimetres, Alt+C, Tab onto the result) and reads the
window back through AT-SPI as Orca does: the output box's name, role and text,
the events its change sent, and each list's name and label.

    /usr/bin/python3 screen_reader_test.py path/to/tavrin

Needs Debian's xvfb, dbus-daemon, at-spi2-core, python3-pyatspi and xdotool.
Every process it starts ends with it, also when it is killed.
"""
import ctypes
import os
import signal
import subprocess
import sys
import tempfile
import time


def start(args, log, **kwargs):
    # Each child leads its own process group (its helpers die with it) and
    # gets SIGTERM when this script dies, even by SIGKILL on a test timeout.
    die_with_parent = lambda: ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    return subprocess.Popen(args, stdout=kwargs.pop("stdout", log), stderr=log,
                            start_new_session=True, preexec_fn=die_with_parent, **kwargs)


def until(what, seconds, pump=lambda: None):
    """What what() gives once it is true, pumping events meanwhile; None on time-out."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        pump()
        if found := what():
            return found
        time.sleep(0.05)
    return None


def text_of(accessible):
    """The text a screen reader reads from an object; None if it offers none."""
    try:
        return accessible.queryText().getText(0, -1)
    except NotImplementedError:
        return None


def main(tavrin):
    failures, processes = [], []
    with tempfile.TemporaryDirectory(prefix="tavrin-at-spi.") as scratch:
        log = open(os.path.join(scratch, "log"), "w+")
        try:
            check(tavrin, scratch, log, processes, failures)
        except Exception as e:
            failures.append(f"{type(e).__name__}: {e}")
        finally:
            for p in reversed(processes):
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    continue
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    os.killpg(p.pid, signal.SIGKILL)
                    p.wait()
            if failures:
                log.seek(0)
                sys.stderr.write("---- Xvfb, the buses and tavrin said:\n" + log.read()[-6000:])
    for f in failures:
        print("FAILED:", f)
    print("screen reader's view:", "wrong" if failures else "as it should be")
    return 1 if failures else 0


def check(tavrin, scratch, log, processes, failures):
    r, w = os.pipe()  # Xvfb picks a free display and writes its number here
    processes.append(start(["Xvfb", "-displayfd", str(w), "-screen", "0", "640x400x24",
                            "-nolisten", "tcp"], log, pass_fds=[w]))
    os.close(w)
    with os.fdopen(r) as displayfd:
        display = displayfd.readline().strip()
    if not display:
        raise RuntimeError("Xvfb did not start")
    # The buses find the screen and each other through the environment, set
    # before any starts; the accessibility bus puts its socket under
    # XDG_RUNTIME_DIR, here the scratch folder, so parallel runs never meet.
    os.environ.update(DISPLAY=":" + display, XDG_RUNTIME_DIR=scratch, XDG_CACHE_HOME=scratch,
                      QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    for name in ("AT_SPI_BUS_ADDRESS", "QT_ACCESSIBILITY", "NO_AT_BRIDGE", "WAYLAND_DISPLAY"):
        os.environ.pop(name, None)
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], log,
                stdout=subprocess.PIPE, text=True)
    processes.append(bus)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

    import pyatspi
    from gi.repository import GLib
    desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus and registry
    def pump():
        while GLib.MainContext.default().iteration(False):
            pass
    events = []
    for kind in ("object:text-changed", "object:announcement"):
        pyatspi.Registry.registerEventListener(
            lambda e: events.append((e.type, e.source.name, e.any_data)), kind)

    processes.append(start([tavrin], log))
    app = until(lambda: next((a for a in desktop if a is not None and a.name == "Tavrin"), None),
                30, pump)
    if not app:
        raise RuntimeError("tavrin never appeared on the accessibility bus")
    def controls():
        found = {}
        def walk(node):
            for child in filter(None, node):
                found.setdefault((child.getRoleName(), child.name), child)
                if child.getRoleName() != "combo box":
                    walk(child)
        walk(app)
        return found
    box = until(lambda: next((c for (_, name), c in controls().items()
                              if name == "Converted value"), None), 10, pump)
    if not box:
        raise RuntimeError(f"no control named 'Converted value': {sorted(controls())}")
    def box_reads(expected, when):
        role, read_only = box.getRoleName(), box.getState().contains(pyatspi.STATE_READ_ONLY)
        if role not in ("text", "entry", "static") or not read_only or \
                box.name != "Converted value" or text_of(box) != expected:
            failures.append(f"{when}: the output box is a {role} (read-only: {read_only}) "
                            f"reading {box.name!r}, {text_of(box)!r}")
    box_reads("", "before converting")

    # The typical run, typed. The window takes the keyboard as it would from a
    # window manager (there is none).
    window = until(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                           "^Tavrin$"], capture_output=True, text=True).stdout.split(), 10)
    if not window:
        raise RuntimeError("xdotool finds no window named Tavrin")
    def xdotool(*args):
        subprocess.run(["xdotool", *args], check=True, timeout=30)
        pump()
    xdotool("windowfocus", "--sync", window[0])
    xdotool("key", "Down")  # chooses "Length", the first type of units
    for typed in ("Inches", "12", "Centimetres"):  # into From, the value and To
        xdotool("key", "Tab")
        xdotool("type", "--delay", "30", typed)
    # Alt+C clicks Convert once the button has shown its press: the result is
    # awaited before Tab, so Convert works while the focus is on "To:".
    xdotool("key", "alt+c")
    if not until(lambda: text_of(box) == "30.48", 10, pump):
        failures.append("Alt+C does not show 30.48 in the output box")
    xdotool("key", "Tab")
    if not until(lambda: box.getState().contains(pyatspi.STATE_FOCUSED), 10, pump):
        failures.append("Tab from \"To:\" does not reach the output box")
    box_reads("30.48", "after the typical run")

    # One insertion, no more; from Qt 6.8 the result is also announced, as it
    # was printed while the focus was on "To:".
    from_box = [(kind, data) for kind, name, data in events if name == "Converted value"]
    changes = [e for e in from_box if e[0].startswith("object:text-changed")]
    if changes != [("object:text-changed:insert", "30.48")]:
        failures.append(f"the conversion's text events are {changes}, not one insertion of 30.48")
    qt = app.get_toolkit_version()
    if tuple(map(int, qt.split(".")[:2])) >= (6, 8) and ("object:announcement", "30.48") not in from_box:
        failures.append(f"Qt {qt} announced nothing: {from_box}")

    # Each list is called by its label and labelled by it, whatever it shows.
    found = controls()
    for label, shows in (("Select Type of Units", "Length"), ("From:", "Inches"),
                         ("To:", "Centimetres")):
        combo = found.get(("combo box", label))
        if not combo:
            failures.append(f"no list named {label!r}: {sorted(found)}")
            continue
        labelled_by = [r.getTarget(i).name for r in combo.getRelationSet()
                       if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                       for i in range(r.getNTargets())]
        field = pyatspi.findDescendant(combo, lambda c: c.getRoleName() in ("text", "entry"))
        if labelled_by != [label] or field is None or text_of(field) != shows:
            failures.append(f"the list {label!r} is labelled by {labelled_by} and shows "
                            f"{field and text_of(field)!r}, not {shows!r}")


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
