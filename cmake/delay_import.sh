#!/bin/sh
# Makes a delay-import library from a system import library: the DLL then loads on the first
# call of one of its functions instead of at start.
#   delay_import.sh NM DLLTOOL IMPORT_LIB DLL_NAME OUTPUT POINTER_BYTES
# The functions are the import library's thunks (each has its __imp_ pointer); data exports
# cannot be delay-loaded and are left out.
set -eu
nm=$1 dlltool=$2 implib=$3 dll=$4 out=$5 pointer=$6
# 32-bit C names carry a leading underscore that the DLL's export names do not.
prefix=
if [ "$pointer" = 4 ]; then prefix=_; fi
def="$out.def"
{
    echo "LIBRARY $dll"
    echo "EXPORTS"
    "$nm" -g --defined-only "$implib" | awk '
        $2 == "T" { thunk[$3] = 1 }
        $2 == "I" && $3 ~ /^__imp_/ { name = substr($3, 7); pointer[name] = 1 }
        END { for (name in thunk) if (name in pointer) print name }' |
        sed "s/^$prefix//" | sort -u
} >"$def"
# 32-bit names also carry their argument size ("@28"), which the export names do not.
"$dlltool" --kill-at -d "$def" -y "$out" -D "$dll"
