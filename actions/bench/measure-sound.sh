#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# How soon a played alarm sound is heard and how much of it: starts a private PulseAudio
# server with a null sink (its own runtime folder, nothing of the login's), plays each sound
# through the system actions while parec records the sink, and measures with sox, for each
# play, the time from the call to the first audible sample and the length heard.
#   actions/bench/measure-sound.sh BUILD_DIR SOUND... [-- PLAYS]
# The plays of one sound are the sound's length and 3 s apart (BETWEEN=seconds to change).
# Needs pulseaudio, pulseaudio-utils, sox and bc (apt-get install pulseaudio pulseaudio-utils
# sox bc; libsox-fmt-mp3 to measure MP3 files' own length).
set -euo pipefail
build=$1
shift
plays=3
sounds=()
while (($#)); do
  if [ "$1" = "--" ]; then plays=$2; shift 2; else sounds+=("$1"); shift; fi
done
for tool in pulseaudio parec pactl sox soxi bc; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
probe="$build/actions/bench/alarm_sound_latency"
[ -x "$probe" ] || { echo "build alarm_sound_latency first" >&2; exit 1; }

work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home" PULSE_SERVER="unix:$work/run/pulse/native"
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY
# The distribution's own configuration (it suspends an idle sink, as a desktop's does), plus
# the null sink.
pulseaudio --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes --log-target=file:"$work/pulse.log" \
  --load="module-null-sink sink_name=measure rate=48000"
stop_server() {
  # Only the server started above, by the id it wrote.
  [ -f "$XDG_RUNTIME_DIR/pulse/pid" ] && kill "$(cat "$XDG_RUNTIME_DIR/pulse/pid")" 2>/dev/null || true
  rm -rf "$work"
}
trap stop_server EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
export PULSE_SINK=measure PULSE_SOURCE=measure.monitor

rate=48000
threshold=0.01 # of full scale: the ring's quietest part is far above it, the null sink's silence is 0
for sound in "${sounds[@]}"; do
  length=$(soxi -D "$sound")
  between=${BETWEEN:-$(printf "%.0f" "$(echo "$length + 3" | bc)")}
  raw="$work/recording.raw"
  "$probe" "$sound" "$raw" "$plays" "$between" >"$work/plays.txt"
  wav="$work/recording.wav"
  sox -t raw -r "$rate" -e signed -b 16 -c 1 "$raw" "$wav"
  own="?"
  if sox "$sound" -r "$rate" -c 1 "$work/own.wav" silence 1 1s "$threshold"% reverse silence 1 1s "$threshold"% reverse 2>/dev/null; then
    own=$(soxi -D "$work/own.wav")
  fi
  echo "$(basename "$sound"): $length s, audible in the file: $own s"
  mapfile -t starts < <(awk '{print $4}' "$work/plays.txt")
  total=$(soxi -s "$wav")
  i=0
  while read -r _ n _ at _ returned; do
    # From the call to the next call (or the end): leading silence is the latency, what is
    # left after trimming silence at both ends is the length heard.
    next=${starts[$((i + 1))]:-$total}
    i=$((i + 1))
    sox "$wav" "$work/play.wav" trim "${at}s" "$((next - at))s"
    sox "$work/play.wav" "$work/heard.wav" silence 1 1s "$threshold"% reverse silence 1 1s "$threshold"% reverse
    whole=$(soxi -s "$work/play.wav")
    sox "$work/play.wav" "$work/tail.wav" silence 1 1s "$threshold"%
    onset=$(($whole - $(soxi -s "$work/tail.wav")))
    heard=$(soxi -D "$work/heard.wav")
    printf '  play %s (returned %s): audible after %.3f s, heard %.3f s\n' "$n" "$returned" \
      "$(echo "$onset / $rate" | bc -l)" "$heard"
  done <"$work/plays.txt"
done
