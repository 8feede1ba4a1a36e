#!/usr/bin/env node
// SPDX-License-Identifier: MIT
// Checks the engine's lunar months against the sky: their start days against new moons,
// their numbers against the principal solar terms.
//
// Reads from stdin one month per line, as printed by calendar/engine/lunar-month-starts:
//   lunarYear <TAB> month (1-12) <TAB> leap (0|1) <TAB> Gregorian start Y-M-D <TAB> length in days
// Every month of lunar years 1901–2090 must start on the local day of a new moon, and so
// must the day after the last of them. Before 1929 the calendar was kept in Beijing's local
// mean time (UTC+7:45:40), from 1929 on in UTC+8.
//
// Correct days alone do not make a correct calendar: a leap month put in the wrong place
// keeps every start day. So the months are also numbered from the principal terms (the even
// solar terms, at multiples of 30°): the month holding 冬至 is the 11th, and when 13 months lie
// from one 11th month to the next, the first of them without a principal term is the leap
// month, repeating the number of the month before it.
//
// Exits 0 with a one-line summary if all match, 1 on any mismatch or malformed input.
import { readFileSync } from 'node:fs';
import * as sky from './sky.mjs';

const FIRST_YEAR = 1901;
const LAST_YEAR = 2090;
const LOCAL_MEAN_TIME = 7 * 3600 + 45 * 60 + 40;
const STANDARD_TIME = 8 * 3600;
const ZONE_CHANGE_DAY = sky.dayNumber(1929, 1, 1);
// Meeus's new-moon series and the ELP/MPP02 positions differ by up to about 20 s; a conjunction
// closer than this to midnight is settled by the positions instead.
const CLOSE_CALL_SECONDS = 60;

// Month starts that the calendar of the time put on another day than a modern reckoning
// of the conjunction gives. The Qing court still computed with its older tables: the new moon
// of 1906-04-23 fell eight minutes before local midnight, and its fourth month began on
// 04-24, as every table of that year has it. Keys and values: the kept and the sky's day.
const HISTORICAL_STARTS = new Map([['1906-4-24', '1906-4-23']]);

function offsetAt(jdUt) {
  return sky.localDay(jdUt, LOCAL_MEAN_TIME) < ZONE_CHANGE_DAY ? LOCAL_MEAN_TIME : STANDARD_TIME;
}

function zoneName(offset) {
  return offset === STANDARD_TIME ? 'UTC+8' : 'UTC+7:45:40';
}

function monthName({ year, month, leap }) {
  return `lunar ${year} ${leap ? 'leap ' : ''}month ${month}`;
}

function parse(text) {
  const months = [];
  const errors = [];
  text.split('\n').forEach((line, i) => {
    if (line.trim() === '') return;
    const fields = line.split('\t');
    const [year, month, leap, , length] = fields.map(Number);
    const start = sky.parseDate(fields[3] ?? '');
    if (fields.length !== 5 || !Number.isInteger(year) || !(month >= 1 && month <= 12) ||
        !(leap === 0 || leap === 1) || Number.isNaN(start) || !(length === 29 || length === 30) ||
        !/^\d+$/.test(fields[0]) || !/^\d+$/.test(fields[1]) || !/^\d+$/.test(fields[4])) {
      errors.push(`line ${i + 1}: malformed: ${JSON.stringify(line)}`);
      return;
    }
    months.push({ year, month, leap, start, length, line: i + 1 });
  });
  return { months, errors };
}

/** Order and continuity: a gap, an overlap or a misnumbered month hides from a day-by-day check. */
function checkSequence(months) {
  const errors = [];
  const leapYears = new Set(months.slice(0, 1).filter((m) => m.leap).map((m) => m.year));
  for (let i = 1; i < months.length; i++) {
    const a = months[i - 1];
    const b = months[i];
    if (a.start + a.length !== b.start) {
      errors.push(`line ${b.line}: ${monthName(b)} starts ${sky.formatDate(sky.civilDate(b.start))}, ` +
        `but ${monthName(a)} ends ${sky.formatDate(sky.civilDate(a.start + a.length - 1))}`);
    }
    const leapFollows = b.leap === 1 && a.leap === 0 && b.year === a.year && b.month === a.month;
    const nextOrdinary = b.leap === 0 &&
      ((b.year === a.year && b.month === a.month + 1) ||
       (b.year === a.year + 1 && b.month === 1 && a.month === 12));
    if (!leapFollows && !nextOrdinary) {
      errors.push(`line ${b.line}: ${monthName(b)} cannot follow ${monthName(a)}`);
    }
    if (b.leap === 1) {
      if (leapYears.has(b.year)) errors.push(`line ${b.line}: second leap month in lunar ${b.year}`);
      leapYears.add(b.year);
    }
  }
  return errors;
}

/** Local day of the new moon at TT `jde`, with the instant and zone for messages. */
function localNewMoon(jde) {
  let jdUt = sky.ttToUt(jde);
  const s = sky.secondsIntoDay(jdUt, offsetAt(jdUt));
  if (Math.min(s, 86400 - s) < CLOSE_CALL_SECONDS) jdUt = sky.ttToUt(sky.newMoonByPositions(jde));
  const offset = offsetAt(jdUt);
  return { day: sky.localDay(jdUt, offset), jdUt, offset };
}

/** Lunations from `firstDay` to `lastDay` as [{ start, end }] in local days (end exclusive). */
function lunations(firstDay, lastDay) {
  const result = [];
  let day = localNewMoon(sky.newMoonNear(firstDay)).day;
  while (day <= lastDay) {
    const next = localNewMoon(sky.newMoonNear(day + 29.53)).day;
    result.push({ start: day, end: next });
    day = next;
  }
  return result;
}

