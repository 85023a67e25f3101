# A screen reader's view of the window through AT-SPI, with xdotool for keys and screenshots; run by
# run_atspi_session.sh. It prints what it reads and does; each line can be checked against the window.
import subprocess, sys, time, os
import pyatspi

WORK = os.environ["WORK"]

def shot(name):
    subprocess.run(["import", "-window", "root", f"{WORK}/{name}.png"], check=False)

def walk(acc, depth=0):
    yield acc, depth
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)

def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name.lower().startswith("vellick"):
            return app
    return None

def find(root, role=None, name=None):
    for acc, _ in walk(root):
        if (role is None or acc.getRoleName() == role) and (name is None or acc.name == name):
            return acc
    return None

def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=False)
    time.sleep(0.6)

app = None
for _ in range(20):
    app = find_app()
    if app:
        break
    time.sleep(0.5)
print("application:", app.name if app else None)
if not app:
    sys.exit(1)
win = subprocess.run(["xdotool", "search", "--name", "^Vellick$"], capture_output=True, text=True).stdout.split()
print("X windows:", win)
if win:
    subprocess.run(["xdotool", "windowfocus", "--sync", win[0]], check=False)

keywords = find(app, "text", "Keywords")
folder = find(app, "text", "Starting folder")
print("keywords box:", keywords is not None, "folder box:", folder is not None)
keywords.queryEditableText().setTextContents("alpha")
folder.queryEditableText().setTextContents(WORK + "/tree")
start = find(app, "push button", "Start Search")
print("start button actions:", [start.queryAction().getName(i) for i in range(start.queryAction().nActions)])
start.queryAction().doAction(0)
time.sleep(3)
shot("1-searched")
bar = find(app, "status bar")
print("status bar panes (name | description):")
for i in range(bar.childCount):
    pane = bar.getChildAtIndex(i)
    print("   ", repr(pane.name), "|", repr(pane.description))

# Name changes the status bar announces while a second search runs.
from gi.repository import GLib
heard = []
def on_name(event):
    try:
        if event.source.parent is not None and event.source.parent.getRoleName() == "status bar":
            heard.append(event.source.name)
    except Exception:
        pass
pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
loop = GLib.MainLoop()
GLib.timeout_add(200, lambda: (start.queryAction().doAction(0), False)[1])
GLib.timeout_add(3000, lambda: (loop.quit(), False)[1])
loop.run()
pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")
print("status bar name changes heard:", heard)

def save_report(path, toggle=None):
    if win:
        subprocess.run(["xdotool", "windowfocus", "--sync", win[0]], check=False)
    key("alt+f")
    key("s")
    time.sleep(1)
    dialog = find(app, "dialog", "Save search result to file") or find(app, None, "Save search result to file")
    print("save dialog found:", dialog is not None)
    if toggle:
        box = find(dialog, "check box", toggle)
        action = box.queryAction()
        before = box.getState().contains(pyatspi.STATE_CHECKED)
        names = [action.getName(i) for i in range(action.nActions)]
        action.doAction(names.index("Toggle") if "Toggle" in names else 0)
        time.sleep(0.5)
        after = box.getState().contains(pyatspi.STATE_CHECKED)
        print(f"   '{toggle}' actions {names}: checked {before} -> {after}")
        shot("2-toggled")
    subprocess.run(["xdotool", "type", "--delay", "20", path], check=False)
    key("Return")
    time.sleep(1.5)

save_report(WORK + "/out/before")
save_report(WORK + "/out/after", toggle="File Type")
shot("3-after")
# The name as typed is new; the extension makes it an existing file's name.
before_content = open(WORK + "/out/before.csv", "rb").read()
save_report(WORK + "/out/before")
question = None
for acc, _ in walk(app):
    if acc.getRoleName() == "label" and "already exists" in (acc.name or ""):
        question = acc.name
print("question:", repr(question))
shot("6-replace-question")
key("Escape")
time.sleep(0.5)
print("before.csv unchanged after No:", open(WORK + "/out/before.csv", "rb").read() == before_content)
# Show Line Number through the screen reader's view of the toolbar button.
toolbar_button = find(app, "toggle button", "Show Line Number") or find(app, "push button", "Show Line Number")
if toolbar_button is None:
    for acc, _ in walk(app):
        if "Line" in (acc.name or "") and acc.getRoleName() in ("toggle button", "push button", "check box"):
            toolbar_button = acc
            break
if toolbar_button is not None:
    action = toolbar_button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Toggle") if "Toggle" in names else 0)
    time.sleep(1)
    print("Show Line Number button", repr(toolbar_button.name), names, "checked now:",
          toolbar_button.getState().contains(pyatspi.STATE_CHECKED))
    shot("4-line-numbers-off")
else:
    print("Show Line Number button not found")
# Open with an association whose program fails.
if win:
    subprocess.run(["xdotool", "windowfocus", "--sync", win[0]], check=False)
key("ctrl+o")
time.sleep(6)
shot("5-open-error")
box = find(app, None, "Open Error")
if box is not None:
    texts = [acc.name for acc, _ in walk(box) if acc.getRoleName() == "label" and acc.name]
    print("message box 'Open Error':", texts)
else:
    print("no Open Error box")
key("Return")
exit_item = find(app, "menu item", "Exit")
print("exit item:", exit_item is not None)
if exit_item is not None:
    exit_item.queryAction().doAction(0)
time.sleep(1.5)
for name in ("before.csv", "after.csv"):
    p = WORK + "/out/" + name
    print(name, ":", repr(open(p, "rb").read()) if os.path.exists(p) else "missing")
