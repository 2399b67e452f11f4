#!/bin/sh
# Installs the Debian packages of .ci/debian-packages that are missing, and
# nothing when none is.
set -eu
list="$(dirname "$0")/debian-packages"
need=""
for pkg in $(grep -v '^#' "$list"); do
  dpkg -s "$pkg" >/dev/null 2>&1 || need="$need $pkg"
done
[ -z "$need" ] && exit 0
echo "installing:$need"
apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $need
