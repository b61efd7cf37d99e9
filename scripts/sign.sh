#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (SHA-256), by osslsigncode.
#   KESTREL_SIGN_PKCS12        the certificate and its private key (a PKCS#12 file)
#   KESTREL_SIGN_PASSWORD      its password (handed over in a private file, never
#                              on a command line that other users' ps would show)
#   KESTREL_SIGN_TIMESTAMP_URL optional: an RFC 3161 time-stamp server, so that the
#                              signature outlives the certificate
# Without KESTREL_SIGN_PKCS12 it does nothing (an unsigned build), and says so.
# usage: scripts/sign.sh PROGRAM...
set -euo pipefail

if [ -z "${KESTREL_SIGN_PKCS12:-}" ]; then
  echo "sign: no certificate configured (KESTREL_SIGN_PKCS12); left unsigned: $*"
  exit 0
fi
[ -r "$KESTREL_SIGN_PKCS12" ] || { echo "sign: cannot read $KESTREL_SIGN_PKCS12" >&2; exit 1; }

private=$(mktemp -d)  # mode 0700: the password file is ours alone
trap 'rm -rf "$private"' EXIT
printf '%s' "${KESTREL_SIGN_PASSWORD:-}" >"$private/password"

stamp=()
[ -z "${KESTREL_SIGN_TIMESTAMP_URL:-}" ] || stamp=(-ts "$KESTREL_SIGN_TIMESTAMP_URL")

for program in "$@"; do
  osslsigncode sign -pkcs12 "$KESTREL_SIGN_PKCS12" -readpass "$private/password" -h sha256 \
    -n "Kestrel Keyboard Setup" "${stamp[@]}" -in "$program" -out "$private/signed" >/dev/null \
    || { echo "sign: signing $program failed" >&2; exit 1; }
  # Replace the file, not rewrite it: a reader never sees half a program.
  cp "$private/signed" "$program.signed" && mv -f "$program.signed" "$program"
  echo "sign: signed $program"
done
