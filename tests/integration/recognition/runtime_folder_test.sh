#!/usr/bin/env bash
# The program's folder may have any name: a copy of the runtime folder named
# "Łódź дмитрий" hears a WAV, finds its own files there and writes its files
# there, under that very name; a profile saved in UTF-8 with a byte-order mark
# (as a Linux editor may save it) loads its commands.
# Usage: runtime_folder_test.sh BIN_FOLDER
set -euo pipefail
BIN=$1
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

R="$T/Łódź дмитрий"
mkdir -p "$R"
cp -r "$BIN/zelcmd" "$BIN/modnum.ini" "$BIN/sphinx" "$R/"
printf '\xEF\xBB\xBF[geral]\r\nnumcomandos=2\r\n[cmd0]\r\ncmd=copiar\r\nacao=1\r\nargs=CTRL+C\r\nfonemas=K OW P Y AA R \r\n[cmd1]\r\ncmd=computador\r\nacao=1\r\nargs=CTRL+V\r\nfonemas=K OW M P W T AA D OW R \r\n[ditado]\r\nação\r\n' \
  > "$R/perfil日本.zpr"

say() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2" pad 0.6 0.9; }
say copiar "$T/1.wav"
say computador "$T/2.wav"
sox "$T/1.wav" "$T/2.wav" "$T/clean.wav"
sox -m -v 1 "$T/clean.wav" -v 1 "|sox $T/clean.wav -p synth whitenoise vol 0.003" -b 16 "$R/falado.wav"

cd "$T"
"$R/zelcmd" listen --profile "$R/perfil日本.zpr" --audio "$R/falado.wav" --dry-run > "$T/listen.out" 2> "$T/listen.err" \
  || fail "listen failed: $(cat "$T/listen.err")"
grep -qE '^sentence "copiar" confidence' "$T/listen.out" || fail "no copiar: $(cat "$T/listen.out")"
grep -qE '^sentence "computador" confidence' "$T/listen.out" || fail "no computador: $(cat "$T/listen.out")"
grep -q 'key down 0x43 C' "$T/listen.out" || fail "CTRL+C not pressed: $(cat "$T/listen.out")"
grep -q 'key down 0x56 V' "$T/listen.out" || fail "CTRL+V not pressed: $(cat "$T/listen.out")"
# The recognizer's files are beside the program, named through the folder's own name.
for f in dictionary.dic languagemodel.lm sphinx.arg sphinx.log; do
  [ -s "$R/$f" ] || fail "$f not written beside the program: $(ls -a "$R")"
done
grep -q "^-lmfn $R/languagemodel.lm" "$R/sphinx.arg" || fail "argument file: $(cat "$R/sphinx.arg")"
# Another table of number words is read where it is: the program's own stays.
cp "$R/modnum.ini" "$T/modnum.antes"
printf '[modnum]\r\nnum=1\r\n[num0]\r\ncmd=dezessete\r\nnum=17\r\nfonemas=D EH Z EH S EH T SH\r\n' > "$T/outra.ini"
"$R/zelcmd" listen --profile "$R/perfil日本.zpr" --audio "$R/falado.wav" --dry-run --modnum "$T/outra.ini" > /dev/null 2> "$T/listen.err" \
  || fail "listen --modnum failed: $(cat "$T/listen.err")"
cmp -s "$R/modnum.ini" "$T/modnum.antes" || fail "the program's modnum.ini was overwritten"
grep -q '^dezessete	' "$R/dictionary.dic" || fail "the other table was not read: $(head -3 "$R/dictionary.dic")"
# An empty folder name is no folder (it would be the root).
rc=0
"$R/zelcmd" listen --profile "$R/perfil日本.zpr" --audio "$R/falado.wav" --dry-run --folder "" > /dev/null 2> "$T/empty.err" || rc=$?
[ "$rc" = 2 ] || fail "--folder \"\": status $rc: $(cat "$T/empty.err")"
grep -q 'opção --folder sem valor' "$T/empty.err" || fail "--folder \"\": $(cat "$T/empty.err")"
# Nothing was made under a name with replacement marks.
[ -z "$(find "$T" -name '*\?*')" ] || fail "made: $(find "$T" -name '*\?*')"
echo OK
