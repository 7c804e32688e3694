#!/usr/bin/env bash
# One set-up for a fresh Debian 12 machine (as root):
#   bash tools/setup.sh run    install what is missing, build, prepare programm/, start TORVANEX
#   bash tools/setup.sh test   the same set-up, then every test
set -euo pipefail

MODE="${1:-run}"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
PROG="$ROOT/programm"

PACKAGES=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  libsqlcipher-dev sqlcipher
  libcups2-dev cups cups-client cups-bsd printer-driver-cups-pdf
  libxlsxwriter-dev libqpdf-dev qpdf
  poppler-utils xvfb xauth xdg-utils
  fonts-liberation2 fontconfig
  libgl1-mesa-dev libxkbcommon-dev
  clang libclang-rt-14-dev
  unzip libxml2-utils libxml2-dev libsaxonhe-java default-jre-headless
  locales
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# German locale for the program's number and date formats
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen 2>/dev/null || true
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null 2>&1 || true
fi

echo "== building"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

echo "== preparing the program folder $PROG"
mkdir -p "$PROG"
cp -a "$ROOT/install/." "$PROG/"
find "$PROG" -name .keep -delete
install -m 0755 "$BUILD/app/torvanex" "$PROG/torvanex"
# fresh databases with the shipped test data; existing ones are kept
"$BUILD/tools/tvx-datenbank" --ordner "$PROG" --testdaten

case "$MODE" in
  run)
    echo "== starting TORVANEX"
    if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
      exec "$PROG/torvanex"
    else
      echo "(no display: running inside a virtual X server)"
      exec xvfb-run -a -s "-screen 0 1600x1000x24" "$PROG/torvanex"
    fi
    ;;
  test)
    echo "== starting the CUPS test printer"
    bash "$ROOT/tools/start-cups.sh"
    echo "== running every test"
    cd "$BUILD"
    ctest --output-on-failure --timeout 900
    ;;
  *)
    echo "usage: bash tools/setup.sh run|test" >&2
    exit 2
    ;;
esac
