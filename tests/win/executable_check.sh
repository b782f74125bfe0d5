#!/usr/bin/env bash
# Checks the shipped executable: mingw's ASLR (dynamic base, high-entropy VA) and DEP flags,
# the stack guard in the program's own functions, imports of Windows' known DLLs only (and
# COMCTL32.dll, which the manifest binds to the system's side-by-side copy), and the
# project's version in the version resource and the manifest, agreeing with the About box's
# "Version X.Y", the manifest's DPI awareness and Windows versions, and the large icons first.
#   executable_check.sh serverbrowser.exe 0.1.0
set -euo pipefail
exe=$1
version=$2
resources=$(x86_64-w64-mingw32-windres -i "$exe" -J coff -O rc)
for line in " FILEVERSION ${version//./, }, 0" " PRODUCTVERSION ${version//./, }, 0" "\"FileVersion\", \"$version.0\"" \
            "\"ProductVersion\", \"$version.0\"" "ServerBrowser\"\" version=\"\"$version.0\"\"" \
            "\"Tarnwick Server Browser Version ${version%.*}\"" ">true/pm<" ">PerMonitorV2, PerMonitor<" \
            35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
            1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  grep -qF "$line" <<<"$resources" || { echo "no $line"; exit 1; }
done
# Explorer, shortcuts and the installed-programs list show the first icon group, icon 1. Each
# group holds images larger than 32 and 16 pixels to scale down from at 125 % and more.
[[ $(grep -m1 ' 14 /\* RT_GROUP_ICON' <<<"$resources") == "1 14 "* ]] || { echo "icon 1 is not the first"; exit 1; }
for group in "1:256 48 32 16" "107:256 48 32 16" "108:48 32 16"; do
  sizes=$(awk -v id="${group%%:*}" '$1 == id && $2 == 14 {g = 1} g && /Element no/ {print substr($1, 3, 3)} g && /^END/ {exit}' \
          <<<"$resources" | xargs printf '%d\n' | sed 's/^0$/256/' | xargs)
  [ "$sizes" = "${group#*:}" ] || { echo "icon group ${group%%:*} holds the sizes: $sizes"; exit 1; }
done
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  grep -q "$flag" <<<"$headers" || { echo "missing $flag"; exit 1; }
done
# The program's own (C++) functions check the stack guard, not only the runtime's.
guarded=$(x86_64-w64-mingw32-objdump -d "$exe" | awk '/^[0-9a-f]+ <.*>:$/ {f = $2} /call.*<__stack_chk_fail>/ {print f}')
[ "$(grep -c '^<_Z' <<<"$guarded")" -ge 5 ] || { echo "no stack guard in the program's functions"; exit 1; }
allowed=" ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll ole32.dll SHELL32.dll USER32.dll WS2_32.dll "
imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers")
for dll in $imports; do
  [[ $allowed == *" $dll "* ]] || { echo "imports $dll"; exit 1; }
done
echo "hardened; imports:" $imports
