#!/usr/bin/env bash
# Keeps one Wine server running for a prefix while the tests run, and takes over when it
# crashes. Wine 8's server can die of a fault of its own under load while it walks the
# handle tables of all processes (a program asking for the system's handle list does
# that; libgcrypt's entropy gatherer did, until myrar took its random bytes from the
# system instead); the Wine programs it was serving then wait for its answer for ever, and
# each would hold a test until its timeout. The watch kills those programs at once, starts
# a new server and notes the crash, so that the caller can run the tests that failed again.
#
#   scripts/wine-server-watch.sh PREFIX STATE_DIR
#
# In STATE_DIR: wineserver.log (what the servers printed), wineserver-ready (made once the
# first server takes connections) and wineserver-crashes (one line for each crash). Runs
# until it gets SIGTERM, then stops its server.
set -uo pipefail

prefix="$1"
state="$2"
log="$state/wineserver.log"
export WINEPREFIX="$prefix"
: >>"$log"

server=""
stop() {
  [ -z "$server" ] || kill "$server" 2>/dev/null
  wait 2>/dev/null
  exit 0
}
trap stop TERM INT

# The Wine programs of this prefix: a Wine binary with this prefix in its environment.
# Each is looked at through one of its threads that still runs: a program whose main thread
# has ended while another still waits for the server shows neither through the main one.
prefix_programs() {
  local dir task exe
  for dir in /proc/[0-9]*; do
    for task in "$dir"/task/*; do
      exe="$(readlink "$task/exe" 2>/dev/null)" || continue
      case "${exe##*/}" in wine*) ;; *) break ;; esac
      tr '\0' '\n' <"$task/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" && echo "${dir#/proc/}"
      break
    done
  done
}

# A server in the foreground, so that this script is the one to see it end; it takes
# connections once its socket is in its folder (its working directory).
start_server() {
  wineserver -f -p >>"$log" 2>&1 &
  server=$!
  local _
  for _ in $(seq 200); do
    [ -S "/proc/$server/cwd/socket" ] && return 0
    kill -0 "$server" 2>/dev/null || return 1
    sleep 0.05
  done
  return 0
}

while :; do
  before=$(wc -l <"$log")
  start_server && touch "$state/wineserver-ready"
  wait "$server"
  server=""
  if tail -n +"$((before + 1))" "$log" | grep -q "wineserver crashed"; then
    orphans="$(prefix_programs)"
    # shellcheck disable=SC2086 # one word per process id
    [ -z "$orphans" ] || kill -9 $orphans 2>/dev/null
    echo "$(date +%T) the Wine server crashed; $(echo $orphans | wc -w) Wine programs waiting for it were ended" \
      >>"$state/wineserver-crashes"
  else
    # Another server of this prefix is running (one a Wine program started by itself in
    # the moment after a crash): this one takes over once it has gone.
    sleep 1
  fi
done
