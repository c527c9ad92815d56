#!/usr/bin/env bash
# Cross-builds Tallyport for the validators' ARM boards and runs the backend
# tests under emulation:
#
#     bash scripts/cross-build.sh [armhf] [arm64] [--package]
#
# Everything happens in a Debian 12 build root (build/cross/root, made once with
# mmdebstrap from this machine's package sources): Debian's multiarch cross
# compilers, the project's -dev packages of both ARM architectures, a native
# mosquitto and qemu-user-static. The root keeps this machine's own packages
# out of it: installing the ARM -dev packages here would upgrade native ones.
#
# For each architecture: configure with cmake/toolchains/<arch>.cmake (warnings
# as errors), build the program, the simulator and the backend test programs,
# then run the backend tests with ctest, each program under qemu-user with the
# root's multiarch library folders; they start the native mosquitto on
# 127.0.0.1. The screen tests need GL and are left out. --package also builds
# the Debian package for the architecture (dpkg-buildpackage -a).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="${CROSS_DIR:-$root/build/cross}"
chroot_dir="$work/root"

arches=()
package=0
root_only=0
for arg in "$@"; do
    case "$arg" in
    armhf | arm64) arches+=("$arg") ;;
    --package) package=1 ;;
    --root-only) root_only=1 ;;
    *)
        echo "usage: $0 [armhf] [arm64] [--package]" >&2
        exit 2
        ;;
    esac
