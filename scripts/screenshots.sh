#!/usr/bin/env bash
# Regenerates docs/attention-panel.png and docs/success-panel.png: runs the desktop end-to-end
# scenario against the real program on a virtual display with a window manager, and crops each
# panel, title bar included, from the screen while it is shown.
#
# Usage: scripts/screenshots.sh [<bundle folder>]     (default: build/Vantorel)
set -euo pipefail
cd "$(dirname "$0")/.."
bundle="${1:-build/Vantorel}"
if [[ ! -x "$bundle/bin/vantorel" ]]; then
  echo "No program at $bundle/bin/vantorel: build it first (scripts/setup.sh)." >&2
  exit 1
fi
tests/e2e/run-on-desktop.sh umockdev-wrapper /usr/bin/python3 tests/e2e/desktop_e2e.py \
  "$bundle" docs
echo "Wrote docs/attention-panel.png and docs/success-panel.png"
