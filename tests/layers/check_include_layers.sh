#!/bin/sh
# The folders' include rules (scripts/check-layers.sh) hold for the whole tree.
exec "$(dirname "$0")/../../scripts/check-layers.sh"
