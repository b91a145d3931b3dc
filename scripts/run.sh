#!/usr/bin/env bash
# Sets everything up and runs Vantorel from its bundle in ./build/Vantorel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/Vantorel/bin/vantorel
