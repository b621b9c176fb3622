#!/usr/bin/env bash
# Makes DICOM file-sets as users get them on disc or stick, with Debian's dcmtk,
# into the folder OUT:
#   cd/            a CD export: DICOMDIR at the root (by dcmmkdir), the images
#                  without extension under DICOM/PAT1/STU1/SER1/IM1 and so on
#                  (upper case, at most 8 characters a component, as file IDs
#                  must be); two patients, the first 山田^太郎 (Specific
#                  Character Set ISO_IR 192, UTF-8), the second ASCII; three
#                  studies and five images, JPEG baseline and JPEG lossless
#                  mixed; beside them VIEWER/ with two files that are not DICOM
#                  (VIEWER.EXE, README.TXT) and AUTORUN.INF
#   cd-jpegls/     the same kind of set with three images, one of them JPEG-LS
#                  (dcmdjpeg does not decode it)
#   beside/        a DICOMDIR in the same folder as its images IM1 to IM3, no
#                  subfolders
#   <set>.expected/
#                  for every image of <set> but the JPEG-LS one, the pixel
#                  data that Debian's dcmdjpeg decodes from it, named after its
#                  file ID with / as _ (DICOM_PAT1_STU1_SER1_IM1.raw); and
#                  images.txt, one line per image: its file ID, its transfer
#                  syntax UID and its .raw file ("-" for the JPEG-LS image,
#                  which a conversion leaves unchanged)
# What is expected lies beside each set, never in it: a set holds only what a
# user would get.
set -euo pipefail
out="$(realpath -m "$1")"
rm -rf "$out.tmp"
mkdir -p "$out.tmp/.work"
cd "$out.tmp"
work=.work

# A UID of the 2.25 form (from a random UUID): unique without a root of our own.
uid() { /usr/bin/python3 -c 'import uuid; print("2.25.%d" % uuid.uuid4().int)'; }

# The -k arguments of img2dcm for one patient, study or series, into the
# array named first.
patient() {
  local -n into=$1
  into=(-k "PatientName=$2" -k "PatientID=$3" -k "PatientBirthDate=$4" -k "PatientSex=$5")
  if [ -n "${6:-}" ]; then into+=(-k "SpecificCharacterSet=$6"); fi
}
study() {
  local -n into=$1
  into=(-k "StudyInstanceUID=$(uid)" -k "StudyDate=$2" -k StudyTime=093000
        -k "StudyID=$3" -k "AccessionNumber=ACC$3" -k "StudyDescription=$4")
}
series() {
  local -n into=$1
  into=(-k "SeriesInstanceUID=$(uid)" -k "SeriesNumber=$2" -k Modality=OT)
}

# image SET FILEID KIND NUMBER ARGS...: SET/FILEID, an image of KIND
# (baseline, lossless or jpegls) with Instance Number NUMBER and the img2dcm
# arguments ARGS; each image gets other pixels. Then its line in
# SET.expected/images.txt and, unless it is JPEG-LS, the pixel data that
# dcmdjpeg decodes from it.
colours=(red-blue white-black navy-orange green-yellow purple-white
         black-cyan orange-navy yellow-red blue-gray gray-magenta
         teal-pink)
