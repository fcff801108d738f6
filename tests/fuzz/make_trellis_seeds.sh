#!/usr/bin/env bash
# Makes seed corpora for the disc engine's fuzz targets from small images
# made by the peer tools: corpus/trellis_{iso9660,udf,cuesheet}/ below the
# folder given (default: build-fuzz/corpus). Images are written in the
# targets' compact form: a 16-bit block number and the block, for every
# block that is not all zeros.
set -euo pipefail
out=${1:-build-fuzz/corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out/trellis_iso9660" "$out/trellis_udf" "$out/trellis_cuesheet" "$work/src/Sub dir/deeper/it's"
echo hello > "$work/src/a.txt"
echo data > "$work/src/Sub dir/deeper/it's/Ünïcode.txt"
head -c 70000 /dev/zero > "$work/src/Sub dir/big.bin"

sparse() { # image -> compact form
  python3 - "$1" "$2" <<'PY'
import sys, struct
data = open(sys.argv[1], 'rb').read()
with open(sys.argv[2], 'wb') as out:
    for block in range(min(len(data) // 2048, 65536)):
        chunk = data[block * 2048:(block + 1) * 2048]
        if any(chunk):
            out.write(struct.pack('<H', block) + chunk)
PY
}

xorriso -as mkisofs -R -J -o "$work/rr.iso" "$work/src" 2>/dev/null
genisoimage -quiet -J -o "$work/joliet.iso" "$work/src"
genisoimage -quiet -R -o "$work/deep.iso" "$work/src"
genisoimage -quiet -udf -o "$work/bridge.iso" "$work/src"
# Hostile names patched in after the tools wrote harmless ones of the same length.
mkdir "$work/hostile" && echo x > "$work/hostile/ddsddsx"
genisoimage -quiet -R -o "$work/hostile-rr.iso" "$work/hostile"
genisoimage -quiet -J -o "$work/hostile-joliet.iso" "$work/hostile"
genisoimage -quiet -udf -o "$work/hostile-udf.iso" "$work/hostile"
python3 - "$work" <<'PY'
import sys
for name, old, new in (('hostile-rr', b'ddsddsx', b'../../x'),
                       ('hostile-joliet', 'ddsddsx'.encode('utf-16-be'), '../../x'.encode('utf-16-be')),
                       ('hostile-udf', b'\x08ddsddsx', b'\x08../../x')):
    path = f'{sys.argv[1]}/{name}.iso'
    data = open(path, 'rb').read()
    open(path, 'wb').write(data.replace(old, new))
PY
for name in rr joliet deep bridge hostile-rr hostile-joliet; do sparse "$work/$name.iso" "$out/trellis_iso9660/$name"; done
sparse "$work/hostile-udf.iso" "$out/trellis_udf/hostile"
sparse "$work/bridge.iso" "$out/trellis_udf/bridge"
for rev in 1.02:hd 2.01:hd 2.50:bdr; do
  truncate -s 4M "$work/udf.img"
  mkudffs -b 2048 -m "${rev#*:}" --udfrev="${rev%:*}" "$work/udf.img" >/dev/null
  sparse "$work/udf.img" "$out/trellis_udf/mkudffs-${rev%:*}"
  rm -f "$work/udf.img"
done
printf 'FILE "a b.bin" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    PREGAP 00:02:00\n    INDEX 00 01:00:00\n    INDEX 01 01:02:00\nREM SESSION 02\nFILE b.bin BINARY\n  TRACK 03 MODE2/2336\n    INDEX 01 00:00:00\n' \
  > "$out/trellis_cuesheet/mixed.cue"
printf 'FILE x.bin BINARY\r\n TRACK 01 AUDIO\r\n  INDEX 01 00:00:00\r\n TRACK 02 AUDIO\r\n  INDEX 01 00:10:00\r\n' \
  > "$out/trellis_cuesheet/audio.cue"
echo "seeds in $out"
