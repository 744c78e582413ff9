"""The window under X, as a user and a screen reader meet it.

Run by scripts/window-under-x.sh, inside an X server, a window manager and
an AT-SPI bus of its own:  window_under_x.py PATH_TO_ZIZADOD5 SCRATCH_FOLDER

- after a drag from A.DAT to B.DAT, the path box names B.DAT and Alt+O
  converts B.DAT;
- a screen reader hears that run's verdict, though the focus stays where
  it is;
- with "*.*", a double-click on A.DAT, then, once A.CSV is written, a
  double-click where B.DAT stood (where A.DAT would stand once A.CSV is
  listed), converts B.DAT;
- every control has its accessible name, the drive list tells its drive,
  and "ZRKQ" can be pressed.
Prints one line per check; exits 1 if one fails.

Nothing waits a guessed time: each step waits, up to a deadline, for what
it needs (the window placed and active, a file written, a row listed).
The pointer is placed relative to the window (xdotool --window), so where
the window manager puts the window never matters.

Each stage is told on standard error with its time since the start, and
none can block for good: an AT-SPI call whose registry never answers, or
a D-Bus call left waiting, ends the test after the stage's deadline with
the stage named and where every thread was.
"""

import datetime
import faulthandler
import os
import subprocess
import sys
import threading
import time

import pyatspi
from gi.repository import GLib

PROGRAM, FOLDER = sys.argv[1:3]
RECORD = b"SBJD MV  061226PRJGA  C172V SBKP0705        01 18    AER1  local\r\n"
TITLE = "^KOVA/DTA Conversor"  # the version joins it once the window is active
DEADLINE = 30  # seconds, for any one step on a loaded machine
STARTED = time.monotonic()
failures = []
heard = []  # (event type, role, name) of what a screen reader was told
program = []  # the window's process, once started
watchdog = []  # the timer of the stage under way


def stage(name, seconds=DEADLINE + 15):
    """Begins the stage `name`: told on standard error, and given `seconds`
    to reach the next one (longer than any wait_for within it)."""
    print(f"{datetime.datetime.now():%H:%M:%S.%f} window_under_x.py: {name}"
          f" (+{time.monotonic() - STARTED:.3f} s)", file=sys.stderr, flush=True)
    for timer in watchdog:
        timer.cancel()
    watchdog[:] = [threading.Timer(seconds, stuck, (name, seconds))]
    watchdog[0].daemon = True
    watchdog[0].start()
    # Should a call hold the interpreter itself, a thread of C does it.
    faulthandler.dump_traceback_later(seconds + 5, exit=True)


