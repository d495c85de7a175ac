#!/usr/bin/env python3
"""Turns a HID trace (RV5K_HID_TRACE) into seeds for a report-sequence target.

Each seed holds a run of consecutive input reports of one device, each as one
length byte followed by the report's bytes: the input format of
fuzz_module_reports and fuzz_base_reports.

    trace_to_corpus.py TRACE VVVV:PPPP OUTDIR PREFIX [REPORTS_PER_SEED] [MAX_SEEDS]
"""
import os
import sys


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    trace, device, outdir, prefix = sys.argv[1:5]
    per_seed = int(sys.argv[5]) if len(sys.argv) > 5 else 32
    max_seeds = int(sys.argv[6]) if len(sys.argv) > 6 else 12
    reports = []
    with open(trace, encoding="ascii", errors="replace") as lines:
        for line in lines:
            fields = line.split()
            if len(fields) >= 3 and fields[1] == "IN" and fields[2].upper() == device.upper():
                reports.append(bytes(int(pair, 16) for pair in fields[3:]))
    if not reports:
        sys.exit(f"{trace}: no input reports of {device}")
    windows = [reports[i:i + per_seed] for i in range(0, len(reports), per_seed)]
    step = max(1, len(windows) // max_seeds)
    os.makedirs(outdir, exist_ok=True)
    written = 0
    for number, window in enumerate(windows[::step][:max_seeds]):
        seed = b"".join(bytes([len(report)]) + report for report in window)
        with open(os.path.join(outdir, f"{prefix}-{number:02d}"), "wb") as out:
            out.write(seed)
        written += 1
    print(f"{written} seeds from {len(reports)} reports")


if __name__ == "__main__":
    main()
