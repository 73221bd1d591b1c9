#!/usr/bin/env bash
# The setup program in a Wine prefix of its own: a silent installation puts
# the program under Program Files with its Start-menu shortcut and its entry
# among the installed programs; the installed program keeps everything it
# writes in the user's folder (%LOCALAPPDATA%\MORO Zel), hears commands,
# and voice training there makes one voice's commands, never spoken in
# training, heard better; uninstalling removes the program and leaves the
# user's profiles and trained voice.
# installer_test.sh WINE_RUN SETUP.exe
WINE_RUN=$1 SETUP=$2
source "$(dirname "$0")/lib.sh"
export ZEL_WINEPREFIX=$T/prefix
export WINEPREFIX=$ZEL_WINEPREFIX
win() { "$WINE_RUN" "$@"; }

# --- install, silently, as an administrator's deployment would.
win "$SETUP" /S || fail "setup failed"
timeout 60 wineserver -w
INST="$T/prefix/drive_c/Program Files/MORO Zel"
for f in zel.exe zelcmd.exe zeldll.dll desinstalar.exe modnum.ini beep.wav frases_treino.txt \
         profiles/desktop.zpr sphinx/sphinx.arg.default sphinx/en-us/mdef sphinx/en-us/means; do
  [ -f "$INST/$f" ] || fail "not installed: $f ($(cd "$INST" 2>/dev/null && find . | head -30))"
done
cmp -s "$INST/zelcmd.exe" "$(dirname "$SETUP")/bin/zelcmd.exe" || fail "zelcmd.exe differs from the build's"
[ -f "$T/prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/MORO Zel.lnk" ] || fail "no Start-menu shortcut"
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\MORO Zel'
win reg query "$KEY" > "$T/key.txt" 2>/dev/null || fail "no uninstall entry"
grep -q 'DisplayName.*MORO Zel' "$T/key.txt" || fail "uninstall entry: $(cat "$T/key.txt")"
grep -qi 'UninstallString.*desinstalar.exe' "$T/key.txt" || fail "uninstall entry: $(cat "$T/key.txt")"
ls "$INST" > "$T/installed.txt"

ZELCMD='C:\Program Files\MORO Zel\zelcmd.exe'
# The user's folder, on both sides of Wine.
WINUSER=$(basename "$(ls -d "$T/prefix/drive_c/users/"*/AppData | grep -v /Public/ | head -1 | xargs dirname)")
USERDIR="$T/prefix/drive_c/users/$WINUSER/AppData/Local/MORO Zel"
OWN="C:\\users\\$WINUSER\\AppData\\Local\\MORO Zel"

# --- a profile of commands the voice never says in training.
CMDS=(imprimir procurar renomear excluir silenciar negrito sublinhar esquivar atualizar restaurar)
win "$ZELCMD" phonemes "${CMDS[@]}" > "$T/phonemes.txt" || fail "phonemes failed"
mapfile -t PHONES < "$T/phonemes.txt"
[ "${#PHONES[@]}" = "${#CMDS[@]}" ] || fail "phonemes: $(cat "$T/phonemes.txt")"
{
  printf '[geral]\r\nnumcomandos=%d\r\n' "${#CMDS[@]}"
  for k in "${!CMDS[@]}"; do
    printf '[cmd%d]\r\ncmd=%s\r\nacao=1\r\nargs=ENTER\r\nfonemas=%s\r\n' "$k" "${CMDS[$k]}" "${PHONES[$k]% }"
  done
} > "$T/perfil.zpr"

# One voice through a telephone-like band, with a faint noise floor.
say() {
  espeak-ng -v pt-br+f4 -s 165 -p 40 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$T/c.wav" sinc 300-3400 pad "$3" "$3" 2>/dev/null
  sox -q -m -v 1 "$T/c.wav" -v 1 "|sox $T/c.wav -p synth whitenoise vol 0.004" -b 16 "$2" 2>/dev/null
}
parts=()
for k in "${!CMDS[@]}"; do say "${CMDS[$k]}" "$T/cmd$k.wav" 0.8; parts+=("$T/cmd$k.wav"); done
sox "${parts[@]}" "$T/cmds.wav"