done
[ ${#arches[@]} -gt 0 ] || arches=(armhf arm64)

# Packages of the build root. Native: the build tools, the Qt host tools (moc,
# rcc, lrelease), the broker and the emulator; per ARM architecture: the
# compilers, the libraries to link and the QML modules some backend tests load.
target_packages() {
    local a="$1"
    echo "crossbuild-essential-$a"
    echo "pkgconf:$a" # the <triplet>-pkg-config wrapper
    for p in qtbase5-dev qtdeclarative5-dev qtquickcontrols2-5-dev libqt5serialport5-dev libqt5svg5-dev \
        qttools5-dev libmosquitto-dev libqrcodegencpp-dev libsystemd-dev \
        qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls2 \
        qml-module-qtquick-templates2 qml-module-qtquick-layouts qml-module-qtquick-extras \
        qml-module-qtgraphicaleffects qml-module-qtqml-models2; do
        echo "$p:$a"
    done
}
packages=(build-essential cmake pkg-config ccache git debhelper qtbase5-dev-tools qttools5-dev-tools
    qtdeclarative5-dev-tools fonts-dejavu-core mosquitto qemu-user-static tzdata)
for a in armhf arm64; do
    mapfile -t -O "${#packages[@]}" packages < <(target_packages "$a")
done

make_root() {
    local stamp="$chroot_dir/.tallyport-packages"
    local wanted
    wanted="$(printf '%s\n' "${packages[@]}" | sort)"
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
        return
    fi
    command -v mmdebstrap >/dev/null || apt-get install -y -q --no-install-recommends mmdebstrap
    # Never remove through a mount left by an interrupted run (the checkout
    # and /dev are mounted into the root while it is used).
    if findmnt -rn -o TARGET | grep -q "^$chroot_dir/"; then
        echo "cross: mounts left under $chroot_dir: unmount them first" >&2
        exit 1
    fi
    rm -rf --one-file-system "$chroot_dir"
    mkdir -p "$work"
    # The package sources of this machine, as they are.
    local sources=()
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -s "$f" ] && sources+=("$f")
    done
    local start=$SECONDS
    echo "cross: making the build root in $chroot_dir"
    mmdebstrap --quiet --variant=apt --architectures=amd64,armhf,arm64 \
        --include="$(IFS=,; echo "${packages[*]}")" \
        bookworm "$chroot_dir" "${sources[@]}" > "$work/mmdebstrap.log" 2>&1 || {
        tail -n 30 "$work/mmdebstrap.log" >&2
        exit 1
    }
    echo "$wanted" > "$stamp"
    echo "cross: build root ready in $((SECONDS - start)) s ($(du -sxh "$chroot_dir" | cut -f1))"
}

# Test programs that start themselves or the program again (the logger's
# children, the command line) start ARM programs: the kernel hands those to
# qemu when it knows the format. Registered with the emulator of the build
# root, opened at once ("F"), so it also serves inside the root.
register_qemu() {
    local fs=/proc/sys/fs/binfmt_misc
    [ -e "$fs/register" ] || mount -t binfmt_misc binfmt_misc "$fs"
    local name conf line interpreter
    for name in qemu-arm qemu-aarch64; do
        [ -e "$fs/$name" ] && continue
        conf="$chroot_dir/usr/lib/binfmt.d/$name.conf"
        line="$(head -n 1 "$conf")"
        interpreter="$(echo "$line" | cut -d: -f7)"
        echo "$line" | sed "s#:$interpreter:#:$chroot_dir$interpreter:#" > "$fs/register"
    done
}

# Runs a command in the build root, in namespaces of its own: its mounts (the
# checkout, /proc, /dev, a fresh /tmp) vanish with it, and its processes see
# only each other. That matters: under emulation a test program once signalled
# pid -1, which as root on the build machine means every process there.
in_root() {
    unshare --pid --fork --kill-child --mount --propagation private -- \
        bash -c 'set -e
            r="$1"; src="$2"; shift 2
            mkdir -p "$r/src"
            mount --bind "$src" "$r/src"
            mount -t proc proc "$r/proc"
            mount --rbind /dev "$r/dev"
            mount -t tmpfs tmpfs "$r/tmp"
            exec chroot "$r" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
                CCACHE_DIR=/src/build/cross/ccache "$@"' in_root "$chroot_dir" "$root" "$@"
}

# The whole run is one function, read before it starts: the script may be
# edited (or checked out anew) while a long build runs.
main() {
    make_root
    # Tests resolve "localhost"; a fresh root has no hosts file.
    [ -s "$chroot_dir/etc/hosts" ] || printf '127.0.0.1 localhost\n::1 localhost ip6-localhost\n' > "$chroot_dir/etc/hosts"
    [ "$root_only" = 0 ] || exit 0
    register_qemu

    summary=()
    for arch in "${arches[@]}"; do
        build="/src/build/cross/$arch"
        echo "cross: $arch: configure and build"
        start=$SECONDS
        in_root nice -n 10 bash -c "
            set -e
            cmake -S /src -B $build -DCMAKE_TOOLCHAIN_FILE=/src/cmake/toolchains/$arch.cmake \
                -DTALLYPORT_WERROR=ON -DCMAKE_CXX_COMPILER_LAUNCHER=ccache > /dev/null
            cmake --build $build -j \$(nproc) --target tallyport tallyport-sim backend_tests
        " > "$work/build-$arch.log" 2>&1 || {
            tail -n 40 "$work/build-$arch.log" >&2
            echo "cross: $arch: build failed, log in $work/build-$arch.log" >&2
            exit 1
        }
        built=$((SECONDS - start))
        warnings=$(grep -c 'warning:' "$work/build-$arch.log" || true)
        echo "cross: $arch: built in $built s, $warnings warnings"

        echo "cross: $arch: backend tests under qemu-user"
        start=$SECONDS
        result=passed
        # Qt's QProcess under qemu-user needs tools/cross/no-pidfd.c (see there),
        # preloaded into the emulated programs only.
        in_root bash -c "set -e
            triplet=\$(sed -n 's/^set(TALLYPORT_TRIPLET \\(.*\\))/\\1/p' /src/cmake/toolchains/$arch.cmake)
            \$triplet-gcc -shared -fPIC -O2 -o $build/no-pidfd.so /src/tools/cross/no-pidfd.c -ldl
            cd $build
            QEMU_SET_ENV=LD_PRELOAD=$build/no-pidfd.so ctest -L backend --output-on-failure --timeout 300" \
            > "$work/test-$arch.log" 2>&1 || result=failed
        tested=$((SECONDS - start))
        grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|tests failed' "$work/test-$arch.log" || true
        echo "cross: $arch: backend tests $result in $tested s (log in $work/test-$arch.log)"
        summary+=("$arch: build ${built} s, $warnings warnings, backend tests $result in ${tested} s")

        if [ "$package" = 1 ]; then
            start=$SECONDS
            in_root env CCACHE_DIR=/src/build/cross/ccache PACKAGE_DIR=/src/build/cross/package \
                nice -n 10 bash /src/scripts/package.sh "$arch" > "$work/package-$arch.log" 2>&1 || {
                tail -n 40 "$work/package-$arch.log" >&2
                exit 1
            }
            grep '^package: built' "$work/package-$arch.log"
            deb="$(ls "$work/package/tallyport_"*"_$arch.deb")"
            dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Architecture|Installed-Size|Depends):'
            report="$(lintian --allow-root --show-overrides --fail-on none "$deb")"
            echo "$report" | grep -v '^N:' || true
            if echo "$report" | grep -q '^E:'; then
                summary+=("$arch: package in $((SECONDS - start)) s, lintian failed")
            else
                summary+=("$arch: package in $((SECONDS - start)) s, lintian found no errors")
            fi
        fi
    done

    printf 'cross: %s\n' "${summary[@]}"
    for line in "${summary[@]}"; do
        case "$line" in *failed*) exit 1 ;; esac
    done
}

main; exit $?
