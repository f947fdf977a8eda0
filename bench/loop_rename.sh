#!/bin/sh
# The rename job as a shell loop a user would write without pimingbao: list each archive
# with TOOL (bsdtar or lsar), take the first entry with the extension, and mv the archive
# to that entry's bare name + ".rar" beside it, unless that name is taken.
#   loop_rename.sh TOOL EXT FOLDER
set -u
tool=$1
ext=$2
folder=$3

find "$folder" -type f -name '*.rar' | sort | while IFS= read -r archive; do
  case $tool in
    bsdtar) names=$(bsdtar -tf "$archive" 2>/dev/null) ;;
    # lsar prints the archive's own name and format on its first line.
    lsar) names=$(lsar "$archive" 2>/dev/null | tail -n +2) ;;
    *) echo "unknown tool $tool" >&2; exit 2 ;;
  esac
  entry=$(printf '%s\n' "$names" | grep -i "\\.$ext\$" | head -n 1)
  [ -n "$entry" ] || continue
  base=${entry##*/}
  base=${base%.*}
  target=$(dirname "$archive")/$base.rar
  [ "$target" = "$archive" ] && continue
  [ -e "$target" ] && continue
  mv "$archive" "$target"
done
