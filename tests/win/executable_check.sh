#!/usr/bin/env bash
# Checks the shipped executable: mingw's ASLR (dynamic base, high-entropy VA) and DEP flags,
# the stack guard linked in, imports of Windows' own DLLs only, and the project's version in
# the version resource and the manifest, agreeing with the About box's "Version X.Y".
#   executable_check.sh serverbrowser.exe 0.1.0
set -euo pipefail
exe=$1
version=$2
resources=$(x86_64-w64-mingw32-windres -i "$exe" -J coff -O rc)
for line in " FILEVERSION ${version//./, }, 0" " PRODUCTVERSION ${version//./, }, 0" "\"FileVersion\", \"$version.0\"" \
            "\"ProductVersion\", \"$version.0\"" "ServerBrowser\"\" version=\"\"$version.0\"\"" \
            "\"Tarnwick Server Browser Version ${version%.*}\""; do
  grep -qF "$line" <<<"$resources" || { echo "no $line"; exit 1; }
done
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
