#!/usr/bin/env bash
# Runs a command in a clean clone of the current commit inside a minimal root
# of a Debian release, as a new user on that release would:
#   sudo bash scripts/in-debian.sh trixie bash scripts/test.sh
#   sudo bash scripts/in-debian.sh bookworm bash scripts/run.sh
# The root (build/debian/<release>, about 3 GB once the command has installed
# its packages) is made with debootstrap the first time and reused afterwards;
# the clone is made afresh on every run, so uncommitted changes are not in it.
# Delete build/debian/<release> to start from nothing again. The packages come
# from debootstrap's default mirror, or from another one named for the run:
#   sudo BELAVO_DEBIAN_MIRROR=URL bash scripts/in-debian.sh trixie ...
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: [BELAVO_DEBIAN_MIRROR=URL] $0 RELEASE COMMAND..." >&2
  echo "  for example: $0 trixie bash scripts/test.sh" >&2
  exit 2
fi
release="$1"
shift
# The name becomes a folder that is removed and made again as root: nothing
# but a plain name may reach that, whoever runs the script.
if [[ ! "$release" =~ ^[[:alnum:]][[:alnum:]-]*$ ]]; then
  echo "$0: '$release' is not a Debian release name (letters, digits and hyphens)" >&2
  exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "$0 needs root, to make the root with debootstrap, mount into it and chroot: run it with sudo" >&2
  exit 1
fi
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)"
root="$repo/build/debian/$release"
mkdir -p "$repo/build/debian"

# Two runs in one root would unmount each other's mounts.
exec 9>"$root.lock"
flock -n 9 || { echo "another in-debian.sh run is using $root" >&2; exit 1; }

mounted=()
cleanup() {
  # Whatever the command left running in the root (a virtual display, Wine's
  # server) would keep its mounts busy.
  local process
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/root" 2>/dev/null)" != "$root" ] ||
      kill -9 "${process#/proc/}" 2>/dev/null || true
  done
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" ||
      echo "could not unmount ${mounted[i]}" >&2
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

if [ ! -e "$root/.belavo-root" ]; then
  # A run killed outright leaves its mounts; removing the root through them
  # would remove the host's files.
  for target in proc sys dev/pts dev/shm dev tmp/.X11-unix; do
    ! mountpoint -q "$root/$target" ||
      { echo "$root/$target is still mounted: unmount it first" >&2; exit 1; }
  done
  if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
  fi
  rm -rf "$root"
  echo "Making a minimal $release root in $root"
  debootstrap --variant=minbase "$release" "$root" ${BELAVO_DEBIAN_MIRROR:+"$BELAVO_DEBIAN_MIRROR"} \
    >"$root.log" 2>&1 || { echo "debootstrap failed; see $root.log" >&2; exit 1; }
  touch "$root/.belavo-root"
fi

mount_in() { # mount_in <target in the root> <mount arguments...>
  mkdir -p "$root$1"
  mount "${@:2}" "$root$1"
  mounted+=("$root$1")
  # Nothing mounted below it may appear on the host's side of a bind.
  mount --make-rslave "$root$1"
}
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs tmpfs
# X servers also listen on abstract sockets, which a chroot shares with the
# host: sharing the socket folder lets a virtual display started inside see
# the host's displays and pick a free number.
mkdir -p -m 1777 /tmp/.X11-unix
mount_in /tmp/.X11-unix --bind /tmp/.X11-unix
cp /etc/resolv.conf "$root/etc/resolv.conf"

commit="$(git -C "$repo" rev-parse HEAD)"
rm -rf "$root/root/belavo"
git clone -q --no-checkout "$repo" "$root/root/belavo"
git -C "$root/root/belavo" checkout -q --detach "$commit"
echo "In $release, at $(git -C "$repo" log -1 --format='%h %s'): $*"

# In the background, so that a signal to this script alone is handled at once
# rather than when the command ends; the terminal stays its input.
chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'command -v git >/dev/null ||
             { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq git >/dev/null; }
           cd /root/belavo && exec "$@"' in-debian "$@" <&0 &
wait $!
