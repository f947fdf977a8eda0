#!/usr/bin/env bash
# Installs what is missing, builds the program and starts the window.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): the window cannot open here."
  echo "On a desktop, start it with:  build/bin/pimingbao"
  echo "Pictures of every page:       build/bin/pimingbao --screenshot DIR"
  echo
  echo "Instead, the two batch jobs run here from the command line (build/bin/pimingbao-cli) on demo archives."
  demo="$(mktemp -d "${TMPDIR:-/tmp}/pimingbao-demo-XXXXXX")"
  archives="$demo/压缩包"
  cli=build/bin/pimingbao-cli
  # A clash would send an archive to the trash: the demo's trash stays inside the demo folder.
  export XDG_DATA_HOME="$demo/trash-home"
  step() { echo; echo "\$ pimingbao-cli $*"; "$cli" "$@" || true; }

  # Demo archives made with our own archiver, each from a few small files.
  made_with_myrar=no
  if [ -x build/bin/myrar ]; then
    mkdir -p "$demo/内容" "$archives/第二层"
    for f in 文件1.txt 文件2.exe 文件3.pdf 广告.url 安装.exe 说明.txt 工具.exe; do echo "demo $f" > "$demo/内容/$f"; done
    myrar="$PWD/build/bin/myrar"
    pack() { local archive="$1"; shift; (cd "$demo/内容" && "$myrar" a -ep1 "$archive" "$@" > /dev/null); }
    if pack "$archives/a.rar" 文件1.txt 文件2.exe 文件3.pdf &&
       pack "$archives/b.rar" 广告.url 安装.exe 说明.txt &&
       pack "$archives/第二层/c.rar" 文件1.txt 广告.url 工具.exe; then
      made_with_myrar=yes
    fi
  fi
  if [ "$made_with_myrar" = yes ]; then
    extension=exe
    names=(--name 广告.url --name 文件1.txt)
    echo "Made 3 demo archives with 'myrar a' in $archives:"
    echo "  a.rar         文件1.txt 文件2.exe 文件3.pdf"
    echo "  b.rar         广告.url 安装.exe 说明.txt"
    echo "  第二层/c.rar  文件1.txt 广告.url 工具.exe"
  else
    fixtures=../shared/fixtures/rar
    if [ ! -f "$fixtures/zimuku-10-ass.rar" ]; then
      echo "Neither build/bin/myrar nor the sample archives in $fixtures are there: no demo to run."
      exit 0
    fi
    rm -rf "$archives"; mkdir -p "$archives/第二层"
    install -m 644 "$fixtures/zimuku-10-ass.rar" "$archives/a.rar"
    install -m 644 "$fixtures/rar5-subdirs.rar" "$archives/b.rar"
    install -m 644 "$fixtures/rar3-subdirs.rar" "$archives/第二层/c.rar"
    extension=txt
    names=(--name "Modern.Family.S05E05.720p.WEB-DL.DD5.1.H.264-HWD.英文.srt" --name sub/dir1)
    echo "build/bin/myrar could not make demo archives; copied 3 sample archives into $archives."
  fi

  echo
  echo "1. Rename every archive after the entry inside it with the extension '$extension' (按后缀):"
  step rename --ext "$extension" "$archives"
  echo
  echo "2. Delete named entries from inside every archive (开始删除):"
  step clean "${names[@]}" "$archives"
  echo
  echo "3. Rename them by prefix and running number (按序号), prefix 示例, start 00005:"
  step rename --prefix 示例 --start 00005 "$archives"
  echo
  echo "4. Undo the last rename (the numbering):"
  step undo
  echo
  echo "The demo archives now:"
  (cd "$archives" && find . -type f | sort)
  echo
  echo "Everything is in $demo; remove it when done. Try: $cli --help"
  exit 0
fi
exec build/bin/pimingbao "$@"
