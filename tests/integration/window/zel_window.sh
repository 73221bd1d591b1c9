# Sourced by the window's shell tests: where the program's main window is and
# where its menu buttons sit in it (the window is drawn at 576x432).

# Waits up to 10 s for the main window; sets w (its id), wx and wy (its
# origin on the screen). w stays empty when it never showed.
find_main_window() {
  w=""
  for _ in $(seq 100); do
    for c in $(xdotool search --onlyvisible --name '^MORO Zel$' 2>/dev/null); do
      xdotool getwindowgeometry "$c" | grep -q 'Geometry: 576x432' && w=$c
    done
    [ -n "$w" ] && break
    sleep 0.1
  done
  [ -n "$w" ] || return 0
  local pos
  pos=$(xdotool getwindowgeometry "$w" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  set -- $pos
  wx=$1
  wy=$2
}

# Inside the window: the menu page's "Carregar Profile" and RECONHECER.
carregar_x=$((34 + 34 + 70))
carregar_y=$((36 + 62 + 15))
reconhecer_x=$((34 + 270 + 86))
reconhecer_y=$((36 + 62 + 38))