# Commands heard right, in order, by the installed program in its own folders.
heard() {
  win "$ZELCMD" listen --profile "$(winpath "$T/perfil.zpr")" --audio "$(winpath "$T/cmds.wav")" --dry-run \
    > "$T/listen.out" 2> "$T/listen.err" || fail "listen failed: $(cat "$T/listen.err")"
  sed -n 's/^sentence "\(.*\)" confidence.*/\1/p' "$T/listen.out" |
    awk -v want="${CMDS[*]}" 'BEGIN { n = split(want, w, " "); j = 1 }
      { for (k = j; k <= n; k++) if ($0 == w[k]) { ok++; j = k + 1; break } }
      END { print ok + 0 }'
}
BEFORE=$(heard)
for f in sphinx.arg sphinx.log modnum.ini profiles/desktop.zpr; do
  [ -f "$USERDIR/$f" ] || fail "the user's folder lacks $f: $(ls -R "$USERDIR" | head -20)"
done
ls "$INST" | cmp -s - "$T/installed.txt" || fail "the program wrote beside itself: $(ls "$INST")"

# --- voice training, into the user's folder.
iconv -f CP1252 -t UTF-8 "$INST/frases_treino.txt" | tr -d '\r' | grep -v '^#' > "$T/frases"
mkdir -p "$T/p"
i=0
while IFS= read -r s; do
  i=$((i + 1))
  say "$s" "$T/p/$i.wav" 0.3
  printf '%s\t%s\n' "$i.wav" "$s" >> "$T/p/lista.tsv"
done < "$T/frases"
win "$ZELCMD" train --prompts "$(winpath "$T/p/lista.tsv")" > "$T/train.out" 2> "$T/train.err" \
  || fail "train failed: $(cat "$T/train.err")"
grep -qF "Modelo adaptado em $OWN\\voz ($i frases" "$T/train.out" || fail "no summary: $(cat "$T/train.out")"
cmp -s "$USERDIR/voz/means" "$INST/sphinx/en-us/means" && fail "the means were not adapted"
AFTER=$(heard)
grep -qF "adapted to the voice: $OWN\\voz" "$USERDIR/sphinx.log" || fail "the adapted model was not loaded"
echo "commands heard right: $BEFORE before, $AFTER after training (of ${#CMDS[@]})"
[ "$AFTER" -gt "$BEFORE" ] || fail "not heard better: $BEFORE before, $AFTER after"
ls "$INST" | cmp -s - "$T/installed.txt" || fail "the program wrote beside itself: $(ls "$INST")"

# A profile of the user's own, saved into the user's profiles.
win "$ZELCMD" profile "$(winpath "$T/perfil.zpr")" --save "$OWN\\profiles\\meus comandos.zpr" > /dev/null \
  || fail "the profile was not saved"
cp "$USERDIR/profiles/meus comandos.zpr" "$T/saved.zpr" || fail "no saved profile in the user's folder"

# --- uninstall: the program goes, the user's files stay.
win "C:\\Program Files\\MORO Zel\\desinstalar.exe" /S || fail "uninstall failed"
timeout 60 wineserver -w
[ ! -e "$INST" ] || fail "left behind: $(cd "$INST" && find . | head)"
[ ! -e "$T/prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/MORO Zel.lnk" ] || fail "shortcut left"
if win reg query "$KEY" > /dev/null 2>&1; then fail "uninstall entry left"; fi
[ -f "$USERDIR/profiles/desktop.zpr" ] && [ -f "$USERDIR/voz/means" ] && [ -f "$USERDIR/config.ini" -o -f "$USERDIR/sphinx.arg" ] \
  || fail "the user's files went too: $(ls -R "$USERDIR" | head)"
cmp -s "$USERDIR/profiles/meus comandos.zpr" "$T/saved.zpr" || fail "the user's saved profile went or changed"
echo "installed, heard, trained and uninstalled"
