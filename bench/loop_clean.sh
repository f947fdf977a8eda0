#!/bin/sh
# The clean job as a shell loop: list each archive with TOOL (bsdtar or lsar) and, when it
# holds NAME (letter case ignored), rewrite it through a temporary copy that mv puts in
# its place. No tool a Debian system offers writes RAR archives, so the copy stands in
# for the rewrite: it is the least any rewriting tool has to do, and this loop's time is
# a lower bound for the real job.
#   loop_clean.sh TOOL NAME FOLDER
set -u
tool=$1
name=$2
folder=$3

find "$folder" -type f -name '*.rar' | sort | while IFS= read -r archive; do
  case $tool in
    bsdtar) names=$(bsdtar -tf "$archive" 2>/dev/null) ;;
    lsar) names=$(lsar "$archive" 2>/dev/null | tail -n +2) ;;
    *) echo "unknown tool $tool" >&2; exit 2 ;;
  esac
  if printf '%s\n' "$names" | grep -qixF -- "$name"; then
    cp "$archive" "$archive.tmp" && mv "$archive.tmp" "$archive"
  fi
done
