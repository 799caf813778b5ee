#!/usr/bin/env bash
# Takes the user guide's pictures of the window under Wine, headless: the
# window as it opens with the sample file, the window after a run with its
# end message, and the field chooser at 96 and at 144 DPI. Run by hand after
# changing what the window looks like, and commit the pictures:
#   scripts/screenshots.sh [BUILD_DIR]       (default: the Windows build Wine can run here)
# It writes docs/images/window.png, docs/images/finished-run.png,
# docs/images/chooser.png and docs/images/chooser-144dpi.png. A fresh
# Wine prefix shows the default field list; Wine's own dialog texts are in
# Chinese when the zh_CN.UTF-8 locale can be made (localedef, no root needed).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-path.sh
build=$(cd "${1:-build/win-$QUIRNEL_WINE_ARCH}" && pwd)
cmake --build "$build" --target quirnel quirnel_driver >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
chinese=()
if localedef -i zh_CN -f UTF-8 "$scratch/zh_CN.UTF-8" 2>/dev/null; then
  chinese=(LOCPATH="$scratch" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8)
fi
mkdir -p docs/images "$scratch/work" "$WINEPREFIX"

# Large enough for the chooser at 144 DPI; the pictures are cut to what shows.
env "${chinese[@]}" xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
  set -eu
  build=$1; scratch=$2; quirnel="Z:$build/ui/quirnel.exe"; sample="C:\\数据\\sample.iso"
  wineserver -p
  wine wineboot >/dev/null 2>&1 </dev/null
  scripts/wine-prefix-setup.sh
  # The title bar buttons are drawn in Marlett, which Wine does not always
  # find on its own.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  mkdir -p "$WINEPREFIX/drive_c/数据" && cp samples/sample.iso "$WINEPREFIX/drive_c/数据/"
  xdotool mousemove 0 0  # no tool tip in the picture
  # The picture is the smallest box around everything that is not the black
  # screen, taken once the windows have painted.
  shoot() { sleep 2; import -window root -trim +repage "$1"; }

  wine "$quirnel" "$sample" &
  xdotool search --sync --name "^Quirnel" >/dev/null
  shoot docs/images/window.png
  kill $!

  wine "$build/tests/e2e/quirnel_driver.exe" pose-after-a-run "$quirnel" "$sample" "Z:$scratch/work" &
  xdotool search --sync --name "^温馨提示$" >/dev/null
  shoot docs/images/finished-run.png
  wineserver -k; wineserver -w

  # The chooser, once at each scale: Wine takes its DPI from the registry
  # when its programs start.
  for dpi in 96 144; do
    wineserver -p
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wineserver -k; wineserver -w; wineserver -p
    wine "$build/tests/e2e/quirnel_driver.exe" pose-chooser "$quirnel" "$sample" "Z:$scratch/work" &
    xdotool search --sync --name "^从数据文件中选择字段$" >/dev/null
    if [ $dpi = 96 ]; then shoot docs/images/chooser.png; else shoot docs/images/chooser-${dpi}dpi.png; fi
    wineserver -k; wineserver -w
  done' bash "$build" "$scratch"
echo "screenshots: docs/images/window.png docs/images/finished-run.png docs/images/chooser.png docs/images/chooser-144dpi.png"
