#!/usr/bin/env bash
# Builds the .deb, unpacks it into a scratch root and runs the installed
# zelcmd from there: the runtime folder must be complete and relocatable.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/pkg/*.deb)
echo "package: $(basename "$deb")"

# The package names the Debian packages the program uses.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libpocketsphinx3 pocketsphinx-en-us libqt6widgets6 libxtst6; do
  case "$depends" in *"$needed"*) ;; *) echo "Depends lacks $needed: $depends"; exit 1;; esac
done

dpkg-deb -x "$deb" "$scratch/root"
lib="$scratch/root/usr/lib/moro-zel"
for f in zelcmd beep.wav phoneset.txt; do
  [ -e "$lib/$f" ] || { echo "missing in the package: $f"; exit 1; }
done
if ls "$lib" | grep -E '^(test_|config\.ini$|sphinx\.arg$|languagemodel\.lm$)'; then
  echo "the package carries files it must not"; exit 1
fi

# Run through the link in bin/, as a user would.
out=$("$scratch/root/usr/bin/zelcmd" --help 2>&1)
echo "$out" | grep -q "zelcmd profile" || { echo "zelcmd did not run: $out"; exit 1; }

# A profile round trip through the installed program.
printf '[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=copiar\r\nacao=1\r\nargs=CTRL+C\r\nfonemas=K OW P Y AA R\r\n[ditado]\r\n' >"$scratch/p.zpr"
line=$("$scratch/root/usr/bin/zelcmd" profile "$scratch/p.zpr" | head -1)
[ "$line" = "$(printf 'cmd\t0\tcopiar\t1\tCTRL+C\tK OW P Y AA R')" ] || { echo "unexpected: $line"; exit 1; }
