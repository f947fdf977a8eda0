#!/usr/bin/env bash
# Regenerates platform/gb18030_table_win32.cpp from the C library's GB18030 converter.
#
# The Windows build carries its own GB18030 tables instead of asking the system (code page
# 54936): Wine, which runs the Windows tests here, has no such code page, and with the
# tables the Windows program converts every byte exactly as the Linux program's iconv does.
set -euo pipefail
cd "$(dirname "$0")/.."

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
c++ -std=c++17 -O2 -Wall -Wextra -o "$work/generate" scripts/gb18030_table_generator.cpp
"$work/generate" "$work/table.cpp"
mv "$work/table.cpp" platform/gb18030_table_win32.cpp
echo "wrote platform/gb18030_table_win32.cpp"
