#!/usr/bin/env bash
# The signing step on a built program, with a throwaway certificate made here:
# the signature verifies, a changed byte breaks it, a wrong password signs
# nothing, and taking the signature off gives back the program as built.
# usage: sign_and_verify.sh PROGRAM.exe
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrel throwaway test signer" \
  -keyout key.pem -out cert.pem 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out signer.p12 -passout pass:throwaway

# The program as built, whether or not the build signed it already.
osslsigncode remove-signature -in "$program" -out built.exe >/dev/null 2>&1 || cp "$program" built.exe

cp built.exe signed.exe
KESTREL_SIGN_PKCS12=signer.p12 KESTREL_SIGN_PASSWORD=throwaway "$repo/scripts/sign.sh" signed.exe
osslsigncode verify -CAfile cert.pem -in signed.exe >verify.log 2>&1 \
  || { cat verify.log; fail "the signed program does not verify"; }
grep -q 'Signature verification: ok' verify.log || fail "no successful verification reported"

cp signed.exe changed.exe
printf 'K' | dd of=changed.exe bs=1 seek=4096 conv=notrunc 2>/dev/null
! osslsigncode verify -CAfile cert.pem -in changed.exe >/dev/null 2>&1 || fail "a changed program still verifies"

cp built.exe wrong.exe
! KESTREL_SIGN_PKCS12=signer.p12 KESTREL_SIGN_PASSWORD=wrong "$repo/scripts/sign.sh" wrong.exe 2>/dev/null \
  || fail "signing with a wrong password succeeded"
cmp -s wrong.exe built.exe || fail "a failed signing changed the program"

osslsigncode remove-signature -in signed.exe -out unsigned-again.exe >/dev/null
cmp built.exe unsigned-again.exe || fail "signing changed more than the signature"
echo "signed, verified; a changed byte and a wrong password are refused"
