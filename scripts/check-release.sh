#!/usr/bin/env bash
# Checks the release zip made by scripts/release.sh: the program is the
# 32-bit Brennick.exe (PE machine i386), stripped, carries its version
# information and imports only Windows' own DLLs; the guide 使用说明.txt is
# code page 936 text with CR LF line ends; both names read right in code
# page 936.
#
#   bash scripts/check-release.sh dist/Brennick-2.0.zip
set -euo pipefail
zip=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: release: $*" >&2; exit 1; }

/usr/bin/python3 - "$zip" "$work" <<'PY' || fail "zip contents"
import os, sys, zipfile
archive, work = sys.argv[1:]
names = {}
with zipfile.ZipFile(archive) as z:
    for info in z.infolist():
        # A name without the UTF-8 flag is read as code page 437 here.
        raw = info.filename.encode("cp437") if not info.flag_bits & 0x800 else info.filename.encode()
        names[raw.decode("gbk")] = z.read(info)
expected = {"Brennick-2.0/Brennick.exe", "Brennick-2.0/使用说明.txt"}
if set(names) != expected:
    sys.exit(f"entries {sorted(names)}, expected {sorted(expected)}")
for name, data in names.items():
    with open(os.path.join(work, os.path.basename(name)), "wb") as out:
        out.write(data)
PY
exe="$work/Brennick.exe"
guide="$work/使用说明.txt"

# The program: 32-bit, stripped, only system DLLs.
objdump=i686-w64-mingw32-objdump
"$objdump" -f "$exe" | grep -q 'file format pei-i386' || fail "Brennick.exe is not a 32-bit (i386) program"
[ -z "$(i686-w64-mingw32-nm "$exe" 2>/dev/null)" ] || fail "Brennick.exe is not stripped"
allowed=" kernel32.dll user32.dll gdi32.dll comdlg32.dll comctl32.dll ole32.dll oleaut32.dll advapi32.dll msvcrt.dll shell32.dll shlwapi.dll ws2_32.dll version.dll "
dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
[ -n "$dlls" ] || fail "no import table found"
for dll in $dlls; do
  [[ "$allowed" == *" $dll "* ]] || fail "Brennick.exe imports $dll"
done

# Its version information: the fixed part and the strings.
/usr/bin/python3 - "$exe" <<'PY' || fail "version information"
import struct, sys
data = open(sys.argv[1], "rb").read()
start = data.find("VS_VERSION_INFO".encode("utf-16-le")) - 6
if start < 0:
    sys.exit("no VS_VERSION_INFO resource")


def node(at):
    # One block of the version resource: its key, its value, its children.
    length, value_length, kind = struct.unpack_from("<3H", data, at)
    end, key_end = at + length, at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    size = value_length * 2 if kind == 1 else value_length
    children, child = [], (value_at + size + 3) & ~3
    while child < end:
        children.append(node(child))
        child = (child + struct.unpack_from("<H", data, child)[0] + 3) & ~3
    return key, data[value_at:value_at + size], children


key, fixed, blocks = node(start)
signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
if signature != 0xFEEF04BD or (file_ms, file_ls, product_ms, product_ls) != (0x20000, 0, 0x20000, 0):
    sys.exit("versions %x.%x / %x.%x, expected 2,0,0,0" % (file_ms, file_ls, product_ms, product_ls))
strings = {k: v.decode("utf-16-le").rstrip("\0")
           for name, _, tables in blocks if name == "StringFileInfo"
           for _, _, entries in tables for k, v, _ in entries}
for key, value in [("ProductName", "Brennick"), ("FileVersion", "2.0"), ("ProductVersion", "2.0"),
                   ("FileDescription", "Brennick 数据装载工具")]:
    if strings.get(key) != value:
        sys.exit(f"{key} is {strings.get(key)!r}, expected {value!r}")
PY

# The guide: code page 936 (not left in UTF-8), every line ended by CR LF.
iconv -f GBK -t UTF-8 "$guide" >"$work/guide.utf8" 2>/dev/null || fail "使用说明.txt is not code page 936 text"
! iconv -f UTF-8 -t UTF-8 "$guide" >/dev/null 2>&1 || fail "使用说明.txt is still UTF-8"
lines=$(tr -cd '\n' <"$guide" | wc -c)
crlf=$(grep -c $'\r$' "$guide" || true)
crs=$(tr -cd '\r' <"$guide" | wc -c)
if [ "$lines" -eq 0 ] || [ "$crlf" -ne "$lines" ] || [ "$crs" -ne "$lines" ] ||
  [ "$(tail -c 2 "$guide" | od -An -tx1 | tr -d ' ')" != 0d0a ]; then
  fail "使用说明.txt: $lines lines, $crlf ended by CR LF, $crs CRs"
fi
for word in sqlldr MSDAORA load.ctl parfile.cfg 导入 高级; do
  grep -q "$word" "$work/guide.utf8" || fail "使用说明.txt does not mention $word"
done
echo "Release checked: $(basename "$zip") holds a stripped 32-bit Brennick.exe with version 2.0 importing only ($(echo "$dlls" | tr "\n" " " | sed "s/ $//")), and a code page 936 使用说明.txt of $lines CR LF lines"
