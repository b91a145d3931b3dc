#!/usr/bin/env bash
# Regenerates docs/attention-panel.png and docs/success-panel.png (each panel, title bar included,
# under openbox) and docs/xfce-item.png and docs/xfce-item-tinted.png (the status item on Debian's
# Xfce panel, plain and green): runs the desktop end-to-end scenarios against the real program on a
# virtual display and crops the screen while each is shown.
#
# Usage: scripts/screenshots.sh [<bundle folder>]     (default: build/Vantorel)
set -euo pipefail
cd "$(dirname "$0")/.."
bundle="${1:-build/Vantorel}"
if [[ ! -x "$bundle/bin/vantorel" ]]; then
  echo "No program at $bundle/bin/vantorel: build it first (scripts/setup.sh)." >&2
  exit 1
fi
for scenario in desktop xfce; do
  tests/e2e/run-on-desktop.sh umockdev-wrapper /usr/bin/python3 "tests/e2e/${scenario}_e2e.py" \
    "$bundle" docs
done
echo "Wrote docs/attention-panel.png, docs/success-panel.png, docs/xfce-item.png and" \
  "docs/xfce-item-tinted.png"
