#!/usr/bin/env bash
# Installs what is missing, builds, and starts Ombrix.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh >/dev/null
exec ./build/bin/ombrix "$@"
