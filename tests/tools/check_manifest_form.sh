#!/bin/sh
# setup.exe's manifest in the form every supported Windows reads (manifest_form_test.py).
here=$(dirname "$0")
exec python3 "$here/manifest_form_test.py" "$here/../../res/setup.manifest"
