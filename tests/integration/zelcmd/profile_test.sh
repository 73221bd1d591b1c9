#!/usr/bin/env bash
# zelcmd profile on the worked example: the listing a script would read, and
# --save writing the example's layout again, line for line.
set -euo pipefail
zelcmd=$1 data=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$zelcmd" profile "$data/exemplo.zpr" --save "$scratch/copia.zpr" >"$scratch/out.txt"
printf '%s\n' \
  "$(printf 'cmd\t0\tabrir bloco\t0\tC:\\WINDOWS\\notepad.exe\tAA B R Y R  B L OW K OW')" \
  "$(printf 'cmd\t1\tcopiar\t1\tCTRL+C\tK OW P Y AA R')" \
  "$(printf 'cmd\t2\tcomputador\t2\t\tK OW M P W T AA D OW R')" \
  "$(printf 'ditado\tbom dia')" \
  "$(printf 'ditado\to sistema está pronto')" >"$scratch/expected.txt"
diff -u "$scratch/expected.txt" "$scratch/out.txt"

# Saved through the profile writer: the values as read back (no trailing
# blanks), otherwise the example's layout with CR LF.
sed -e 's/ \r$/\r/' "$data/exemplo.zpr" >"$scratch/expected.zpr"
cmp "$scratch/expected.zpr" "$scratch/copia.zpr"

# Errors go to stderr with exit status 1; a wrong command line is status 2.
status=0
"$zelcmd" profile "$scratch/nao-existe.zpr" 2>"$scratch/err.txt" || status=$?
[ "$status" = 1 ] || { echo "a missing profile gave status $status"; exit 1; }
grep -qx "zelcmd: Cannot open file $scratch/nao-existe.zpr" "$scratch/err.txt"

# Messages reach the terminal as UTF-8, accents whole.
status=0
"$zelcmd" profile --ação x 2>"$scratch/err.txt" || status=$?
[ "$status" = 2 ] || { echo "an unknown option gave status $status"; exit 1; }
grep -qx "zelcmd: opção desconhecida: --ação" "$scratch/err.txt" || { echo "unexpected: $(cat "$scratch/err.txt")"; exit 1; }
