#!/usr/bin/env bash
# Measures myrar and pimingbao-cli side by side with the tools a user would otherwise use,
# and writes the table to bench/README.md.
#
#   bench/run.sh            the full run: 1,000 archives, an archive of 1 GiB, one of
#                           10,000 entries, 5 runs each (some minutes; needs about 3 GiB
#                           of free disk in the work folder)
#   bench/run.sh --smoke    tiny workloads, one run each: seconds; checks that the script
#                           and the tools still work, writes its table into the work folder
#
# Options:
#   --runs N          runs per figure (the median is reported; default 5, smoke 1)
#   --work DIR        where the workloads are built (default build-bench/bench-work, or
#                     build-bench/bench-smoke); every figure is measured on that file system
#   --readme FILE     where the table goes (default bench/README.md; smoke: DIR/README.md)
#   --archives N --big-mib N --entries N
#                     other sizes: archives in the batch tree, MiB per part of the big
#                     archive (four parts), entries of the many-entry archive
#   --myrar FILE --cli FILE --measure FILE
#                     use these programs instead of building them in build-bench
#
# A benchmark never fails on its numbers: the script exits non-zero only when it cannot
# run, or when a program under test gives a wrong result.
set -euo pipefail
export LC_ALL=C.UTF-8

root="$(cd "$(dirname "$0")/.." && pwd)"
invocation=("$@")
bench="$root/bench"
smoke=0
runs=""
work=""
readme=""
myrar=""
cli=""
measure=""
archives_opt=""
big_mib_opt=""
entries_opt=""
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) smoke=1 ;;
    --runs) runs="$2"; shift ;;
    --work) work="$2"; shift ;;
    --readme) readme="$2"; shift ;;
    --myrar) myrar="$2"; shift ;;
    --cli) cli="$2"; shift ;;
    --measure) measure="$2"; shift ;;
    --archives) archives_opt="$2"; shift ;;
    --big-mib) big_mib_opt="$2"; shift ;;
    --entries) entries_opt="$2"; shift ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) echo "bench/run.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

if [ "$smoke" = 1 ]; then
  : "${runs:=1}"
  : "${work:=$root/build-bench/bench-smoke}"
  : "${readme:=$work/README.md}"
  small_count=12          # archives in the batch tree
  big_part=$((1 << 20))   # four parts: a 4 MiB archive
  many_count=300          # entries of the many-entry archive
else
  : "${runs:=5}"
  : "${work:=$root/build-bench/bench-work}"
  : "${readme:=$bench/README.md}"
  small_count=1000
  big_part=$((256 << 20))  # four parts: a 1 GiB archive
  many_count=10000
fi
[ -z "$archives_opt" ] || small_count="$archives_opt"
[ -z "$big_mib_opt" ] || big_part=$((big_mib_opt << 20))
[ -z "$entries_opt" ] || many_count="$entries_opt"
medium_part=$((256 << 10))  # four parts: a 1 MiB archive

say() { printf '%s\n' "$*" >&2; }
fail() { say "bench/run.sh: $*"; exit 1; }

# --- programs ---------------------------------------------------------------------------
if [ -z "$myrar" ] || [ -z "$cli" ]; then
  build="$root/build-bench"
  say "building myrar and pimingbao-cli in $build (Release)"
  # GCC 12 reports a false -Wrestrict inside libstdc++'s string concatenation at -O3
  # (Release); it stays a warning here, every other warning is still an error.
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPIMINGBAO_WERROR=ON \
    -DCMAKE_CXX_FLAGS=-Wno-error=restrict >/dev/null
  cmake --build "$build" -j2 --target myrar pimingbao-cli >/dev/null
  : "${myrar:=$build/bin/myrar}"
  : "${cli:=$build/bin/pimingbao-cli}"
fi
[ -x "$myrar" ] || fail "no myrar at $myrar"
[ -x "$cli" ] || fail "no pimingbao-cli at $cli"

