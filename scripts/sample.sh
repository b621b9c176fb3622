# Sourced by run.sh: the sample that the run command converts, under the
# working folder, made with Debian's dcmtk tools:
#   sample/input/   baseline.dcm (JPEG baseline), lossless.dcm and
#                   胸部 画像.dcm (JPEG lossless)
#   sample/output/  where the converted files go

# The path as Windows programs under Wine see it (drive Z: is the Unix root).
windows_path() {
  local path="$1"
  printf 'Z:%s' "${path//\//\\}"
}

# Makes the sample once.
make_sample() {
  local sample="$1/sample"
  [ -d "$sample/input" ] && return 0
  local made="$sample/.made"
  bash "$PARVANE_ROOT/tests/e2e/make_dicom_fixtures.sh" "$made" >/dev/null
  mkdir -p "$sample/input.tmp" "$sample/output"
  cp "$made/baseline.dcm" "$sample/input.tmp/baseline.dcm"
  cp "$made/lossless.dcm" "$sample/input.tmp/lossless.dcm"
  cp "$made/lossless.dcm" "$sample/input.tmp/胸部 画像.dcm"
  rm -rf "$made"
  mv "$sample/input.tmp" "$sample/input"
  echo "Made a sample of 3 JPEG-compressed DICOM files in $sample/input"
}

# Writes param.ini (code page 932, CR LF) naming the sample's folders, only
# when there is none yet: one that Parvane or the user wrote is kept.
write_sample_settings() {
  local workdir="$1" ini="$1/param.ini"
  [ -e "$ini" ] && return 0
  if printf '[INPUT]%s\r\n[OUTPUT]%s\r\n' "$(windows_path "$workdir/sample/input")" \
       "$(windows_path "$workdir/sample/output")" | iconv -f UTF-8 -t CP932 > "$ini.tmp"; then
    mv "$ini.tmp" "$ini"
    echo "Wrote $ini naming the sample's folders: press 一括変換 to convert them"
  else
    rm -f "$ini.tmp"
    echo "No param.ini written: this folder's path cannot be written in code page 932" >&2
  fi
}

# The transfer syntax of a DICOM file by dcmtk's name, e.g. JPEGBaseline.
transfer_syntax() {
  { dcmdump -q -M +P 0002,0010 "$1" 2>/dev/null || true; } | sed -n 's/^([0-9a-f,]*) UI =\([^ ]*\).*/\1/p'
}

# The raw pixel data of a file; decompressed first with the Linux dcmdjpeg.
pixel_data() {
  local file="$1" to="$2" tmp
  tmp="$(mktemp -d)"
  dcmdjpeg "$file" "$tmp/plain.dcm" 2>/dev/null && dcmdump -q +W "$tmp" "$tmp/plain.dcm" >/dev/null 2>&1 &&
    mv "$tmp/plain.dcm.0.raw" "$to"
  local status=$?
  rm -rf "$tmp"
  return $status
}

# Prints one row per sample file: its transfer syntax before and after, and
# whether the output's pixels equal the input's as Debian's own dcmdjpeg
# decodes them. Returns non-zero unless every file converted.
report_sample() {
  local sample="$1/sample" files=0 converted=0 file name before after pixels tmp
  tmp="$(mktemp -d)"
  printf '\n%-16s  %-74s  %s\n' "file" "transfer syntax before → after" "pixels"
  for file in "$sample/input"/*; do
    name="$(basename "$file")"
    files=$((files + 1))
    before="$(transfer_syntax "$file")"
    before="${before:-(not DICOM)}"
    after="(no output)"
    pixels="-"
    if [ -f "$sample/output/$name" ]; then
      after="$(transfer_syntax "$sample/output/$name")"
      pixels="differ"
      if pixel_data "$file" "$tmp/in.raw" && pixel_data "$sample/output/$name" "$tmp/out.raw" &&
         cmp -s "$tmp/in.raw" "$tmp/out.raw"; then
        pixels="equal"
      fi
    fi
    case "$after" in
      LittleEndianExplicit|LittleEndianImplicit|BigEndianExplicit)
        [ "$pixels" = equal ] && converted=$((converted + 1)) ;;
    esac
    # Padded by the width on screen: a Japanese character takes two columns.
    printf '%s%*s  %-74s  %s\n' "$name" $((16 - $(printf '%s' "$name" | wc -L))) "" "$before → $after" "$pixels"
  done
  rm -rf "$tmp"
  echo "$converted of $files files converted"
  [ "$converted" = "$files" ] && [ "$files" -gt 0 ]
}

# Does the main job on the sample without a person at the screen: the driver
# starts Parvane (built in $PARVANE_BUILD) in the working folder on the current
# display, presses 一括変換 and answers the boxes; screenshots go to
# screenshots/ there. Then prints the table. Returns 0 only when every sample
# file converted.
convert_sample() {
  local workdir="$1" shots="$1/screenshots" status=0 bmp
  rm -rf "$shots"
  (cd "$workdir" && wine "$PARVANE_WIN_BUILD/tools/run-sample/parvane_run_sample.exe" \
    "$(windows_path "$PARVANE_WIN_BUILD/src/Parvane.exe")" "$(windows_path "$workdir")" \
    "$(windows_path "$workdir/sample/input")" "$(windows_path "$workdir/sample/output")" \
    "$(windows_path "$shots")" </dev/null) |
    sed -e 's/\r$//' -e '/^ *screenshot/{s/Z:\\/\//; s/\\/\//g; s/\.bmp$/.png/}' || status=$?
  for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  report_sample "$workdir" || status=1
  return $status
}
