#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (outside the main build) and runs each for a
# short, bounded time. Exits non-zero when a build or a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/fuzz
mkdir -p "$out/corpus"

clang++ -std=c++20 -g -O1 -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I. fuzz/store_fuzz.cpp store/number_reading.cpp store/store_values.cpp \
  store/settings_store.cpp -lsqlite3 -o "$out/store_fuzz"

# A few seeds so that the run starts from numbers, names and long texts.
seeds=("  +7x" "-3.5" "1e3" "40000" "-32768" ".5" "1e" "--1" "プレーヤー Ann  "
  "x'); DROP TABLE store; --" "C:\\Pyra3\\" "$(printf 'a%.0s' {1..300})")
for i in "${!seeds[@]}"; do printf '%s' "${seeds[$i]}" > "$out/corpus/seed-$i"; done

"$out/store_fuzz" -runs=20000 -max_total_time=20 -max_len=2048 -print_final_stats=1 \
  "$out/corpus"

# The MIDI reader, from the music file.
mkdir -p "$out/midi_corpus"
cp assets/teku2.mid "$out/midi_corpus/"
clang++ -std=c++20 -g -O1 -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I. fuzz/midi_fuzz.cpp sound/midi_song.cpp -o "$out/midi_fuzz"
"$out/midi_fuzz" -runs=200000 -max_total_time=10 -max_len=4096 -print_final_stats=1 \
  "$out/midi_corpus"
