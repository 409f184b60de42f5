#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Arbolite needs.
# Idempotent and non-interactive; safe to run on a fresh Debian 12 machine.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

PACKAGES=(
  build-essential cmake pkg-config
  libldap-dev slapd ldap-utils
  libssl-dev openssl libcrypt-dev
  libsqlite3-dev uuid-dev
  libcurl4-openssl-dev libxlsxwriter-dev
  libwxgtk3.2-dev
  libgtest-dev googletest
  xvfb xauth xclip openbox
  xdg-utils python3-openpyxl python3-html5lib unrtf
  valgrind
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
# slapd's package would otherwise ask for a domain and an admin password.
echo "slapd slapd/no_configuration boolean true" | $SUDO debconf-set-selections
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
