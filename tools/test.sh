#!/usr/bin/env bash
# Builds everything and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
export QT_QPA_PLATFORM=offscreen
# Short bounded fuzz runs: the number reading and the store's round trip, the MIDI reader.
bash fuzz/run.sh >build/fuzz.log 2>&1 || { tail -n 40 build/fuzz.log; exit 1; }
echo "fuzz: $(grep -E '^Done [0-9]+ runs' build/fuzz.log || echo 'done')"
# Beside a private sound server, which the sound tests record from; stopped at the end.
tools/with_sound_server.sh ctest --test-dir build --output-on-failure -j2 "$@"
