#!/usr/bin/env python3
"""Writes a long calibration station log for the calibration loader's corpus: lines of raw
readings with thousands of checks that passed (no failure phrase) among them, then a summary
block of hundreds of lines, as a station that logs every reading writes it (CR LF lines).

    fuzz/long_station_log.py > fuzz/corpus/calibration_loader/long_station_log
"""
import sys

CHECKS = [
    "Temp 400F is within 2F",
    "Temp 441F is within 2F",
    "Temp 499F is within 2F",
    "Temp 540F is within 2F",
    "Transducer reading 1502 PSI is within 1.0%",
    "Transducer reading 749 PSI is within 1.0%",
    "Transducer reading 251 PSI is within 1.0%",
    "Transducer reading 50 PSI is within 1.0%",
]
READINGS, CHECK_COUNT, SUMMARY_LINES = 2000, 5000, 300

lines = ["VR5 calibration, station 2"]
checks = 0
for reading in range(READINGS):
    lines.append("Reading %08d raw 0x1A2B 0x3C4D settle 0.012s" % reading)
    # The checks spread evenly through the readings.
    while checks < CHECK_COUNT * (reading + 1) // READINGS:
        lines.append(CHECKS[checks % len(CHECKS)])
        checks += 1
lines += ["-" * 44, "Cal Date    Probe Name   Offset   Span", "-" * 44]
lines += ["Probe %5d offset +0.4F span 1.0021" % (i + 1) for i in range(SUMMARY_LINES)]
lines.append("-----!!!!")
sys.stdout.buffer.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))
