# shellcheck shell=bash
# Sourced by ./run and tools/demo.sh: brings a Debian 12 machine to what the project needs, and
# says what is missing. Everything it installs or checks is listed in tools/requirements.sh.
#   tavolex_install   installs the listed packages that are missing and generates the locales
#   tavolex_doctor    one line per check (what, what for, there or not, from which package);
#                     returns 1 when something is missing
#   tavolex_setup     both: installs, then stops with the doctor's report if anything is still
#                     missing (so that a verb fails at once, not half-way through its build)
tavolex_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=tools/requirements.sh
source "$tavolex_root/tools/requirements.sh"

tavolex_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Packages in the list that dpkg does not have installed.
tavolex_missing_packages() {
  local p
  for p in "${tavolex_packages[@]}"; do
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || echo "$p"
  done
}

# The locales of the list's locale checks, as `locale -a` spells them (ru_RU.utf8).
tavolex_locale_present() {
  local name=$1 spelled
  spelled=$(printf '%s' "$name" | sed -E 's/\.UTF-8$/.utf8/I')
  locale -a 2>/dev/null | grep -qxF "$spelled"
}

tavolex_generate_locales() {
  local entry kind what
  for entry in "${tavolex_checks[@]}"; do
    IFS='|' read -r kind what _ <<<"$entry"
    [ "$kind" = locale ] || continue
    tavolex_locale_present "$what" && continue
    printf '\n== generating the locale %s\n' "$what"
    # Enabled in /etc/locale.gen too, so that a later locale-gen keeps it.
    if grep -qE "^# *$what UTF-8" /etc/locale.gen; then
      tavolex_as_root sed -i -E "s/^# *($what UTF-8)/\1/" /etc/locale.gen
    elif ! grep -qE "^$what UTF-8" /etc/locale.gen; then
      echo "$what UTF-8" | tavolex_as_root tee -a /etc/locale.gen >/dev/null
    fi
    tavolex_as_root locale-gen --keep-existing >/dev/null
  done
}

tavolex_install() {
  local missing
  mapfile -t missing < <(tavolex_missing_packages)
  if [ ${#missing[@]} -gt 0 ]; then
    printf '\n== installing: %s\n' "${missing[*]}"
    # Another apt (an unattended upgrade, say) may hold the lock: wait for it, not fail.
    local apt=(apt-get -o DPkg::Lock::Timeout=600 -qq)
    # wine32:i386 runs the x86 build: Debian offers it once the machine takes i386 packages.
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
      ! dpkg --print-foreign-architectures | grep -qx i386; then
      tavolex_as_root dpkg --add-architecture i386
    fi
    tavolex_as_root "${apt[@]}" update
    tavolex_as_root env DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y \
      --no-install-recommends "${missing[@]}" >/dev/null
  fi
  tavolex_generate_locales
}

# Where a check's thing is: the file a command runs, a file's path; empty when it is missing.
tavolex_check_path() {
  local kind=$1 what=$2
  case "$kind" in
    command) command -v "$what" 2>/dev/null || true ;;
    file | font) if [ -e "$what" ]; then echo "$what"; fi ;;
    locale) if tavolex_locale_present "$what"; then echo "$what"; fi ;;
    *) echo "requirements: unknown kind '$kind' for $what" >&2; return 2 ;;
  esac
}

# Whether this machine's kernel runs 32-bit x86 programs, which Wine's 32-bit loader is. Some
# kernels are built or booted without it ("Exec format error"): there the x86 build can be
# built but not run.
tavolex_runs_32bit_programs() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

tavolex_doctor() {
  local quiet=${1:-} entry kind what package purpose found problems=0
  for entry in "${tavolex_checks[@]}"; do
    IFS='|' read -r kind what package purpose <<<"$entry"
    found=$(tavolex_check_path "$kind" "$what")
    if [ -n "$found" ]; then
      [ "$quiet" = --quiet ] || printf 'ok       %-8s %-40s %-28s %s\n' "$kind" "$what" "$package" "$purpose"
    else
      problems=$((problems + 1))
      printf 'MISSING  %-8s %-40s %-28s %s\n' "$kind" "$what" "$package" "$purpose"
    fi
  done
  local packages
  packages=$(tavolex_missing_packages | tr '\n' ' ')
  if [ -n "$packages" ]; then
    problems=$((problems + 1))
    printf 'MISSING  packages of the install list: %s\n' "$packages"
  fi
  if [ -x /usr/lib/wine/wine ] && ! tavolex_runs_32bit_programs; then
    printf 'note     this kernel does not run 32-bit programs: the x86 build is built, not run\n'
  fi
  if [ "$problems" -gt 0 ]; then
    printf '%d missing: ./run setup (or any verb) installs them on Debian 12.\n' "$problems"
    return 1
  fi
  [ "$quiet" = --quiet ] || echo "Everything the scripts and tests use is there."
}

tavolex_setup() {
  tavolex_install
  local report
  if ! report=$(tavolex_doctor --quiet 2>&1); then
    printf '%s\n' "$report" >&2
    echo "setup: the machine still lacks what is listed above; stopping." >&2
    exit 1
  fi
}