rm -rf "$work"
mkdir -p "$work"
work="$(cd "$work" && pwd)"
if [ -z "$measure" ]; then
  measure="$work/measure"
  c++ -std=c++17 -O2 -o "$measure" "$bench/measure.cpp"
fi
[ -x "$measure" ] || fail "no measure helper at $measure"

# pimingbao-cli works in its own folder (it writes out the archiver there), so it gets a
# folder of its own inside the work folder.
mkdir -p "$work/cli"
cp "$cli" "$work/cli/pimingbao-cli"
cli="$work/cli/pimingbao-cli"

have() { command -v "$1" >/dev/null 2>&1; }
peers=()
for p in bsdtar lsar 7z; do
  if have "$p"; then peers+=("$p"); else say "note: $p is not installed; its column stays empty"; fi
done

# --- workloads, built with our own myrar a ----------------------------------------------
stage="$work/stage"
mkdir -p "$stage"
head -c $((64 << 10)) /dev/urandom >"$stage/pool"

add() {  # archive, files...: myrar a must succeed
  local archive="$1"
  shift
  "$myrar" a -ep1 -ed "$archive" "$@" >"$work/add.log" 2>&1 || { cat "$work/add.log" >&2; fail "myrar a $archive failed"; }
}

say "building the workloads in $work"
# A few entries around large parts: ad.txt is the small entry the delete figures remove
# from the middle, tail.txt the one at the end.
few_entries() {  # archive part-size
  local archive="$1" size="$2" d="$stage/few-$2"
  mkdir -p "$d"
  echo "head of the archive" >"$d/head.txt"
  head -c 512 "$stage/pool" >"$d/ad.txt"
  echo "tail of the archive" >"$d/tail.txt"
  head -c "$size" /dev/urandom >"$d/part1.bin"
  for n in 2 3 4; do ln -f "$d/part1.bin" "$d/part$n.bin"; done
  add "$archive" "$d/head.txt" "$d/part1.bin" "$d/part2.bin" "$d/ad.txt" "$d/part3.bin" "$d/part4.bin" "$d/tail.txt"
  rm -rf "$d"
}
few_entries "$work/medium.rar" "$medium_part"
few_entries "$work/big.rar" "$big_part"

mkdir -p "$stage/many"
( cd "$stage/many"
  for ((i = 0; i < many_count; i++)); do
    printf 'entry %05d of the many-entry archive\n' "$i" >"$(printf 'e%05d.txt' "$i")"
  done )
( cd "$stage/many" && ls ) | sed "s|^|$stage/many/|" >"$stage/many.lst"
add "$work/many.rar" "@$stage/many.lst"
rm -rf "$stage/many" "$stage/many.lst"
many_middle="$(printf 'e%05d.txt' $((many_count / 2)))"
many_last="$(printf 'e%05d.txt' $((many_count - 1)))"

# The batch tree: folders of ten, each archive with the advertising file ad.txt, a
# Chinese-named text and the episode-<n>.exe the rename job names it after.
tree="$work/tree-template"
mkdir -p "$stage/small" "$tree"
head -c 512 "$stage/pool" >"$stage/small/ad.txt"
printf '本压缩包的说明\n' >"$stage/small/说明.txt"
for ((i = 0; i < small_count; i++)); do
  dir="$tree/d$((i / 100))/s$((i / 10 % 10))"
  mkdir -p "$dir"
  head -c $((8192 + i % 4096)) "$stage/pool" >"$stage/small/episode-$i.exe"
  add "$dir/archive-$i.rar" "$stage/small/ad.txt" "$stage/small/说明.txt" "$stage/small/episode-$i.exe"
  rm -f "$stage/small/episode-$i.exe"
done
rm -rf "$stage"