made=0
image() {
  local fileset=$1 id=$2 kind=$3 number=$4
  shift 4
  local file="$fileset/$id" size="$((56 + 8 * made))x48" gradient="gradient:${colours[made % ${#colours[@]}]}"
  made=$((made + 1))
  mkdir -p "$(dirname "$file")" "$fileset.expected"
  if [ "$kind" = baseline ]; then
    convert -size "$size" "$gradient" -depth 8 "$work/picture.jpg"
    img2dcm -q "$work/picture.jpg" "$file" -k "InstanceNumber=$number" "$@"
  else
    convert -size "$size" "$gradient" -depth 8 -type truecolor "BMP3:$work/picture.bmp"
    img2dcm -q -i BMP "$work/picture.bmp" "$work/plain.dcm" -k "InstanceNumber=$number" "$@"
    case "$kind" in
      lossless) dcmcjpeg -q +e1 "$work/plain.dcm" "$file" ;;
      jpegls) dcmcjpls -q "$work/plain.dcm" "$file" ;;
    esac
  fi
  local syntax raw=-
  syntax="$(dcmdump -q -M -Un -s +P TransferSyntaxUID "$file" | sed 's/.*\[\(.*\)\].*/\1/')"
  case "$kind:$syntax" in
    baseline:1.2.840.10008.1.2.4.50 | lossless:1.2.840.10008.1.2.4.70 | jpegls:1.2.840.10008.1.2.4.80) ;;
    *) echo "$file: $kind made $syntax" >&2; exit 1 ;;
  esac
  if [ "$kind" != jpegls ]; then
    raw="${id//\//_}.raw"
    dcmdjpeg -q "$file" "$work/decoded.dcm"
    rm -rf "$work/raw"
    mkdir "$work/raw"
    dcmdump -q +W "$work/raw" "$work/decoded.dcm" >/dev/null
    mv "$work/raw"/*.raw "$fileset.expected/$raw"
  fi
  echo "$id $syntax $raw" >> "$fileset.expected/images.txt"
}

# make_dicomdir SET FLAGS...: SET/DICOMDIR over the images of SET, given in
# the order they were made so that the records come in that order (a scan of
# the folders would follow the order the file system lists them in). Its
# file-set ID is SET in capitals. dcmmkdir leaves out a file its profile
# refuses and still ends with 0: the records are counted at the end.
make_dicomdir() {
  local fileset=$1 id="${1^^}"
  shift
  local files
  mapfile -t files < <(cut -d' ' -f1 "$fileset.expected/images.txt")
  dcmmkdir -q +F "${id//-/_}" "$@" +id "$fileset" --output-file "$fileset/DICOMDIR" "${files[@]}"
}

# cd/: two patients, three studies, five images.
patient yamada '山田^太郎' PRV00001 19570312 M 'ISO_IR 192'
patient smith 'SMITH^ANNA' PRV00002 19841105 F
study yamada1 20240115 1001 'CHEST'
study yamada2 20240302 1002 'ABDOMEN'
study smith1 20231120 2001 'KNEE'
series yamada1a 1
series yamada2a 1
series smith1a 1
series smith1b 2
image cd DICOM/PAT1/STU1/SER1/IM1 baseline 1 "${yamada[@]}" "${yamada1[@]}" "${yamada1a[@]}"
image cd DICOM/PAT1/STU1/SER1/IM2 lossless 2 "${yamada[@]}" "${yamada1[@]}" "${yamada1a[@]}"
image cd DICOM/PAT1/STU2/SER1/IM1 lossless 1 "${yamada[@]}" "${yamada2[@]}" "${yamada2a[@]}"
image cd DICOM/PAT2/STU1/SER1/IM1 baseline 1 "${smith[@]}" "${smith1[@]}" "${smith1a[@]}"
image cd DICOM/PAT2/STU1/SER2/IM1 lossless 1 "${smith[@]}" "${smith1[@]}" "${smith1b[@]}"
# -Pdv, general purpose DVD with JPEG: the profile that takes JPEG baseline
# and lossless.
make_dicomdir cd -Pdv
mkdir cd/VIEWER
# Stand-ins for the viewer such discs carry: bytes, not a program.
{ printf 'MZ'; head -c 510 /dev/zero; } > cd/VIEWER/VIEWER.EXE
printf 'DICOM viewer\r\nStart VIEWER.EXE to look at the images of this disc.\r\n' > cd/VIEWER/README.TXT
printf '[autorun]\r\nopen=VIEWER\\VIEWER.EXE\r\nicon=VIEWER\\VIEWER.EXE,0\r\nlabel=DICOM\r\n' > cd/AUTORUN.INF

# cd-jpegls/: one patient, three images, the third JPEG-LS. -Pdv refuses
# JPEG-LS (the file would be left out); -Nxc turns that refusal into a warning
# and keeps the profile's other checks, so the set holds a JPEG-LS image as
# discs written off-profile do. (-Pmi, the profile for e-mail, takes any
# transfer syntax too, but it is no profile of a disc.)
patient tanaka 'TANAKA^ICHIRO' PRV00003 19700101 M
study tanaka1 20240610 3001 'HAND'
series tanaka1a 1
kinds=(baseline lossless jpegls)
for i in 1 2 3; do
  image cd-jpegls "DICOM/PAT1/STU1/SER1/IM$i" "${kinds[i - 1]}" "$i" "${tanaka[@]}" "${tanaka1[@]}" "${tanaka1a[@]}"
done
make_dicomdir cd-jpegls -Pdv -Nxc

# beside/: the DICOMDIR in the folder of its images.
patient sato 'SATO^HANAKO' PRV00004 19900228 F
study sato1 20240801 4001 'SHOULDER'
series sato1a 1
image beside IM1 lossless 1 "${sato[@]}" "${sato1[@]}" "${sato1a[@]}"
image beside IM2 baseline 2 "${sato[@]}" "${sato1[@]}" "${sato1a[@]}"
image beside IM3 lossless 3 "${sato[@]}" "${sato1[@]}" "${sato1a[@]}"
make_dicomdir beside -Pdv

# Each DICOMDIR holds a record of every image; cd/'s holds the Japanese name
# and the character set that says how to read it.
for entry in cd:5 cd-jpegls:3 beside:3; do
  fileset="${entry%:*}" expected="${entry#*:}"
  records="$(dcmdump -q "$fileset/DICOMDIR" | grep -c '\[IMAGE\] *# .*DirectoryRecordType' || true)"
  if [ "$records" != "$expected" ]; then
    echo "$fileset/DICOMDIR: $records IMAGE records, expected $expected" >&2
    exit 1
  fi
done
dcmdump -q cd/DICOMDIR | grep -F '[山田^太郎]' >/dev/null
dcmdump -q cd/DICOMDIR | grep -F '[ISO_IR 192]' >/dev/null

rm -rf "$work"
cd ..
rm -rf "$out"
mv "$out.tmp" "$out"
