# SPDX-License-Identifier: MIT
"""Reads kalendo's iCalendar output back with a real iCalendar parser.

usage: check_ics.py KALENDO
Exits 77 (skipped) when the icalendar module is not installed.
"""

import datetime
import subprocess
import sys

try:
    import icalendar
except ImportError:
    print("icalendar is not installed: skipped")
    sys.exit(77)

KALENDO = sys.argv[1]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def kalendo_ics(*args):
    return subprocess.run([KALENDO, "ics", *args], check=True, capture_output=True).stdout


def events(raw):
    calendar = icalendar.Calendar.from_ical(raw)
    check(str(calendar.get("version")) == "2.0", "VERSION is not 2.0")
    check(str(calendar.get("calscale")) == "GREGORIAN", "CALSCALE is not GREGORIAN")
    check(calendar.get("prodid") is not None, "no PRODID")
    return list(calendar.walk("VEVENT"))


def category(event):
    return event.get("categories").to_ical().decode()


def start(event):
    return event.decoded("dtstart")


def check_lines(raw, name):
    lines = raw.split(b"\r\n")
    check(lines[-1] == b"", f"{name}: does not end with CRLF")
    check(all(b"\n" not in line and b"\r" not in line for line in lines), f"{name}: a bare LF or CR")
    check(all(len(line) <= 75 for line in lines), f"{name}: a line longer than 75 octets")
    for line in lines:
        line.decode("utf-8")  # a fold inside a character would not decode


raw = kalendo_ics("2026", "--terms", "--festivals", "--lunar-days")
check_lines(raw, "2026")
check(raw == kalendo_ics("2026", "--terms", "--festivals", "--lunar-days"),
      "two runs differ")
all_2026 = events(raw)

for event in all_2026:
    day = start(event)
    check(type(day) is datetime.date, f"{event.get('summary')}: not an all-day event")
    check(event.decoded("dtend") == day + datetime.timedelta(days=1),
          f"{event.get('summary')} {day}: does not end the next day")
    check(event.get("dtstamp") is not None, f"{event.get('summary')}: no DTSTAMP")

uids = [str(e.get("uid")) for e in all_2026]
check(len(uids) == len(set(uids)), "UIDs are not unique")

terms = [e for e in all_2026 if category(e) == "节气"]
check(len(terms) == 24, f"{len(terms)} solar terms, not 24")
check(all(start(e).year == 2026 for e in terms), "a solar term outside 2026")
term_days = {str(e.get("summary")): start(e) for e in terms}
check(term_days.get("清明") == datetime.date(2026, 4, 5), f"清明 on {term_days.get('清明')}")
check(term_days.get("冬至") == datetime.date(2026, 12, 22), f"冬至 on {term_days.get('冬至')}")

festivals = {(str(e.get("summary")), start(e)) for e in all_2026 if category(e) == "节日"}
check(("春节", datetime.date(2026, 2, 17)) in festivals, "no 春节 on 2026-02-17")
check(("中秋节", datetime.date(2026, 9, 25)) in festivals, "no 中秋节 on 2026-09-25")

lunar_days = [e for e in all_2026 if category(e) == "农历"]
check(len(lunar_days) == 365, f"{len(lunar_days)} lunar-day events, not 365")
check(len({start(e) for e in lunar_days}) == 365, "a day without its lunar date, or with two")
new_year = [e for e in lunar_days if start(e) == datetime.date(2026, 2, 17)]
check(len(new_year) == 1 and str(new_year[0].get("summary")) == "正月初一",
      "2026-02-17 is not 正月初一")

# The same day, kind and name keep their UID in any range, so a second import replaces.
two_years = {str(e.get("uid")) for e in events(kalendo_ics("2025", "2026"))}
default_2026 = {str(e.get("uid")) for e in events(kalendo_ics("2026"))}
check(default_2026 <= two_years, "UIDs of 2026 change with the range asked")
check(default_2026 <= set(uids), "UIDs of the default events change with the choice of events")

# 2033's 闰十一月 runs from 2033-12-22 into January 2034.
raw_2033 = kalendo_ics("2033", "2034", "--lunar-days")
check_lines(raw_2033, "2033-2034")
leap = sorted(start(e) for e in events(raw_2033) if str(e.get("summary")).startswith("闰十一月"))
check(len(leap) in (29, 30), f"{len(leap)} days of 闰十一月")
check(leap[:1] == [datetime.date(2033, 12, 22)], f"闰十一月 begins {leap[:1]}")
check(leap == [leap[0] + datetime.timedelta(days=i) for i in range(len(leap))],
      "闰十一月 is not one run of days")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
