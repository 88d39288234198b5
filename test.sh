#!/usr/bin/env bash
# Installs what is missing (test packages included), builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
exec scripts/run-tests.sh
