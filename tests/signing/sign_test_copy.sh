#!/usr/bin/env bash
# Signs a copy of a test program with a throwaway certificate made here, by the
# build's own signing step, so that tests can run a signed program.
# usage: sign_test_copy.sh PROGRAM.exe SIGNED.exe
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrel throwaway test signer" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/signer.p12" \
  -passout pass:throwaway
cp "$1" "$work/program.exe"
KESTREL_SIGN_PKCS12="$work/signer.p12" KESTREL_SIGN_PASSWORD=throwaway \
  "$repo/scripts/sign.sh" "$work/program.exe" >/dev/null
mv -f "$work/program.exe" "$2"
