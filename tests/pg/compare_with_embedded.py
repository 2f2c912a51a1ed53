#!/usr/bin/env python3
"""Compares every view and table of a PostgreSQL demo database with the
embedded demo database, row for row: the same columns (names in lower case)
and the same values, numbers compared as numbers, other texts byte for byte.
__dbts differs by design (the PostgreSQL counter is the sequence __dbts_seq).

usage: compare_with_embedded.py EMBEDDED_DB TSQL_EXTENSION PG_DATABASE
(PGHOST and PGUSER name the cluster)."""
import csv, io, subprocess, sys

embedded, extension, pgdb = sys.argv[1:4]


def rows(cmd):
    out = subprocess.run(cmd, capture_output=True, text=True, check=True).stdout
    return list(csv.reader(io.StringIO(out)))


def embedded_rows(query):
    return rows(['sqlite3', '-csv', '-header', embedded, f'.load {extension}', query])


def pg_rows(query):
    return rows(['psql', '-X', '--csv', '-d', pgdb, '-c', query])


def value(text):
    if text != text.strip():  # padded texts (soqxts) must keep their blanks
        return text
    try:
        return repr(float(text))
    except ValueError:
        return text


names = [r[0] for r in embedded_rows(
    "SELECT name FROM sqlite_master WHERE type IN ('view', 'table') "
    "AND name NOT LIKE 'sqlite%' AND name <> '__dbts' ORDER BY name")[1:]]
bad = 0
for name in names:
    a, b = embedded_rows(f'SELECT * FROM {name}'), pg_rows(f'SELECT * FROM {name}')
    if [c.lower() for c in a[0]] != b[0]:
        print(f'FAIL: {name}: columns {a[0]} on the embedded database, {b[0]} on PostgreSQL')
        bad += 1
        continue
    ra = sorted([value(x) for x in r] for r in a[1:])
    rb = sorted([value(x) for x in r] for r in b[1:])
    if ra != rb:
        bad += 1
        print(f'FAIL: {name}: {len(ra)} rows on the embedded database, {len(rb)} on PostgreSQL')
        for x, y in zip(ra, rb):
            if x != y:
                print('  first difference:', [(b[0][i], x[i], y[i]) for i in range(len(x)) if x[i] != y[i]])
                break
print(f'compared {len(names)} views and tables with the embedded demo database: {bad} differ')
sys.exit(1 if bad else 0)
