#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# Usage: scripts/setup.sh [LIST-FOLDER...]   (default: scripts/packages)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=("$here/packages")

wanted=()
for folder in "${folders[@]}"; do
  for list in "$folder"/*.txt; do
    [ -e "$list" ] || continue
    while read -r pkg _; do
      case "$pkg" in ''|'#'*) continue ;; esac
      wanted+=("$pkg")
    done < "$list"
  done
done

missing=()
for pkg in $(printf '%s\n' "${wanted[@]}" | sort -u); do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
