#!/usr/bin/env bash
# Checks that every source file includes only what its folder may use, so the
# folders keep saying what depends on what:
#   text/         text/
#   payload/      text/ payload/
#   setup/rules/  text/ setup/rules/
#   setup/        text/ setup/            (the system layer: never app/ or ui/)
#   app/          text/ payload/ setup/ app/, and of ui/ only ui/WizardController.h
#   ui/           text/ payload/ setup/rules/ ui/ res/; app/ only from
#                 ui/WizardController*.cpp (pages reach the application through the
#                 controller; the portable decisions of setup/rules/ are no part of it)
# usage: scripts/check-layers.sh        exit 0 = every include is allowed
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

allowed() { # file included -> 0 when allowed
  local file=$1 inc=$2
  case "$file" in
    text/*) [[ $inc == text/* ]] ;;
    payload/*) [[ $inc == text/* || $inc == payload/* ]] ;;
    setup/rules/*) [[ $inc == text/* || $inc == setup/rules/* ]] ;;
    setup/*) [[ $inc == text/* || $inc == setup/* ]] ;;
    app/*) [[ $inc == text/* || $inc == payload/* || $inc == setup/* || $inc == app/* ||
              $inc == ui/WizardController.h ]] ;;
    ui/WizardController*.cpp) [[ $inc == text/* || $inc == payload/* || $inc == setup/rules/* ||
                                 $inc == ui/* || $inc == app/* || $inc == res/* ]] ;;
    ui/*) [[ $inc == text/* || $inc == payload/* || $inc == setup/rules/* || $inc == ui/* ||
             $inc == res/* ]] ;;
    *) return 0 ;;
  esac
}

failed=0
checked=0
while IFS= read -r file; do
  checked=$((checked + 1))
  while IFS= read -r inc; do
    if ! allowed "$file" "$inc"; then
      echo "FAIL: $file includes \"$inc\", which its folder may not use"
      failed=$((failed + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files -co --exclude-standard -- 'text/*' 'payload/*' 'setup/*' 'app/*' 'ui/*' |
         grep -E '\.(cpp|h)$')

[ "$checked" -gt 0 ] || { echo "FAIL: no sources found"; exit 1; }
if [ "$failed" -eq 0 ]; then
  echo "ok: $checked files include only what their folders may use"
  exit 0
fi
exit 1
