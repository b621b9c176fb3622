#!/usr/bin/env bash
# Makes, with Debian's dcmtk, the inputs whose output size the room check
# estimates, one file a case, into FOLDER (created):
#   baseline         JPEG baseline, colour (dcmdjpeg writes RGB)
#   lossless         JPEG lossless, colour
#   lossless12       JPEG lossless of 12-bit data in 16 bits
#   extended12       JPEG extended (12-bit lossy)
#   allocated12      lossless12 with Bits Allocated 12: dcmdjpeg writes 16
#   frames-abc, frames-empty, frames-zero, frames-decimal
#                    lossless with Number of Frames "abc", empty, "0", "1.0"
#   multiframe       JPEG lossless, 3 frames
#   multiframe-uncounted  the same without Number of Frames
#   trailing         JPEG lossless with a private block and trailing padding
#                    after Pixel Data
#   icon             JPEG lossless with a JPEG-compressed icon image
#   meta-long, meta-short  lossless whose meta group length is 20 too large,
#                    20 too small
#   vr-unknown2b     lossless with a private element before the pixels whose
#                    VR is "??" (read with a 2-byte length)
#   vr-unknown4b     the same with VR "ZZ" and a 4-byte length
#   jpegls, rle      JPEG-LS and RLE: dcmdjpeg writes nothing
#   jpeg2000         lossless relabelled as JPEG 2000: dcmdjpeg decodes by
#                    the transfer syntax, and writes nothing
#   explicit, implicit  uncompressed: dcmdjpeg writes them again
#   not-dicom        a text file
#   small-frames-abc, small-meta-long, small-vr-unknown2b
#                    (with SMALL=1 in the environment only) 256 x 256 RGB
#                    lossless images whose outputs are about four times
#                    their size, for conversions on small disks
set -euo pipefail
out="$(realpath -m "$1")"
rm -rf "$out"
mkdir -p "$out"
cd "$out"

# Raw samples: WIDTH HEIGHT FRAMES BITS, little endian words for BITS > 8.
raw() {
  perl -e 'my ($w, $h, $f, $b) = @ARGV; my $max = (1 << $b) - 1;
    for my $n (0 .. $f - 1) { for my $y (0 .. $h - 1) { for my $x (0 .. $w - 1) {
      my $v = ($x * 5 + $y * 3 + $n * 40 + ($x * $y) % 7) & $max;
      print $b > 8 ? pack("v", $v) : pack("C", $v); } } }' "$@"
}

# A monochrome image as dump2dcm reads it: NAME WIDTH HEIGHT FRAMES BITS, and
# extra dump lines on standard input, placed after the pixel data.
monochrome() {
  local name="$1" width="$2" height="$3" frames="$4" bits="$5" allocated=8 vr=OB
  [ "$bits" -gt 8 ] && allocated=16 vr=OW
  raw "$width" "$height" "$frames" "$bits" > "$name.raw"
  {
    echo "(0008,0016) UI =SecondaryCaptureImageStorage"
    echo "(0008,0018) UI [1.2.826.0.1.3680043.2.1125.7.$RANDOM]"
    echo "(0008,0060) CS [OT]"
    echo "(0009,0010) LO [PARVANE TEST]"
    echo "(0009,1001) LO [private value]"
    echo "(0028,0002) US 1"
    echo "(0028,0004) CS [MONOCHROME2]"
    [ "$frames" -gt 1 ] && echo "(0028,0008) IS [$frames]"
    echo "(0028,0010) US $height"
    echo "(0028,0011) US $width"
    echo "(0028,0100) US $allocated"
    echo "(0028,0101) US $bits"
    echo "(0028,0102) US $((bits - 1))"
    echo "(0028,0103) US 0"
    echo "(7fe0,0010) $vr =$name.raw"
    cat
  } > "$name.dump"
  dump2dcm -q "$name.dump" "$name-plain.dcm"
  rm -f "$name.raw" "$name.dump"
}

# Replaces bytes in a file: FILE PERL-SUBSTITUTION (applied to the whole file).
patch_bytes() {
  perl -0777 -pi -e "$2 or die 'pattern not found'" "$1"
}

convert -size 64x48 gradient:red-blue -depth 8 picture.jpg
img2dcm -q picture.jpg baseline.dcm
convert -size 64x48 gradient:navy-orange -depth 8 -type truecolor BMP3:picture.bmp
img2dcm -q -i BMP picture.bmp explicit.dcm
dcmcjpeg -q +e1 explicit.dcm lossless.dcm
dcmconv -q +ti explicit.dcm implicit.dcm
dcmcjpls -q explicit.dcm jpegls.dcm
dcmcrle -q explicit.dcm rle.dcm
cp lossless.dcm jpeg2000.dcm
patch_bytes jpeg2000.dcm 's/1\.2\.840\.10008\.1\.2\.4\.70/1.2.840.10008.1.2.4.90/'
rm picture.jpg picture.bmp