# Copies of real archives, made by other programs.
fixture_names=(zimuku-10-ass.rar rar3-subdirs.rar test_read_format_rar5_multiple_files.rar)
fixtures_dir="$root/../shared/fixtures/rar"
mkdir -p "$work/fixtures"
real=()
for f in "${fixture_names[@]}"; do
  if [ -f "$fixtures_dir/$f" ]; then
    cp "$fixtures_dir/$f" "$work/fixtures/$f"
    chmod u+w "$work/fixtures/$f"
    real+=("$work/fixtures/$f")
  fi
done

# --- measuring ----------------------------------------------------------------------------
results="$work/results"
mkdir -p "$results"

# measure KEY COMMAND...: one run, its line appended to results/KEY.
record() {
  local key="$1"
  shift
  local line
  line="$("$measure" -- "$@")" || fail "measure failed on: $*"
  printf '%s\n' "$line" >>"$results/$key"
}

# column KEY N: the values of column N (1 time µs, 2 peak KiB, 3 bytes read, 4 bytes
# written, 5 exit status) over the runs.
column() { awk -v c="$2" '{ print $c }' "$results/$1"; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
maximum() { sort -n | tail -n 1; }
# Empty when nothing was recorded under KEY (a tool that is not installed).
med() { if [ -s "$results/$1" ]; then column "$1" "$2" | median; fi; }
peak() { if [ -s "$results/$1" ]; then column "$1" 2 | maximum; fi; }
statuses() { if [ -s "$results/$1" ]; then column "$1" 5 | sort -u | tr '\n' ' '; fi; }

ms() { awk -v us="$1" 'BEGIN { if (us == "") print "n/a"; else if (us < 10000) printf "%.2f", us / 1000; else if (us < 100000) printf "%.1f", us / 1000; else printf "%.0f", us / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b == 0) print "n/a"; else printf "%.2f×", a / b }'; }
bytes() {
  awk -v b="$1" 'BEGIN {
    if (b == "" || b < 0) { print "n/a"; exit }
    if (b < 10 * 1024) printf "%d B", b
    else if (b < 10 * 1048576) printf "%.0f KiB", b / 1024
    else if (b < 10 * 1073741824) printf "%.0f MiB", b / 1048576
    else printf "%.1f GiB", b / 1073741824 }'
}
kib() { awk -v k="$1" 'BEGIN { if (k == "") print "n/a"; else printf "%.1f MiB", k / 1024 }'; }

list_command() {  # tool archive: sets cmd to the command that lists it
  case "$1" in
    myrar) cmd=("$myrar" v "$2") ;;
    bsdtar) cmd=(bsdtar -tvf "$2") ;;
    lsar) cmd=(lsar -L "$2") ;;
    7z) cmd=(7z l "$2") ;;
  esac
}

# Listing: every tool on the same archive, runs interleaved so that no tool gets a
# quieter moment of the machine than another; one unrecorded warm-up run each, so
# every tool reads from the page cache.
# What else the machine was doing: the figures of a busy machine are slower and wider.
load_now() { awk '{ print $1 }' /proc/loadavg 2>/dev/null || echo unknown; }
io_pressure() { awk -F'avg60=' '/^some/ { split($2, v, " "); print v[1] "%"; exit }' /proc/pressure/io 2>/dev/null || true; }
load_start="$(load_now)"
io_start="$(io_pressure)"
if [ "$smoke" = 0 ] && awk -v l="$load_start" -v n="$(nproc)" 'BEGIN { exit !(l + 0 > n / 2) }'; then
  say "note: load average $load_start on $(nproc) cores; the figures will carry that noise"
fi

list_archives=("$work/medium.rar" "$work/big.rar" "$work/many.rar" "${real[@]}")
say "listing: ${#list_archives[@]} archives × $((1 + ${#peers[@]})) tools × $runs runs"
for a in "${list_archives[@]}"; do
  key="$(basename "$a" .rar)"
  for t in myrar "${peers[@]}"; do
    list_command "$t" "$a"
    "$measure" -- "${cmd[@]}" >/dev/null
  done
  for ((r = 0; r < runs; r++)); do
    for t in myrar "${peers[@]}"; do
      list_command "$t" "$a"
      record "list-$t-$key" "${cmd[@]}"
    done
    # What starting any program costs here, part of every figure.
    record start-true true
  done
