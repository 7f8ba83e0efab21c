#!/usr/bin/env bash
# Records what the private sound server plays: one channel of the monitor
# named by $SCRIVOLA_MONITOR (set by scripts/pulse-env.sh and
# scripts/pipewire-env.sh), as raw 44100 Hz signed 16-bit mono on standard
# output, until stopped; at $SCRIVOLA_MONITOR_RATE instead where the graph
# runs at another rate (scripts/desktop-env.sh), so that it is recorded as
# played. One channel rather than a mono downmix: the downmix of a stereo
# monitor sums both channels and clips.
#
# A low-latency reader keeps a null sink rendering in small blocks rather
# than ~2 s ones, and hands the samples over within about 10 ms. On a
# desktop's graph (scripts/desktop-env.sh) it asks for no less than the
# graph's own cycle ($SCRIVOLA_MONITOR_LATENCY_MS), so that the players'
# latency, not the recorder's, sets how small the graph's cycle is.
exec parec --raw --latency-msec="${SCRIVOLA_MONITOR_LATENCY_MS:-10}" --device="${SCRIVOLA_MONITOR:?run under pulse-env.sh or pipewire-env.sh}" \
    --rate="${SCRIVOLA_MONITOR_RATE:-44100}" --format=s16le --channels=1 --channel-map=front-left "$@"
