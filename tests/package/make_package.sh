#!/usr/bin/env bash
# Makes the release zip from the Windows build tree as the package command
# does, and unpacks it as a user would, into a folder whose path holds
# Japanese and a space. Arguments: the build tree, the folder to write into.
set -euo pipefail
build="$1"
out="$(realpath -m "$2")"
rm -rf "$out"
mkdir -p "$out/zip"
(cd "$build" && cpack -B "$out/zip" >/dev/null)
rm -rf "$out/zip/_CPack_Packages"
zips=("$out"/zip/*.zip)
[ ${#zips[@]} = 1 ] && [ -f "${zips[0]}" ] || { echo "expected one zip, found: ${zips[*]}" >&2; exit 1; }
mkdir -p "$out/ユーザー フォルダ"
unzip -q "${zips[0]}" -d "$out/ユーザー フォルダ"
