#!/usr/bin/env bash
# Installs what building and testing tarnftp needs on Debian, and nothing when all of it
# is there already. Run as root.
set -euo pipefail

# xvfb-run needs xauth, which xvfb only recommends. The Linux edition: Qt 6 Widgets (the dev
# package brings Qt Test; the xcb and offscreen platforms and the .ico reader come with
# libqt6gui6), one fixed font so that the offscreen tests lay out the same everywhere,
# xdotool to drive the real window, and for the .deb dpkg-shlibdeps (dpkg-dev), file (CPack
# finds the ELF files with it) and Debian's checks of it: desktop-file-validate, lintian,
# appstreamcli and xprop (the window's class). The storage is mounted through GIO
# (libglib2.0-dev, found with pkg-config); its tests run GVfs (gvfs-daemons, gvfs-backends and
# gio from libglib2.0-bin) on a session bus of their own (dbus-run-session, from dbus-daemon)
# against a real FTP server (python3-pyftpdlib, for Debian's own python3). Wine takes the
# user's interface language from LANG only where the host has that locale, so the German and
# French runs need locales and the two locales generated (below).
packages=(cmake g++ make python3 googletest libgtest-dev g++-mingw-w64-x86-64-posix
          wine64 xvfb xauth openssl iproute2 util-linux clang-format clang-14 libclang-rt-14-dev
          git osslsigncode unzip libcurl4-openssl-dev
          qt6-base-dev fonts-dejavu-core xdotool dpkg-dev file desktop-file-utils
          lintian appstream x11-utils libglib2.0-dev pkgconf gvfs-daemons gvfs-backends
          libglib2.0-bin dbus-daemon python3-pyftpdlib locales)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
# The package test resolves the .deb's dependencies with apt-get --simulate, which needs the
# package lists that a fresh image may have removed.
if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
    apt-get update -qq
fi
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The locales the German and French tests run in, generated once.
wanted_locales=()
for locale in de_DE.UTF-8 fr_FR.UTF-8; do
    locale -a 2>/dev/null | grep -qix "${locale/UTF-8/utf8}" || wanted_locales+=("$locale")
done
if [ ${#wanted_locales[@]} -ne 0 ]; then
    for locale in "${wanted_locales[@]}"; do
        sed -i "s/^# *\(${locale} UTF-8\)/\1/" /etc/locale.gen
        grep -qx "${locale} UTF-8" /etc/locale.gen || echo "${locale} UTF-8" >>/etc/locale.gen
    done
    locale-gen >/dev/null
fi
