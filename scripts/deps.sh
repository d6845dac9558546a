#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need (a
# locale with a decimal comma among them, so the C-locale formatting is tested), when
# any is missing. Safe to run again: it does nothing once everything is there.
# Extra package names given as arguments are installed too (scripts/fuzz.sh
# asks for clang and its fuzzing runtime this way).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  libgtest-dev libgmock-dev
  qt6-base-dev libgl-dev fonts-liberation
  xvfb xauth poppler-utils
  curl apache2-utils chromium nodejs npm
  locales-all srecord
  libsnmp-dev snmpd snmp
  prometheus prometheus-node-exporter lintian
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# A node from elsewhere on PATH serves as well as Debian's.
if command -v node >/dev/null && command -v npm >/dev/null; then
  filtered=()
  for p in "${missing[@]}"; do [[ $p == nodejs || $p == npm ]] || filtered+=("$p"); done
  missing=("${filtered[@]+"${filtered[@]}"}")
fi
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
