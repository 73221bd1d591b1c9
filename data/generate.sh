#!/usr/bin/env bash
# Writes the example profiles and modnum.ini of the runtime folder from the
# lists below, with every pronunciation made by the program's own letter
# rules (zelcmd phonemes), and the profiles saved through the program's own
# profile writer. Run it after changing a list:
#   data/generate.sh build/bin/zelcmd
# The tests check that the shipped files still match these rules.
set -euo pipefail
zelcmd=${1:?uso: data/generate.sh CAMINHO/zelcmd}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

pron() { "$zelcmd" phonemes "$1"; }

# One command a line: phrase|type|args (type 0 program, 1 keys, 2 activation, 3 typing).
write_profile() {
  local out=$1 list=$2 i=0
  {
    printf '[geral]\nnumcomandos=%s\n' "$(grep -c . "$list")"
    while IFS='|' read -r phrase type args; do
      printf '[cmd%d]\ncmd=%s\nacao=%s\nargs=%s\nfonemas=%s\n' "$i" "$phrase" "$type" "$args" "$(pron "$phrase")"
      i=$((i + 1))
    done <"$list"
    printf '[ditado]\n'
  } | iconv -f utf-8 -t cp1252 | sed 's/$/\r/' >"$scratch/raw.zpr"
  # Through the profile writer, so the file is exactly what the program saves.
  "$zelcmd" profile "$scratch/raw.zpr" --save "$out" >/dev/null
}

cat >"$scratch/desktop.txt" <<'LIST'
computador|2|
copiar|1|CTRL+C
colar|1|CTRL+V
recortar|1|CTRL+X
desfazer|1|CTRL+Z
refazer|1|CTRL+Y
salvar|1|CTRL+S
marcar|1|CTRL+A
cima|1|UP
baixo|1|DOWN
recuar|1|LEFT
direita|1|RIGHT
início|1|HOME
final|1|END
apagar|1|DELETE
confirmar|1|ENTER
desistir|1|ESC
fechar|1|ALT+F4
ponto|3|00.
vírgula|3|00,
parágrafo|3|01
console|0|/usr/bin/x-terminal-emulator 
LIST

cat >"$scratch/navegador.txt" <<'LIST'
navegador|0|/usr/bin/x-www-browser 
digitar|1|CTRL+L
recarregar|1|F5
voltar|1|ALT+LEFT
avançar|1|ALT+RIGHT
guia|1|CTRL+T
seguinte|1|CTRL+NEXT
anterior|1|CTRL+PRIOR
abaixo|1|NEXT
acima|1|PRIOR
topo|1|HOME
rodapé|1|END
buscar|1|CTRL+F
favorito|1|CTRL+D
histórico|1|CTRL+H
ampliar|1|F11
confirmar|1|ENTER
desistir|1|ESC
LIST

cat >"$scratch/jogo.txt" <<'LIST'
adiante|1|UP
sul|1|DOWN
leste|1|RIGHT
oeste|1|LEFT
pular|3|10
agachar|1|CTRL
mapa|1|M
mochila|1|I
utilizar|1|E
pausa|1|ESC
inspecionar|3|01inspecionar
coletar|3|10coletar
LIST

mkdir -p "$here/profiles"
write_profile "$here/profiles/desktop.zpr" "$scratch/desktop.txt"
write_profile "$here/profiles/navegador.zpr" "$scratch/navegador.txt"
write_profile "$here/profiles/jogo.zpr" "$scratch/jogo.txt"

# Number words: um to vinte, the tens to cem.
words=(um dois três quatro cinco seis sete oito nove dez onze doze treze quatorze quinze dezesseis dezessete
       dezoito dezenove vinte trinta quarenta cinquenta sessenta setenta oitenta noventa cem)
nums=(1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 30 40 50 60 70 80 90 100)
{
  printf '[modnum]\nnum=%d\n' "${#words[@]}"
  for i in "${!words[@]}"; do
    printf '[num%d]\ncmd=%s\nnum=%s\nfonemas=%s\n' "$i" "${words[$i]}" "${nums[$i]}" "$(pron "${words[$i]}" | sed 's/ *$//')"
  done
} | iconv -f utf-8 -t cp1252 | sed 's/$/\r/' >"$here/modnum.ini"
echo "escrito: profiles/desktop.zpr profiles/navegador.zpr profiles/jogo.zpr modnum.ini"
