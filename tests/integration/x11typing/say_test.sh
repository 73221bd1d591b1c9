#!/usr/bin/env bash
# zelcmd say --dry-run: sentences through the interpretation with a profile,
# the settings' check boxes and times, and a number-word table; every key
# event, wait, program start, sound and timer change printed.
set -euo pipefail
zelcmd=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

printf '%s\r\n' '[geral]' 'numcomandos=4' \
  '[cmd0]' 'cmd=baixo' 'acao=1' 'args=DOWN' \
  '[cmd1]' 'cmd=copiar' 'acao=1' 'args=CTRL+C' \
  '[cmd2]' 'cmd=jogo' 'acao=0' 'args=/opt/jogos/jogo ; rm -rf x' \
  '[cmd3]' 'cmd=ativar' 'acao=2' 'args=' '[ditado]' >"$scratch/p.zpr"
printf '%s\r\n' '[modnum]' 'num=2' '[num0]' 'cmd=dois' 'num=2' '[num1]' 'cmd=muitos' 'num=x' >"$scratch/modnum.ini"
printf '%s\r\n' '[geral]' 'tempotecla=0x1F' 'tempoativacao=7' "somativacao=$scratch/b.wav" 'modoadv=0' >"$scratch/config.ini"

# The profile has an activation command: the run starts inactive, so the
# first "baixo" does nothing; "ativar" switches on for 7 s; "dois" repeats.
"$zelcmd" say --profile "$scratch/p.zpr" --settings "$scratch/config.ini" --modnum "$scratch/modnum.ini" --dry-run \
  "baixo" "ativar dois baixo" "JOGO" "pão" >"$scratch/out.txt"
cat >"$scratch/expected.txt" <<EXPECTED
sentence "baixo"
  ativo 0
sentence "ativar dois baixo"
  activation timer off
  activation timer interval 7000 ms
  activation timer on
  sound "$scratch/b.wav"
  activation timer off
  activation timer on
  key down 0x28 DOWN
  wait 31 ms
  key up 0x28 DOWN
  activation timer off
  activation timer on
  key down 0x28 DOWN
  wait 31 ms
  key up 0x28 DOWN
  activation timer off
  activation timer on
  ativo 1
sentence "JOGO"
  launch "/opt/jogos/jogo" parameters " ; rm -rf x" folder "/opt/jogos/"
  activation timer off
  activation timer on
  ativo 1
sentence "pão"
  key down 0x50 P
  wait 31 ms
  key up 0x50 P
  key down 0xDE
  key down 0x41 A
  wait 31 ms
  key up 0xDE
  key up 0x41 A
  key down 0x4F O
  wait 31 ms
  key up 0x4F O
  key down 0x20
  wait 31 ms
  key up 0x20
  ativo 1
EXPECTED
diff -u "$scratch/expected.txt" "$scratch/out.txt"

# A number word whose number is no integer ends its sentence with the
# toolkit's message; the next sentence is handled; the status is 1.
if "$zelcmd" say --profile "$scratch/p.zpr" --modnum "$scratch/modnum.ini" --dry-run \
     "ativar copiar muitos copiar" "baixo" >"$scratch/out2.txt" 2>"$scratch/err.txt"; then
  echo "the bad number was accepted"; exit 1
fi
grep -qx "zelcmd: 'x' is not a valid integer value" "$scratch/err.txt"
[ "$(grep -c 'key down 0x43 C' "$scratch/out2.txt")" = 1 ]
grep -q 'key down 0x28 DOWN' "$scratch/out2.txt"

# Without settings the defaults: multi-command, number words, adventure mode
# (Enter after typed text); a missing modnum.ini is an empty table.
"$zelcmd" say --modnum "$scratch/nao-existe.ini" --dry-run "dois" >"$scratch/out3.txt"
grep -c 'key down' "$scratch/out3.txt" | grep -qx 6   # d, o, i, s, the blank, Enter
tail -4 "$scratch/out3.txt" | head -1 | grep -qx '  key down 0x0D ENTER'

# Single-command mode: the whole sentence is one phrase.
printf '%s\r\n' '[geral]' 'multicmd=0' 'modoadv=0' >"$scratch/single.ini"
"$zelcmd" say --profile "$scratch/p.zpr" --settings "$scratch/single.ini" --modnum "$scratch/modnum.ini" --dry-run \
  "ativar baixo" >"$scratch/out4.txt"
! grep -q 'DOWN' "$scratch/out4.txt"

# A missing settings file is an error.
if "$zelcmd" say --settings "$scratch/nao.ini" --dry-run "x" 2>"$scratch/err5.txt"; then exit 1; fi
grep -qx "zelcmd: Cannot open file $scratch/nao.ini" "$scratch/err5.txt"

# Without an X server, a real run says so at start.
if DISPLAY=:987 "$zelcmd" say "x" 2>"$scratch/err6.txt"; then exit 1; fi
grep -qx 'zelcmd: Não foi possível conectar ao servidor X (DISPLAY=":987")' "$scratch/err6.txt"
echo ok
