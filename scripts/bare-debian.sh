#!/usr/bin/env bash
# Proves the README's two commands on a bare Debian: a minimal system of the
# release (debootstrap --variant=minbase, plus git and ca-certificates) in a
# scratch folder, the project cloned into it at this checkout's commit, then
# as root inside it
#   bash scripts/test.sh                             (the test command)
#   QT_QPA_PLATFORM=offscreen bash scripts/run.sh    (the run command; the
#                                                     window must start and stay up)
# and finally the built .deb installed with apt into a second bare system of
# the same release, which must pull the fonts the window is drawn with, and
# start the window.
#
#   bash scripts/bare-debian.sh [RELEASE [SCRATCH_DIR]]   (root; needs debootstrap)
#
# RELEASE is bookworm (Debian 12, the default) or trixie (Debian 13).
# Packages come from the mirror this machine's apt already uses, whatever
# release the machine runs; debootstrap checks the release's signature with
# debian-archive-keyring (Debian 12's package holds Debian 13's keys too).
# Whatever the two commands lack on a bare system belongs in
# scripts/debian-packages.txt.
#
# One debootstrap serves both systems of a run (the second is a copy of the
# first, made before the first is used), and the two share one apt archive,
# so the package install fetches nothing the build system already fetched.
# When this machine runs the same release, the debs its apt has kept are
# offered to that archive as hard links; apt and debootstrap check each
# against the release's signed index as they would a download.
#
# The mounts this makes (/proc, /sys, /dev, /dev/pts, /dev/shm, the apt
# archive) are undone on every exit, failure or not; the scratch folder is
# removed unless TAVRIN_KEEP_BARE=1.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "bare-debian: needs root (debootstrap, chroot, mount)" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "bare-debian: debootstrap is missing (Debian package 'debootstrap')" >&2; exit 2; }

suite=${1:-bookworm}
case $suite in
  bookworm | trixie) ;;
  *) echo "bare-debian: the release is bookworm or trixie, not '$suite'" >&2; exit 2 ;;
esac
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
[ -f "$keyring" ] || { echo "bare-debian: $keyring is missing (Debian package 'debian-archive-keyring')" >&2; exit 2; }
commit=$(git -C "$root" rev-parse HEAD)
# The mirror apt uses here for this machine's release, and the same sites'
# updates and security suites, renamed for the release to prove: the proof
# needs no other network access than apt's.
host=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$host" ] || { echo "bare-debian: /etc/os-release names no release" >&2; exit 2; }
mapfile -t repos < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' |
                     awk -v h="$host" -v s="$suite" '$2 == h || index($2, h "-") == 1 {
                       print $1, s substr($2, length(h) + 1) }' | sort -u)
mirror=$(printf '%s\n' "${repos[@]}" | awk -v s="$suite" '$2 == s { print $1; exit }')
[ -n "$mirror" ] || { echo "bare-debian: apt here has no $host source to take the mirror from" >&2; exit 2; }

scratch=$(realpath -m "${2:-$(mktemp -d "${TMPDIR:-/var/tmp}/tavrin-bare.XXXXXX")}")
mkdir -p "$scratch"
# The folder is removed at the end: never one that holds anything already.
[ -z "$(ls -A "$scratch")" ] || { echo "bare-debian: $scratch is not empty" >&2; exit 2; }
mounted=()
job=

