#!/usr/bin/env bash
# Regenerates docs/attention-panel.png and docs/success-panel.png (each panel, title bar included,
# under xfwm4), docs/xfce-item.png and docs/xfce-item-tinted.png (the status item on Debian's
# Xfce panel, plain and green) and docs/sway-prompt.png (the prompt on sway's overlay layer): runs
# the desktop end-to-end scenarios against the real program on a virtual display or a headless
# sway session and crops the screen while each is shown.
#
# Usage: scripts/screenshots.sh [<bundle folder>]     (default: build/Vantorel)
set -euo pipefail
cd "$(dirname "$0")/.."
bundle="${1:-build/Vantorel}"
if [[ ! -x "$bundle/bin/vantorel" ]]; then
  echo "No program at $bundle/bin/vantorel: build it first (scripts/setup.sh)." >&2
  exit 1
fi
tests/e2e/run-on-desktop.sh umockdev-wrapper /usr/bin/python3 tests/e2e/xfce_e2e.py "$bundle" docs
# The sway session may run as another user (as root: nobody): it writes to a folder of its own.
shots="$(mktemp -d)" && chmod 777 "$shots"
tests/e2e/run-on-sway.sh /usr/bin/python3 tests/e2e/sway_e2e.py "$bundle" "$shots"
cp "$shots/sway-prompt.png" docs/ && rm -rf "$shots"
echo "Wrote docs/attention-panel.png, docs/success-panel.png, docs/xfce-item.png," \
  "docs/xfce-item-tinted.png and docs/sway-prompt.png"
