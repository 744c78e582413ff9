"""The window under X, as a user and a screen reader meet it.

Run by scripts/window-under-x.sh, inside an X server, a window manager and
an AT-SPI bus of its own:  window_under_x.py PATH_TO_ZIZADOD5 SCRATCH_FOLDER

- after a drag from A.DAT to B.DAT, the path box names B.DAT and Alt+O
  converts B.DAT;
- with "*.*", a double-click on A.DAT, then 0.4 s later a double-click
  where B.DAT stood (where A.DAT would stand once A.CSV is listed),
  converts B.DAT;
- every control has its accessible name.
Prints one line per check; exits 1 if one fails.
"""

import os
import subprocess
import sys
import time

import pyatspi

PROGRAM, FOLDER = sys.argv[1:3]
RECORD = b"SBJD MV  061226PRJGA  C172V SBKP0705        01 18    AER1  local\r\n"
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(condition, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            if condition():
                return True
        except Exception:  # the window or a control not there yet
            pass
        time.sleep(0.05)
    return False


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)
    time.sleep(0.05)


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


def centre(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def box_text():
    return control("Nome do Arquivo", pyatspi.ROLE_TEXT).queryText().getText(0, -1)


def exists(name):
    return os.path.exists(os.path.join(FOLDER, name))


def main():
    for name in ("A.DAT", "B.DAT"):
        with open(os.path.join(FOLDER, name), "wb") as file:
            file.write(b"SBJD DTA0612 00001\r\n" + RECORD)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    window = subprocess.Popen([PROGRAM], cwd=FOLDER, env=env)
    try:
        if not wait_for(lambda: row("B.DAT")):
            check(False, "the window lists A.DAT and B.DAT")
            return
        a, b = centre(row("A.DAT")), centre(row("B.DAT"))
        xdo("mousemove", *a)
        xdo("mousedown", 1)
        xdo("mousemove", a[0], (a[1] + b[1]) // 2)
        xdo("mousemove", *b)
        xdo("mouseup", 1)
        check(wait_for(lambda: box_text().endswith("/B.DAT")),
              "after a drag from A.DAT to B.DAT the path box names B.DAT")
        xdo("key", "alt+o")
        check(wait_for(lambda: exists("B.CSV")) and not exists("A.CSV"),
              "Alt+O then converts B.DAT, the file highlighted")
        os.remove(os.path.join(FOLDER, "B.CSV"))

        pattern = control("Lista arquivos do tipo", pyatspi.ROLE_TEXT)
        xdo("mousemove", *centre(pattern))
        xdo("click", 1)
        xdo("key", "ctrl+a")
        xdo("type", "*.*")
        wait_for(lambda: [item.name for item in control("Arquivos", pyatspi.ROLE_LIST)]
                 == ["A.DAT", "B.DAT"])
        a, b = centre(row("A.DAT")), centre(row("B.DAT"))
        xdo("mousemove", *a)
        xdo("click", "--repeat", 2, "--delay", 60, 1)
        wait_for(lambda: exists("A.CSV"))
        time.sleep(0.4)
        xdo("mousemove", *b)
        xdo("click", "--repeat", 2, "--delay", 60, 1)
        check(wait_for(lambda: exists("B.CSV")),
              "a second double-click where B.DAT stood converts B.DAT")

        named = {(node.getRoleName(), node.name) for node in descendants(application())}
        for role, name in [("text", "Nome do Arquivo"), ("list", "Arquivos"),
                           ("combo box", "Lista arquivos do tipo"), ("list", "Diretórios"),
                           ("combo box", "Drives"), ("list", "Resultado da conversão"),
                           ("push button", "Ok"), ("label", os.path.realpath(FOLDER))]:
            check((role, name) in named, f"the {role} named {name!r} is there")
    finally:
        window.terminate()
        window.wait(10)


main()
sys.exit(1 if failures else 0)
