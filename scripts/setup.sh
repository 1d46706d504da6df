# Shared by scripts/run and scripts/test: installs the Debian packages that are
# missing, then configures and builds. Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
JOBS="$(nproc 2>/dev/null || echo 2)"

# Qt's private headers give the update window Qt's own readers of character
# references and style sheets, to measure a page before Qt lays it out.
BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev qt6-base-private-dev libgl-dev zlib1g-dev
  libgtest-dev qt6-translations-l10n libxlsxwriter-dev)
# What the program uses when it runs: an icon theme with the freedesktop
# command pictures, for desktops that bring none.
RUN_PACKAGES=(adwaita-icon-theme)
# Readers, encoders and references nobody here wrote, used by the interop
# tests: the export's pages are read by headless Chromium, its workbooks by
# openpyxl; libdiscid gives the CD lookup's reference disc ids (test-only);
# tzdata gives the date tests a fixed time zone; trash-cli and gio
# (libglib2.0-bin) read the trash and the drag data; desktop-file-validate and
# gio read the program shortcuts; bindfs shows a folder through a second
# mount, and exfatprogs with exfat-fuse make a stick's file system without
# no-replace renames or hard links (on a loop device of util-linux's
# losetup), and util-linux's unshare a process id space of its own, for the
# file operations (their tests are skipped, saying why, where FUSE, loop
# devices or process id spaces are not allowed). Qt's platform interface (in
# the private headers above) lets a window test close a window the way a
# window manager does.
TEST_PACKAGES=(python3 python3-mutagen ffmpeg lame chromium python3-openpyxl libdiscid-dev tzdata trash-cli
  libglib2.0-bin desktop-file-utils bindfs exfatprogs exfat-fuse util-linux)

install_missing() {
  local missing=()
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Configures and builds a preset: every target, or only those named after it
# (build_preset default --target quillon).
build_preset() {
  local preset="$1"
  shift
  cmake --preset "$preset" -S "$ROOT" >/dev/null
  cmake --build --preset "$preset" -j "$JOBS" "$@"
}
