#!/usr/bin/python3
"""The real program's command line: --help, --version and usage errors print
and exit without opening a window (there is no display, so the toolkit would
abort), without touching the settings hive and without sending a single
datagram to the host the hive names (a socket listens on its SNMP port).
A last run with --headless --ticks 1 proves the listener and the hive check
see a real start.

Usage: command_line_program_test.py PLOVEX DEMO_HIVE (inside the test run's
private network namespace only).
"""
import os
import socket
import subprocess
import sys
import tempfile

plovex, demo_hive = sys.argv[1], sys.argv[2]
if os.environ.get("PLOVEX_NETNS") != "1":
    sys.exit("refusing to run outside the private network namespace")

HOST = "127.0.0.2"  # the local test agent may hold 127.0.0.1:161
VERSION = "Plovex 1.2.1\n"

tmp = tempfile.TemporaryDirectory()
config = os.path.join(tmp.name, "config")
work = os.path.join(tmp.name, "work")
os.mkdir(work)
subprocess.run([demo_hive, config, "--host", HOST, "--save-gif"], check=True)
hive_path = os.path.join(config, "Kestrune", "registry.reg")
with open(hive_path, "rb") as f:
    hive = f.read()
# A commit replaces the file (rename over it): a new inode, even when the
# bytes come out the same, as they do for the defaults the program saved.
hive_inode = os.stat(hive_path).st_ino

listener = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
listener.bind((HOST, 161))
listener.setblocking(False)

env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
env.update(XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="xcb")

failures = []


def run(args):
    p = subprocess.run([plovex] + args, cwd=work, env=env, capture_output=True, text=True,
                       timeout=20)
    return p.returncode, p.stdout, p.stderr


def datagrams():
    n = 0
    while True:
        try:
            listener.recv(2048)
            n += 1
        except BlockingIOError:
            return n


def check(what, ok):
    if not ok:
        failures.append(what)


def untouched(args):
    with open(hive_path, "rb") as f:
        check("%s changed the settings hive" % args,
              f.read() == hive and os.stat(hive_path).st_ino == hive_inode)
    check("%s wrote %s into the working directory" % (args, os.listdir(work)),
          os.listdir(work) == [])
    check("%s sent a poll" % args, datagrams() == 0)


usage = None
for args in (["--help"], ["-h"], ["--headless", "--help"], ["--bogus", "--help"]):
    code, out, err = run(args)
    check("%s exits %d, not 0" % (args, code), code == 0)
    check("%s prints %r" % (args, out[:40]), out.startswith("usage: plovex"))
    check("%s: usage differs from --help's" % args, usage is None or out == usage)
    check("%s writes %r on stderr" % (args, err), err == "")
    usage = usage or out
    untouched(args)
for part in ("--headless [--ticks N]", "--version", "--help"):
    check("usage lacks %s" % part, part in usage)

for args in (["--version"], ["--headless", "--ticks", "2", "--version"]):
    code, out, err = run(args)
    check("%s exits %d, not 0" % (args, code), code == 0)
    check("%s prints %r" % (args, out), out == VERSION)
    check("%s writes %r on stderr" % (args, err), err == "")
    untouched(args)

for args, message in ((["--bogus"], "plovex: unknown option '--bogus'\n"),
                      (["-x", "1"], "plovex: unknown option '-x'\n"),
                      (["192.168.1.1"], "plovex: unexpected argument '192.168.1.1'\n"),
                      (["-platform"], "plovex: -platform needs a value\n"),
                      (["--headless", "--bogus"], "plovex: unknown argument '--bogus'\n"),
                      (["--headless", "--ticks", "0"],
                       "plovex: --ticks needs a positive whole number, not '0'\n"),
                      (["--headless", "--metrics", "router:9877"],
                       "plovex: metrics address 'router:9877': 'router' is not an IPv4 address"
                       " (names are not looked up)\n"),
                      (["--settings"], "plovex: --settings needs a file\n")):
    code, out, err = run(args)
    check("%s exits %d, not 2" % (args, code), code == 2)
    check("%s prints %r on stdout" % (args, out), out == "")
    check("%s: stderr %r is not the message and the usage" % (args, err[:80]),
          err == message + usage)
    untouched(args)

# Refused before the settings are read: a metrics port that another program
# holds, and a settings file that does not exist (only the window makes one)
# or is not a file.
metrics_holder = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
metrics_holder.bind((HOST, 0))
metrics_holder.listen()
taken = "%s:%d" % (HOST, metrics_holder.getsockname()[1])
for args, message in (
        (["--headless", "--ticks", "1", "--metrics", taken],
         "plovex: metrics: cannot listen on %s: Address already in use\n" % taken),
        (["--settings", "elsewhere.reg", "--headless", "--ticks", "1"],
         "plovex: settings file elsewhere.reg does not exist (the window makes it:"
         " plovex --settings elsewhere.reg)\n"),
        (["--interfaces", "--settings", "/"], "plovex: settings file / is not a file\n")):
    code, out, err = run(args)
    check("%s exits %d, not 1" % (args, code), code == 1)
    check("%s: stderr %r, not %r" % (args, err, message), err == message)
    untouched(args)
metrics_holder.close()

# The control: a real headless start polls the host and saves the settings.
# Nothing answers there, which the exit status says.
code, out, err = run(["--headless", "--ticks", "1"])
check("the control run exits %d: %s" % (code, err), code == 3)
check("the control run sent no poll", datagrams() >= 1)
check("the control run did not save the settings", os.stat(hive_path).st_ino != hive_inode)
check("the control run wrote no picture", "Plovex.gif" in os.listdir(work))

if failures:
    sys.exit("\n".join(failures))
print("ok")
