#!/usr/bin/env bash
# A download folder as people have them: a copy of every real archive we have, volume sets
# included, under Chinese names, spread over two levels. Every job runs over it the way a
# user would: numbering three times, by extension, a clean with a name list, then undo.
# After each step no archive file may be lost: each one is in the folder or in the trash,
# every volume set still opens from its first volume, and the numbering is the same on
# every run.
#
#   download_folder_check.sh PIMINGBAO_CLI FIXTURES_DIR
set -euo pipefail

cli_built="$1"
fixtures="$2"

work="$(mktemp -d "${TMPDIR:-/tmp}/pmb-download-XXXXXX")"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/xdg-data"
export XDG_STATE_HOME="$work/xdg-state"
mkdir -p "$XDG_DATA_HOME" "$work/bin"
# The CLI keeps myrar.exe and its journal beside itself: a copy of its own here.
cp "$cli_built" "$work/bin/pimingbao-cli"
cli="$work/bin/pimingbao-cli"
folder="$work/下载"
trash="$XDG_DATA_HOME/Trash/files"

fail() { echo "FAILED: $*" >&2; exit 1; }

# --- the folder ------------------------------------------------------------------------
mkdir -p "$folder/小说" "$folder/漫画/第二卷"
n=0
for f in "$fixtures"/*.rar "$fixtures"/*.r[0-9][0-9]; do
  base="$(basename "$f")"
  case "$base" in
    *.part[0-9]*.rar | *.r[0-9][0-9] | rar3-old.rar) continue ;;  # volume sets below
  esac
  n=$((n + 1))
  case $((n % 3)) in
    0) dest="$folder" ;;
    1) dest="$folder/小说" ;;
    2) dest="$folder/漫画/第二卷" ;;
  esac
  cp "$f" "$dest/资料${n}_${base%.rar}.rar"
done
# Volume sets keep their own naming, only the set's name becomes Chinese.
for v in "$fixtures"/rar3-vols.part*.rar; do cp "$v" "$folder/卷集甲.part${v##*.part}"; done
for v in "$fixtures"/rar5-vols.part*.rar; do cp "$v" "$folder/小说/卷集乙.part${v##*.part}"; done
for v in "$fixtures"/test_rar_multivolume_uncompressed_files.part*.rar; do
  cp "$v" "$folder/漫画/多卷丙.part${v##*.part}"
done
for v in "$fixtures"/rar3-old.rar "$fixtures"/rar3-old.r00 "$fixtures"/rar3-old.r01; do
  cp "$v" "$folder/旧式卷集丁.${v##*.}"
done

# Every archive file as "size hash", wherever it lies; nothing may vanish from this.
archive_files() {
  find "$folder" "$trash" -type f \( -name '*.rar' -o -name '*.r[0-9][0-9]' \) "$@" 2>/dev/null || true
}
inventory() {
  archive_files -exec sha256sum {} + | awk '{print $1}' | sort
}
# Every volume set opens from its first volume and lists every entry.
check_sets() {
  local sets=0
  while IFS= read -r -d '' first_volume; do
    sets=$((sets + 1))
    lsar "$first_volume" >/dev/null 2>&1 || fail "$1: the volume set of $first_volume no longer opens"
  done < <(find "$folder" \( -name '*.part1.rar' -o -name '*.part01.rar' \) -print0)
  [ "$sets" -eq 3 ] || fail "$1: $sets volume sets start with part1/part01, expected 3"
}
mapping() {
  find "$folder" -type f -exec sha256sum {} + | sed "s|$folder/||" | sort
}

before="$(inventory)"
count_before="$(echo "$before" | wc -l)"
echo "download folder: $count_before archive files"

# Downloads are the user's own files, unlike the fixtures they are copied from.
chmod -R u+w "$folder"

# --- numbering, three times --------------------------------------------------------------
"$cli" rename --prefix 示例 --start 00005 "$folder" > "$work/number1.txt" || true
first="$(mapping)"
[ "$(inventory)" = "$before" ] || fail "numbering lost or changed an archive file"
check_sets "numbering"
for run in 2 3; do
  "$cli" rename --prefix 示例 --start 00005 "$folder" > "$work/number$run.txt" || true
  [ "$(mapping)" = "$first" ] || { diff <(echo "$first") <(mapping) >&2; fail "numbering run $run gave other names"; }
done
echo "numbering: three runs, same names"

# --- by extension ------------------------------------------------------------------------
"$cli" rename --ext txt "$folder" > "$work/ext.txt" || true
[ "$(inventory)" = "$before" ] || fail "renaming by extension lost or changed an archive file"
check_sets "by extension"
echo "by extension: nothing lost"

# --- clean -------------------------------------------------------------------------------
names="$work/names.txt"
printf 'test.txt\r\ntestlink\r\n' > "$names"
"$cli" clean --names-file "$names" --dry-run "$folder" > "$work/dry.txt" || true
"$cli" clean --names-file "$names" "$folder" > "$work/clean.txt" || true
# The dry run's counts (cleaned, unchanged, failed, to the trash) are the real run's.
counts() { tail -n 1 "$1" | sed 's/(.*//' | grep -o '[0-9]\+' | tr '\n' ' '; }
[ "$(counts "$work/dry.txt")" = "$(counts "$work/clean.txt")" ] ||
  fail "clean: the dry run said $(tail -n 1 "$work/dry.txt"), the real run $(tail -n 1 "$work/clean.txt")"
grep -q '^已打扫 [1-9]' "$work/clean.txt" || fail "clean: no archive was cleaned: $(tail -n 1 "$work/clean.txt")"
count_after="$(archive_files | wc -l)"
[ "$count_after" -eq "$count_before" ] || fail "clean: $count_before archive files before, $count_after after"
check_sets "clean"
echo "clean: every archive file still there or in the trash"

# --- undo --------------------------------------------------------------------------------
"$cli" undo > "$work/undo.txt" || true
count_after="$(archive_files | wc -l)"
[ "$count_after" -eq "$count_before" ] || fail "undo: $count_before archive files before, $count_after after"
check_sets "undo"
echo "undo: nothing lost"
echo "download folder check passed"
