#!/usr/bin/env bash
# Sets up what running needs and runs Vantorel from its bundle in ./build/Vantorel. Arguments go
# to the program (for example --terminal).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
exec build/Vantorel/bin/vantorel "$@"
