#!/usr/bin/env bash
# Copia para docs/img/ as capturas de tela que os testes da janela tiram sob
# Xvfb (build/screenshots/*.png, escritas por `ctest` ou scripts/test).
#   docs/atualizar-capturas.sh [PASTA_DO_BUILD]     (padrão: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
shots=$build/screenshots
pages=(menu menu_reconhecendo menu_ouvindo_fala menu_ouvido menu_servidor_parou comandos comandos_tecla comandos_digitacao prefs prefs_microfone ditado apres treino tray_menu)
for p in "${pages[@]}"; do
  [ -s "$shots/$p.png" ] || { echo "falta $shots/$p.png: rode os testes (cd $build && ctest -R window) antes" >&2; exit 1; }
done
mkdir -p "$here/img"
for p in "${pages[@]}"; do
  cp "$shots/$p.png" "$here/img/$p.png"
done
# O menu da área de notificação é uma captura da tela inteira: fica só o canto
# de baixo à direita, com o menu e o ícone.
convert "$shots/tray_menu.png" -gravity SouthEast -crop 300x200+0+0 +repage "$here/img/tray_menu.png"
echo "copiadas ${#pages[@]} capturas para docs/img/"
