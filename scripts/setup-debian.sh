#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine (as root, or with sudo).
# Packages named as arguments are installed too (the fuzz build adds its compiler).
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev libcups2-dev
      libavahi-client-dev
      cups cups-daemon cups-client cups-bsd cups-core-drivers snmpd xvfb xauth locales acl attr "$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
