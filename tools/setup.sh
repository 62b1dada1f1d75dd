#!/usr/bin/env bash
# Installs the Debian packages the build needs: every package named in
# tools/apt/*.txt (one a line, '#' starts a comment). Runs apt-get only when
# something is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(sed -e 's/#.*//' "$here"/apt/*.txt | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
