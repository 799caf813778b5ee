# Sourced by the scripts that run Wine. Debian's wine script starts the
# 32-bit loader whenever it is installed, and lets it hand 64-bit programs on.
# A kernel without 32-bit support (some virtual machines) cannot start that
# loader: 64-bit programs then go to the 64-bit loader directly, through a
# "wine" of our own first on the PATH. Sets QUIRNEL_WINE_ARCH to the build
# that can run here (i686 or x86_64).
if /usr/lib/wine/wine --version >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
  QUIRNEL_WINE_ARCH=i686
else
  QUIRNEL_WINE_ARCH=x86_64
  quirnel_wine_shim=$(mktemp -d)
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$quirnel_wine_shim/wine"
  chmod +x "$quirnel_wine_shim/wine"
  export PATH="$quirnel_wine_shim:$PATH"
fi