def stuck(name, seconds):
    print(f"FAIL  {name}: not over within {seconds} s; each thread was at:", flush=True)
    faulthandler.dump_traceback(file=sys.stdout, all_threads=True)
    sys.stdout.flush()
    for window in program:
        window.kill()
    os._exit(1)


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wait_for(condition, seconds=DEADLINE, pace=0.02):
    """Whether `condition` came true before the deadline, asked every
    `pace` seconds; AT-SPI events are delivered meanwhile."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        try:
            if condition():
                return True
        except Exception:  # the window or a control not there yet
            pass
        time.sleep(pace)
    return False


def xdo(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True, timeout=10).stdout.strip()


def double_click():
    """Two clicks 60 ms apart, as a hand makes them, whatever the load:
    xdotool runs ahead of the busy processes, so the pause between the
    clicks never stretches past the double-click interval."""
    subprocess.run(["nice", "-n", "-15", "xdotool", "click", "--repeat", "2", "--delay", "60",
                    "1"], check=True, timeout=10)


def activate(wid):
    subprocess.run(["xdotool", "windowactivate", wid], capture_output=True, timeout=10)
    return xdo("getactivewindow") == wid


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "zizadod5":
            return app
    raise LookupError("zizadod5 not on the bus")


def descendants(node):
    for child in node:
        if child is not None:
            yield child
            yield from descendants(child)


def control(name, role):
    for node in descendants(application()):
        if node.name == name and node.getRole() == role:
            return node
    raise LookupError(name)


def row(name):
    for item in control("Arquivos", pyatspi.ROLE_LIST):
        if item is not None and item.name == name:
            return item
    raise LookupError(name)


def rows():
    return [item.name for item in control("Arquivos", pyatspi.ROLE_LIST)]


def centres(*names):
    """The middles of the rows `names`, once the list has them all (it
    may be drawn anew meanwhile, its rows made again)."""
    found = []
    wait_for(lambda: found.append([centre(row(name)) for name in names]) or True)
    return found[-1]


def centre(node):
    """The middle of `node`, relative to the window. (Qt 6.4 gives the
    corner relative to the window right, the size only on the screen.)"""
    corner = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return corner.x + box.width // 2, corner.y + box.height // 2


def box_text():
    return control("Nome do Arquivo", pyatspi.ROLE_TEXT).queryText().getText(0, -1)


def exists(name):
    return os.path.exists(os.path.join(FOLDER, name))


def hear(event):
    try:
        heard.append((event.type, event.source.getRoleName(), event.source.name))
    except Exception:  # gone meanwhile
        pass


def main():
    for name in ("A.DAT", "B.DAT"):
        with open(os.path.join(FOLDER, name), "wb") as file:
            file.write(b"SBJD DTA0612 00001\r\n" + RECORD)
    # Asked for before the program starts, which then sends it from the
    # first: the session bus starts the accessibility bus, which starts
    # the registry, and the registry answers from here on.
    stage("the accessibility bus and its registry start")
    pyatspi.Registry.registerEventListener(hear, "object:state-changed")
    pyatspi.Registry.getDesktop(0).childCount
    stage("the program starts and its window shows")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program.append(subprocess.Popen([PROGRAM], cwd=FOLDER, env=env))
    try:
        drive()
    finally:
        stage("the program ends", 15)
        program[0].terminate()
        try:
            program[0].wait(5)
        except subprocess.TimeoutExpired:
            program[0].kill()
            program[0].wait(5)


def drive():
    shown = []
    if not check(wait_for(lambda: shown.append(xdo("search", "--onlyvisible", "--name", TITLE))
                          or shown[-1]), "the window shows"):
        return
    stage("first AT-SPI queries: the window's rows")
    if not check(wait_for(lambda: rows() == ["A.DAT", "B.DAT"]),
                 "a screen reader sees it list A.DAT and B.DAT"):
        return
    wid = shown[-1].split()[0]
    # Keys go to the active window. The window manager activates a new
    # window once it manages it, and ignores a request that comes sooner:
    # so the request is made again until the window is active.
    stage("the window becomes active")
    if not check(wait_for(lambda: activate(wid), pace=0.25), "the window becomes active"):
        return
    check(wait_for(lambda: xdo("getwindowname", wid) == "KOVA/DTA Conversor 0.9"),
          "active, the window's title has the version")

    def move(point):
        xdo("mousemove", "--window", wid, *point)

    stage("a drag, then Alt+O")
    a, b = centres("A.DAT", "B.DAT")
    move(a)
    xdo("mousedown", 1)
    move((a[0], (a[1] + b[1]) // 2))
    move(b)
    xdo("mouseup", 1)
    check(wait_for(lambda: box_text().endswith("/B.DAT")),
          "after a drag from A.DAT to B.DAT the path box names B.DAT")
    del heard[:]
    xdo("key", "alt+o")
    check(wait_for(lambda: exists("B.CSV")) and not exists("A.CSV"),
          "Alt+O then converts B.DAT, the file highlighted")
    verdict = ("object:state-changed:showing", "notification", "008 Fim de Conversão bem sucedido")
    check(wait_for(lambda: verdict in heard), "a screen reader hears the verdict, 008")
    check(control("Arquivos", pyatspi.ROLE_LIST).getState().contains(pyatspi.STATE_FOCUSED),
          "the focus stays on the file list")
    os.remove(os.path.join(FOLDER, "B.CSV"))

    stage("the pattern *.*, then two double-clicks")
    move(centre(control("Lista arquivos do tipo", pyatspi.ROLE_TEXT)))
    xdo("click", 1)
    xdo("key", "ctrl+a")
    xdo("type", "*.*")
    if not check(wait_for(lambda: rows() == ["A.DAT", "B.DAT"]), "the pattern *.* lists both"):
        return
    a, b = centres("A.DAT", "B.DAT")
    move(a)
    double_click()
    check(wait_for(lambda: exists("A.CSV")), "a double-click on A.DAT converts it")
    move(b)
    double_click()
    check(wait_for(lambda: exists("B.CSV")),
          "a second double-click where B.DAT stood converts B.DAT")

    stage("every control's name and role")
    named = {(node.getRoleName(), node.name) for node in descendants(application())}
    for role, name in [("text", "Nome do Arquivo"), ("list", "Arquivos"),
                       ("combo box", "Lista arquivos do tipo"), ("list", "Diretórios"),
                       ("combo box", "Drives"), ("list", "Resultado da conversão"),
                       ("push button", "Ok"), ("label", os.path.realpath(FOLDER))]:
        check((role, name) in named, f"the {role} named {name!r} is there")
    drive = os.path.realpath(FOLDER)
    while not os.path.ismount(drive):
        drive = os.path.dirname(drive)
    drives = control("Drives", pyatspi.ROLE_COMBO_BOX).queryText()
    check(drives.getText(0, -1) == drive, f"the drive list reads its drive, {drive}")
    label6 = control("ZRKQ", pyatspi.ROLE_LABEL).queryAction()
    check([label6.getName(i) for i in range(label6.nActions)] == ["Press"],
          "the label ZRKQ can be pressed")


main()
faulthandler.cancel_dump_traceback_later()
sys.exit(1 if failures else 0)
