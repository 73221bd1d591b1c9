#!/usr/bin/env bash
# zelcmd phonemes and zelcmd model: UTF-8 on the terminal, Windows-1252 files
# with CR LF, and errors on stderr with exit status 1.
set -euo pipefail
zelcmd=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The pronunciations, one a line, every symbol followed by a blank.
"$zelcmd" phonemes "ação" "chave" "Água" > "$scratch/ph.txt"
printf 'AA S AH OW \nSH  AA V EH \n G W AA \n' | cmp - "$scratch/ph.txt"

# A corpus in Windows-1252: "ação casa" → the tokens AçãO and CASA.
printf 'a\xe7\xe3o casa\r\n' > "$scratch/corpus.txt"
"$zelcmd" model --corpus "$scratch/corpus.txt" --out "$scratch/saída" > "$scratch/out.txt"
grep -qx '4 unigramas, 4 bigramas, 2 trigramas' "$scratch/out.txt"
for f in dictionary.dic languagemodel.lm tokens.ubt zellm.zlm; do
  test -s "$scratch/saída/$f"
done
printf 'A\xe7\xe3O\tAA S AH OW\r\nCASA\tK AA Z AA\r\n' | cmp - "$scratch/saída/dictionary.dic"
# the trigram's probability: 1 × 0.5 / 1
grep -q $'^-0.3010 <s> A\xe7\xe3O CASA\r$' "$scratch/saída/languagemodel.lm"
tail -c 16 "$scratch/saída/zellm.zlm" | cmp - <(printf '### ENDDIC ###\r\n')

# Errors: a missing corpus, a missing argument.
if "$zelcmd" model --corpus "$scratch/nada.txt" --out "$scratch/x" 2> "$scratch/err.txt"; then
  echo "a missing corpus was accepted"; exit 1
fi
grep -qx "zelcmd: Cannot open file $scratch/nada.txt" "$scratch/err.txt"
if "$zelcmd" model --corpus "$scratch/corpus.txt" 2> "$scratch/err.txt"; then
  echo "a missing --out was accepted"; exit 1
fi
grep -q "uso: zelcmd model" "$scratch/err.txt"
echo ok
