#!/usr/bin/env bash
# Catches a missing install step on a machine where the missing package happens to be there
# already. For every file that `./run doctor` checks, the package that owns it (symbolic links
# and Debian's alternatives resolved to the real file) must be
#   - in the install list (tools/requirements.sh),
#   - in that list's hard-dependency closure (Depends and Pre-Depends, never Recommends), or
#   - of Debian's priority "required" (on every Debian machine).
# A file that no package owns must be one the scripts make themselves: the generated locales.
# Fails naming each file and the package to add to the list.
#   tools/check_install_list.sh [--without PACKAGE]...
#     --without: check as if PACKAGE were not in the list (to see the check catch its absence)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh

without=()
while [ $# -gt 0 ]; do
  case "$1" in
    --without) without+=("$2"); shift 2 ;;
    *) echo "check_install_list: unknown argument $1" >&2; exit 2 ;;
  esac
done
list=()
for p in "${tavolex_packages[@]}"; do
  printf '%s\n' "${without[@]}" | grep -qxF "$p" || list+=("$p")
done

# The machine must have what the doctor checks: a file that is not there has no owner to ask.
if ! report=$(tavolex_doctor --quiet); then
  printf '%s\n' "$report" >&2
  echo "check_install_list: run ./run test (or any verb) first, so that the list is installed" >&2
  exit 1
fi

native_arch=$(dpkg --print-architecture)
# Package names as apt and dpkg print them, without the native architecture's qualifier.
normalise() { sed -E "s/:($native_arch|all)\$//"; }

# The list with every package its hard dependencies reach; alternatives and virtual packages
# count by every package that can satisfy them, as apt-cache lists them.
hard_closure() {
  apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
      --no-replaces --no-enhances "${list[@]}" 2>/dev/null |
    sed -nE 's/^ *([|]?[A-Za-z]+: )?<?([a-z0-9][a-z0-9.+:-]*)>?$/\2/p' | normalise | sort -u
}
closure=$(hard_closure)
if [ -z "$closure" ]; then
  # No package lists yet (a machine that never ran apt-get update): fetch them once.
  tavolex_as_root apt-get -o DPkg::Lock::Timeout=600 -qq update
  closure=$(hard_closure)
fi
if [ -z "$closure" ]; then
  echo "check_install_list: apt-cache knows none of the listed packages; run apt-get update" >&2
  exit 1
fi

# The package that owns a file, trying the file as dpkg recorded it before /usr was merged.
owner() {
  local file=$1 alt found
  # dpkg may be rewriting its database (another install running): ask again before giving up.
  for _ in 1 2 3; do
    found=$(dpkg -S "$file" 2>/dev/null | head -1 | sed 's/: .*//')
    if [ -n "$found" ]; then echo "$found"; return; fi
    [ -e "$file" ] || break
    sleep 1
  done
  case "$file" in
    /usr/bin/* | /usr/sbin/* | /usr/lib/*) alt=${file#/usr} ;;
    /bin/* | /sbin/* | /lib/*) alt=/usr$file ;;
    *) return ;;
  esac
  dpkg -S "$alt" 2>/dev/null | head -1 | sed 's/: .*//'
}

# The packages a file needs, one line for each step from the path the doctor found to the real
# file: the owner of the path itself, for each of Debian's alternatives on the way the package
# that registered it (the owner of the alternative's chosen target), and the owner of the real
# file. A wineserver link made by `wine` that points into `libwine` needs both.
needed_packages() {
  local path=$1 link next group value
  owner "$path"
  link=$path
  while [ -L "$link" ]; do
    next=$(readlink "$link")
    case "$next" in /*) ;; *) next=$(dirname "$link")/$next ;; esac
    case "$next" in
      /etc/alternatives/*)
        group=${next#/etc/alternatives/}
        [ -f "/var/lib/dpkg/alternatives/$group" ] ||
          group=$(grep -lxF "$group" /var/lib/dpkg/alternatives/* 2>/dev/null | head -1 | xargs -r basename)
        if [ -n "$group" ]; then
          value=$(update-alternatives --query "$group" 2>/dev/null | sed -n 's/^Value: //p')
          [ -n "$value" ] && owner "$(readlink -f "$value")"
        fi
        ;;
      *) owner "$next" ;;
    esac
    link=$next
  done
  owner "$(readlink -f "$path")"
}

covered() {
  local package
  for package in "$@"; do
    printf '%s\n' "$closure" | grep -qxF "$package" && return 0
    [ "$(dpkg-query -W -f='${Priority}' "$package" 2>/dev/null)" = required ] && return 0
  done
  return 1
}

failures=0
checked=0
for entry in "${tavolex_checks[@]}"; do
  IFS='|' read -r kind what declared _ <<<"$entry"
  [ "$kind" = locale ] && continue # made by the scripts (tavolex_generate_locales)
  path=$(tavolex_check_path "$kind" "$what")
  real=$(readlink -f "$path")
  checked=$((checked + 1))
  needs=$(needed_packages "$path" | sort -u)
  if [ -z "$needs" ]; then
    echo "FAIL $what ($real): no package owns it, and the scripts do not make it;" \
         "install it from a package (the doctor says $declared) and add that package to the list"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r owners; do
    mapfile -t packages < <(printf '%s\n' "$owners" | tr ',' '\n' | sed 's/^ *//' | normalise)
    covered "${packages[@]}" && continue
    echo "FAIL $what ($real) needs ${packages[*]}, which the install list neither names nor" \
         "depends on: add ${packages[0]} to tavolex_packages in tools/requirements.sh"
    failures=$((failures + 1))
  done <<<"$needs"
done

# Every locale check is one the install step generates: there must be a package in the list
# that brings the generator.
if ! printf '%s\n' "$closure" | grep -qxF "$(owner "$(readlink -f "$(command -v locale-gen)")")"; then
  echo "FAIL locale-gen (generates the locales) belongs to no listed package: add locales"
  failures=$((failures + 1))
fi

if [ "$failures" -gt 0 ]; then
  echo "check_install_list: $failures missing install steps among $checked checked files"
  exit 1
fi
echo "check_install_list: all $checked checked files come from the install list," \
     "its dependencies, or Debian's required packages"
