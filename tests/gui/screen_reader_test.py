#!/usr/bin/python3
"""What a screen reader reads from the real window, read from outside it.

Starts `tavrin` on its own virtual X screen (Xvfb) with its own D-Bus session
and accessibility bus (AT-SPI), types the typical run with real key presses
(Length, Inches to Centimetres, 12, Alt+C, Tab onto the result), and reads the
window back through AT-SPI as Orca does: the output box's name, role and text,
the events its change sent, and the name and label of each list.

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

PR_SET_PDEATHSIG = 1


def dies_with_us():
    # A child ends when this script does, even on SIGKILL from a test timeout.
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def start(args, log, **kwargs):
    return subprocess.Popen(args, stdout=kwargs.pop("stdout", log), stderr=log,
                            start_new_session=True, preexec_fn=dies_with_us, **kwargs)


def until(what, deadline_s, pump=lambda: None):
    """Waits for what() to give something true, pumping events meanwhile."""
    end = time.monotonic() + deadline_s
    while time.monotonic() < end:
        pump()
        found = what()
        if found:
            return found
        time.sleep(0.05)
    return None


def text_of(accessible):
    """The text a screen reader reads from an object, None if it offers none."""
    try:
        return accessible.queryText().getText(0, -1)
    except NotImplementedError:
        return None


def main(tavrin):
    failures = []
    processes = []
    with tempfile.TemporaryDirectory(prefix="tavrin-at-spi.") as scratch:
        log = open(os.path.join(scratch, "log"), "w+")
        try:
            run(tavrin, scratch, log, processes, failures)
        except Exception as e:  # the report names what failed, then everything is ended
            failures.append(f"{type(e).__name__}: {e}")
        finally:
            for p in reversed(processes):
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    os.killpg(p.pid, signal.SIGKILL)
                    p.wait()
            if failures:
                log.seek(0)
                sys.stderr.write("---- log of Xvfb, the buses and tavrin:\n" + log.read()[-6000:])
    for f in failures:
        print("FAILED:", f)
    print("screen reader's view:", "wrong" if failures else "as it should be")
    return 1 if failures else 0


def run(tavrin, scratch, log, processes, failures):
    # An X screen of our own: -displayfd picks a free display number.
    r, w = os.pipe()
    processes.append(start(["Xvfb", "-displayfd", str(w), "-screen", "0", "640x400x24",
                            "-nolisten", "tcp"], log, pass_fds=[w]))
    os.close(w)
    with os.fdopen(r) as displayfd:
        display = displayfd.readline().strip()
    if not display:
        raise RuntimeError("Xvfb did not start")

    # The buses find each other through the environment, so it is set before
    # any of them starts; the accessibility bus puts its socket under
    # XDG_RUNTIME_DIR, here the scratch folder, so parallel runs never meet.
    os.environ.update(DISPLAY=":" + display, XDG_RUNTIME_DIR=scratch, XDG_CACHE_HOME=scratch,
                      QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    for name in ("AT_SPI_BUS_ADDRESS", "QT_ACCESSIBILITY", "NO_AT_BRIDGE", "WAYLAND_DISPLAY"):
        os.environ.pop(name, None)
    # In the sanitized suite: strict string checks take libxkbcommon's
    # strndup of an unterminated X atom name, as Qt's xcb platform starts,
    # for an overflow; that library is neither ours nor instrumented.
    if "ASAN_OPTIONS" in os.environ:
        os.environ["ASAN_OPTIONS"] += ":strict_string_checks=0"
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], log,
                stdout=subprocess.PIPE, text=True)
    processes.append(bus)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

    # Asking for the desktop starts the accessibility bus and its registry.
    import pyatspi
    from gi.repository import GLib
    desktop = pyatspi.Registry.getDesktop(0)

    def pump():
        while GLib.MainContext.default().iteration(False):
            pass

    events = []
    def heard(event):
        events.append((event.type, event.source.name, event.any_data))
    for kind in ("object:text-changed", "object:announcement"):
        pyatspi.Registry.registerEventListener(heard, kind)

    processes.append(start([tavrin], log))

    def application():
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == "Tavrin":
                return a
    app = until(application, 30, pump)
    if not app:
        raise RuntimeError("tavrin never appeared on the accessibility bus")

    def controls():
        found = {}
        def walk(node):
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child.getRoleName() in ("combo box", "text", "entry", "static", "label"):
                    found.setdefault((child.getRoleName(), child.name), child)
                if child.getRoleName() != "combo box":
                    walk(child)
        walk(app)
        return found

    def output_box():
        return next((c for (_, name), c in controls().items() if name == "Converted value"), None)

    box = until(output_box, 10, pump)
    if not box:
        raise RuntimeError("no control named 'Converted value': " + repr(sorted(controls())))
    def box_reads(expected, when):
        states = box.getState()
        if box.getRoleName() not in ("text", "entry", "static") or \
                not states.contains(pyatspi.STATE_READ_ONLY):
            failures.append(f"{when}: the output box is a {box.getRoleName()}, not read-only text")
        if box.name != "Converted value" or text_of(box) != expected:
            failures.append(f"{when}: the output box reads {box.name!r}, {text_of(box)!r}")
    box_reads("", "before converting")

    # The typical run, typed. The window is given the keyboard as a window
    # manager would (there is none).
    window = until(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Tavrin$"],
                                          capture_output=True, text=True).stdout.split(), 10)
    if not window:
        raise RuntimeError("xdotool finds no window named Tavrin")
    subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=True, timeout=10)
    def keys(*args):
        subprocess.run(["xdotool", *args], check=True, timeout=30)
        pump()
    keys("key", "--delay", "50", "Down", "Tab")
    keys("type", "--delay", "30", "Inches")
    keys("key", "Tab")
    keys("type", "--delay", "30", "12")
    keys("key", "Tab")
    keys("type", "--delay", "30", "Centimetres")
    # Alt+C clicks Convert after a moment (the button shows its press), so
    # Tab waits for the result; the focus stays on "To:" meanwhile.
    keys("key", "alt+c")
    if not until(lambda: text_of(box) == "30.48", 10, pump):
        failures.append("Alt+C does not show 30.48 in the output box")
    keys("key", "Tab")
    if not until(lambda: box.getState().contains(pyatspi.STATE_FOCUSED), 10, pump):
        failures.append("Tab from \"To:\" does not reach the output box")
    box_reads("30.48", "after the typical run")
    pump()
    heard_from_box = [(kind, data) for kind, name, data in events if name == "Converted value"]
    changes = [e for e in heard_from_box if e[0].startswith("object:text-changed")]
    if changes != [("object:text-changed:insert", "30.48")]:
        failures.append(f"the conversion's text events are {changes}, not one insertion of 30.48")
    # Qt announces a result printed while the focus is elsewhere from 6.8 on.
    qt = tuple(int(n) for n in app.get_toolkit_version().split(".")[:2])
    if qt >= (6, 8) and ("object:announcement", "30.48") not in heard_from_box:
        failures.append(f"Qt {app.get_toolkit_version()} announced nothing: {heard_from_box}")

    # Each list is called by its label, and says so (labelled-by), whatever it shows.
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
        if labelled_by != [label]:
            failures.append(f"the list {label!r} is labelled by {labelled_by}")
        field = pyatspi.findDescendant(combo, lambda c: c.getRoleName() in ("text", "entry"))
        if field is None or text_of(field) != shows:
            failures.append(f"the list {label!r} does not show {shows!r}")


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
