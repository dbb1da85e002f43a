#!/usr/bin/python3
"""End to end: a real Prometheus server scrapes two headless Plovex runs, each
with a settings file of its own ("office" polls 127.0.0.1 and serves where its
"MetricsListen" says, "home" polls ::1 and serves where --metrics says), while
pings cross interface 2 of the local SNMP agent.

    metrics_agent_test.py PLOVEX SNMP_AGENT_SH DEMO_HIVE
"""
import json
import os
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

plovex, agent_sh, demo_hive = sys.argv[1:4]
agent_dir = os.environ["PLOVEX_AGENT_DIR"]
if os.environ.get("PLOVEX_NETNS") != "1":
    sys.exit("refusing to run outside the test run's private network namespace")

OFFICE = "127.0.0.1:19877"
HOME = "127.0.0.1:19878"
PROMETHEUS = "127.0.0.1:19090"
WINDOW = 30  # seconds of the rate compared


def get(url, timeout=5):
    with urllib.request.urlopen(url, timeout=timeout) as answer:
        return answer.headers.get("Content-Type"), answer.read().decode()


def query(expr):
    _, body = get("http://%s/api/v1/query?%s" % (PROMETHEUS, urllib.parse.urlencode(
        {"query": expr})))
    return {r["metric"].get("instance"): float(r["value"][1])
            for r in json.loads(body)["data"]["result"]}


def wait_for(what, predicate, seconds):
    deadline = time.monotonic() + seconds
    while True:
        try:
            value = predicate()
            if value:
                return value
        except OSError:
            pass
        if time.monotonic() > deadline:
            sys.exit("timed out waiting for %s" % what)
        time.sleep(0.25)


