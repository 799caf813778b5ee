#!/usr/bin/env bash
# Takes the user guide's pictures of the window under Wine, headless: the
# window as it opens with the sample file, the window after a run with its
# end message, and the field chooser, each at 96 and at 144 DPI. Run by hand
# after changing what the window looks like, and commit the pictures:
#   scripts/screenshots.sh [--lang zh|en] [--out FOLDER] [BUILD_DIR]
# BUILD_DIR defaults to the Windows build Wine can run here. The interface
# language is set by the registry value Language (default zh); the pictures
# go to docs/images (zh) or docs/images/en (en), or to FOLDER: window.png,
# finished-run.png, chooser.png and the same with -144dpi. A fresh Wine
# prefix shows the default field list. Wine's own dialog texts (OK, Yes,
# Save As) are in Chinese for zh when the zh_CN.UTF-8 locale can be made
# (localedef, no root needed), and in English for en.
set -euo pipefail
cd "$(dirname "$0")/.."
lang=zh out=
while [ $# -gt 0 ]; do
  case $1 in
    --lang) lang=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) break ;;
  esac
done
case $lang in
  zh) out=${out:-docs/images} folder='C:\数据' output='书目.txt' ;;
  en) out=${out:-docs/images/en} folder='C:\Data' output='records.txt' ;;
  *) echo "usage: scripts/screenshots.sh [--lang zh|en] [--out FOLDER] [BUILD_DIR]" >&2; exit 2 ;;
esac
. scripts/wine-path.sh
build=$(cd "${1:-build/win-$QUIRNEL_WINE_ARCH}" && pwd)
cmake --build "$build" --target quirnel quirnel_driver >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
locale=(LANG=C.UTF-8 LC_ALL=C.UTF-8)
if [ $lang = zh ] && localedef -i zh_CN -f UTF-8 "$scratch/zh_CN.UTF-8" 2>/dev/null; then
  locale=(LOCPATH="$scratch" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
fi
mkdir -p "$WINEPREFIX"

# Large enough for the chooser at 144 DPI; the pictures are cut to what shows.
env "${locale[@]}" xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
  set -eu
  trap "wineserver -k 2>/dev/null || true" EXIT
  build=$1 out=$2 lang=$3 folder=$4 output=$5
  quirnel="Z:$build/ui/quirnel.exe" driver="$build/tests/e2e/quirnel_driver.exe" sample="$folder\\sample.iso"
  wineserver -p
  wine wineboot >/dev/null 2>&1 </dev/null
  scripts/wine-prefix-setup.sh
  # The title bar buttons are drawn in Marlett, which Wine does not always
  # find on its own.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  wine reg add "HKCU\\Software\\Pellmoor\\Sorrelant" /v Language /d "$lang" /f >/dev/null 2>&1
  unix=$WINEPREFIX/drive_c/${folder#C:\\}
  mkdir -p "$unix" && cp samples/sample.iso "$unix/"
  # The picture is the smallest box around everything that is not the black
  # screen, taken once the windows have painted. The pointer moves out of
  # the way first: a new Wine server puts it in the middle of the screen,
  # where a tool tip would show.
  shoot() {
    xdotool mousemove 1 1 mousemove 0 0
    sleep 2
    import -window root -trim +repage "$out/$1"
  }
  # Starts the driver posing the window, and waits (a minute at most) until
  # it says it has.
  posed=$(dirname "$WINEPREFIX")/posed
  pose() {
    : >"$posed"
    wine "$driver" "$@" >"$posed" &
    for _ in $(seq 300); do grep -qs posed "$posed" && return; sleep 0.2; done
    echo "screenshots: the driver did not pose the window ($1)" >&2; exit 1
  }
  wineserver -k; wineserver -w

  # Wine takes its DPI from the registry when its programs start.
  for dpi in 96 144; do
    suffix=; [ $dpi = 96 ] || suffix=-${dpi}dpi
    wineserver -p
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wineserver -k; wineserver -w; wineserver -p

    wine "$quirnel" "$sample" &
    xdotool search --sync --name "^Quirnel" >/dev/null
    shoot window$suffix.png
    kill $!; wineserver -k; wineserver -w; wineserver -p

    rm -f "$unix/$output"
    pose pose-after-a-run "$quirnel" "$sample" "$folder\\$output"
    shoot finished-run$suffix.png
    wineserver -k; wineserver -w; wineserver -p

    pose pose-chooser "$quirnel" "$sample" "$folder"
    shoot chooser$suffix.png
    wineserver -k; wineserver -w
  done' bash "$build" "$out" "$lang" "$folder" "$output"
echo "screenshots in $out: window, finished-run and chooser, each also at 144 DPI"
