#!/usr/bin/env bash
# The Debian package, end to end:
#   package_test.sh build   BUILD_DIR OUT_DIR  builds it with CPack into OUT_DIR
#   package_test.sh install OUT_DIR            installs it with dpkg -i into a scratch root,
#                                              checks the files and runs the program, purges it
#   package_test.sh unit    OUT_DIR            systemd-analyze verify accepts the service unit,
#                                              and its security exposure is 4.0 or less
#   package_test.sh lintian OUT_DIR            lintian finds no error and no warning
# A missing tool skips the step with a message (exit status 77).
set -euo pipefail

skip() { echo "SKIPPED: $*"; exit 77; }
need() { command -v "$1" >/dev/null || skip "$1 is not installed"; }

step=$1
case $step in
  build)
    need cpack; need dpkg-deb
    build=$2 out=$3
    rm -rf "$out" && mkdir -p "$out"
    (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
    ls "$out"/quivera_*.deb
    exit 0 ;;
esac

out=$2
deb=$(ls "$out"/quivera_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || skip "no package was built in $out"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# A scratch root with an empty package database: the package's own files and
# maintainer scripts run for real, its library dependencies are the host's.
install_into_root() {
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  : >"$root/var/lib/dpkg/status"
  dpkg --root="$root" --force-script-chrootless --force-depends -i "$deb" >"$root/dpkg.log" 2>&1 ||
    { cat "$root/dpkg.log"; exit 1; }
}

case $step in
  install)
    need dpkg
    install_into_root
    for f in usr/bin/quivera usr/bin/station-emulator usr/lib/systemd/system/quivera.service \
             usr/share/applications/quivera.desktop usr/share/icons/hicolor/64x64/apps/quivera.png \
             usr/share/man/man1/quivera.1.gz usr/share/man/man1/station-emulator.1.gz \
             usr/share/doc/quivera/copyright usr/share/doc/quivera/changelog.gz \
             etc/quivera/quivera.ini; do
      [ -e "$root/$f" ] || { echo "missing after install: /$f"; exit 1; }
    done
    grep -q '^ExecStart=/usr/bin/quivera --headless --agentx --settings /etc/quivera/quivera.ini$' \
      "$root/usr/lib/systemd/system/quivera.service" || { echo "unexpected ExecStart"; exit 1; }
    "$root/usr/bin/quivera" --help | grep -q -- '--agentx' || { echo "installed quivera does not run"; exit 1; }
    "$root/usr/bin/station-emulator" --help >/dev/null 2>&1 || { echo "installed station-emulator does not run"; exit 1; }
    # The service is enabled though no systemd runs in the root; a service the
    # administrator disabled stays disabled when the package is installed again.
    wants="$root/etc/systemd/system/multi-user.target.wants/quivera.service"
    helper=$(command -v deb-systemd-helper || true)
    if [ -n "$helper" ]; then
      [ -L "$wants" ] || { echo "service not enabled on install"; exit 1; }
      rm "$wants"
    fi
    # The administrator's settings survive a reinstall; a purge removes them.
    echo '; kept' >>"$root/etc/quivera/quivera.ini"
    dpkg --root="$root" --force-script-chrootless --force-depends -i "$deb" >/dev/null 2>&1
    grep -q '; kept' "$root/etc/quivera/quivera.ini" || { echo "settings replaced on reinstall"; exit 1; }
    [ -z "$helper" ] || [ ! -e "$wants" ] || { echo "disabled service enabled again on reinstall"; exit 1; }
    # A purge takes what the package made and leaves what the administrator
    # added; with nothing added, the folder goes too.
    echo '; mine' >"$root/etc/quivera/site.conf"
    dpkg --root="$root" --force-script-chrootless --purge quivera >/dev/null 2>&1
    [ ! -e "$root/usr/bin/quivera" ] && [ ! -e "$root/etc/quivera/quivera.ini" ] ||
      { echo "purge left files"; exit 1; }
    grep -q '; mine' "$root/etc/quivera/site.conf" || { echo "purge removed the administrator's file"; exit 1; }
    install_into_root
    dpkg --root="$root" --force-script-chrootless --purge quivera >/dev/null 2>&1
    rm "$root/etc/quivera/site.conf"
    install_into_root
    dpkg --root="$root" --force-script-chrootless --purge quivera >/dev/null 2>&1
    [ ! -e "$root/etc/quivera" ] || { echo "purge left /etc/quivera"; ls -la "$root/etc/quivera"; exit 1; }
    ! ls "$root"/var/lib/systemd/deb-systemd-helper-*/quivera* >/dev/null 2>&1 ||
      { echo "purge left the service's enable records"; exit 1; }
    echo "installed, reinstalled and purged $(basename "$deb")" ;;
  unit)
    need dpkg
    need systemd-analyze
    install_into_root
    # The unit as installed, its program path pointed into the scratch root
    # (verify checks that the command exists and can be run).
    mkdir "$root/unit"
    sed "s#/usr/bin/quivera#$root/usr/bin/quivera#" "$root/usr/lib/systemd/system/quivera.service" \
      >"$root/unit/quivera.service"
    systemd-analyze verify --man=no "$root/unit/quivera.service"
    echo "systemd-analyze verify accepts quivera.service"
    exposure=$(systemd-analyze security --offline=yes "$root/unit/quivera.service" 2>/dev/null |
               sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p')
    [ -n "$exposure" ] || { echo "systemd-analyze security gave no exposure"; exit 1; }
    awk -v e="$exposure" 'BEGIN { exit !(e <= 4.0) }' || { echo "exposure $exposure is above 4.0"; exit 1; }
    echo "security exposure $exposure" ;;
  lintian)
    need lintian
    report=$(lintian --fail-on none --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EW]: ' || true)
    [ -z "$report" ] || { echo "$report"; exit 1; }
    echo "lintian: no errors, no warnings" ;;
  *)
    echo "unknown step $step"; exit 2 ;;
esac
