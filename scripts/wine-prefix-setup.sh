#!/usr/bin/env bash
# One-time settings of a Wine prefix (WINEPREFIX must be set, a wineserver
# running): Chinese text through font links, and window frames drawn by Wine
# so that screenshots show captions. Skipped when the prefix already has them.
set -euo pipefail
marker="$WINEPREFIX/.quirnel-prefix-ready"
[ -f "$marker" ] && exit 0
font='wqy-microhei.ttc,WenQuanYi Micro Hei'
for face in 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' 'Segoe UI' 'Arial' 'Lucida Sans Unicode'; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" /t REG_MULTI_SZ /d "$font" /f >/dev/null 2>&1
done
for face in '微软雅黑' 'Microsoft YaHei' '宋体' 'SimSun' '新宋体' 'NSimSun' '黑体' 'SimHei'; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# Without a window manager, Wine waits about 2 s on every top-level window
# unless it manages the windows itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
touch "$marker"
