#!/usr/bin/env bash
# Builds the release of the commit checked out here, from a clean clone of it:
#   tools/release.sh           out/release/tarnftp-<version>.zip, tarnftp-<version>.zip.sha256,
#                              the installer package tarnftp-<version>.msi and SHA256SUMS of both
#   tools/release.sh --check   the same build twice, from two clones in two temporary folders;
#                              fails unless the two exes, zips and packages are byte-identical
# Uncommitted changes are not part of a release. With TARN_SIGN_CERT and TARN_SIGN_KEY naming
# PEM files (the certificate chain and its private key), tarnftp.exe and the package are
# Authenticode-signed, stamped with the commit's time so that a signed build is reproducible as
# well; the package carries the signed exe.
set -euo pipefail

resolve() { [ -z "$1" ] || realpath -e -- "$1"; }
sign_cert=$(resolve "${TARN_SIGN_CERT:-}")
sign_key=$(resolve "${TARN_SIGN_KEY:-}")
if [ "${sign_cert:+set}" != "${sign_key:+set}" ]; then
    echo "release.sh: set both TARN_SIGN_CERT and TARN_SIGN_KEY, or neither" >&2
    exit 2
fi

check=false
case "${1:-}" in
--check) check=true ;;
"") ;;
*)
    echo "usage: tools/release.sh [--check]" >&2
    exit 2
    ;;
esac

cd "$(dirname "$0")/.."
repository=$(pwd)
tools/setup.sh
commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release.sh: uncommitted changes are left out; building commit $commit" >&2
fi

# The signing sentence of the user guide.
signature_note() {
    if [ -n "$sign_cert" ]; then
        local subject
        subject=$(openssl x509 -in "$sign_cert" -noout -subject -nameopt oneline,-esc_msb | sed 's/^subject= *//')
        printf '%s\n' "tarnftp.exe carries an Authenticode signature by: $subject" \
            "Windows shows it under the file's Properties, Digital Signatures."
    else
        printf '%s\n' "tarnftp.exe is NOT signed: Windows names no publisher for it. Check your" \
            "download with the SHA-256 sums instead, as below."
    fi
}

# Signs the exe or package $1 into $2.
sign() {
    osslsigncode sign -certs "$sign_cert" -key "$sign_key" -h sha256 \
        -n "TarnGroup FTP Logon" -time "$SOURCE_DATE_EPOCH" -in "$1" -out "$2" >/dev/null
}

# Signs $1 into $2, and checks that removing the signature gives back the unsigned bytes.
sign_exe() {
    local unsigned=$1 signed=$2
    sign "$unsigned" "$signed"
    osslsigncode remove-signature -in "$signed" -out "$signed.removed" >/dev/null
    if ! cmp -s "$unsigned" "$signed.removed"; then
        echo "release.sh: removing the signature does not give back the unsigned exe" >&2
        exit 1
    fi
    rm -f "$signed.removed"
    echo "signed tarnftp.exe; unsigned $(sha256sum <"$unsigned" | cut -d' ' -f1)," \
        "signed $(sha256sum <"$signed" | cut -d' ' -f1)"
}

# Clones the commit into $1/source, builds the exe there and packs the release into $1.
build_release() {
    local folder=$1 source=$1/source stage=$1/stage version file_version
    git clone --quiet --no-checkout "$repository" "$source"
    git -C "$source" -c advice.detachedHead=false checkout --quiet --detach "$commit"
    SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
    (cd "$source" && cmake --preset windows >/dev/null &&
        cmake --build --preset windows --target tarnftp tarnftp_installer_actions >/dev/null)
    version=$(cat "$source/build/windows/tarnftp-version.txt")
    file_version=$(cat "$source/build/windows/tarnftp-file-version.txt")

    mkdir -p "$stage"
    if [ -n "$sign_cert" ]; then
        sign_exe "$source/build/windows/tarnftp.exe" "$stage/tarnftp.exe"
    else
        cp "$source/build/windows/tarnftp.exe" "$stage/tarnftp.exe"
    fi
    cp "$source/tools/release/tarnftp.ini" "$stage/tarnftp.ini"
    signature_note >"$folder/signature.txt"
    sed -e "s/@VERSION@/$version/g" -e "/@SIGNATURE@/{r $folder/signature.txt" -e 'd;}' \
        "$source/tools/release/GUIDE.txt" >"$stage/GUIDE.txt"
    python3 "$source/tools/release/pack.py" "$folder/tarnftp-$version.zip" \
        "$stage/GUIDE.txt" "$stage/tarnftp.exe" "$stage/tarnftp.ini"
    # The package is built by the script the Windows build uses, from the exe the zip holds.
    python3 "$source/tools/release/build_msi.py" "$stage/tarnftp.msi" "$stage/tarnftp.exe" \
        "$source/build/windows/installer_actions.dll" "$file_version"
    if [ -n "$sign_cert" ]; then
        sign "$stage/tarnftp.msi" "$folder/tarnftp-$version.msi"
    else
        cp "$stage/tarnftp.msi" "$folder/tarnftp-$version.msi"
    fi
    (cd "$folder" && sha256sum "tarnftp-$version.zip" "tarnftp-$version.msi" >SHA256SUMS)
    echo "$version" >"$folder/version"
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarnftp-release.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

if ! $check; then
    build_release "$scratch/build"
    version=$(cat "$scratch/build/version")
    mkdir -p out/release
    cp "$scratch/build/tarnftp-$version.zip" "$scratch/build/tarnftp-$version.zip.sha256" \
        "$scratch/build/tarnftp-$version.msi" "$scratch/build/SHA256SUMS" out/release/
    echo "out/release/tarnftp-$version.zip"
    echo "out/release/tarnftp-$version.msi"
    cat out/release/SHA256SUMS
    exit 0
fi

# Two folders of different names and path lengths, so that no build path can hide.
build_release "$scratch/first"
build_release "$scratch/second-build"
version=$(cat "$scratch/first/version")
status=0
for file in stage/tarnftp.exe "tarnftp-$version.zip" "tarnftp-$version.msi"; do
    first=$(sha256sum <"$scratch/first/$file" | cut -d' ' -f1)
    second=$(sha256sum <"$scratch/second-build/$file" | cut -d' ' -f1)
    if [ "$first" = "$second" ]; then
        echo "same     $first  $(basename "$file")"
    else
        echo "DIFFERS  $first  $second  $(basename "$file")"
        cmp -l "$scratch/first/$file" "$scratch/second-build/$file" | head -20 || true
        status=1
    fi
done
exit $status
