#!/bin/sh
# Starts an installed MORO Zel program (zel or zelcmd, after this script's
# name) from its runtime folder. The program keeps its settings and the files
# it generates beside itself. When the installed folder PREFIX/lib/moro-zel
# is writable (an installation into the user's own prefix) the program runs
# there. Otherwise (a system-wide package started by a user) the user gets a
# runtime folder of his own, $XDG_DATA_HOME/moro-zel (~/.local/share/moro-zel;
# MORO_ZEL_HOME names another): a copy of the programs, links to the shipped
# data and recognizer folder, and a copy of the example profiles to edit.
set -eu
self=$(readlink -f "$0")
program=$(basename "$0")
lib=$(dirname "$self")/../lib/moro-zel
lib=$(cd "$lib" && pwd)

if [ -w "$lib" ]; then
  exec "$lib/$program" "$@"
fi

home=${MORO_ZEL_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/moro-zel}
mkdir -p "$home/profiles"
# The programs are copies: a program finds its folder through its own path.
for p in zel zelcmd; do
  if [ -e "$lib/$p" ] && ! cmp -s "$lib/$p" "$home/$p"; then
    cp "$lib/$p" "$home/.$p.new"
    mv -f "$home/.$p.new" "$home/$p"
  fi
done
# Read-only data: links, unless the user put a file of his own there.
for f in zeldll.so beep.wav phoneset.txt modnum.ini frases_treino.txt sphinx; do
  if [ -e "$lib/$f" ] && [ ! -e "$home/$f" ] && [ ! -L "$home/$f" ]; then
    ln -s "$lib/$f" "$home/$f"
  fi
done
# Example profiles: copied once, never over the user's own.
for p in "$lib"/profiles/*.zpr; do
  [ -e "$p" ] || continue
  [ -e "$home/profiles/${p##*/}" ] || cp "$p" "$home/profiles/"
done
exec "$home/$program" "$@"