monochrome mono12 96 80 1 12 < /dev/null
dcmcjpeg -q +e1 mono12-plain.dcm lossless12.dcm
dcmcjpeg -q +ee mono12-plain.dcm extended12.dcm
cp lossless12.dcm allocated12.dcm
dcmodify -q -nb -m "(0028,0100)=12" allocated12.dcm

monochrome mono8 96 80 1 8 < /dev/null
dcmcjpeg -q +e1 mono8-plain.dcm mono8.dcm
for variant in abc:abc empty: zero:0 decimal:1.0; do
  cp mono8.dcm "frames-${variant%%:*}.dcm"
  dcmodify -q -nb -i "(0028,0008)=${variant#*:}" "frames-${variant%%:*}.dcm"
done

monochrome multi 64 48 3 8 < /dev/null
dcmcjpeg -q +e1 multi-plain.dcm multiframe.dcm
cp multiframe.dcm multiframe-uncounted.dcm
dcmodify -q -nb -e "(0028,0008)" multiframe-uncounted.dcm

monochrome trail 96 80 1 8 <<'EOF'
(7fe1,0010) LO [PARVANE TEST]
(7fe1,1001) OB 01\02\03\04\05\06\07\08
EOF
dcmcjpeg -q +e1 trail-plain.dcm trailing.dcm
# Data Set Trailing Padding, which dcmtk's writers leave out: 100 000 bytes.
perl -e 'print pack("vva2vV", 0xfffc, 0xfffc, "OB", 0, 100000), "\0" x 100000' >> trailing.dcm

raw 16 16 1 8 > icon.raw
cat > icon.dump <<'EOF'
(0008,0016) UI =SecondaryCaptureImageStorage
(0008,0018) UI [1.2.826.0.1.3680043.2.1125.7.2]
(0008,0060) CS [OT]
(0028,0002) US 1
(0028,0004) CS [MONOCHROME2]
(0028,0010) US 80
(0028,0011) US 96
(0028,0100) US 8
(0028,0101) US 8
(0028,0102) US 7
(0028,0103) US 0
(0088,0200) SQ (Sequence with undefined length)
  (fffe,e000) na (Item with undefined length)
    (0028,0002) US 1
    (0028,0004) CS [MONOCHROME2]
    (0028,0010) US 16
    (0028,0011) US 16
    (0028,0100) US 8
    (0028,0101) US 8
    (0028,0102) US 7
    (0028,0103) US 0
    (7fe0,0010) OB =icon.raw
  (fffe,e00d) na (ItemDelimitationItem)
(fffe,e0dd) na (SequenceDelimitationItem)
EOF
raw 96 80 1 8 > main.raw
echo "(7fe0,0010) OB =main.raw" >> icon.dump
dump2dcm -q icon.dump icon-plain.dcm
dcmcjpeg -q +e1 icon-plain.dcm icon.dcm
rm icon.raw main.raw icon.dump

# The meta group length: the 4 bytes after "DICM" and the 8 of its header.
# FILE CHANGE
meta_length() {
  perl -0777 -pi -e 'BEGIN { $change = shift @ARGV }
    substr($_, 140, 4) = pack("V", unpack("V", substr($_, 140, 4)) + $change)' -- "$2" "$1"
}
cp lossless.dcm meta-long.dcm
meta_length meta-long.dcm 20
cp lossless.dcm meta-short.dcm
meta_length meta-short.dcm -20

# The private element (0009,1001) LO: its VR made non-standard.
cp mono8.dcm vr-unknown2b.dcm
patch_bytes vr-unknown2b.dcm 's/\x09\x00\x01\x10LO/\x09\x00\x01\x10??/'
cp mono8.dcm vr-unknown4b.dcm
patch_bytes vr-unknown4b.dcm 's/\x09\x00\x01\x10LO(..)/"\x09\x00\x01\x10ZZ\0\0" . pack("V", unpack("v", $1))/se'

echo "not a DICOM file" > not-dicom.dcm
rm -f ./*-plain.dcm mono8.dcm

if [ "${SMALL:-0}" = 1 ]; then
  convert -size 256x256 gradient:navy-orange -depth 8 -type truecolor BMP3:picture.bmp
  img2dcm -q -i BMP picture.bmp small-plain.dcm
  dcmcjpeg -q +e1 small-plain.dcm small.dcm
  cp small.dcm small-frames-abc.dcm
  dcmodify -q -nb -i "(0028,0008)=abc" small-frames-abc.dcm
  cp small.dcm small-meta-long.dcm
  meta_length small-meta-long.dcm 20
  cp small.dcm small-vr-unknown2b.dcm
  patch_bytes small-vr-unknown2b.dcm 's/\x08\x00\x64\x00CS/\x08\x00\x64\x00??/'
  rm picture.bmp small-plain.dcm small.dcm
fi
