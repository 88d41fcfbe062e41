#!/usr/bin/env python3
"""Writes the log folders that once took the log commands' memory with them, for measuring their
peaks (scripts/bench.sh logs):

  OUT/giant/     one record whose description is 286 MiB over 3 million lines
  OUT/cut/       the same record cut off before its end: damaged, never counted
  OUT/distinct/  1,000,000 records, each with an error number and a description of its own (257 MiB)
  OUT/dates/     22 one-record files dated 01/01/0100 and 12/31/9999

usage: hostile_logs.py OUT
"""
import os
import sys

PLUS = "+" * 41


def record(number, description):
    return (f"{PLUS}\r\nError Description: {description}\r\nError Number: {number}\r\nModule Name: modMain\r\n"
            "Procedure Name: Sub Main()\r\nVersion Number: 1.2.3\r\nDate: 3/5/2002 2:07:09 PM\r\n\r\n")


def write(path, chunks):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="", encoding="ascii") as out:
        for chunk in chunks:
            out.write(chunk)


def giant(whole):
    yield f"{PLUS}\r\nError Description: start\r\n"
    line = "x" * 95 + "\r\n"
    for _ in range(3_000):
        yield line * 1_000
    if whole:
        yield ("Error Number: 5\r\nModule Name: m\r\nProcedure Name: p\r\nVersion Number: 1.2.3\r\n"
               "Date: 3/5/2002 2:07:09 PM\r\n\r\n")


def distinct(part):
    for number in range(part * 125_000, (part + 1) * 125_000):
        yield record(number, f"Description number {number} of a million, each different from every other one here")


def main():
    out = sys.argv[1]
    write(os.path.join(out, "giant", "PC1", "Logs", "app-03052002.log"), giant(True))
    write(os.path.join(out, "cut", "PC1", "Logs", "app-03052002.log"), giant(False))
    for part in range(8):
        write(os.path.join(out, "distinct", "PC1", "Logs", f"app-03{part + 1:02}2002.log"), distinct(part))
    for app in range(11):
        for date in ("01010100", "12319999"):
            write(os.path.join(out, "dates", "PC1", "Logs", f"app{app}-{date}.log"), [record(1, "far off")])


if __name__ == "__main__":
    main()
