#!/usr/bin/env bash
# The programs of the Windows edition are linked statically: they import
# Windows' own DLLs and nothing else, so the runtime folder is all a user
# needs. zeldll.dll exports the four functions, by name, and nothing else.
# imports_test.sh OBJDUMP FILE...
OBJDUMP=$1
shift
source "$(dirname "$0")/lib.sh"
system='^(KERNEL32|USER32|GDI32|SHELL32|ADVAPI32|WINMM|Normaliz|msvcrt|ole32|COMCTL32|COMDLG32|UxTheme|SHCORE|dwmapi)\.dll$'
for f in "$@"; do
  "$OBJDUMP" -p "$f" | sed -n 's/^\s*DLL Name: //p' > "$T/imports"
  [ -s "$T/imports" ] || fail "$f imports nothing?"
  if grep -viE "$system" "$T/imports" > "$T/other"; then fail "$f imports $(tr '\n' ' ' < "$T/other")"; fi
  case $(basename "$f") in
    zeldll.dll)
      "$OBJDUMP" -p "$f" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | LC_ALL=C sort > "$T/exports"
      printf '%s\n' HookOff HookOn frmIndicadorEsconder frmIndicadorMostrar > "$T/want"
      cmp -s "$T/exports" "$T/want" || fail "zeldll.dll exports: $(tr '\n' ' ' < "$T/exports")" ;;
  esac
done
echo "only system DLLs imported by $#"
