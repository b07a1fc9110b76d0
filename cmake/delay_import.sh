#!/bin/sh
# Makes a delay-import library from a system import library: the DLL then loads on the first
# call of one of its functions instead of at start.
#   delay_import.sh NM DLLTOOL IMPORT_LIB DLL_NAME OUTPUT POINTER_BYTES [CC AR]
# The functions are the import library's thunks (each has its __imp_ pointer); data exports
# cannot be delay-loaded and are left out.
# 64-bit: dlltool makes the library. 32-bit: the thunks of Debian 12's dlltool (2.40) hold
# their stub's offset without a relocation, so the first call jumps to nowhere; the library
# is made here instead, from assembly (CC and AR build it).
set -eu
nm=$1 dlltool=$2 implib=$3 dll=$4 out=$5 pointer=$6
functions() {
    "$nm" -g --defined-only "$implib" | awk '
        $2 == "T" { thunk[$3] = 1 }
        $2 == "I" && $3 ~ /^__imp_/ { name = substr($3, 7); pointer[name] = 1 }
        END { for (name in thunk) if (name in pointer) print name }' | sort -u
}
if [ "$pointer" = 8 ]; then
    def="$out.def"
    { echo "LIBRARY $dll"; echo "EXPORTS"; functions; } >"$def"
    "$dlltool" --kill-at -d "$def" -y "$out" -D "$dll"
    exit 0
fi

cc=$7 ar=$8
asm="$out.s"
# Each function's pointer first leads to its stub, which finds the function once (the DLL
# loaded on the first of them), puts it in the pointer and goes on into it with the caller's
# stack untouched. Two threads that race here store the same address.
{
    printf '\t.section .rdata,"dr"\nLdll:\t.asciz "%s"\nLfailed:\t.asciz "Cannot load %s"\n' "$dll" "$dll"
    printf '\t.data\n\t.balign 4\nLmodule:\t.long 0\n'
    printf '\t.text\n'
    # On entry: [esp] name, [esp+4] pointer, [esp+8] the caller's return address.
    printf 'Lresolve:\n\tpush %%ecx\n\tpush %%edx\n\tmov Lmodule, %%eax\n\ttest %%eax, %%eax\n\tjnz 1f\n'
    printf '\tpush $Ldll\n\tcall *__imp__LoadLibraryA@4\n\ttest %%eax, %%eax\n\tjz Lfail\n\tmov %%eax, Lmodule\n'
    printf '1:\tpush 8(%%esp)\n\tpush %%eax\n\tcall *__imp__GetProcAddress@8\n\ttest %%eax, %%eax\n\tjz Lfail\n'
    printf '\tmov 12(%%esp), %%edx\n\tmov %%eax, (%%edx)\n\tpop %%edx\n\tpop %%ecx\n\tadd $8, %%esp\n\tjmp *%%eax\n'
    printf 'Lfail:\tpush $Lfailed\n\tpush $0\n\tcall *__imp__FatalAppExitA@8\n'
    functions | awk '{
        symbol = $1
        name = substr(symbol, 2)          # C names carry a leading underscore
        sub(/@[0-9]+$/, "", name)         # and their argument size; export names do not
        printf "\t.section .rdata,\"dr\"\nLname%d:\t.asciz \"%s\"\n", NR, name
        printf "\t.data\n\t.balign 4\n\t.globl __imp_%s\n__imp_%s:\t.long Lstub%d\n", symbol, symbol, NR
        printf "\t.text\n\t.globl %s\n%s:\tjmp *__imp_%s\n", symbol, symbol, symbol
        printf "Lstub%d:\tpush $__imp_%s\n\tpush $Lname%d\n\tjmp Lresolve\n", NR, symbol, NR
    }'
} >"$asm"
rm -f "$out"
"$cc" -c -x assembler "$asm" -o "$out.o"
"$ar" rcs "$out" "$out.o"
