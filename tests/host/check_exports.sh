#!/bin/sh
# check_exports.sh MODULE GENERATION
# A module exports mexFunction (and at most its version entry points) under
# the symbol version MEX, nothing else, and links the size-bearing functions
# of its generation (700: 32-bit sizes, 730: 64-bit sizes) only.
set -eu
module=$1
generation=$2
defined=$(nm -D --defined-only "$module" | awk '{print $3}')
undefined=$(nm -D --undefined-only "$module" | awk '{print $2}')
status=0
echo "$defined" | grep -qx 'mexFunction@@MEX' || { echo "$module: no mexFunction@@MEX"; status=1; }
for symbol in $defined; do
  case $symbol in
    MEX | mexFunction@@MEX | mexfilerequiredapiversion@@MEX | mexVersion@@MEX) ;;
    *) echo "$module: exports $symbol"; status=1 ;;
  esac
done
other=$([ "$generation" = 700 ] && echo 730 || echo 700)
if echo "$undefined" | grep -q "_${other}\$"; then
  echo "$module: links the _${other} generation:"; echo "$undefined" | grep "_${other}\$"; status=1
fi
[ $status -eq 0 ] && echo "$module: exports and generation $generation as expected"
exit $status
