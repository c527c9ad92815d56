#!/usr/bin/env bash
# Builds the Debian package: build/package/tallyport_<version>_<arch>.deb, then
# checks it with lintian. The version is the program's own version text.
#
#     bash scripts/package.sh            # for this machine
#     bash scripts/package.sh armhf      # cross-built (see scripts/cross-build.sh)
#
# The sources are copied to build/package/src first: dpkg-buildpackage writes
# into the source tree and next to it, and the checkout stays clean.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
arch="${1:-$(dpkg --print-architecture)}"
out="${PACKAGE_DIR:-$root/build/package}"

version="$(sed -n 's/.*setApplicationVersion(QStringLiteral("\([^"]*\)")).*/\1/p' "$root/src/main.cpp")"
if [ -z "$version" ]; then
    echo "package: no version text found in src/main.cpp" >&2
    exit 1
fi

if [ "$arch" = "$(dpkg --print-architecture)" ]; then
    bash "$root/scripts/install-deps.sh"
    cross=()
else
    # Cross-built in the build root of scripts/cross-build.sh, where the
    # target's -dev packages are installed beside the cross compilers.
    cross=(-a "$arch" -Pcross,nocheck)
fi

src="$out/src/tallyport"
rm -rf "$out/src"
mkdir -p "$src"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$root" ls-files -z --cached --others --exclude-standard | (cd "$root" && xargs -0 tar cf - --) \
        | tar xf - -C "$src"
else
    tar cf - -C "$root" --exclude=./build . | tar xf - -C "$src"
fi

# The changelog carries only the version; its date is that of the last commit,
# so the same sources give the same package.
date="$(git -C "$root" log -1 --format=%aD 2>/dev/null || date -R)"
cat > "$src/debian/changelog" <<CHANGELOG
tallyport ($version) unstable; urgency=medium

  * Built from the program's version $version.

 -- Tallyport developers <tallyport@vorn.example>  $date
CHANGELOG

start=$(date +%s)
(
    cd "$src"
    export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
    export TALLYPORT_CMAKE_ARGS="${CMAKE_ARGS:-}"
    dpkg-buildpackage -b -us -uc "${cross[@]}"
) > "$out/build-$arch.log" 2>&1 || {
    tail -n 40 "$out/build-$arch.log" >&2
    echo "package: build failed, log in $out/build-$arch.log" >&2
    exit 1
}

deb="$out/tallyport_${version}_${arch}.deb"
mv "$out/src/tallyport_${version}_${arch}.deb" "$deb"
echo "package: built $deb in $(($(date +%s) - start)) s ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --field "$deb" Package Version Architecture Installed-Size Depends

# Errors fail the build; warnings and overridden tags are shown with the reason
# kept in debian/tallyport.lintian-overrides. (The cross-build root has no
# lintian: scripts/cross-build.sh checks those packages from outside.)
if command -v lintian >/dev/null; then
    report="$(lintian --allow-root --show-overrides --fail-on none "$deb")"
    [ -z "$report" ] || echo "$report"
    if echo "$report" | grep -q '^E:'; then
        echo "package: lintian reports errors" >&2
        exit 1
    fi
    echo "package: lintian found no errors"
fi