def agent_octets():
    out = subprocess.run(["snmpget", "-v1", "-c", "tamrel", "-Oqv", "127.0.0.1",
                          "1.3.6.1.2.1.2.2.1.10.2", "1.3.6.1.2.1.2.2.1.16.2"],
                         check=True, capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def sample(body, name='plovex_octets_total{direction="in"}'):
    """None before the first tick, which shows no series."""
    return next((float(line.split()[1]) for line in body.splitlines()
                 if line.startswith(name + " ")), None)


started = []
with tempfile.TemporaryDirectory() as tmp:
    config = os.path.join(tmp, "config")  # the default hive's home: must stay empty
    os.mkdir(config)
    files = {}
    for name, host, extra in (("office", "127.0.0.1", ["--set", "MetricsListen=" + OFFICE]),
                              ("home", "::1", [])):
        made = os.path.join(tmp, "made-" + name)
        # The full scale above what the pings move: no rate is clipped.
        subprocess.run([demo_hive, made, "--host", host, "--max-bytes", "400000"] + extra,
                       check=True)
        files[name] = os.path.join(tmp, name + ".reg")
        os.rename(os.path.join(made, "Kestrune", "registry.reg"), files[name])
    env = dict(os.environ, XDG_CONFIG_HOME=config, XDG_STATE_HOME=os.path.join(tmp, "state"))

    def start(command):
        p = subprocess.Popen([plovex] + command, cwd=tmp, env=env, stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE, text=True)
        started.append(p)
        return p

    with open(os.path.join(tmp, "prometheus.yml"), "w") as f:
        f.write("global:\n  scrape_interval: 1s\n  scrape_timeout: 900ms\n"
                "scrape_configs:\n  - job_name: plovex\n    static_configs:\n"
                "      - targets: ['%s']\n        labels: {instance: office}\n"
                "      - targets: ['%s']\n        labels: {instance: home}\n" % (OFFICE, HOME))
    peer = open(os.path.join(agent_dir, "peer.pid")).read().strip()
    snmpd = int(open(os.path.join(agent_dir, "snmpd.pid.own")).read())
    try:
        # About 100 pings a second, steady, for the whole test.
        started.append(subprocess.Popen(
            ["nsenter", "-t", peer, "-n", "ping", "-q", "-i", "0.01", "-s", "1000",
             "198.51.100.7"], stdout=subprocess.DEVNULL))
        office = start(["--settings", files["office"], "--headless"])
        # A port alone listens on loopback.
        home = start(["--headless", "--settings=home.reg", "--metrics", HOME.split(":")[1]])
        started.append(subprocess.Popen(
            ["prometheus", "--config.file=" + os.path.join(tmp, "prometheus.yml"),
             "--storage.tsdb.path=" + os.path.join(tmp, "tsdb"),
             "--web.listen-address=" + PROMETHEUS, "--log.level=warn"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

        kind, body = wait_for("office's first tick", lambda: (
            lambda got: got if sample(got[1], "plovex_up") is not None else None)(
                get("http://%s/metrics" % OFFICE)), 10)
        assert kind == "text/plain; version=0.0.4; charset=utf-8", kind
        checked = subprocess.run(["promtool", "check", "metrics"], input=body,
                                 capture_output=True, text=True)
        assert checked.returncode == 0, checked.stdout + checked.stderr
        assert 0 < sample(body, "plovex_poll_duration_seconds") < 1, body
        kind, page = get("http://%s/" % HOME)
        assert kind.startswith("text/html") and 'href="/metrics"' in page, (kind, page)

        wait_for("both targets up in Prometheus",
                 lambda: query("plovex_up") == {"office": 1, "home": 1}, 20)
        # Each run with its own file: its own host.
        for host, instance in (("127.0.0.1", "office"), ("::1", "home")):
            info = query('plovex_info{host="%s",sys_name="test-agent"}' % host)
            assert info == {instance: 1}, (host, info)

        time.sleep(3)
        t0, before = time.monotonic(), agent_octets()
        time.sleep(WINDOW)
        t1, after = time.monotonic(), agent_octets()
        time.sleep(2)  # the last tick's bytes reach the scrape
        truth = {"in": (after[0] - before[0]) / (t1 - t0),
                 "out": (after[1] - before[1]) / (t1 - t0)}
        print("agent: %.0f B/s in, %.0f B/s out" % (truth["in"], truth["out"]))
        for direction in ("in", "out"):
            expr = 'rate(plovex_octets_total{direction="%s"}[%ds])' % (direction, WINDOW)
            rates = query(expr)
            print("Prometheus: %s = %s" % (expr, rates))
            assert set(rates) == {"office", "home"}, rates
            for instance, rate in rates.items():
                assert abs(rate - truth[direction]) <= 0.1 * truth[direction], \
                    (instance, direction, rate, truth[direction])

        os.kill(snmpd, signal.SIGSTOP)
        try:
            wait_for("plovex_up 0 while the agent is stopped",
                     lambda: query("plovex_up") == {"office": 0, "home": 0}, 10)
            # The info series keeps its labels through the silence.
            time.sleep(1.5)
            assert set(query('plovex_info{sys_name="test-agent"}')) == {"office", "home"}
        finally:
            os.kill(snmpd, signal.SIGCONT)
        wait_for("plovex_up 1 once the agent is back",
                 lambda: query("plovex_up") == {"office": 1, "home": 1}, 20)

        # Stopped and started again, office's counter goes on where it was.
        last = sample(get("http://%s/metrics" % OFFICE)[1])
        office.send_signal(signal.SIGTERM)
        assert office.wait(10) == 0, office.stderr.read()
        again = start(["--settings", files["office"], "--headless"])
        first = wait_for("office's metrics again",
                         lambda: sample(get("http://%s/metrics" % OFFICE)[1]), 10)
        assert first >= last > 0, (last, first)
        for p in (again, home):
            p.send_signal(signal.SIGTERM)
            assert p.wait(10) == 0, p.stderr.read()
    finally:
        os.kill(snmpd, signal.SIGCONT)
        for p in started:
            if p.poll() is None:
                p.kill()
                p.wait()

    assert os.listdir(config) == [], "the default hive was written: %s" % os.listdir(config)
    for p, host in ((office, "127.0.0.1"), (home, "::1"), (again, None)):
        told = "plovex: no answer from %s\nplovex: %s answers again\n" % (host, host)
        said = p.stderr.read()
        assert said == (told if host else ""), (host, said)
print("ok")
