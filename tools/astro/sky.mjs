// SPDX-License-Identifier: MIT
// Shared astronomy for the table tools: civil-day arithmetic, TT -> UT, the Sun's apparent
// longitude and new moons. Julian dates here are plain numbers; "jde" is Terrestrial Time.
import { deltaT } from 'astronomia/deltat';
import { Planet } from 'astronomia/planetposition';
import solar from 'astronomia/solar';
import moonphase from 'astronomia/moonphase';
import { Moon } from 'astronomia/elp';
import vsop87Dearth from 'astronomia/data/vsop87Dearth';
import elpMppDe from 'astronomia/data/elpMppDe';

// VSOP87D gives the Earth referred to the equinox of date, which is what apparent longitudes
// are measured from, so no extra precession step is needed.
const earth = new Planet(vsop87Dearth);
let moon = null; // built on first use: only the new-moon check needs it

const TWO_PI = 2 * Math.PI;

/** Wraps an angle into (-π, π]. */
export function wrapPi(a) {
  a %= TWO_PI;
  if (a <= -Math.PI) a += TWO_PI;
  else if (a > Math.PI) a -= TWO_PI;
  return a;
}

// Integer day arithmetic (proleptic Gregorian), independent of the host's time zone.

/** Julian day number of the civil date y-m-d (the day that starts at JD n - 0.5). */
export function dayNumber(y, m, d) {
  const a = Math.floor((14 - m) / 12);
  const yy = y + 4800 - a;
  const mm = m + 12 * a - 3;
  return d + Math.floor((153 * mm + 2) / 5) + 365 * yy + Math.floor(yy / 4) -
    Math.floor(yy / 100) + Math.floor(yy / 400) - 32045;
}

/** Civil date [y, m, d] of a Julian day number. */
export function civilDate(n) {
  const a = n + 32044;
  const b = Math.floor((4 * a + 3) / 146097);
  const c = a - Math.floor(146097 * b / 4);
  const d = Math.floor((4 * c + 3) / 1461);
  const e = c - Math.floor(1461 * d / 4);
  const m = Math.floor((5 * e + 2) / 153);
  return [
    100 * b + d - 4800 + Math.floor(m / 10),
    m + 3 - 12 * Math.floor(m / 10),
    e - Math.floor((153 * m + 2) / 5) + 1,
  ];
}

export function formatDate([y, m, d]) {
  return `${y}-${m}-${d}`;
}

/** Parses "Y-M-D" (leading zeros optional) into a Julian day number, or returns NaN. */
export function parseDate(text) {
  const match = /^(\d{4})-(\d{1,2})-(\d{1,2})$/.exec(text);
  if (!match) return NaN;
  const [y, m, d] = match.slice(1).map(Number);
  const n = dayNumber(y, m, d);
  const [cy, cm, cd] = civilDate(n);
  return cy === y && cm === m && cd === d ? n : NaN;
}

/** Gregorian decimal year of a Julian date, the argument ΔT's tables are indexed by. */
export function decimalYear(jd) {
  const [y] = civilDate(Math.floor(jd + 0.5));
  const start = dayNumber(y, 1, 1) - 0.5;
  return y + (jd - start) / (dayNumber(y + 1, 1, 1) - dayNumber(y, 1, 1));
}

/** Universal Time of a Terrestrial Time instant. ΔT varies so slowly that evaluating it
 * at the TT instant instead of the UT one changes nothing. */
export function ttToUt(jde) {
  return jde - deltaT(decimalYear(jde)) / 86400;
}

/** Local civil day (Julian day number) of a UT instant at the given offset in seconds. */
export function localDay(jdUt, offsetSeconds) {
  return Math.floor(jdUt + offsetSeconds / 86400 + 0.5);
}

/** Seconds after local midnight of a UT instant, for reporting how close a call was. */
export function secondsIntoDay(jdUt, offsetSeconds) {
  const t = jdUt + offsetSeconds / 86400 + 0.5;
  return (t - Math.floor(t)) * 86400;
}

/** Formats a UT instant as local "Y-M-D hh:mm:ss". */
export function formatInstant(jdUt, offsetSeconds) {
  const n = localDay(jdUt, offsetSeconds);
  const s = Math.round(secondsIntoDay(jdUt, offsetSeconds));
  // Rounding may carry into the next day; keep the text consistent with it.
  const day = s >= 86400 ? n + 1 : n;
  const sec = s >= 86400 ? s - 86400 : s;
  const two = (v) => String(v).padStart(2, '0');
  return `${formatDate(civilDate(day))} ${two(Math.floor(sec / 3600))}:` +
    `${two(Math.floor(sec / 60) % 60)}:${two(sec % 60)}`;
}

/** The Sun's apparent geocentric longitude (radians, nutation and aberration included). */
export function apparentSolarLongitude(jde) {
  return solar.apparentVSOP87(earth, jde).lon;
}

/**
 * The TT instant near `guessJde` (within a few weeks) at which the Sun's apparent longitude
 * equals `lonRad`. The longitude grows almost linearly, so a Newton step with the mean
 * rate converges in a handful of iterations.
 */
export function solarLongitudeInstant(lonRad, guessJde) {
  const daysPerRadian = 365.2422 / TWO_PI;
  let jde = guessJde;
  for (let i = 0; i < 50; i++) {
    const step = wrapPi(lonRad - apparentSolarLongitude(jde)) * daysPerRadian;
    jde += step;
    if (Math.abs(step) < 1e-7) return jde; // about 0.01 s
  }
  throw new Error(`solar longitude ${lonRad} did not converge near JDE ${guessJde}`);
}

/** TT instant of the new moon nearest the Julian date `jd` (Meeus's series). */
export function newMoonNear(jd) {
  return moonphase.newMoon(decimalYear(jd));
}

/**
 * The same new moon found independently: the instant at which the Moon's longitude (ELP/MPP02)
 * equals the Sun's apparent longitude (VSOP87). Nutation shifts both alike and cancels; the
 * Sun's aberration does not. Settles the day of conjunctions so close to midnight that the
 * series' error, up to about 20 s, could move them.
 */
export function newMoonByPositions(guessJde) {
  if (!moon) moon = new Moon(elpMppDe);
  // The elongation grows by about 2π per synodic month.
  const daysPerRadian = 29.530589 / TWO_PI;
  let jde = guessJde;
  for (let i = 0; i < 50; i++) {
    const step = -elongation(jde) * daysPerRadian;
    jde += step;
    if (Math.abs(step) < 1e-7) return jde;
  }
  throw new Error(`new moon did not converge near JDE ${guessJde}`);
}

function elongation(jde) {
  const sun = solar.trueVSOP87(earth, jde);
  return wrapPi(moon.position(jde).lon - (sun.lon + solar.aberration(sun.range)));
}
