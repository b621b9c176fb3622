#!/usr/bin/env bash
# Makes the release zip from the Windows build tree as the package command
# does, and unpacks it as a user would, into a folder whose path holds
# Japanese and a space. With a third argument, the other target's build tree,
# its zip is made and unpacked too (into other-zip/ and other-unpacked/).
# Arguments: the build tree, the folder to write into[, the other build tree].
set -euo pipefail
build="$1"
out="$(realpath -m "$2")"
other="${3:-}"
rm -rf "$out"

# make_zip BUILD_TREE ZIP_FOLDER UNPACK_FOLDER
make_zip() {
  mkdir -p "$2"
  (cd "$1" && cpack -B "$2" >/dev/null)
  rm -rf "$2/_CPack_Packages"
  local zips=("$2"/*.zip)
  [ ${#zips[@]} = 1 ] && [ -f "${zips[0]}" ] || { echo "expected one zip, found: ${zips[*]}" >&2; exit 1; }
  mkdir -p "$3"
  unzip -q "${zips[0]}" -d "$3"
}
make_zip "$build" "$out/zip" "$out/ユーザー フォルダ"
if [ -n "$other" ]; then
  make_zip "$other" "$out/other-zip" "$out/other-unpacked"
fi
