#!/usr/bin/env python3
"""Builds the Windows Installer package from the built exe, the same bytes every time.

    build_msi.py MSI EXE ACTIONS_DLL FILE_VERSION

FILE_VERSION is the exe's X.Y.Z.N. Windows Installer compares only the first three numbers
of a package's version, so the package's version is X.Y.(Z*1000+N): every commit's package
is newer than the one before, and a new tag's package newer than all before it.

The package is made by wixl from res/windows/tarnftp.wxs, in a folder where the files are
staged under their plain names, so no build path enters it; msibuild then adds what wixl
cannot write (the IniFile table that puts the HOST1..3 properties into tarnftp.ini, and its
actions) and the summary information's package code. Reproducible: the product code is a
name-based UUID of the version, the package code one of the package's inputs, and the times
(summary information, cabinet entries) are SOURCE_DATE_EPOCH's (else the commit's), wixl and
msibuild being run under faketime since neither takes a time of its own.
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import uuid
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
WXS = SOURCE / "res" / "windows" / "tarnftp.wxs"
INI = SOURCE / "res" / "windows" / "tarnftp.ini"
ICON = SOURCE / "res" / "icons" / "app.ico"
# The namespace of the name-based product codes; never change it, or an upgrade would no
# longer find the products it replaces by the same version.
PRODUCT_NAMESPACE = uuid.UUID("5B0E2C57-8C4A-4D0F-9C1E-6A3F2B7D9E40")
OUTSIDE_GIT_EPOCH = 946684800  # 2000-01-01 00:00:00 UTC

INI_TABLE = (
    "CREATE TABLE `IniFile` (`IniFile` CHAR(72) NOT NULL, `FileName` CHAR(255) NOT NULL LOCALIZABLE, "
    "`DirProperty` CHAR(72), `Section` CHAR(96) NOT NULL LOCALIZABLE, "
    "`Key` CHAR(128) NOT NULL LOCALIZABLE, `Value` CHAR(255) NOT NULL LOCALIZABLE, "
    "`Action` SHORT NOT NULL, `Component_` CHAR(72) NOT NULL PRIMARY KEY `IniFile`)"
)
# Action 0 adds the line or replaces its value; each host's row belongs to the component
# installed only when that host is given.
INI_ROWS = [
    f"INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, "
    f"`Component_`) VALUES ('Host{n}', 'tarnftp.ini', 'INSTALLFOLDER', 'RedirectHosts', 'Host{n}', "
    f"'[HOST{n}]', 0, 'Host{n}')"
    for n in (1, 2, 3)
]
# wixl writes no component conditions: each host's component is installed only when the host is
# given, so that the file names no empty host. The hosts are public and pass to the installing
# service in a managed installation as well.
HOST_PROPERTIES = [
    *(f"UPDATE `Component` SET `Condition` = 'HOST{n}' WHERE `Component` = 'Host{n}'" for n in (1, 2, 3)),
    "UPDATE `Property` SET `Value` = 'HOST1;HOST2;HOST3;INSTALLEDFOLDER;WIX_DOWNGRADE_DETECTED;"
    "WIX_UPGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'",
]
# The standard places of the two actions in the execute sequence.
INI_ACTIONS = [
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveIniValues', 3100)",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteIniValues', 5100)",
]


def package_version(file_version):
    match = re.fullmatch(r"(\d+)\.(\d+)\.(\d+)\.(\d+)", file_version)
    if not match:
        raise SystemExit(f"build_msi.py: '{file_version}' is not a version X.Y.Z.N")
    major, minor, patch, count = map(int, match.groups())
    if major > 255 or minor > 255 or patch > 64 or count > 999:
        raise SystemExit(f"build_msi.py: {file_version} does not fit a package version "
                         "(X and Y up to 255, Z up to 64, commits since the tag up to 999)")
    return f"{major}.{minor}.{patch * 1000 + count}"


def source_epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    commit = subprocess.run(["git", "-C", SOURCE, "log", "-1", "--format=%ct"], capture_output=True, text=True)
    return int(commit.stdout) if commit.returncode == 0 and commit.stdout.strip() else OUTSIDE_GIT_EPOCH


def faketime(epoch):
    """The command prefix that runs a program with the clock stopped at epoch."""
    stamp = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(epoch))
    return ["env", "TZ=UTC", "faketime", "-f", stamp]


def stage(folder, exe, actions, epoch):
    ini = INI.read_bytes().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    files = {"tarnftp.exe": Path(exe).read_bytes(), "installer_actions.dll": Path(actions).read_bytes(),
             "tarnftp.ico": ICON.read_bytes(), "tarnftp.ini": ini}
    for name, data in files.items():
        (folder / name).write_bytes(data)
        os.utime(folder / name, (epoch, epoch))
    return files


def build(msi, exe, actions, file_version):
    epoch = source_epoch()
    version = package_version(file_version)
    product_code = str(uuid.uuid5(PRODUCT_NAMESPACE, f"tarnftp {version}")).upper()
    with tempfile.TemporaryDirectory() as scratch:
        folder = Path(scratch)
        files = stage(folder, exe, actions, epoch)
        inputs = hashlib.sha256(WXS.read_bytes() + version.encode() + str(epoch).encode())
        for name, data in sorted(files.items()):
            inputs.update(name.encode() + hashlib.sha256(data).digest())
        package_code = "{" + str(uuid.UUID(bytes=inputs.digest()[:16], version=4)).upper() + "}"
        shutil.copy(WXS, folder / "tarnftp.wxs")
        clock = faketime(epoch)
        subprocess.run([*clock, "wixl", "-a", "x64", "-D", f"Version={version}", "-D",
                        f"ProductCode={product_code}", "-o", "tarnftp.msi", "tarnftp.wxs"],
                       cwd=folder, check=True)
        queries = [INI_TABLE, *INI_ROWS, *INI_ACTIONS, *HOST_PROPERTIES]
        subprocess.run([*clock, "msibuild", "tarnftp.msi", *(arg for q in queries for arg in ("-q", q)),
                        "-s", "TarnGroup FTP Logon", "TarnGroup", "x64;1033", package_code],
                       cwd=folder, check=True)
        shutil.copy(folder / "tarnftp.msi", msi)


def main(argv):
    if len(argv) != 5:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    build(*argv[1:])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
