#!/usr/bin/python3
"""The real window on X with a StatusNotifier tray (and no XEmbed tray).

    desktop_status_notifier_test.py PLOVEX TMP WATCHER

Runs on a private session bus (dbus-run-session) and an X display that the
caller set up; TMP holds config/ (a hive that starts Plovex minimised, at a
Refresh of 1 s) and work/. WATCHER is the StatusNotifierWatcher fixture.
Checks: the item registers; Activate on it restores the minimised window,
hides the shown one and shows it again; over 60 s no more NewIcon and
NewToolTip signals than ticks (the icon changing on most of them); the tooltip
holds the rates and the usage line; the icon is offered at
16 and 32 pixels, the larger one in 2 x 2 blocks of the smaller; the
exported menu holds the window's commands; a window hidden in the tray comes
back when the watcher ends; the menu's "Close" ends Plovex with the closing
save; nothing on standard error.
"""
import os
import subprocess
import sys
import time

import dbus

plovex, tmp, watcher_py = sys.argv[1:4]
log_path = os.path.join(tmp, "watcher.log")
err_path = os.path.join(tmp, "plovex.err")
hive = os.path.join(tmp, "config", "Kestrune", "registry.reg")


def fail(message):
    sys.stderr.write("FAIL: %s\n" % message)
    for path in (err_path, log_path):
        if os.path.exists(path):
            sys.stderr.write("--- %s\n%s" % (path, open(path).read()[-3000:]))
    sys.exit(1)


def events():
    with open(log_path) as f:
        return [line.split() for line in f]


def wait_for(what, check, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = check()
        if found:
            return found
        time.sleep(0.05)
    fail("waited %d s for %s" % (seconds, what))


def viewable_windows():
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Plovex$"],
                         capture_output=True, text=True).stdout.split()
    return out


watcher = subprocess.Popen(["/usr/bin/python3", watcher_py], stdout=open(log_path, "w"))
plovex_proc = None
try:
    wait_for("the watcher", lambda: any(e[1] == "ready" for e in events()), 10)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
               XDG_STATE_HOME=os.path.join(tmp, "state"))
    plovex_proc = subprocess.Popen([plovex], cwd=os.path.join(tmp, "work"), env=env,
                                   stdout=subprocess.DEVNULL, stderr=open(err_path, "w"))
    registered = wait_for("the item to register",
                          lambda: [e for e in events() if e[1] == "registered"], 20)[0]
    service, path = registered[2], registered[3]
    item = dbus.SessionBus().get_object(service, path)
    sni = dbus.Interface(item, "org.kde.StatusNotifierItem")
    properties = dbus.Interface(item, dbus.PROPERTIES_IFACE)

    # Started minimised: only the icon shows. Activate is a click.
    time.sleep(1)
    if viewable_windows():
        fail("the minimised window is on the screen")
    for want_shown in (True, False, True):
        sni.Activate(0, 0)
        wait_for("the window to be %s" % ("shown" if want_shown else "hidden"),
                 lambda: bool(viewable_windows()) == want_shown, 10)

    # One NewIcon and one NewToolTip per tick at most: a window of 60 s that
    # begins half-way between two ticks (Refresh 1) holds 60 of them.
    tips = lambda: [float(e[0]) for e in events() if e[1:3] == ["signal", "NewToolTip"]]
    first = wait_for("a tick's tooltip", lambda: tips()[-1:] if tips() else None, 20)[0]
    start = first + 0.5
    time.sleep(max(0, start + 60 - time.monotonic()) + 0.5)
    counts = {name: sum(1 for e in events() if e[1:3] == ["signal", name]
                        and start <= float(e[0]) < start + 60)
              for name in ("NewIcon", "NewToolTip")}
    print("in 60 s:", counts)
    for name, n in counts.items():
        if n > 60:
            fail("%d %s signals in 60 s at one tick a second" % (n, name))
    # The miniature scrolls on every tick while it holds samples; the rates
    # may stay the same for a while, and then no tooltip is sent.
    if counts["NewIcon"] < 5:
        fail("only %d NewIcon signals in 60 s" % counts["NewIcon"])

    # The tooltip: the rates, and under them the usage of today and the period.
    _, _, title, text = properties.Get("org.kde.StatusNotifierItem", "ToolTip")
    tip = "%s\n%s" % (title, text)
    print("tooltip:", repr(tip))
    if " kB/s / " not in tip or "\nToday " not in tip or " \u00b7 this period " not in tip:
        fail("the tooltip says %r" % tip)

    pixmaps = properties.Get("org.kde.StatusNotifierItem", "IconPixmap")
    sizes = [(int(w), int(h)) for w, h, _ in pixmaps]
    if sorted(sizes) != [(16, 16), (32, 32)]:
        fail("icon offered at %s" % sizes)
    by_size = {(int(w), int(h)): bytes(data) for w, h, data in pixmaps}
    small, big = by_size[(16, 16)], by_size[(32, 32)]
    for y in range(32):
        for x in range(32):
            if big[4 * (32 * y + x):4 * (32 * y + x) + 4] != \
                    small[4 * (16 * (y // 2) + x // 2):4 * (16 * (y // 2) + x // 2) + 4]:
                fail("the 32 pixel icon is not the miniature in 2 x 2 blocks (%d,%d)" % (x, y))

    menu_path = properties.Get("org.kde.StatusNotifierItem", "Menu")
    menu = dbus.Interface(dbus.SessionBus().get_object(service, menu_path),
                          "com.canonical.dbusmenu")
    _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
    entries = {}
    for child in layout[2]:
        ident, props = int(child[0]), child[1]
        if props.get("type") != "separator":
            entries[str(props.get("label", ""))] = ident
    print("menu:", list(entries))
    want = ["Hide Plovex", "Configuration", "History\u2026", "Instant SnapShot", "Clear",
            "Stay on top", "Lock window drag", "Close"]
    if list(entries) != want:
        fail("the tray menu holds %s, not %s" % (list(entries), want))
    # Hidden in the tray, and the tray goes: the window comes back by itself.
    sni.Activate(0, 0)
    wait_for("the window to be hidden", lambda: not viewable_windows(), 10)
    watcher.terminate()
    watcher.wait()
    wait_for("the window to come back when the tray went", viewable_windows, 10)

    if b'"VersionNum"=hex:5c,8f,c2,f5,28,5c,f3,3f' not in open(hive, "rb").read():
        fail("the load did not mark the key")
    menu.Event(entries["Close"], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0))
    try:
        status = plovex_proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        fail("Close in the tray menu did not end Plovex")
    if status != 0:
        fail("Plovex ended with %d" % status)
    if b'"VersionNum"=hex:33,33,33,33,33,33,f3,3f' not in open(hive, "rb").read():
        fail("Close in the tray menu did not save the settings")
    errors = open(err_path).read()
    if errors:
        fail("Plovex wrote on standard error:\n" + errors)
    print("ok")
finally:
    if plovex_proc and plovex_proc.poll() is None:
        plovex_proc.kill()
        plovex_proc.wait()
    watcher.terminate()
    watcher.wait()
