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
# against a real FTP server (python3-pyftpdlib, for Debian's own python3). In a KDE session the
# logon goes to KDE's password server over Qt's D-Bus (qt6-base-dev); its tests run the real one
# (kiod5, from kio) and list the storage with KDE's own client (kioclient5, from kde-cli-tools);
# dbus-send (dbus-bin) asks the test bus which services ran. The Windows Installer
# package: wixl builds it, msibuild (msitools) adds the tables wixl cannot write, msiinfo and
# msidump read it back in its test, and faketime stops the clock of both, which stamp the
# package with the current time. Wine takes the user's interface language from LANG only where
# the host has that locale, so the German and French runs need locales and the two locales
# generated (below).
packages=(cmake g++ make python3 googletest libgtest-dev g++-mingw-w64-x86-64-posix
          wine64 xvfb xauth openssl iproute2 util-linux clang-format clang-14 libclang-rt-14-dev
          git osslsigncode unzip libcurl4-openssl-dev
          qt6-base-dev fonts-dejavu-core xdotool dpkg-dev file desktop-file-utils
          lintian appstream x11-utils libglib2.0-dev pkgconf gvfs-daemons gvfs-backends
          libglib2.0-bin dbus-daemon python3-pyftpdlib kio kde-cli-tools dbus-bin
          wixl msitools faketime locales)

# A fresh desktop's automatic updates often hold the package manager's locks at first boot: wait
# for them, up to five minutes, instead of failing. apt-get install waits by itself
# (DPkg::Lock::Timeout); apt-get update does not wait for the package lists' lock, so it is tried
# again while another run holds that. dpkg-query only reads and takes no lock.
lock_minutes=5
apt_update() {
    local waited=0 output
    while ! output=$(apt-get -o DPkg::Lock::Timeout=$((lock_minutes * 60)) update -qq 2>&1); do
        if ! grep -q 'Could not get lock' <<<"$output" || [ $waited -ge $((lock_minutes * 60)) ]; then
            printf '%s\n' "$output" >&2
            return 1
        fi
        if [ $waited -eq 0 ]; then
            echo "setup.sh: another package manager run holds the lock; waiting for it" \
                "(up to $lock_minutes minutes)" >&2
        fi
        sleep 5
        waited=$((waited + 5))
    done
    [ -z "$output" ] || printf '%s\n' "$output"
}

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
# The package test resolves the .deb's dependencies with apt-get --simulate, which needs the
# package lists that a fresh image may have removed.
if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
    apt_update
fi
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    echo "(if another package manager run holds the lock, this waits for it, up to $lock_minutes minutes)"
    export DEBIAN_FRONTEND=noninteractive
    apt_update
    apt-get -o DPkg::Lock::Timeout=$((lock_minutes * 60)) install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
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
