#!/usr/bin/python3
"""End to end: the agent's interfaces by name, against the local SNMP agent.

    interfaces_agent_test.py PLOVEX SNMP_AGENT_SH

1. `plovex --interfaces` with a version 2c hive lists wan0 and lan0 with type,
   status and speed, offers wan0 ("*", the WAN address's interface) and names
   its 64-bit counters.
2. `plovex --headless` with "Interface" wan0 on wan0's counters, while pings
   cross wan0: the fixture deletes wan0 and makes it again (a new ifIndex);
   the run says "wan0 is now interface N" within three ticks, draws rates
   again, and saves the new identifiers.
"""
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

plovex, agent_sh = sys.argv[1], sys.argv[2]
demo_hive = os.path.join(os.path.dirname(os.path.abspath(agent_sh)), "..", "..", "scripts",
                         "demo-hive")
agent_dir = os.environ["PLOVEX_AGENT_DIR"]
if os.environ.get("PLOVEX_NETNS") != "1":
    sys.exit("refusing to run outside the test run's private network namespace")
HC_IN, HC_OUT = "1.3.6.1.2.1.31.1.1.1.6", "1.3.6.1.2.1.31.1.1.1.10"


def hive(tmp, *values):
    config = os.path.join(tmp, "config")
    subprocess.run([demo_hive, config, "--max-bytes", "400000"] +
                   [a for v in values for a in ("--set", v)], check=True)
    return config


with tempfile.TemporaryDirectory() as tmp:
    config = hive(tmp, "SNMPVersion=2c")
    run = subprocess.run([plovex, "--interfaces"], env=dict(os.environ, XDG_CONFIG_HOME=config),
                         capture_output=True, text=True, timeout=30)
    print(run.stdout + run.stderr)
    assert run.returncode == 0 and run.stderr == "", (run.returncode, run.stderr)
    lines = {line.split()[1 if line.startswith("*") else 0]: line
             for line in run.stdout.splitlines()[1:]}
    assert re.match(r"\* 3 +wan0 +ethernet +up +10 Gbit/s +%s\.3 %s\.3 " % (HC_IN, HC_OUT),
                    lines["3"]), lines["3"]
    assert re.match(r"  4 +lan0 +ethernet +up +10 Gbit/s ", lines["4"]), lines["4"]

with tempfile.TemporaryDirectory() as tmp:
    config = hive(tmp, "SNMPVersion=2c", "Interface=wan0", "OID1=%s.3" % HC_IN,
                  "OID2=%s.3" % HC_OUT)
    work = os.path.join(tmp, "work")
    os.mkdir(work)
    stop = threading.Event()

    def traffic():
        while not stop.is_set():
            if subprocess.run([agent_sh, "traffic", agent_dir, "50", "203.0.113.5"],
                              stderr=subprocess.DEVNULL).returncode != 0:
                time.sleep(0.1)  # wan0 is being made again

    pinger = threading.Thread(target=traffic)
    pinger.start()
    hints, notices = [], []
    try:
        proc = subprocess.Popen([plovex, "--headless", "--ticks", "9"], cwd=work,
                                env=dict(os.environ, XDG_CONFIG_HOME=config),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

        def errors():
            for line in proc.stderr:
                notices.append((len(hints), line.rstrip("\n")))

        reader = threading.Thread(target=errors)
        reader.start()
        renumbered_at = None
        for line in proc.stdout:
            hints.append(line.rstrip("\n"))
            if len(hints) == 3:
                subprocess.run([agent_sh, "renumber", agent_dir], check=True)
                renumbered_at = len(hints)
        proc.wait(timeout=30)
        reader.join()
    finally:
        stop.set()
        pinger.join()
        # The tests that follow find wan0 where the fixture made it.
        subprocess.run([agent_sh, "renumber", agent_dir, "3"], check=True)
    print("stdout:\n" + "\n".join(hints) + "\nstderr:\n" + "\n".join(n for _, n in notices))
    assert proc.returncode == 0, proc.returncode
    moved = [(at, re.fullmatch(r"plovex: wan0 is now interface (\d+)", n)) for at, n in notices]
    assert len(moved) == 1 and moved[0][1], notices
    at, match = moved[0]
    new_index = match.group(1)
    assert new_index != "3", new_index
    assert at - renumbered_at <= 3, "followed %d ticks after the renumbering" % (at - renumbered_at)
    busy = [h for h in hints[at + 1:] if not h.startswith("0 kB/s") and not h.endswith("/ 0 kB/s")]
    assert busy, "no rates after the move: %s" % hints
    with open(os.path.join(config, "Kestrune", "registry.reg"), encoding="utf-8") as f:
        saved = f.read()
    for value in ('"OID1"="%s.%s"' % (HC_IN, new_index), '"OID2"="%s.%s"' % (HC_OUT, new_index),
                  '"Interface"="wan0"'):
        assert value in saved, value
