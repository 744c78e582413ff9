#!/usr/bin/env bash
# Builds zizadod5-<version>-win64.zip from the Windows build (the windows
# preset, build-windows/) and checks what it holds, and that neither
# program needs a DLL that Windows itself does not carry.
set -euo pipefail
cd "$(dirname "$0")/../build-windows"
rm -f zizadod5-*-win64.zip
cpack -G ZIP >/dev/null
zip=$(echo zizadod5-*-win64.zip)
top=${zip%.zip}

expected=$(printf '%s\n' "$top/COPYRIGHT.txt" "$top/LEIA-ME.txt" "$top/dta2csv.exe" "$top/zizadod5.exe")
listed=$(cmake -E tar tf "$zip" | sort)
if [ "$listed" != "$expected" ]; then
  printf '%s holds:\n%s\nexpected:\n%s\n' "$zip" "$listed" "$expected" >&2
  exit 1
fi

# A static C++ runtime: only system DLLs are imported.
for exe in cli/dta2csv.exe window/win32/zizadod5.exe; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z')
  foreign=$(grep -vxE '(kernel32|advapi32|shell32|user32|gdi32|comctl32|ole32|msvcrt)\.dll' <<<"$imports" || true)
  if [ -n "$foreign" ]; then
    echo "$exe imports DLLs Windows does not carry: $foreign" >&2
    exit 1
  fi
  echo "$(basename "$exe") imports only $(tr '\n' ' ' <<<"$imports")"
done

# The read-me in UTF-16 with its byte order mark, so that Notepad and
# `type` in a code page 850 console both show its accents: the mark, text
# that decodes, CR LF at the end of every line, an accented word intact.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && cmake -E tar xf "$OLDPWD/$zip")
readme=$scratch/$top/LEIA-ME.txt
mark=$(head -c 2 "$readme" | od -An -tx1 | tr -d ' \n')
if [ "$mark" != fffe ] || ! tail -c +3 "$readme" | iconv -f UTF-16LE -t UTF-8 >"$scratch/readme"; then
  echo "LEIA-ME.txt is not UTF-16 with its byte order mark" >&2
  exit 1
fi
if [ "$(grep -c $'\r$' "$scratch/readme")" != "$(wc -l <"$scratch/readme")" ] ||
  ! grep -q 'Código de saída' "$scratch/readme"; then
  echo "LEIA-ME.txt lost its CR LF line ends or its accents" >&2
  exit 1
fi

echo "$zip: zizadod5.exe, dta2csv.exe, LEIA-ME.txt, COPYRIGHT.txt; LEIA-ME.txt in UTF-16"
