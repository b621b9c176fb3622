#!/usr/bin/env bash
# Makes the DICOM files the conversion tests start from, with Debian's dcmtk:
#   baseline.dcm   JPEG baseline, made by img2dcm from a JPEG
#   lossless.dcm   JPEG lossless process 14 (first-order prediction), by dcmcjpeg
#   lossless.raw   the uncompressed pixel data that lossless.dcm must decompress to
#   large.dcm      JPEG lossless, 512 x 512 RGB: its output (768 KiB of pixels)
#                  is many times its size, for the tests on small disks
#   large.raw      the pixel data that large.dcm must decompress to
#   jpegls.dcm     JPEG-LS lossless, by dcmcjpls: dcmdjpeg does not decode it
#   rle.dcm        RLE lossless, by dcmcrle: dcmdjpeg does not decode it
#   slow.dcm       JPEG lossless, 3200 x 2400 RGB: dcmdjpeg takes a noticeable
#                  time on it (the tests of a run's progress and its stop)
#   slow.raw       the pixel data that slow.dcm must decompress to
#   slowest.dcm    the same at 4800 x 3600 (about half a second), slowest.raw
#   plain.dcm      lossless.dcm before compression: a whole output as
#                  dcmdjpeg writes it, for outputs left by an earlier run
#   world/         files as scanners and other toolkits write them, all of
#                  which dcmdjpeg converts: from the dumps in world/ beside
#                  this script, a structured report (sr.dcm), an RT plan
#                  (rtplan.dcm) and an ECG waveform (ecg.dcm), none with pixel
#                  data; float pixel data (float.dcm); a JPEG lossless image
#                  with a private sequence (private.dcm); and data sets without
#                  preamble and meta group in each encoding dcmdjpeg reads: a
#                  report (bare-sr.dcm, implicit VR; bare-sr-explicit.dcm), an
#                  RT plan in explicit VR big endian (bare-rtplan-big.dcm) and
#                  an image (bare-image.dcm)
#   many/          20 000 names of lossless.dcm (hard links, made at once):
#                  a folder whose preparation takes a few seconds
#   estimate/      the inputs of the room check's estimate, made by
#                  tests/common/make_estimate_cases.sh, with the 256 x 256
#                  ones for small disks (small-*.dcm: outputs about eight
#                  times their size)
#   usb.dcm        JPEG lossless, 300 x 292 RGB, about 30 KB: its output
#                  (256.7 KiB of pixels) just passes two 128 KiB clusters
#   awkward/       files whose names Windows could not have made, or would open
#                  as another file, beside names that are safe; made here on the
#                  Linux side, where such names can exist (as on disks written
#                  by other systems). Every unsafe name holds lossless.dcm; the
#                  look-alikes "sp.dcm" and "dot.dcm" hold baseline.dcm.
#   filesets/      DICOM file-sets as users get them on disc, with a DICOMDIR,
#                  and the pixel data each image must decompress to: made by
#                  make_file_sets.sh beside this script
set -euo pipefail
out="$(realpath -m "$1")"
here="$(dirname "$(realpath "$0")")"
dumps="$here/world"
rm -rf "$out.tmp"
mkdir -p "$out.tmp"
cd "$out.tmp"

convert -size 64x48 gradient:red-blue -depth 8 picture.jpg
img2dcm -q picture.jpg baseline.dcm

convert -size 64x48 gradient:white-black -depth 8 -type truecolor BMP3:picture.bmp
img2dcm -q -i BMP picture.bmp uncompressed.dcm
dcmcjpeg -q +e1 uncompressed.dcm lossless.dcm
dcmcjpls -q uncompressed.dcm jpegls.dcm
dcmcrle -q uncompressed.dcm rle.dcm
dcmdump -q -M jpegls.dcm | grep '=JPEGLSLossless' >/dev/null
dcmdump -q -M rle.dcm | grep '=RLELossless' >/dev/null

dcmdump -q +W . uncompressed.dcm >/dev/null
mv uncompressed.dcm.0.raw lossless.raw 2>/dev/null || mv "$(ls -- *.raw | head -n 1)" lossless.raw

# make_lossless NAME SIZE GRADIENT: NAME.dcm, JPEG lossless of an RGB gradient
# of that size, and NAME.raw, the pixel data it must decompress to.
make_lossless() {
  convert -size "$2" "gradient:$3" -depth 8 -type truecolor "BMP3:$1.bmp"
  img2dcm -q -i BMP "$1.bmp" "$1-plain.dcm"
  dcmcjpeg -q +e1 "$1-plain.dcm" "$1.dcm"
  mkdir "$1-raw"
  dcmdump -q +W "$1-raw" "$1-plain.dcm" >/dev/null
  mv "$1-raw"/*.raw "$1.raw"
  rm -rf "$1-raw" "$1.bmp" "$1-plain.dcm"
}
make_lossless large 512x512 navy-orange
make_lossless slow 3200x2400 white-navy
make_lossless slowest 4800x3600 white-navy
make_lossless usb 300x292 navy-orange
SMALL=1 bash "$here/../common/make_estimate_cases.sh" estimate

dcmdump -q -M baseline.dcm | grep '=JPEGBaseline' >/dev/null
dcmdump -q -M lossless.dcm | grep '=JPEGLossless:Non-hierarchical-1stOrderPrediction' >/dev/null
rm -f picture.jpg picture.bmp
mv uncompressed.dcm plain.dcm

mkdir world
for name in sr rtplan ecg float; do dump2dcm -q "$dumps/$name.dump" "world/$name.dcm"; done
dump2dcm -q "$dumps/private.dump" private-plain.dcm
dcmcjpeg -q +e1 private-plain.dcm world/private.dcm
dump2dcm -q -F +ti "$dumps/sr.dump" world/bare-sr.dcm
dump2dcm -q -F +te "$dumps/sr.dump" world/bare-sr-explicit.dcm
dump2dcm -q -F +tb "$dumps/rtplan.dump" world/bare-rtplan-big.dcm
dcmconv -q -F +ti plain.dcm world/bare-image.dcm
rm private-plain.dcm

mkdir many
/usr/bin/python3 -c 'import os
for i in range(20000): os.link("lossless.dcm", "many/image%05d.dcm" % i)'

mkdir awkward
unsafe=('a"b.dcm' 'x" & echo hi> injected.txt & rem ".dcm' $'line\nfeed.dcm' 'sp.dcm ' 'dot.dcm.'
        'CON' 'nul.dcm' 'a<b.dcm' 'c:d.dcm' 'q?.dcm' 'pipe|.dcm' 'back\slash.dcm')
for name in "${unsafe[@]}"; do cp lossless.dcm "awkward/$name"; done
for name in ok.dcm 'x^y.dcm' 'a&b.dcm' 'bang!.dcm' '50%.dcm' '(paren).dcm'; do
  cp lossless.dcm "awkward/$name"
done
cp baseline.dcm awkward/sp.dcm
cp baseline.dcm awkward/dot.dcm

bash "$here/make_file_sets.sh" filesets
cd ..
rm -rf "$out"
mv "$out.tmp" "$out"