/** Local days of the principal terms of Gregorian years `first`..`last`; 冬至 days apart. */
function principalTerms(first, last) {
  const days = [];
  const winterSolstices = [];
  for (let year = first; year <= last; year++) {
    // 大寒 at 300° comes about 20 January, each later principal term about 30.4 days on.
    let guess = sky.dayNumber(year, 1, 20);
    for (let k = 0; k < 12; k++) {
      const lon = ((300 + 30 * k) % 360) * Math.PI / 180;
      const jde = sky.solarLongitudeInstant(lon, guess);
      const jdUt = sky.ttToUt(jde);
      const day = sky.localDay(jdUt, offsetAt(jdUt));
      days.push(day);
      if (k === 11) winterSolstices.push(day);
      guess = jde + 30.4;
    }
  }
  return { days, winterSolstices };
}

/**
 * Labels every lunation from the 11th month of Gregorian year `firstYear` to the 11th month
 * of `lastYear` (exclusive): a map from start day to { year, month, leap }.
 */
function numberMonths(firstYear, lastYear) {
  const months = lunations(sky.dayNumber(firstYear, 11, 1), sky.dayNumber(lastYear, 12, 31));
  const terms = principalTerms(firstYear, lastYear);
  let t = 0;
  for (const m of months) {
    while (t < terms.days.length && terms.days[t] < m.start) t++;
    m.principal = t < terms.days.length && terms.days[t] < m.end;
  }
  const indexOf = (day) => months.findIndex((m) => m.start <= day && day < m.end);
  const labels = new Map();
  for (let y = firstYear; y < lastYear; y++) {
    const a = indexOf(terms.winterSolstices[y - firstYear]);
    const b = indexOf(terms.winterSolstices[y + 1 - firstYear]);
    let leapIndex = -1;
    if (b - a === 13) {
      leapIndex = months.findIndex((m, i) => i > a && i < b && !m.principal);
      if (leapIndex < 0) throw new Error(`13 months from the 11th month of ${y}, none without a principal term`);
    } else if (b - a !== 12) {
      throw new Error(`${b - a} months between the winter solstices of ${y} and ${y + 1}`);
    }
    let year = y;
    let month = 11;
    for (let i = a; i < b; i++) {
      const leap = i === leapIndex;
      if (i > a && !leap) {
        month = month % 12 + 1;
        if (month === 1) year++;
      }
      labels.set(months[i].start, { year, month, leap: leap ? 1 : 0 });
    }
  }
  return labels;
}

function main() {
  const { months, errors } = parse(readFileSync(0, 'utf8'));
  if (!errors.length) errors.push(...checkSequence(months));

  const checked = months.filter((m) => m.year >= FIRST_YEAR && m.year <= LAST_YEAR);
  if (!errors.length) {
    const first = checked[0];
    const last = checked[checked.length - 1];
    if (!first || first.year !== FIRST_YEAR || first.month !== 1 || first.leap !== 0 ||
        last.year !== LAST_YEAR || last.month !== 12) {
      errors.push(`input must cover lunar ${FIRST_YEAR} month 1 through ${LAST_YEAR} month 12`);
    }
  }
  if (errors.length) {
    for (const e of errors.slice(0, 50)) console.log(e);
    if (errors.length > 50) console.log(`… and ${errors.length - 50} more`);
    process.exit(1);
  }

  const last = checked[checked.length - 1];
  const starts = checked.map((m) => ({ what: `${monthName(m)} starts`, day: m.start }));
  starts.push({ what: `the month after ${monthName(last)} starts`, day: last.start + last.length });

  let mismatches = 0;
  let historical = 0;
  for (const { what, day } of starts) {
    const moon = localNewMoon(sky.newMoonNear(day));
    const kept = sky.formatDate(sky.civilDate(day));
    if (moon.day !== day && HISTORICAL_STARTS.get(kept) === sky.formatDate(sky.civilDate(moon.day))) {
      historical++;
      continue;
    }
    if (moon.day !== day) {
      mismatches++;
      console.log(`${what} ${sky.formatDate(sky.civilDate(day))}; expected ` +
        `${sky.formatDate(sky.civilDate(moon.day))}: new moon ` +
        `${sky.formatInstant(moon.jdUt, moon.offset)} ${zoneName(moon.offset)}`);
    }
  }

  // Numbering, for the months whose start day is right (the others are reported above).
  const labels = numberMonths(FIRST_YEAR - 1, LAST_YEAR + 1);
  let misnumbered = 0;
  for (const m of checked) {
    const want = labels.get(m.start);
    if (want && (want.year !== m.year || want.month !== m.month || want.leap !== m.leap)) {
      misnumbered++;
      console.log(`${monthName(m)} starts ${sky.formatDate(sky.civilDate(m.start))}; by the ` +
        `principal terms that month is ${monthName(want)}`);
    }
  }

  if (mismatches || misnumbered) {
    if (mismatches) console.log(`${mismatches} of ${starts.length} month starts do not match a new moon`);
    if (misnumbered) console.log(`${misnumbered} of ${checked.length} months are numbered wrongly`);
    process.exit(1);
  }
  console.log(`${starts.length} month starts match (lunar ${FIRST_YEAR}–${LAST_YEAR} and ` +
    `${sky.formatDate(sky.civilDate(starts[starts.length - 1].day))} after it), all numbered right` +
    (historical ? `; ${historical} historical start kept (${[...HISTORICAL_STARTS.keys()].join(', ')})` : ''));
}

main();
