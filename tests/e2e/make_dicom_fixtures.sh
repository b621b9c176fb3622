#!/usr/bin/env bash
# Makes the DICOM files the conversion tests start from, with Debian's dcmtk:
#   baseline.dcm   JPEG baseline, made by img2dcm from a JPEG
#   lossless.dcm   JPEG lossless process 14 (first-order prediction), by dcmcjpeg
#   lossless.raw   the uncompressed pixel data that lossless.dcm must decompress to
set -euo pipefail
out="$(realpath -m "$1")"
rm -rf "$out.tmp"
mkdir -p "$out.tmp"
cd "$out.tmp"

convert -size 64x48 gradient:red-blue -depth 8 picture.jpg
img2dcm -q picture.jpg baseline.dcm

convert -size 64x48 gradient:white-black -depth 8 -type truecolor BMP3:picture.bmp
img2dcm -q -i BMP picture.bmp uncompressed.dcm
dcmcjpeg -q +e1 uncompressed.dcm lossless.dcm
dcmdump -q +W . uncompressed.dcm >/dev/null
mv uncompressed.dcm.0.raw lossless.raw 2>/dev/null || mv "$(ls -- *.raw | head -n 1)" lossless.raw

dcmdump -q -M baseline.dcm | grep '=JPEGBaseline' >/dev/null
dcmdump -q -M lossless.dcm | grep '=JPEGLossless:Non-hierarchical-1stOrderPrediction' >/dev/null
rm -f picture.jpg picture.bmp uncompressed.dcm
cd ..
rm -rf "$out"
mv "$out.tmp" "$out"