# Ends what still runs inside a chroot of ours, then undoes the mounts in
# reverse order: ours, then any left under the scratch folder (debootstrap
# mounts /proc and /sys in its target while it runs). Runs on every exit.
cleanup() {
  local status=$? dir pid i
  set +e
  if [ -n "$job" ] && kill -0 "$job" 2>/dev/null; then kill "$job"; wait "$job"; fi
  for dir in "$scratch"/*/; do
    dir=${dir%/}
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
      [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$dir" ] && kill -9 "$pid" 2>/dev/null
    done
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" ||
      echo "bare-debian: could not unmount ${mounted[i]}" >&2
  done
  awk -v under="$scratch/" 'index($2, under) == 1 { print $2 }' /proc/mounts | sort -r |
    while read -r target; do umount "$target" 2>/dev/null || umount -l "$target"; done
  if grep -qF " $scratch/" /proc/mounts; then
    echo "bare-debian: mounts remain under $scratch; not removing it" >&2
    status=1
  elif [ "${TAVRIN_KEEP_BARE:-0}" != 1 ]; then
    rm -rf --one-file-system "$scratch"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mount_at() {  # mount_at TARGET MOUNT-ARGS...
  local target=$1
  shift
  mkdir -p "$target"
  mount "$@" "$target"
  mounted+=("$target")
}

# bare_system DIR: a minimal system of the release with git and
# ca-certificates, its apt sources (the release, its updates and security
# suites) and name resolution; nothing mounted yet.
bare_system() {
  local dir=$1 line
  logged "$dir.debootstrap.log" \
    debootstrap --variant=minbase --include=git,ca-certificates --keyring="$keyring" \
      --cache-dir="$archive" "$suite" "$dir" "$mirror"
  for line in "${repos[@]}"; do
    [ "${line#* }" = "$suite" ] || echo "deb ${line% *} ${line#* } main"
  done >>"$dir/etc/apt/sources.list"
  cp -L /etc/resolv.conf "$dir/etc/resolv.conf"
}

# start_system DIR: the kernel file systems and the shared apt archive mounted.
start_system() {
  local dir=$1
  mount_at "$dir/proc" -t proc proc
  mount_at "$dir/sys" -t sysfs sysfs
  mount_at "$dir/dev" --bind /dev
  mount_at "$dir/dev/pts" --bind /dev/pts
  mount_at "$dir/dev/shm" -t tmpfs tmpfs
  mount_at "$dir/var/cache/apt/archives" --bind "$archive"
}

# Commands in a chroot run as root with a clean, login-like environment.
clean_env=(/usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8
           PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
in_chroot() {  # in_chroot DIR COMMAND...
  chroot "$1" "${clean_env[@]}" "${@:2}"
}

# logged LOG COMMAND...: runs the command with its output in LOG, and shows
# the end of LOG if it fails. It runs as a job waited for, so that a signal
# to this script ends it at once and the clean-up runs.
logged() {
  local log=$1 status=0
  shift
  "$@" >"$log" 2>&1 &
  job=$!
  wait "$job" || status=$?
  job=
  if [ "$status" -ne 0 ]; then
    tail -n 150 "$log"
    echo "bare-debian: failed (exit $status): ${*: -1}" >&2
    exit "$status"
  fi
}

step_start=$SECONDS
step() {
  echo "bare-debian: [$((SECONDS - step_start)) s] $*"
}

sys=$scratch/system
pkg_sys=$scratch/package
archive=$scratch/apt-archive
mkdir -p "$archive/partial"
if [ "$host" = "$suite" ]; then
  cp -l /var/cache/apt/archives/*.deb "$archive/" 2>/dev/null || true
fi
step "debootstrap $suite from $mirror into $sys"
bare_system "$sys"
step "copy it, untouched, to $pkg_sys for the package"
cp -a "$sys/." "$pkg_sys/"
start_system "$sys"

# A bundle of this commit's history is what the bare system clones from: it
# holds the commit whether or not a branch points at it.
step "clone $commit"
git -C "$root" bundle create -q "$sys/root/tavrin.bundle" HEAD
in_chroot "$sys" git -c init.defaultBranch=main clone -q --no-checkout /root/tavrin.bundle /root/tavrin
in_chroot "$sys" git -C /root/tavrin -c advice.detachedHead=false checkout -q --detach "$commit"

step "the test command: bash scripts/test.sh"
logged "$scratch/test.log" in_chroot "$sys" bash -c 'cd /root/tavrin && bash scripts/test.sh'
grep -E '^(setup: installing|[0-9]+% tests passed)' "$scratch/test.log" | cut -c 1-200

step "the run command: QT_QPA_PLATFORM=offscreen bash scripts/run.sh"
window=$sys/root/tavrin/build/ui/tavrin
chroot "$sys" "${clean_env[@]}" QT_QPA_PLATFORM=offscreen \
  bash -c 'cd /root/tavrin && exec bash scripts/run.sh' >"$scratch/run.log" 2>&1 &
run_pid=$!
# run.sh brings the build up to date first, then replaces itself with the
# window: up means the window's program is running and still is 5 s later.
started=0
for _ in $(seq 600); do
  if [ "$(readlink "/proc/$run_pid/exe" 2>/dev/null)" = "$window" ]; then started=1; break; fi
  kill -0 "$run_pid" 2>/dev/null || break
  sleep 0.1
done
sleep 5
if [ "$started" -ne 1 ] || ! kill -0 "$run_pid" 2>/dev/null; then
  cat "$scratch/run.log"
  echo "bare-debian: the run command did not keep the window open" >&2
  exit 1
fi
kill "$run_pid"
wait "$run_pid" 2>/dev/null || true
step "the window started and stayed up"

deb=$(find "$sys/root/tavrin/build" -name 'tavrin_*.deb' -print -quit)
[ -n "$deb" ] || { echo "bare-debian: the test command built no .deb" >&2; exit 1; }
step "install $(basename "$deb") with apt into the second bare system"
start_system "$pkg_sys"
cp "$deb" "$pkg_sys/root/"
# The package lists the test command fetched, so apt here asks for nothing new.
cp -a "$sys/var/lib/apt/lists/." "$pkg_sys/var/lib/apt/lists/"
# apt installs Recommends by default, as a user's apt would; fontconfig only
# for fc-match, to ask which files the faces resolve to.
logged "$scratch/package-apt.log" in_chroot "$pkg_sys" sh -c \
  "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /root/$(basename "$deb") fontconfig"
for face in "Liberation Serif:LiberationSerif-Regular" "Liberation Sans:LiberationSans-Regular" \
            "Z003:Z003-MediumItalic"; do
  got=$(in_chroot "$pkg_sys" fc-match -f '%{file}' "${face%%:*}")
  case $got in
    *"${face#*:}"*) echo "bare-debian: ${face%%:*} -> $got" ;;
    *) echo "bare-debian: the package did not bring ${face%%:*} (fc-match gives $got)" >&2; exit 1 ;;
  esac
done
in_chroot "$pkg_sys" tavrin-convert 12 Inches Centimetres
status=0
in_chroot "$pkg_sys" env QT_QPA_PLATFORM=offscreen timeout 5 tavrin || status=$?
if [ "$status" -ne 124 ]; then
  echo "bare-debian: the installed window ended by itself (exit $status) instead of staying up" >&2
  exit 1
fi
step "the installed window started with its fonts"
echo "bare-debian: $suite passed"
