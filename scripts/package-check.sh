#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it into a clean
# Debian 12 root made with mmdebstrap, runs `quivera --help` and a page of the
# test-mode station there, purges it and lists what was left behind.
#
#   scripts/package-check.sh [WORK_DIR]     (default: build-package-check)
#
# Needs root (for the chroot), mmdebstrap, lintian, cmake, ninja and the
# network (mmdebstrap downloads a base system and the package's
# dependencies). CI does not run it. Exit status 0 when everything passed and
# nothing but the expected remains is left behind.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(realpath -m "${1:-build-package-check}")
suite=${SUITE:-bookworm}
mirror=${MIRROR:-http://deb.debian.org/debian}
port=8087

say() { printf '== %s\n' "$*"; }
fail() { printf 'FAILED: %s\n' "$*" >&2; exit 1; }
for tool in mmdebstrap lintian cmake ninja chroot; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (Debian: apt-get install $tool)"
done
[ "$(id -u)" = 0 ] || fail "run as root: the clean root is entered with chroot"

root="$work/root"
mounted=()
cleanup() {
  for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done
}
trap cleanup EXIT

say "building the package (Release)"
mkdir -p "$work"
cmake -S . -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
nice -n 5 cmake --build "$work/build" >/dev/null
rm -rf "$work/deb" && mkdir -p "$work/deb"
(cd "$work/build" && cpack -G DEB -B "$work/deb" >"$work/deb/cpack.log" 2>&1) ||
  { cat "$work/deb/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/quivera_*.deb | head -1)
say "built $(basename "$deb")"

say "lintian"
lintian --fail-on none --tag-display-limit 0 "$deb" 2>&1 | grep -E '^[EWI]: ' | tee "$work/lintian.txt" || true
if grep -qE '^[EW]: ' "$work/lintian.txt"; then fail "lintian reports errors or warnings"; fi
echo "no errors, no warnings"

say "a clean $suite root with mmdebstrap"
rm -rf "$root"
mmdebstrap --variant=minbase --quiet "$suite" "$root" "$mirror"
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

# What a file list leaves out: state that apt and dpkg keep of any install.
snapshot() {
  in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run \
    -o -path /var/cache -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log \) -prune \
    -o -print | sort
}
# The package's dependencies come first, so that what they leave behind (a
# machine id, their own folders) is not taken for the package's.
say "the package's dependencies"
cp "$deb" "$root/tmp/quivera.deb"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get satisfy -y -qq --no-install-recommends \
  "$(dpkg-deb -f "$deb" Depends)" >"$work/depends.log" 2>&1 ||
  { tail -30 "$work/depends.log"; fail "apt-get satisfy"; }
snapshot >"$work/before.txt"

say "installing into the clean root"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  /tmp/quivera.deb >"$work/install.log" 2>&1 || { tail -30 "$work/install.log"; fail "apt-get install"; }
echo "installed"

say "quivera --help"
in_root quivera --help | head -3
in_root quivera --help | grep -q -- '--agentx' || fail "quivera --help"

say "a headless test-mode page"
printf '[Preferences]\nMGTSetOperations=1\n[State]\nWebServerEnable=1\nWebPortID=%s\n' "$port" \
  >"$root/tmp/check.ini"
in_root sh -c "quivera --headless --test-mode --settings /tmp/check.ini >/tmp/quivera.out 2>&1 & echo \$! >/tmp/quivera.pid"
page=""
for _ in $(seq 1 50); do
  page=$(in_root bash -c "exec 3<>/dev/tcp/127.0.0.1/$port && printf 'GET /?PAGE=GENERAL HTTP/1.0\r\n\r\n' >&3 && cat <&3" 2>/dev/null || true)
  [ -n "$page" ] && break
  sleep 0.2
done
in_root sh -c 'kill $(cat /tmp/quivera.pid)' || true
sleep 1
printf '%s\n' "$page" | head -1
printf '%s' "$page" | grep -q 'QUIVERA/FDDI General' || { cat "$root/tmp/quivera.out"; fail "no General page"; }
echo "the General page of the test-mode station was served"

say "purging"
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq quivera >"$work/purge.log" 2>&1 ||
  { tail -30 "$work/purge.log"; fail "apt-get purge"; }
snapshot >"$work/after.txt"

say "left behind after the purge"
left=$(comm -13 "$work/before.txt" "$work/after.txt" || true)
gone=$(comm -23 "$work/before.txt" "$work/after.txt" || true)
# The system user is kept on purge (files it owned may remain elsewhere);
# adduser's own backups of the account files come with it.
expected='^/etc/(passwd|group|shadow|gshadow)-?$|^/etc/resolv.conf$'
unexpected=$(printf '%s\n' "$left" | grep -vE "$expected" | grep -v '^$' || true)
printf '%s\n' "$left" | grep -v '^$' | sed 's/^/  + /' || true
printf '%s\n' "$gone" | grep -v '^$' | sed 's/^/  - /' || true
in_root getent passwd quivera | sed 's/^/  user kept: /' || true
[ -z "$unexpected" ] || fail "files left behind: $unexpected"
echo "package-check passed"
