#!/usr/bin/env bash
# Installs the package built by scripts/package.sh on this machine, checks what
# it put where, runs the installed program as its service user would, then
# removes and purges it and checks that nothing is left behind. Needs root and
# no tallyport package installed by other means (one left by an earlier run of
# this script is purged first).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${PACKAGE_DIR:-$root/build/package}"
arch="$(dpkg --print-architecture)"
version="$(sed -n 's/.*setApplicationVersion(QStringLiteral("\([^"]*\)")).*/\1/p' "$root/src/main.cpp")"
deb="$out/tallyport_${version}_${arch}.deb"
[ -f "$deb" ] || { echo "package-test: $deb missing: run scripts/package.sh" >&2; exit 1; }

failures=0
check() { # description, command...
    local what="$1"
    shift
    if "$@" >/dev/null 2>&1; then
        echo "  ok   $what"
    else
        echo "  FAIL $what"
        failures=$((failures + 1))
    fi
}
# Everything the package or its service may leave on the system.
leftovers() {
    for p in /opt/vorn/tallyport /var/lib/tallyport /var/cache/tallyport /etc/default/tallyport \
        /lib/systemd/system/tallyport.service /usr/lib/sysusers.d/tallyport.conf \
        /usr/share/polkit-1/rules.d/50-tallyport.rules /usr/share/doc/tallyport \
        /etc/systemd/system/multi-user.target.wants/tallyport.service \
        /var/lib/systemd/deb-systemd-helper-enabled/tallyport.service \
        /var/lib/systemd/deb-systemd-helper-enabled/multi-user.target.wants/tallyport.service; do
        [ -e "$p" ] || [ -L "$p" ] && echo "$p"
    done
    return 0
}

export DEBIAN_FRONTEND=noninteractive
dpkg-query -W tallyport >/dev/null 2>&1 && apt-get purge -y -q tallyport >/dev/null

echo "package-test: install $deb"
apt-get install -y -q --no-install-recommends "$deb" >/dev/null
state=/var/lib/tallyport
program=/opt/vorn/tallyport/tallyport
check "installed version is $version" test "$(dpkg-query -W -f='${Version}' tallyport)" = "$version"
check "program answers --version offscreen" \
    test "$(QT_QPA_PLATFORM=offscreen "$program" --version)" = "Tallyport $version"
check "program is root's and executable" test "$(stat -c %U:%a "$program")" = "root:755"
check "events.ini beside the program links into the state folder" \
    test "$(readlink /opt/vorn/tallyport/events.ini)" = "$state/events.ini"
check "service user exists, without a login" test "$(getent passwd tallyport | cut -d: -f7)" = /usr/sbin/nologin
check "state folder belongs to the service user" test "$(stat -c %U:%G:%a "$state")" = tallyport:tallyport:750
check "first configuration in the state folder" grep -qx 'stderr=false' "$state/gui.conf"
check "unit installed and enabled" test -L /etc/systemd/system/multi-user.target.wants/tallyport.service
check "unit passes systemd-analyze verify" bash "$root/tests/package/verify-unit.sh" \
    /lib/systemd/system/tallyport.service
check "environment file is a conffile" grep -qx /etc/default/tallyport /var/lib/dpkg/info/tallyport.conffiles
# Only the program's folder, the system's unit, user, polkit and default
# folders and the documentation: nothing else under /usr, nothing in /var.
check "every file where it belongs" bash -c "! dpkg -L tallyport | grep -Ev \
    '^/\\.$|^/opt(/vorn(/tallyport(/tallyport|/events\\.ini)?)?)?$|^/etc(/default(/tallyport)?)?$|^/lib(/systemd(/system(/tallyport\\.service)?)?)?$|^/usr(/lib(/sysusers\\.d(/tallyport\\.conf)?)?|/share(/doc(/tallyport(/.*)?)?|/lintian(/overrides(/tallyport)?)?|/polkit-1(/rules\\.d(/50-tallyport\\.rules)?)?)?)?$'"

# The program as the service runs it: its own user, the state folder as working
# directory, nothing on screen. The event log must reach the state folder
# through the link, although the program's folder is not writable for it.
echo "package-test: run as the service user"
(cd "$state" && exec timeout 60 runuser -u tallyport -- env QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
    HOME="$state" "$program" --config "$state/gui.conf" -H 127.0.0.1 -P 9 > "$out/package-test-run.log" 2>&1) &
runner=$!
for _ in $(seq 300); do
    grep -qs 'Application started' "$state/events.ini" && break
    sleep 0.2
done
# timeout passes the TERM on through runuser to the program.
kill "$runner" 2>/dev/null || true
wait "$runner" 2>/dev/null || true
check "event log written into the state folder" grep -qs 'Application started' "$state/events.ini"
check "link beside the program left as it was" test -L /opt/vorn/tallyport/events.ini
check "nothing written in the program's folder" \
    test "$(find /opt/vorn/tallyport -mindepth 1 | sort | tr '\n' ' ')" = \
    "/opt/vorn/tallyport/events.ini /opt/vorn/tallyport/tallyport "

echo "package-test: remove"
apt-get remove -y -q tallyport >/dev/null
check "program gone" test ! -e "$program"
check "state and environment file kept until purge" test -d "$state" -a -f /etc/default/tallyport
echo "package-test: purge"
apt-get purge -y -q tallyport >/dev/null
left="$(leftovers)"
check "nothing left after purge (left: ${left:-none})" test -z "$left"
check "dpkg knows nothing of it" bash -c "! dpkg-query -W tallyport"

if [ "$failures" -gt 0 ]; then
    echo "package-test: $failures check(s) failed"
    exit 1
fi
echo "package-test: all checks passed"
