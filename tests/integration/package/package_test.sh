#!/usr/bin/env bash
# Builds the .deb, unpacks it into a scratch root and runs the installed
# programs from there: the runtime folder must be complete and relocatable,
# the installed zelcmd must hear a profile's command, and a user who cannot
# write the installed folder gets a runtime folder of his own where the
# window and zelcmd keep their files.
#   package_test.sh BUILD_DIR WITH_XVFB
set -euo pipefail
build=$1
with_xvfb=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# What a developer's runs leave in the build's runtime folder (planted where
# missing, and taken away again) must not reach the package.
planted=()
for f in historico.log treino.log voz/means gravacoes/000.wav; do
  [ -e "$build/bin/$f" ] && continue
  mkdir -p "$(dirname "$build/bin/$f")"
  echo "a developer's run" > "$build/bin/$f"
  planted+=("$build/bin/$f")
done
unplant() {
  for f in "${planted[@]}"; do rm -f "$f"; rmdir "$(dirname "$f")" 2>/dev/null || true; done
}
(cd "$build" && cpack -G DEB -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1) || { unplant; cat "$scratch/cpack.log"; exit 1; }
unplant
deb=$(ls "$scratch"/pkg/*.deb)
echo "package: $(basename "$deb")"

# The package names the Debian packages the program uses.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libpocketsphinx3 pocketsphinx-en-us libqt6widgets6 libqt6multimedia6 libqt6network6 libxtst6 libpulse0; do
  case "$depends" in *"$needed"*) ;; *) fail "Depends lacks $needed: $depends";; esac
done

dpkg-deb -x "$deb" "$scratch/root"
chmod 755 "$scratch"
root=$scratch/root
lib=$root/usr/lib/moro-zel
for f in zel zelcmd zeldll.so beep.wav phoneset.txt modnum.ini frases_treino.txt sphinx/sphinx.arg.default \
         profiles/desktop.zpr profiles/navegador.zpr profiles/jogo.zpr; do
  [ -s "$lib/$f" ] || fail "missing in the package: $f"
done
# Nothing but those: a run of the program in the build folder leaves its
# own files there (history, logs, a trained voice, recordings).
shipped=$(cd "$lib" && find . -type f | sort | tr '\n' ' ')
[ "$shipped" = "./beep.wav ./frases_treino.txt ./modnum.ini ./phoneset.txt ./profiles/desktop.zpr ./profiles/jogo.zpr ./profiles/navegador.zpr ./sphinx/sphinx.arg.default ./zel ./zelcmd ./zeldll.so " ] \
  || fail "the package carries: $shipped"
for p in zel zelcmd; do
  [ -x "$lib/$p" ] || fail "$p is not executable"
  [ -x "$root/usr/bin/$p" ] || fail "no command usr/bin/$p"
done
if ls -R "$lib" | grep -E '^(test_|config\.ini$|sphinx\.arg$|sphinx\.log$|languagemodel\.lm$|dictionary\.dic$)'; then
  fail "the package carries files it must not"
fi
# The desktop's menu entry, in Portuguese, and our icon, in the package and
# in a plain cmake --install.
cmake --install "$build" --prefix "$scratch/inst" >/dev/null || fail "cmake --install"
for where in "$root/usr" "$scratch/inst"; do
  entry=$where/share/applications/moro-zel.desktop
  icon=$where/share/icons/hicolor/scalable/apps/moro-zel.svg
  [ -s "$entry" ] || fail "no menu entry in $where"
  for line in 'Type=Application' 'Name=MORO Zel' 'Comment=Comandos de voz para o desktop, offline, em português' \
              'Exec=zel' 'Icon=moro-zel' 'Categories=Utility;Accessibility;'; do
    grep -qxF "$line" "$entry" || fail "the menu entry lacks $line"
  done
  [ -s "$icon" ] || fail "no icon in $where"
  grep -q '<svg' "$icon" || fail "the icon is not SVG"
done
[ -x "$root/usr/bin/$(sed -n 's/^Exec=//p' "$root/usr/share/applications/moro-zel.desktop")" ] || fail "Exec names no installed command"

# The recognizer's template names the installed acoustic model, not the build.
grep -qx -- "-hmm $(pkg-config --variable=modeldir pocketsphinx)/en-us/en-us"$'\r' "$lib/sphinx/sphinx.arg.default" ||
  fail "sphinx.arg.default: $(head -2 "$lib/sphinx/sphinx.arg.default")"
if grep -rlF "$build" "$lib" --include='*.default' --include='*.ini' --include='*.zpr' --include='*.txt'; then
  fail "a shipped file names the build folder"
fi

# Run through usr/bin, as a user would.
out=$("$root/usr/bin/zelcmd" --help 2>&1)
echo "$out" | grep -q "zelcmd listen" || fail "zelcmd did not run: $out"

# A profile round trip through the installed program.
printf '[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=copiar\r\nacao=1\r\nargs=CTRL+C\r\nfonemas=K OW P Y AA R\r\n[ditado]\r\n' >"$scratch/p.zpr"
line=$("$root/usr/bin/zelcmd" profile "$scratch/p.zpr" | head -1)
[ "$line" = "$(printf 'cmd\t0\tcopiar\t1\tCTRL+C\tK OW P Y AA R')" ] || fail "unexpected: $line"

# The installed zelcmd hears a command of a shipped profile, with the
# recognizer folder and number words of its own runtime folder.
espeak-ng -v pt-br -s 150 --stdout "dois favorito" | sox -q - -r 16000 -c 1 -b 16 "$scratch/clean.wav" pad 0.5 0.9
sox -R -q -m -v 1 "$scratch/clean.wav" -v 1 "|sox -R $scratch/clean.wav -p synth whitenoise vol 0.003" -b 16 "$scratch/say.wav"
chmod 644 "$scratch/say.wav"
listen() {
  "$@" listen --profile "$lib/profiles/navegador.zpr" --audio "$scratch/say.wav" --dry-run
}
# The installed folder is writable here (it was unpacked by this user): the program works in it.
listen "$root/usr/bin/zelcmd" >"$scratch/root.out" 2>"$scratch/root.err" || fail "listen: $(cat "$scratch/root.err")"
grep -qx 'sentence "dois favorito" confidence [0-9]*' "$scratch/root.out" || fail "not heard: $(cat "$scratch/root.out")"
[ "$(grep -c 'key down 0x44 D' "$scratch/root.out")" = 2 ] || fail "dois favorito did not press CTRL+D twice: $(cat "$scratch/root.out")"
grep -q "^-lmfn $lib/languagemodel.lm"$'\r' "$lib/sphinx.arg" || fail "sphinx.arg not in the runtime folder"
grep -qP '^dois\t' <(tr -d '\r' <"$lib/dictionary.dic") || fail "number words not read from the runtime folder"
rm -f "$lib"/{sphinx.arg,sphinx.log,dictionary.dic,languagemodel.lm,tokens.ubt,zellm.zlm}

# A user who cannot write the installed folder.
user_home=$scratch/home
mkdir -p "$user_home/run"
chmod 700 "$user_home/run"
if [ "$(id -u)" = 0 ]; then
  # root writes everywhere: the user is nobody.
  chown -R nobody:nogroup "$user_home"
  become="setpriv --reuid=nobody --regid=nogroup --clear-groups"
else
  # An ordinary user running the tests: the installed folder is made read-only.
  chmod -R a-w "$lib"
  trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
  become=""
fi
as_user() { $become env HOME="$user_home" XDG_DATA_HOME= XDG_RUNTIME_DIR="$user_home/run" "$@"; }
own=$user_home/.local/share/moro-zel
listen as_user "$root/usr/bin/zelcmd" >"$scratch/user.out" 2>"$scratch/user.err" || fail "listen as a user: $(cat "$scratch/user.err")"
grep -qx 'sentence "dois favorito" confidence [0-9]*' "$scratch/user.out" || fail "not heard by the user: $(cat "$scratch/user.out")"
for f in zel zelcmd sphinx.arg dictionary.dic languagemodel.lm profiles/desktop.zpr frases_treino.txt; do
  [ -s "$own/$f" ] || fail "the user's runtime folder lacks $f"
done
grep -q "^-lmfn $own/languagemodel.lm"$'\r' "$own/sphinx.arg" || fail "user's sphinx.arg: $(cat "$own/sphinx.arg")"
[ ! -e "$lib/sphinx.arg" ] || fail "the installed folder was written"
# A profile of the user's own is never replaced by the example.
printf 'meu' >"$own/profiles/jogo.zpr"
as_user "$root/usr/bin/zelcmd" --help >/dev/null
[ "$(cat "$own/profiles/jogo.zpr")" = meu ] || fail "the user's profile was overwritten"

# cmake --install into a prefix of one's own, as the README gives it: the
# runtime folder is writable, and the programs run in it.
cmake --install "$build" --prefix "$scratch/prefix" >"$scratch/install.log" 2>&1 || { cat "$scratch/install.log"; exit 1; }
[ -s "$scratch/prefix/lib/moro-zel/sphinx/sphinx.arg.default" ] || fail "cmake --install: no recognizer folder"
listen "$scratch/prefix/bin/zelcmd" >"$scratch/prefix.out" 2>"$scratch/prefix.err" || fail "listen: $(cat "$scratch/prefix.err")"
grep -qx 'sentence "dois favorito" confidence [0-9]*' "$scratch/prefix.out" || fail "prefix: $(cat "$scratch/prefix.out")"
[ -s "$scratch/prefix/lib/moro-zel/sphinx.arg" ] || fail "the prefix's runtime folder was not used"

# The installed window, started by that user: it opens, and its quit button
# writes config.ini into the user's runtime folder, with the sound beside it.
cat >"$scratch/window.sh" <<EOF
#!/usr/bin/env bash
set -euo pipefail
$become env HOME="$user_home" XDG_DATA_HOME= XDG_RUNTIME_DIR="$user_home/run" \
  "$root/usr/bin/zel" >"$scratch/zel.log" 2>&1 &
pid=\$!
w=""
for _ in \$(seq 150); do
  for id in \$(xdotool search --onlyvisible --name '^MORO Zel\$' 2>/dev/null); do
    if xdotool getwindowgeometry "\$id" | grep -q 'Geometry: 576x432'; then w=\$id; fi
  done
  [ -n "\$w" ] && break
  sleep 0.1
done
[ -n "\$w" ] || { kill \$pid; echo "no window: \$(cat "$scratch/zel.log")"; exit 1; }
pos=\$(xdotool getwindowgeometry "\$w" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
set -- \$pos
xdotool mousemove \$(( \$1 + 522 )) \$(( \$2 + 17 )) click 1
for _ in \$(seq 100); do kill -0 \$pid 2>/dev/null || exit 0; sleep 0.1; done
kill \$pid; echo "the window did not end"; exit 1
EOF
chmod +x "$scratch/window.sh"
"$with_xvfb" "$scratch/window.sh" || fail "window"
grep -q "^somativacao=$own/beep.wav"$'\r' "$own/config.ini" || fail "config.ini: $(cat "$own/config.ini" 2>&1)"
[ ! -e "$lib/config.ini" ] || fail "the window wrote into the installed folder"
echo "package test passed"
