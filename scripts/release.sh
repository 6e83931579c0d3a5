#!/usr/bin/env bash
# Builds the release for Windows users: dist/Brennick-2.0.zip, holding the
# folder Brennick-2.0 with
#   Brennick.exe   the 32-bit program (bash scripts/build.sh win32), stripped
#   使用说明.txt   the short guide (docs/使用说明.txt, converted to code
#                  page 936 with CR LF line ends, as Notepad on a Chinese
#                  Windows reads it)
# The names in the zip are stored in code page 936 too, the way Chinese
# Windows' own zip folders and zip tools read names without the UTF-8 mark.
# Then scripts/check-release.sh checks what is inside.
#
#   bash scripts/release.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
version=2.0
name="Brennick-$version"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" win32 >/dev/null

stage="$root/build/release/$name"
rm -rf "$root/build/release"
mkdir -p "$stage" "$root/dist"
i686-w64-mingw32-strip -o "$stage/Brennick.exe" "$root/build/win32/Brennick.exe"
iconv -f UTF-8 -t GBK "$root/docs/使用说明.txt" | sed 's/$/\r/' >"$stage/使用说明.txt"

zip="$root/dist/$name.zip"
rm -f "$zip"
/usr/bin/python3 - "$root/build/release" "$name" "$zip" <<'PY'
import os, sys, zipfile

base, folder, target = sys.argv[1:]


class Cp936Name(zipfile.ZipInfo):
    # The name in code page 936, without the UTF-8 flag.
    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
    for entry in ["Brennick.exe", "使用说明.txt"]:
        path = os.path.join(base, folder, entry)
        info = Cp936Name.from_file(path, folder + "/" + entry)
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as source:
            archive.writestr(info, source.read())
PY
bash "$root/scripts/check-release.sh" "$zip"
echo "Release: $zip"
