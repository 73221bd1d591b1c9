#!/usr/bin/env bash
# zelcmd.exe say, not a dry run: the keys reach an EDIT control of another
# Windows application through SendInput, under Wine on a private X server.
# Text goes as Unicode characters, so "ação é Ç" arrives exactly whatever
# the keyboard layout; a key command (CTRL+A) arrives as the keys.
# Named keys go by virtual-key code with their scan code and, for the keys
# that have one, the extended flag. A program command starts a program
# through the shell, in its folder, with its parameters as written.
# typing_test.sh WINE_RUN ZELCMD.exe EDIT_CLIENT.exe WINEPREFIX ARG_DUMP.exe
WINE_RUN=$1 WIN=$2 CLIENT=$3 DUMP=$5
export ZEL_WINEPREFIX=$4
source "$(dirname "$0")/lib.sh"
start_xvfb

dump=$(winpath "$DUMP")
# The profile is Windows-1252 text: "ç" is the byte E7.
printf '[geral]\r\nnumcomandos=4\r\n[cmd0]\r\ncmd=tudo\r\nacao=1\r\nargs=CTRL+A\r\nfonemas=T UW D OW\r\n' > "$T/p.zpr"
printf '[cmd1]\r\ncmd=esquerda\r\nacao=1\r\nargs=LEFT\r\nfonemas=\r\n' >> "$T/p.zpr"
printf '[cmd2]\r\ncmd=letra\r\nacao=3\r\nargs=00z\r\nfonemas=\r\n' >> "$T/p.zpr"
printf '[cmd3]\r\ncmd=abrir\r\nacao=0\r\nargs=%s %s "a b" \xe7\r\nfonemas=\r\n[ditado]\r\n' "$dump" "$(winpath "$T/args.txt")" >> "$T/p.zpr"
printf '[geral]\r\nmodoadv=0\r\nmodnum=0\r\n' > "$T/config.ini"
"$WINE_RUN" "$CLIENT" "$(winpath "$T/edit.txt")" > "$T/client.log" 2>&1 &
PIDS+=($!)
wait_for "$T/edit.txt.ready" 60 || fail "the application did not start: $(cat "$T/client.log")"
window=$(xdotool search --sync --name '^ZelTeste$' | head -1)
xdotool windowfocus --sync "$window"

say() { "$WINE_RUN" "$WIN" say --profile "$(winpath "$T/p.zpr")" --settings "$(winpath "$T/config.ini")" "$@"; }
# Until the application holds the text (its window writes it at every change).
expect_text() {
  local i
  for ((i = 0; i < 100; i++)); do
    [ "$(cat "$T/edit.txt")" = "$1" ] && return 0
    sleep 0.1
  done
  fail "the application holds \"$(cat "$T/edit.txt")\", not \"$1\""
}

say "ação é Ç" || fail "say failed"
expect_text "ação é Ç "
say "tudo" || fail "say tudo failed"
for ((i = 0; i < 50; i++)); do [ -s "$T/edit.txt.keys" ] && break; sleep 0.1; done
[ "$(cat "$T/edit.txt.keys" 2>/dev/null)" = "CTRL+A" ] || fail "keys received: $(cat "$T/edit.txt.keys" 2>/dev/null)"
# Everything selected: what is typed next replaces it.
say "pão" || fail "say pão failed"
expect_text "pão "
# The left arrow: an extended key (E0 4B on a PC keyboard).
say "esquerda letra" || fail "say esquerda failed"
expect_text "pãoz "
grep -qx 'KEY 0x25 scan 0x4B ext' "$T/edit.txt.keys" || fail "left arrow received as: $(cat "$T/edit.txt.keys")"

say "abrir" || fail "say abrir failed"
wait_for "$T/args.txt" 30 || fail "the program was not started"
printf 'cwd=%s\narg=a b\narg=ç\n' "$(winpath "$(dirname "$DUMP")")" > "$T/want.txt"
cmp -s "$T/args.txt" "$T/want.txt" || fail "started with: $(cat "$T/args.txt"), not $(cat "$T/want.txt")"
echo "typed exactly into the application"