done
for a in "$work/medium.rar" "$work/big.rar" "$work/many.rar"; do
  key="$(basename "$a" .rar)"
  [ "$(statuses "list-myrar-$key")" = "0 " ] || fail "myrar v $a failed"
done

# Deleting: myrar d of one small entry against cp of the same archive; each run starts
# from a fresh copy, with nothing left to write back from the run before.
scratch="$work/scratch"
mkdir -p "$scratch"
delete_run() {  # key archive entry
  cp "$2" "$scratch/d.rar"
  sync
  record "$1" "$myrar" d -y "$scratch/d.rar" "$3"
  if have bsdtar && bsdtar -tf "$scratch/d.rar" 2>/dev/null | grep -qxF -- "$3"; then fail "myrar d left $3 in $2"; fi
  rm -f "$scratch/d.rar"
  # The blocks let go of here are handed back (and discarded, on a file system mounted
  # so) with the next journal commit: that commit is made now, not inside the next run.
  sync
}
# Every figure starts from the same state as a delete run: a copy of the archive just
# written and flushed. (A copy measured on a disk that has nothing else to do would be
# compared with a delete that follows a gigabyte the disk may still be taking in.)
fresh_start() {  # archive
  rm -f "$scratch/old.rar"
  sync
  cp "$1" "$scratch/old.rar"
  sync
}
copy_run() {  # key archive
  fresh_start "$2"
  record "$1" cp "$2" "$scratch/c.rar"
  rm -f "$scratch/c.rar"
  fresh_start "$2"
  # cp does not flush, myrar d does (it must not replace the archive with a file that
  # is not yet on disk); this column shows what the flush costs a copy.
  record "$1-sync" sh -c 'cp "$1" "$2" && sync "$2"' sh "$2" "$scratch/c.rar"
  # A rewrite that replaces the archive also lets go of the old file's blocks, which the
  # copy into an empty name never pays: what that costs here, on the flushed copy.
  record "$1-rm" rm -f "$scratch/old.rar"
  rm -f "$scratch/c.rar"
  sync
}
say "deleting: 3 archives × $runs runs"
for ((r = 0; r < runs; r++)); do
  for a in medium big; do
    delete_run "del-middle-$a" "$work/$a.rar" ad.txt
    delete_run "del-last-$a" "$work/$a.rar" tail.txt
    copy_run "copy-$a" "$work/$a.rar"
  done
  delete_run "del-middle-many" "$work/many.rar" "$many_middle"
  delete_run "del-last-many" "$work/many.rar" "$many_last"
  copy_run "copy-many" "$work/many.rar"
done

# Batches over the tree, each run on a fresh copy of it.
batch_tree="$work/tree"
fresh_tree() {
  rm -rf "$batch_tree"
  cp -a "$tree" "$batch_tree"
  sync
}
count_rar() { find "$batch_tree" -type f -name "$1" | wc -l; }
say "batches: $small_count archives × $runs runs"
for ((r = 0; r < runs; r++)); do
  fresh_tree
  record rename-cli "$cli" rename --ext exe "$batch_tree"
  [ "$(count_rar 'episode-*.rar')" -eq "$small_count" ] || fail "pimingbao-cli rename did not rename every archive"
  for t in "${peers[@]}"; do
    [ "$t" = 7z ] && continue
    fresh_tree
    record "rename-loop-$t" sh "$bench/loop_rename.sh" "$t" exe "$batch_tree"
    [ "$(count_rar 'episode-*.rar')" -eq "$small_count" ] || fail "the $t rename loop did not rename every archive"
  done

  fresh_tree
  record clean-cli "$cli" clean --name ad.txt "$batch_tree"
  if have bsdtar; then
    left="$(find "$batch_tree" -type f -name '*.rar' -exec bsdtar -tf {} \; | grep -cxF ad.txt || true)"
    [ "$left" -eq 0 ] || fail "pimingbao-cli clean left ad.txt in $left archives"
  fi
  for t in "${peers[@]}"; do
    [ "$t" = 7z ] && continue
    fresh_tree
    record "clean-loop-$t" sh "$bench/loop_clean.sh" "$t" ad.txt "$batch_tree"
  done
