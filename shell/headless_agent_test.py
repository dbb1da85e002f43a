#!/usr/bin/python3
"""End to end: `plovex --headless --ticks N` against the local SNMP agent.

Runs in a temporary working directory with a hive of its own that points the
program at 127.0.0.1 (never at the default host), while pings cross the veth
of interface 2. Checks the hint lines on standard output (non-zero rates) and
decodes the written Plovex.gif: green bars in the graph area, text in the
overlay row. Usage: headless_agent_test.py PLOVEX SNMP_AGENT_SH
"""
import os
import subprocess
import sys
import tempfile
import threading
import time

from PIL import Image

plovex, agent_sh = sys.argv[1], sys.argv[2]
agent_dir = os.environ["PLOVEX_AGENT_DIR"]
if os.environ.get("PLOVEX_NETNS") != "1":
    sys.exit("refusing to run outside the test run's private network namespace")

KEY = r"[HKEY_CURRENT_USER\Software\Kestrune\Plovex_1]"


def sz(v):
    return '"' + v.replace("\\", "\\\\").replace('"', '\\"') + '"'


def dword(v):
    return "dword:%08x" % (v & 0xFFFFFFFF)


values = [
    ("VersionNum", "hex:33,33,33,33,33,33,f3,3f"),
    ("IP", sz("127.0.0.1")),
    ("Community", sz("tamrel")),
    ("OID1", sz("1.3.6.1.2.1.2.2.1.10.2")),
    ("OID1Cx", dword(2)), ("OID1Cy", dword(0)),
    ("OID1color", sz("clGreen")), ("OID1full", dword(1)),
    ("OID1MaxColor", sz("$0000A000")), ("OID1Grad", dword(0)),
    ("OID2", sz("1.3.6.1.2.1.2.2.1.16.2")),
    ("OID2Cx", dword(50)), ("OID2Cy", dword(0)),
    ("OID2Color", sz("clBlue")), ("OID2Full", dword(0)),
    ("OID2MaxColor", sz("$00FF4040")), ("OID2Grad", dword(0)),
    ("GraphTX", dword(0)), ("GraphTY", dword(12)), ("GraphBX", dword(400)), ("GraphBY", dword(147)),
    ("Hticks", dword(1)), ("Vticks", dword(1)), ("TickFreq", dword(1)), ("Refresh", dword(1)),
    ("GLabel", dword(1)), ("TxtSize", dword(7)),
    # Well above what the pings can move, so every sample is drawn in the
    # normal colour rather than the over-scale one.
    ("MaxBytes", dword(400000)),
    ("SaveGif", dword(1)), ("SaveGifFreq", dword(0)),
    ("OIDTotal", dword(1)), ("OIDTCx", dword(100)), ("OIDTCy", dword(0)),
]
overlays = [
    ("System : %1", "1.3.6.1.2.1.1.1.0", "String", 0, 148),
    ("Uptime : %2", "1.3.6.1.2.1.1.3.0", "Time", 260, 0),
    ("Name : %3", "1.3.6.1.2.1.1.5.0", "String", 100, 148),
    # An instance, not the bare column: the agent answers a GetRequest for a
    # column with noSuchName, which would empty every value of the request.
    ("WAN IP : %4", "1.3.6.1.2.1.4.20.1.1.127.0.0.1", "NextAdp", 290, 148),
    ("Loc. : %5", "1.3.6.1.2.1.1.6.0", "String", 170, 148),
]
for i, (fmt, oid, kind, x, y) in enumerate(overlays, 1):
    values += [("Txt%d" % i, sz(fmt)), ("Txt%dOID" % i, sz(oid)), ("Txt%dFormat" % i, sz(kind)),
               ("Txt%dEnable" % i, dword(1)), ("Txt%dCx" % i, dword(x)), ("Txt%dCy" % i, dword(y))]
values += [("WindowTop", dword(105)), ("WindowLeft", dword(192)), ("WindowState", dword(1)),
           ("WindowBorderStyle", dword(1)), ("WindowLockDrag", dword(0)),
           ("WindowStayOnTop", dword(0)), ("OID1Last", sz("0")), ("OID2Last", sz("0"))]

TICKS = 5
with tempfile.TemporaryDirectory() as tmp:
    config = os.path.join(tmp, "config")
    os.makedirs(os.path.join(config, "Kestrune"))
    with open(os.path.join(config, "Kestrune", "registry.reg"), "w") as f:
        f.write("Windows Registry Editor Version 5.00\r\n\r\n" + KEY + "\r\n")
        f.write("".join('"%s"=%s\r\n' % kv for kv in values))
    work = os.path.join(tmp, "work")
    os.mkdir(work)

    stop = threading.Event()

    def traffic():
        while not stop.is_set():
            subprocess.run([agent_sh, "traffic", agent_dir, "50"], check=False)

    pinger = threading.Thread(target=traffic)
    pinger.start()
    try:
        env = dict(os.environ, XDG_CONFIG_HOME=config)
        run = subprocess.run([plovex, "--headless", "--ticks", str(TICKS)], cwd=work, env=env,
                             capture_output=True, text=True, timeout=40)
    finally:
        stop.set()
        pinger.join()

    print("stdout:\n" + run.stdout + "stderr:\n" + run.stderr)
    assert run.returncode == 0, run.returncode
    hints = run.stdout.splitlines()
    assert len(hints) == TICKS, hints
    assert all(h.endswith(" kB/s") and " kB/s / " in h for h in hints), hints
    busy = [h for h in hints[1:] if not h.startswith("0 kB/s") and not h.endswith("/ 0 kB/s")]
    assert busy, "no tick after the first shows traffic in both directions: %s" % hints
    assert run.stderr == "", run.stderr

    picture = Image.open(os.path.join(work, "Plovex.gif"))
    assert picture.size == (400, 160), picture.size
    rgb = picture.convert("RGB")
    px = rgb.load()
    green = (0, 102, 0)   # 0x008000 in the 216-colour cube
    blue = (0, 0, 255)    # 0xFF0000 (0x00BBGGRR)
    graph_green = sum(px[x, y] == green for x in range(400) for y in range(12, 148))
    graph_blue = sum(px[x, y] == blue for x in range(400) for y in range(12, 148))
    overlay_black = sum(px[x, y] == (0, 0, 0) for x in range(400) for y in range(148, 160))
    print("graph: %d green, %d blue pixels; overlay row: %d black pixels"
          % (graph_green, graph_blue, overlay_black))
    assert graph_green >= 20, graph_green
    assert graph_blue > 0, graph_blue
    assert overlay_black >= 50, overlay_black
    # Totals and the hint's settings came from the hive: the agent's counters.
    hive = open(os.path.join(config, "Kestrune", "registry.reg"), encoding="utf-8").read()
    assert '"IP"="127.0.0.1"' in hive
print("ok")
