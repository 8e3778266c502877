# Sourced by the scripts that need an X display of their own (./run, the demo, the screenshots,
# the host's end-to-end test).
#   start_x_display FIRST LAST [SCREEN]
# starts an Xvfb on the first free display number from FIRST to LAST (each script has its own
# range, so that they can run side by side), exports DISPLAY, sets xvfb_pid for the caller to
# stop, and returns once the display takes connections.
start_x_display() {
  local first=$1 last=$2 screen=${3:-1280x1024x24} n
  for n in $(seq "$first" "$last"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}