done
rm -rf "$batch_tree" "$scratch"
load_end="$(load_now)"
io_end="$(io_pressure)"

# --- the machine and the table --------------------------------------------------------------
cpu="$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo 2>/dev/null || true)"
mem="$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo 2>/dev/null || true)"
fstype="$(findmnt -n -o FSTYPE --target "$work" 2>/dev/null || stat -f -c %T "$work" 2>/dev/null || echo unknown)"
version_of() {
  case "$1" in
    bsdtar) bsdtar --version 2>/dev/null | head -n 1 ;;
    lsar) lsar --version 2>/dev/null | head -n 1 ;;
    7z) 7z 2>/dev/null | awk 'NF { print; exit }' ;;
  esac
}
size_of() { bytes "$(stat -c %s "$1")"; }

fastest_peer() {  # key-suffix: the fastest peer's median time and name
  local best="" name="" t v
  for t in "${peers[@]}"; do
    v="$(med "list-$t-$1" 1)"
    [ -n "$v" ] || continue
    [ "$(statuses "list-$t-$1")" = "0 " ] || continue
    if [ -z "$best" ] || awk -v a="$v" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$v"; name="$t"; fi
  done
  echo "$best $name"
}

per_archive() { awk -v us="$1" -v n="$small_count" 'BEGIN { if (us == "") print "n/a"; else printf "%.2f", us / 1000 / n }'; }

