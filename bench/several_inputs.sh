#!/bin/sh
# Several inputs against one, and the cost of the log of problems, through
# marc2tab: ten files of MEGABYTES/10 against one of MEGABYTES (the same
# records, cut at record boundaries), then a file of RECORDS malformed records
# of about BYTES each (a readable 001, a 200 whose directory entry is broken,
# a 330 of text) converted without and with --log. Best of five wall-clock
# runs, and the largest resident size of each.
#   bench/several_inputs.sh [MEGABYTES [RECORDS [BYTES]]]
# The build and the data live in build-bench/ (not committed).
set -eu
cd "$(dirname "$0")/.."
megabytes=${1:-200}
records=${2:-1000000}
bytes=${3:-700}
build=build-bench
data=$build/data/several
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUIRNEL_BENCH=ON -DQUIRNEL_TESTS=OFF >/dev/null
make -C "$build" -j2 make_cnmarc marc2tab >/dev/null
mkdir -p "$data"

whole=$data/whole-${megabytes}mb.iso
if [ ! -f "$whole" ]; then
  "$build/bench/make_cnmarc" --seed 1 --megabytes "$megabytes" --line-breaks none "$whole"
  # Ten pieces of the same records, each ending with a record.
  python3 - "$whole" "$data/piece" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
step, start = len(data) // 10, 0
for i in range(10):
    end = len(data) if i == 9 else data.index(b'\x1d', start + step) + 1
    open('%s-%02d.iso' % (sys.argv[2], i), 'wb').write(data[start:end])
    start = end
PY
fi
malformed=$data/malformed-$records-$bytes.iso
if [ ! -f "$malformed" ]; then
  # A 001, and a 200 whose directory entry has an unusable length.
  python3 - "$malformed" "$records" "$bytes" <<'PY'
import sys
out = open(sys.argv[1], 'wb')
chunk = []
for n in range(int(sys.argv[2])):
    f001 = b'id%08d\x1e' % n
    f200 = b'  \x1faA title of the record\x1e'
    f330 = b'  \x1fa' + b'text of an abstract ' * max(0, (int(sys.argv[3]) - 130) // 20) + b'\x1e'
    directory = (b'001%04d%05d' % (len(f001), 0) + b'20012a4%05d' % len(f001) +
                 b'330%04d%05d' % (len(f330), len(f001) + len(f200)) + b'\x1e')
    base = 24 + len(directory)
    length = base + len(f001) + len(f200) + len(f330) + 1
    chunk.append(b'%05dnam0 22%05d   450 ' % (length, base) + directory + f001 + f200 + f330 + b'\x1d')
    if len(chunk) == 10000:
        out.write(b''.join(chunk)); chunk = []
out.write(b''.join(chunk))
PY
fi
cat "$whole" "$data"/piece-*.iso "$malformed" >/dev/null  # into the page cache

# Best wall-clock seconds of five runs, and the largest resident size (KiB).
measure() {
  best=; most=0
  for i in 1 2 3 4 5; do
    rm -f "$data/out.txt" "$data/out.log.txt"
    /usr/bin/time -f '%e %M' -o "$data/time" "$@" 2>/dev/null >/dev/null || true
    read -r seconds kib <"$data/time"
    best=$(awk -v a="${best:-$seconds}" -v b="$seconds" 'BEGIN { print (b < a ? b : a) }')
    [ "$kib" -gt "$most" ] && most=$kib
  done
  printf '%-44s %6.2f s  %7d KiB\n' "$label" "$best" "$most"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
marc2tab=$build/cli/marc2tab
label="one file of $megabytes MB";        measure "$marc2tab" --lang en "$whole" "$data/out.txt"
label="ten files of $((megabytes / 10)) MB"; measure "$marc2tab" --lang en "$data"/piece-*.iso "$data/out.txt"
label="$records malformed records";        measure "$marc2tab" --lang en "$malformed" "$data/out.txt"
label="$records malformed records, --log"; measure "$marc2tab" --lang en --log "$data/out.log.txt" "$malformed" "$data/out.txt"
rm -f "$data/out.txt" "$data/out.log.txt" "$data/time"
