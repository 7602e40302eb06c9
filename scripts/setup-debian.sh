#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian machine (as root, or with sudo;
# without either it names what is missing and the command that installs it, and fails).
# Packages named as arguments are installed too (the fuzz build adds its compiler).
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev qt6-base-dev libcups2-dev
      libavahi-client-dev
      libatspi2.0-dev at-spi2-core dbus-daemon
      cups cups-daemon cups-client cups-bsd cups-core-drivers snmpd xvfb xauth locales acl attr "$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      # Neither root nor sudo: say what is missing and how root installs it.
      {
        echo "$0: these packages are missing: ${missing[*]}"
        echo "Install them as root (e.g. after 'su -'), then run this again:"
        echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
      } >&2
      exit 1
    fi
    SUDO=sudo
  fi
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
