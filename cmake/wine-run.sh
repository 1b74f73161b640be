#!/bin/sh
# Runs a Windows program under Wine for CTest. Wine's own system processes can inherit the program's
# output streams and outlive it, so the output goes through a file: CTest then sees the end at once.
out=$(mktemp)
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
