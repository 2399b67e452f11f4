#!/bin/sh
# with-wine.sh <build dir> <command...>
#
# Runs the command with a wine server of its own: the prefix lives in the
# build directory, the server is started and warmed before the command (test
# discovery and CTest start wine many times; a server started from inside a
# CTest run makes it hang, and a cold start keeps CTest waiting on helper
# processes that hold its output pipe) and stopped after it.
set -u
build=$1
shift
WINEPREFIX=$(cd "$build" && pwd)/wine
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
"$@"
status=$?
wineserver -k </dev/null >/dev/null 2>&1
exit $status
