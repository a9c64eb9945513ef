#!/usr/bin/env bash
# Checks that EXE is a 64-bit x86 Windows console program that imports only DLLs which Windows
# itself ships (so it runs on a bare Windows machine, with the compiler's runtime linked in).
# Prints what it found; fails, naming every fault, otherwise.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 EXE" >&2
  exit 2
fi
exe="$1"
objdump="${OBJDUMP:-x86_64-w64-mingw32-objdump}"

headers="$("$objdump" -p "$exe")" || {
  echo "$exe: $objdump cannot read it" >&2
  exit 1
}

# DLLs of every Windows x64 installation since Windows 7 (with the C runtime msvcrt.dll, and
# ucrtbase.dll and the api-ms-win-* sets of the Universal CRT, part of Windows 10 and later).
system_dlls=(
  advapi32 bcrypt bcryptprimitives cfgmgr32 comctl32 comdlg32 crypt32 dbghelp gdi32 imm32
  iphlpapi kernel32 kernelbase mpr msvcrt mswsock netapi32 normaliz ntdll ole32 oleaut32 psapi
  rpcrt4 secur32 setupapi shell32 shlwapi ucrtbase user32 userenv version winmm ws2_32 wsock32
)

faults=()
grep -q "file format pei-x86-64" <<<"$headers" || faults+=("not a PE file for x86-64")
grep -Eq "^Magic[[:space:]]+020b[[:space:]]+\(PE32\+\)" <<<"$headers" || faults+=("not PE32+")
grep -Eq "^Subsystem[[:space:]]+00000003[[:space:]]+\(Windows CUI\)" <<<"$headers" ||
  faults+=("not a console program (subsystem: $(grep -E '^Subsystem' <<<"$headers" || echo none))")

mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$headers")
for dll in "${dlls[@]}"; do
  name="$(tr '[:upper:]' '[:lower:]' <<<"${dll%.[dD][lL][lL]}")"
  case "$name" in
    api-ms-win-*) continue ;;
  esac
  known=false
  for system_dll in "${system_dlls[@]}"; do
    if [ "$name" = "$system_dll" ]; then
      known=true
      break
    fi
  done
  $known || faults+=("imports $dll, which Windows does not ship")
done

if [ ${#faults[@]} -gt 0 ]; then
  for fault in "${faults[@]}"; do echo "$exe: $fault" >&2; done
  exit 1
fi
echo "$exe: PE32+ x86-64 console program; imports ${dlls[*]:-nothing}"
