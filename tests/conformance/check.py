#!/usr/bin/env python3
"""The shared T-SQL conformance probes as a regression gate.

Runs every probe of the shared suite (its run.py does the running and the
comparing) through `fabrikon sql` on one backend and fails when a probe that
is not in the known-failures list fails, or when a listed probe now passes
(so the list only ever shrinks: take the line out with the mend).

usage: check.py --suite DIR --fabrikon CLI --known FILE [--odbc-extension LIB | --pg-socket-file FILE]

With --odbc-extension every fresh database is reached through the SQLite ODBC
driver registered as "FABRIKON SQLite3" (ODBCSYSINI must name its folder),
with the T-SQL runtime loaded from LIB, as the ODBC test reruns do. With
--pg-socket-file every fresh database is a PostgreSQL database (made from a
template with the demo plant and the suite's tables) on the cluster whose
socket folder FILE names, as the pg test reruns do.
Exit status 77 (skipped) when the suite is not there.
"""
import argparse, importlib.util, os, sys


def load_runner(suite):
    spec = importlib.util.spec_from_file_location("conformance_run", os.path.join(suite, "run.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def known_failures(path):
    known = set()
    for line in open(path, encoding="utf-8"):
        line = line.split("#", 1)[0].strip()
        if line:
            known.add(int(line))
    return known


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--suite", required=True)
    ap.add_argument("--fabrikon", required=True)
    ap.add_argument("--known", required=True)
    ap.add_argument("--odbc-extension")
    ap.add_argument("--pg-socket-file")
    ap.add_argument("--jobs", type=int, default=2)
    a = ap.parse_args()
    if not os.path.exists(os.path.join(a.suite, "probes.jsonl")):
        print("conformance suite not found in %s: skipped" % a.suite)
        return 77
    run = load_runner(a.suite)
    probes = [run.json.loads(line) for line in open(os.path.join(a.suite, "probes.jsonl"), encoding="utf-8")
              if line.strip()]
    setup = open(os.path.join(a.suite, "setup.sql"), encoding="utf-8").read()
    if a.pg_socket_file:
        if not os.path.exists(a.pg_socket_file):
            print("no PostgreSQL cluster (%s): skipped" % a.pg_socket_file)
            return 77
        backend = run.Postgres(a.fabrikon, setup, open(a.pg_socket_file).read().strip())
    else:
        backend = run.Embedded(a.fabrikon, setup)

    def target(path):
        if not a.odbc_extension:
            return path
        return "Driver={FABRIKON SQLite3};Database=%s;LoadExt=%s;Timeout=5000" % (path, a.odbc_extension)

    def passes(probe):
        path, drop = backend.fresh()
        try:
            db = target(path)
            if not run.matches(probe["expected"], run.sql(a.fabrikon, db, probe["batch"])):
                return False
            return not probe.get("after") or run.matches(probe["after_expected"],
                                                         run.sql(a.fabrikon, db, probe["after"]))
        finally:
            drop()

    try:
        with run.ThreadPoolExecutor(a.jobs) as pool:
            results = list(pool.map(lambda p: (p, passes(p)), probes))
    finally:
        if a.pg_socket_file:
            backend.psql("drop database if exists %s" % backend.template)
    known = known_failures(a.known)
    regressed = [p for p, ok in results if not ok and p["id"] not in known]
    mended = [p for p, ok in results if ok and p["id"] in known]
    good = sum(ok for _, ok in results)
    print("conformance: %d of %d, %d known failures" % (good, len(results), len(known)))
    for p in regressed:
        print("REGRESSED %d [%s] %s" % (p["id"], p["family"], p["batch"]))
    for p in mended:
        print("NOW PASSES %d [%s] %s (take it out of the known failures)" % (p["id"], p["family"], p["batch"]))
    return 1 if regressed or mended else 0


if __name__ == "__main__":
    sys.exit(main())