{
  echo "# Benchmarks"
  echo
  echo "myrar and pimingbao-cli measured side by side with the tools a user would otherwise"
  echo "use. Every figure is the median of $runs runs, measured in one run of the script, with"
  echo "the archives in the page cache; ratios are ours divided by theirs (below 1× is faster)."
  echo
  echo "Produced by:"
  echo
  echo '```sh'
  echo "bench/run.sh${invocation[*]:+ ${invocation[*]}}"
  echo '```'
  echo
  echo "The script builds myrar and pimingbao-cli (Release) in build-bench, builds every"
  echo "workload itself with \`myrar a\` (stored entries) in the work folder, copies a few real"
  echo "archives from the fixtures, and measures each command with bench/measure.cpp: wall"
  echo "time, peak resident size and the bytes the kernel counted as read and written"
  echo "(/proc/<pid>/io rchar and wchar, page-cache hits included, children included)."
  echo
  echo "## Machine"
  echo
  echo "- CPU: ${cpu:-unknown}, $(nproc) cores available; memory: ${mem:-unknown}"
  echo "- System: $(uname -srm); work folder on $fstype"
  echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  for t in "${peers[@]}"; do echo "- $t: $(version_of "$t")"; done
  echo "- The machine is shared with other work, so single runs carry noise; the medians and"
  echo "  ratios are what to read. Load average (1 minute) at the start of the measurements"
  echo "  ${load_start}, at the end ${load_end}${io_start:+; time spent waiting for I/O (last minute) ${io_start} at the start, ${io_end} at the end}."
  echo
  echo "## Targets"
  echo
  echo "| Target | Figure | Met |"
  echo "|---|---|---|"
  worst_list=""
  for a in "${list_archives[@]}"; do
    key="$(basename "$a" .rar)"
    read -r best _ <<<"$(fastest_peer "$key")"
    r="$(awk -v a="$(med "list-myrar-$key" 1)" -v b="${best:-}" 'BEGIN { if (a != "" && b != "" && b > 0) printf "%.2f", a / b }')"
    if [ -n "$r" ] && { [ -z "$worst_list" ] || awk -v a="$r" -v b="$worst_list" 'BEGIN { exit !(a > b) }'; }; then worst_list="$r"; fi
  done
  verdict() { awk -v v="$1" -v limit="$2" 'BEGIN { if (v == "") print "n/a"; else print (v + 0 <= limit + 0) ? "yes" : "no" }'; }
  echo "| Listing faster than the fastest peer on every archive | slowest ratio ${worst_list:-n/a}× | $(verdict "$worst_list" 0.999) |"
  growth="$(awk -v a="$(med list-myrar-big 1)" -v b="$(med list-myrar-medium 1)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
  echo "| Listing the big archive about as fast as the medium one | ${growth}× the time | $(verdict "$growth" 1.2) |"
  dcopy="$(awk -v a="$(med del-middle-big 1)" -v b="$(med copy-big 1)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
  echo "| Deleting from the middle of the big archive at most 1.1× cp | ${dcopy}× | $(verdict "$dcopy" 1.1) |"
  dsync="$(awk -v a="$(med del-middle-big 1)" -v b="$(med copy-big-sync 1)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
  echo "| The same against cp + sync, the copy with the flush myrar d must do | ${dsync}× | $(verdict "$dsync" 1.1) |"
  dlast="$(awk -v a="$(med del-last-big 1)" -v b="$(med copy-big 1)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
  echo "| Deleting the last entry of the big archive (cut in place) at most 1.1× cp | ${dlast}× | $(verdict "$dlast" 1.1) |"
  for job in rename clean; do
    half="$(awk -v a="$(med "$job-cli" 1)" -v b="$(med "$job-loop-bsdtar" 1)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
    echo "| $job batch at most half the fastest shell loop's time | ${half:-n/a}× | $(verdict "$half" 0.5) |"
  done
  top=0
  for k in list-myrar-medium list-myrar-big list-myrar-many del-middle-medium del-middle-big del-middle-many del-last-big del-last-many; do
    v="$(peak "$k")"
    [ -n "$v" ] && [ "$v" -gt "$top" ] && top="$v"
  done
  echo "| Peak resident size of myrar under 16 MiB | $(kib "$top") at most | $(verdict "$top" 16383) |"
  rss_growth="$(awk -v a="$(peak list-myrar-big)" -v b="$(peak list-myrar-medium)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
  echo "| Peak resident size independent of the archive's size (myrar v, big ÷ medium) | ${rss_growth}× | $(verdict "$rss_growth" 1.1) |"
  many_growth="$(awk -v a="$(peak list-myrar-many)" -v b="$(peak list-myrar-medium)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
  echo "| Peak resident size independent of the number of entries (myrar v, many ÷ medium) | ${many_growth}× | $(verdict "$many_growth" 1.1) |"
  many_growth_d="$(awk -v a="$(peak del-middle-many)" -v b="$(peak del-middle-medium)" 'BEGIN { if (b > 0) printf "%.2f", a / b }')"
  echo "| The same for myrar d (many ÷ medium) | ${many_growth_d}× | $(verdict "$many_growth_d" 1.1) |"
  echo
  echo "## Workloads"
  echo
  echo "| Archive | Size | Entries |"
  echo "|---|---|---|"
  echo "| medium.rar | $(size_of "$work/medium.rar") | 7: four parts of $(bytes "$medium_part"), three small texts |"
  echo "| big.rar | $(size_of "$work/big.rar") | 7: four parts of $(bytes "$big_part"), three small texts |"
  echo "| many.rar | $(size_of "$work/many.rar") | $many_count small texts |"
  for a in "${real[@]}"; do
    echo "| $(basename "$a") (real, from the fixtures) | $(size_of "$a") | $(bsdtar -tf "$a" 2>/dev/null | wc -l) |"
  done
  echo "| batch tree | $small_count archives in folders of ten | 3 each: ad.txt, 说明.txt, episode-<n>.exe (8–12 KiB) |"
  echo
  echo "## Listing"
  echo
  echo "\`myrar v\` against \`bsdtar -tvf\`, \`lsar -L\` and \`7z l\` on the same archive. Target:"
  echo "faster than the fastest of them, and a cost that does not grow with the archive's size."
  echo
  printf '| Archive | myrar v | bytes read |'
  for t in "${peers[@]}"; do printf ' %s | bytes read |' "$t"; done
  printf ' myrar ÷ fastest |\n'
  printf '|---|---:|---:|'
  for _ in "${peers[@]}"; do printf -- '---:|---:|'; done
  printf -- '---:|\n'
  for a in "${list_archives[@]}"; do
    key="$(basename "$a" .rar)"
    printf '| %s | %s ms | %s |' "$(basename "$a")" "$(ms "$(med "list-myrar-$key" 1)")" "$(bytes "$(med "list-myrar-$key" 3)")"
    for t in "${peers[@]}"; do
      st="$(statuses "list-$t-$key")"
      note=""
      [ "$st" = "0 " ] || note=" (exit ${st% })"
      printf ' %s ms%s | %s |' "$(ms "$(med "list-$t-$key" 1)")" "$note" "$(bytes "$(med "list-$t-$key" 3)")"
    done
    read -r best name <<<"$(fastest_peer "$key")"
    printf ' %s (%s) |\n' "$(ratio "$(med "list-myrar-$key" 1)" "${best:-}")" "${name:-n/a}"
  done
  echo
  echo "Starting a program that does nothing (\`true\`) takes $(ms "$(med start-true 1)") ms here; every figure includes that."
  echo "Bytes read are those the kernel counted for the whole process, shared libraries' headers"
  echo "and the GB18030 converter included."
  echo
  echo "Big against medium for myrar v: $(ratio "$(med list-myrar-big 1)" "$(med list-myrar-medium 1)") the time,"
  echo "$(ratio "$(med list-myrar-big 3)" "$(med list-myrar-medium 3)") the bytes read, for an archive $(ratio "$(stat -c %s "$work/big.rar")" "$(stat -c %s "$work/medium.rar")") the size."
  echo "A peer that exits non-zero (noted) did not list the archive; its time is not a candidate for the fastest."
  echo
  echo "## Deleting"
  echo
  echo "\`myrar d\` of one small entry against \`cp\` of the same archive on the same file system,"
  echo "the bound for a rewrite. Target: at most 1.1× the copy. myrar d flushes the new archive"
  echo "to disk before it replaces the old one; \`cp + sync\` is the copy with that same flush."
  echo "\`rm\` is what letting go of the old file's blocks costs, which replacing the archive"
  echo "pays and a copy into an empty name does not."
  echo
  echo "| Archive | Entry removed | myrar d | written | cp | cp + sync | rm | d ÷ cp | d ÷ (cp + sync) | d ÷ (cp + sync + rm) |"
  echo "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|"
  for a in medium big many; do
    if [ "$a" = many ]; then mid="$many_middle"; last="$many_last"; else mid=ad.txt; last=tail.txt; fi
    for which in middle last; do
      if [ "$which" = middle ]; then entry="$mid (in the middle)"; else entry="$last (the last)"; fi
      d="$(med "del-$which-$a" 1)"
      c="$(med "copy-$a" 1)"
      cs="$(med "copy-$a-sync" 1)"
      cr="$(med "copy-$a-rm" 1)"
      csr="$(awk -v a="$cs" -v b="$cr" 'BEGIN { if (a != "" && b != "") print a + b }')"
      echo "| $a.rar | $entry | $(ms "$d") ms | $(bytes "$(med "del-$which-$a" 4)") | $(ms "$c") ms | $(ms "$cs") ms | $(ms "$cr") ms | $(ratio "$d" "$c") | $(ratio "$d" "$cs") | $(ratio "$d" "$csr") |"
    done
  done
  echo
  echo "A rewrite may replace the archive only once the new file is on disk, so for a large"
  echo "archive it cannot be faster than the disk writes, while \`cp\` ends when the copy is in"
  echo "the page cache: d ÷ cp measures the disk against memory there, and d ÷ (cp + sync), with"
  echo "the old file's release (rm) beside it, is the figure that compares like with like."
  echo "A copy into the page cache is also only as fast as the system hands out memory: on a"
  echo "virtual machine whose host takes back idle memory that varies from run to run (cp of the"
  echo "big archive took $(ms "$(column copy-big 1 | sort -n | head -n 1)") to $(ms "$(column copy-big 1 | sort -n | tail -n 1)") ms over the runs here), and d ÷ cp with it."
  echo
  echo "The \"written\" column shows whether an entry at the end is removed without rewriting"
  echo "the rest: a rewrite writes about the archive's size, a cut in place a few bytes (the end"
  echo "block written over the first removed header, flushed, then the file cut after it and"
  echo "flushed again; see archiver/rar/tail_cut.h)."
  echo
  echo "## Batches"
  echo
  echo "pimingbao-cli over the $small_count archives of the batch tree against a shell loop doing the"
  echo "same job (bench/loop_rename.sh, bench/loop_clean.sh). Target: at most half the loop's time."
  echo
  echo "| Job | pimingbao-cli | per archive |$(for t in "${peers[@]}"; do [ "$t" = 7z ] || printf ' loop with %s | per archive | cli ÷ loop |' "$t"; done)"
  echo "|---|---:|---:|$(for t in "${peers[@]}"; do [ "$t" = 7z ] || printf -- '---:|---:|---:|'; done)"
  for job in rename clean; do
    c="$(med "$job-cli" 1)"
    if [ "$job" = rename ]; then label="rename --ext exe"; else label="clean --name ad.txt"; fi
    printf '| %s | %s ms | %s ms |' "$label" "$(ms "$c")" "$(per_archive "$c")"
    for t in "${peers[@]}"; do
      [ "$t" = 7z ] && continue
      l="$(med "$job-loop-$t" 1)"
      printf ' %s ms | %s ms | %s |' "$(ms "$l")" "$(per_archive "$l")" "$(ratio "$c" "$l")"
    done
    printf '\n'
  done
  echo
  echo "No tool on the system writes RAR, so the clean loop copies each archive that holds the"
  echo "name and moves the copy over it: the least a rewrite costs, which flatters the loop."
  echo
  echo "## Memory"
  echo
  echo "Peak resident size (the largest of the runs). Target: under 16 MiB, independent of the archive's size."
  echo
  echo "| Archive | myrar v | myrar d (middle) | myrar d (last) |$(for t in "${peers[@]}"; do printf ' %s |' "$t"; done)"
  echo "|---|---:|---:|---:|$(for _ in "${peers[@]}"; do printf -- '---:|'; done)"
  for a in medium big many; do
    echo "| $a.rar | $(kib "$(peak "list-myrar-$a")") | $(kib "$(peak "del-middle-$a")") | $(kib "$(peak "del-last-$a")") |$(for t in "${peers[@]}"; do printf ' %s |' "$(kib "$(peak "list-$t-$a")")"; done)"
  done
  echo "| batch tree, pimingbao-cli (with its myrar children) | rename: $(kib "$(peak rename-cli)") | clean: $(kib "$(peak clean-cli)") | |$(for _ in "${peers[@]}"; do printf ' |'; done)"
} >"$readme"

say "wrote $readme"
if [ "$smoke" = 1 ]; then cat "$readme"; fi
