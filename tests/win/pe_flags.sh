#!/usr/bin/env bash
# Checks the shipped executable: mingw's ASLR (dynamic base, high-entropy VA) and DEP flags,
# the stack guard linked in, and imports of Windows' own DLLs only.
set -euo pipefail
exe=$1
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  grep -q "$flag" <<<"$headers" || { echo "missing $flag"; exit 1; }
done
symbols=$(x86_64-w64-mingw32-nm "$exe")
grep -q ' T __stack_chk_fail$' <<<"$symbols" || { echo "no stack guard"; exit 1; }
allowed=" ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll SHELL32.dll USER32.dll WINMM.dll WS2_32.dll "
imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers")
for dll in $imports; do
  [[ $allowed == *" $dll "* ]] || { echo "imports $dll"; exit 1; }
done
echo "hardened; imports:" $imports
