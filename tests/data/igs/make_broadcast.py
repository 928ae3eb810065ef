#!/usr/bin/env python3
"""Makes broadcast navigation files of the package from IGS RINEX 2 navigation files.

    python3 make_broadcast.py brdc1820.10n brdc1830.10n 30400920.05n

writes brdc1820.brd, brdc1830.brd and 30400920.brd next to their inputs (daily
files named ssssdddf.yyn: the day of year and the year come from the name). Each output file holds
a title line and, per RINEX record, a satellite record (message counter in
columns 1 to 6, satellite number in columns 12 to 14), the ephemeris block and
the clock block of 20 numbers each, 4 numbers per line. Every value is written
with 17 significant digits, so the doubles read back are exactly the doubles
of the RINEX file. The file ends without a closing satellite record.
"""
import datetime
import pathlib
import sys

GPS_START = datetime.date(1980, 1, 6)


def d_float(field):
    """A RINEX value such as -0.136290676892D-03 (a blank field is 0)."""
    field = field.strip().replace("D", "E").replace("d", "e")
    return float(field) if field else 0.0


def records(path):
    """Yields (satellite, epoch fields, 3 clock values, 7 x 4 orbit values)."""
    lines = pathlib.Path(path).read_text().splitlines()
    body = lines[next(i for i, l in enumerate(lines) if "END OF HEADER" in l) + 1:]
    body = [l for l in body if l.strip()]
    for k in range(0, len(body), 8):
        first = body[k].ljust(79)
        satellite = int(first[0:2])
        epoch = [int(first[c:c + 3]) for c in (2, 5, 8, 11, 14)] + [float(first[17:22])]
        clock = [d_float(first[22 + 19 * i:41 + 19 * i]) for i in range(3)]
        orbit = []
        for line in body[k + 1:k + 8]:
            line = line.ljust(79)
            orbit.append([d_float(line[3 + 19 * i:22 + 19 * i]) for i in range(4)])
        yield satellite, epoch, clock, orbit


def seconds_of_week(epoch):
    """Seconds of the GPS week of a RINEX epoch (two-digit year, 1980 to 2079)."""
    yy, month, day, hour, minute, second = epoch
    year = yy + (2000 if yy < 80 else 1900)
    days = (datetime.date(year, month, day) - GPS_START).days
    return (days % 7) * 86400 + hour * 3600 + minute * 60 + second


def blocks(epoch, clock, orbit):
    """The ephemeris block and the clock block in the package's order."""
    (iode, crs, delta_n, m0), (cuc, e, cus, sqrt_a), (toe, cic, omega0, cis), \
        (i0, crc, omega, omega_dot), (idot, l2_codes, week, l2p_flag), \
        (accuracy, health, tgd, iodc), (transmission, _fit, _s1, _s2) = orbit
    a0, a1, a2 = clock
    ephemeris = [week, toe, sqrt_a * sqrt_a, e, i0, omega0, omega, m0, delta_n, omega_dot,
                 cus, cuc, crs, crc, cis, cic, iode, idot, 0.0, 0.0]
    clock_block = [0.0, l2_codes, accuracy, health, 0.0, l2p_flag, 0.0, 0.0, tgd, iodc,
                   seconds_of_week(epoch), a2, a1, a0, transmission, 0.0, 0.0, 0.0, 0.0, 0.0]
    return ephemeris, clock_block


def block_lines(values):
    return ["".join("%24.16E" % v for v in values[i:i + 4]) for i in range(0, 20, 4)]


def convert(path):
    path = pathlib.Path(path)
    doy, yy = int(path.name[4:7]), int(path.name[9:11])
    date = datetime.date(2000 + yy, 1, 1) + datetime.timedelta(days=doy - 1)
    source = "IGS" if path.name.startswith("brdc") else "STATION " + path.name[:4].upper()
    out = ["%s BROADCAST EPHEMERIS FILE %s" % (source, date.isoformat())]
    for count, (satellite, epoch, clock, orbit) in enumerate(records(path), start=1):
        ephemeris, clock_block = blocks(epoch, clock, orbit)
        out.append("%6d     %3d" % (count, satellite))
        out += block_lines(ephemeris) + block_lines(clock_block)
    path.with_suffix(".brd").write_text("\n".join(out) + "\n")


if __name__ == "__main__":
    for name in sys.argv[1:]:
        convert(name)
