#!/usr/bin/env bash
# Packages with a throwaway certificate authority and code-signing certificate of its own and
# verifies against that authority: the program in the zip, the setup program and the
# uninstaller a silent install writes are signed by that certificate; a changed byte fails;
# the password reaches no command line of the signing tools. An empty SIGN_PKCS12 packs unsigned.
#   signing_check.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
work=$(mktemp -d /tmp/sb-signing-XXXXXX)
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Signing Check CA" \
  -addext basicConstraints=critical,CA:true -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Signing Check Signer" 2>/dev/null
printf 'extendedKeyUsage=codeSigning\nkeyUsage=digitalSignature\n' >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext -out signer.pem 2>/dev/null
printf 'a password\n' >password
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout file:password -out signer.p12
export SIGN_PKCS12=$work/signer.p12 SIGN_PASSWORD_FILE=$work/password SOURCE_DATE_EPOCH=1700000000 TZ=UTC
# A wrong password is refused before anything is built.
if SIGN_PASSWORD_FILE=ca.pem "$source_dir/scripts/sign" --check 2>/dev/null; then echo "a wrong password passed"; exit 1; fi
# Set but empty, as a release job without its secret has it: unsigned packages, no failure.
SIGN_PKCS12= cpack --config "$build_dir/CPackConfig.cmake" -G ZIP -B unsigned >/dev/null
# Every command line of the signing tools is logged by a stand-in that then runs the tool.
mkdir shims
for tool in osslsigncode openssl; do
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/commands.log"\nexec %s "$@"\n' "$work" "$(command -v $tool)" >shims/$tool
  chmod +x shims/$tool
done
PATH=$work/shims:$PATH cpack --config "$build_dir/CPackConfig.cmake" -B packages >/dev/null
grep -q "^sign " commands.log || { echo "the signing went round the logged tools"; exit 1; }
! grep -qF "a password" commands.log || { echo "the password is on a command line"; exit 1; }
python3 -m zipfile -e packages/*.zip unpacked
WINEPREFIX=$work/prefix "$source_dir/cmake/wine-run" packages/*-setup.exe /S "/D=$(winepath -w "$work")\\installed" \
  2>/dev/null
signed_by_signer() {
  local report
  report=$(osslsigncode verify -CAfile ca.pem -in "$1" 2>&1) && grep -q "Subject: /CN=Signing Check Signer" <<<"$report"
}
python3 -m zipfile -e unsigned/*.zip unsigned
! osslsigncode verify -CAfile ca.pem -in unsigned/*/serverbrowser.exe >/dev/null 2>&1 || { echo "an empty SIGN_PKCS12 signed"; exit 1; }
for program in unpacked/*/serverbrowser.exe packages/*-setup.exe installed/uninstall.exe; do
  signed_by_signer "$program" || { echo "not signed by the check's certificate: $program"; exit 1; }
  cp "$program" changed.exe
  printf '\x5a' | dd of=changed.exe bs=1 seek=4096 conv=notrunc status=none
  cmp -s "$program" changed.exe && printf '\xa5' | dd of=changed.exe bs=1 seek=4096 conv=notrunc status=none
  ! signed_by_signer changed.exe || { echo "a changed byte still verifies: $program"; exit 1; }
done
echo "signed by the check's certificate: the zip's program, the setup program, the installed uninstaller"
