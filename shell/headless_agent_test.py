#!/usr/bin/python3
"""End to end: `plovex --headless --ticks N` against the local SNMP agent.

Runs in a temporary working directory with a hive of its own that points the
program at 127.0.0.1 (never at the default host), while pings cross the veth
of interface 2. Checks the hint lines on standard output (non-zero rates) and
decodes the written Plovex.gif: green bars in the graph area, text in the
overlay row.

    headless_agent_test.py PLOVEX SNMP_AGENT_SH [tuned|defaults|v2c|v3|ipv6|readonly]

The hive is scripts/demo-hive's: the defaults but for the host and the GIF
box. "tuned" (the default mode) also raises the full scale above what the
pings move, so every bar is drawn in the normal colour; "defaults" keeps it.
"v2c" is tuned and polls the 64-bit counters in version 2c; "v3" is tuned
and polls as the agent's authPriv user, whose passphrases are written into
the hive by hand, as on a headless server: they must leave the hive as keys.
"ipv6" is tuned and polls the agent at ::1.
"usage" is v2c with a usage history of its own: afterwards `plovex --usage=json`
reports, for this period and today, the bytes the agent's 64-bit counters grew
by while the program ran (less what crossed before its first tick and after
its last one).
"readonly" is tuned in a working directory that is a read-only mount: the
pictures cannot be written, which is told once on standard error, and the
ticks, the rates and the exit status are as ever.
"""
import json
import os
import subprocess
import sys
import tempfile
import threading
import time

from PIL import Image

plovex, agent_sh = sys.argv[1], sys.argv[2]
demo_hive = os.path.join(os.path.dirname(os.path.abspath(agent_sh)), "..", "..", "scripts",
                         "demo-hive")
mode = sys.argv[3] if len(sys.argv) > 3 else "tuned"
assert mode in ("tuned", "defaults", "v2c", "v3", "ipv6", "readonly", "usage"), mode
host = "::1" if mode == "ipv6" else "127.0.0.1"
MODE_VALUES = {
    "v2c": ["SNMPVersion=2c", "OID1=1.3.6.1.2.1.31.1.1.1.6.2", "OID2=1.3.6.1.2.1.31.1.1.1.10.2"],
    "usage": ["SNMPVersion=2c", "OID1=1.3.6.1.2.1.31.1.1.1.6.2", "OID2=1.3.6.1.2.1.31.1.1.1.10.2"],
    "v3": ["SNMPVersion=3", "SNMPUser=plovex", "SNMPAuthProtocol=SHA", "SNMPPrivProtocol=AES",
           "SNMPAuthPassphrase=authpass123", "SNMPPrivPassphrase=privpass123"],
}
agent_dir = os.environ["PLOVEX_AGENT_DIR"]
if os.environ.get("PLOVEX_NETNS") != "1":
    sys.exit("refusing to run outside the test run's private network namespace")

TICKS = 5


def counters():
    out = subprocess.run(["snmpget", "-v2c", "-c", "tamrel", "-Oqv", "127.0.0.1",
                          "1.3.6.1.2.1.31.1.1.1.6.2", "1.3.6.1.2.1.31.1.1.1.10.2"],
                         check=True, capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


with tempfile.TemporaryDirectory() as tmp:
    config = os.path.join(tmp, "config")
    # Tuned: a full scale well above what the pings can move, so every sample
    # is drawn in the normal colour rather than the over-scale one.
    subprocess.run([demo_hive, config, "--host", host, "--save-gif", "--max-bytes",
                    "64000" if mode == "defaults" else "400000"] +
                   [a for v in MODE_VALUES.get(mode, []) for a in ("--set", v)], check=True)
    work = os.path.join(tmp, "work")
    os.mkdir(work)

    stop = threading.Event()

    def traffic():
        while not stop.is_set():
            subprocess.run([agent_sh, "traffic", agent_dir, "50"], check=False)

    pinger = threading.Thread(target=traffic)
    pinger.start()
    try:
        # A zone where it is now about noon, so that today and the period hold the whole run.
        noon_zone = "PLV%+d" % (time.gmtime().tm_hour - 12)
        env = dict(os.environ, XDG_CONFIG_HOME=config, XDG_STATE_HOME=os.path.join(tmp, "state"),
                   TZ=noon_zone)
        before = counters() if mode == "usage" else None
        command = [plovex, "--headless", "--ticks", str(TICKS)]
        if mode == "readonly":
            # A mount of its own, so that not even root can write there.
            command = ["unshare", "--mount", "sh", "-c",
                       'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && cd "$1" &&'
                       ' shift && exec "$@"', "sh", work] + command
        run = subprocess.run(command, cwd=work, env=env, capture_output=True, text=True,
                             timeout=40)
        after = counters() if mode == "usage" else None
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
    if mode == "readonly":
        assert run.stderr == ("plovex: Plovex.gif cannot be written in %s: read-only file system\n"
                              % work), run.stderr
        assert not os.path.exists(os.path.join(work, "Plovex.gif"))
        print("ok")
        sys.exit(0)
    assert run.stderr == "", run.stderr
    if mode == "usage":
        shown = subprocess.run([plovex, "--usage=json"], env=env, capture_output=True, text=True,
                               timeout=20)
        print("usage: " + shown.stdout + shown.stderr)
        assert shown.returncode == 0, shown.returncode
        usage = json.loads(shown.stdout)
        assert usage["host"] == "127.0.0.1", usage
        assert usage["interface"] == MODE_VALUES["usage"][1][5:] + " " + MODE_VALUES["usage"][2][5:]
        for key, grew in (("in_bytes", after[0] - before[0]), ("out_bytes", after[1] - before[1])):
            # The ticks span all but the start-up and the closing of the run.
            assert 0 < usage[key] <= grew, (key, usage[key], grew)
            assert usage[key] >= grew // 3, (key, usage[key], grew)
            assert usage["today_" + key] == usage[key], usage

    picture = Image.open(os.path.join(work, "Plovex.gif"))
    assert picture.size == (400, 160), picture.size
    rgb = picture.convert("RGB")
    px = rgb.load()
    green = (0, 102, 0)   # 0x008000 in the 216-colour cube
    over_scale = (0, 153, 0)  # 0x00A000: the pings may exceed the default full scale
    blue = (0, 0, 255)    # 0xFF0000 (0x00BBGGRR)
    greens = {green, over_scale} if mode == "defaults" else {green}
    blues = {blue, (51, 51, 255)} if mode == "defaults" else {blue}  # 0x00FF4040 over scale
    graph_green = sum(px[x, y] in greens for x in range(400) for y in range(12, 148))
    graph_blue = sum(px[x, y] in blues for x in range(400) for y in range(12, 148))
    overlay_black = sum(px[x, y] == (0, 0, 0) for x in range(400) for y in range(148, 160))
    print("graph: %d green, %d blue pixels; overlay row: %d black pixels"
          % (graph_green, graph_blue, overlay_black))
    assert graph_green >= 20, graph_green
    assert graph_blue > 0, graph_blue
    assert overlay_black >= 50, overlay_black
    # Totals and the hint's settings came from the hive: the agent's counters.
    hive = open(os.path.join(config, "Kestrune", "registry.reg"), encoding="utf-8").read()
    assert '"IP"="%s"' % host in hive
    if mode == "v3":
        assert "pass123" not in hive and "Passphrase" not in hive, hive
        assert '"SNMPAuthKey"=""' not in hive and '"SNMPPrivKey"=""' not in hive, hive
print("ok")
