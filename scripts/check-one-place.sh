#!/usr/bin/env bash
# Checks that the show's time and its end rule are written in one place (src/sync/ShowTime.*)
# and that every mutable global in src/ is listed, with the reason it exists, in
# docs/globals.md, which the README links. Run by CTest; run it by hand as
#   scripts/check-one-place.sh BUILD_DIR
# BUILD_DIR holds the built libraries of src/, whose data symbols are the globals.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: check-one-place.sh BUILD_DIR}"
cd "$root"
failed=0

fail() {
  echo "check-one-place: $*" >&2
  failed=1
}

sources() {
  find src tools bench show -name '*.h' -o -name '*.cpp' | grep -v '^src/sync/ShowTime\.' | sort
}

# A tempo, a row grid or the end test written again with its own numbers.
patterns=(
  '\w*([Bb]pm|BPM|[Bb]eatsPerMinute)\w*\s*=\s*[0-9]'
  '\w*[Rr]owsPer(Beat|Second|Bar)\w*\s*=\s*[0-9]'
  '\b150(\.0*)?f?\s*/\s*60'
  'BassTimer\s*\([^,]*,\s*[0-9]'
  '\w*[Ee]ndThreshold\w*\s*=\s*[0-9]'
  '(getValue|endValue)\s*\([^;]*\)\s*(>|<=|<|>=)\s*1\.0'
)
for pattern in "${patterns[@]}"; do
  while IFS= read -r hit; do
    fail "$hit: the show's time is written in src/sync/ShowTime.h; use it from there"
  done < <(sources | xargs grep -nE "$pattern" || true)
done

# Mutable globals: data symbols in writable sections of the libraries built from src/,
# named as a reader writes them (no anonymous namespaces, no parameter lists).
globals="$(
  find "$build/src" -name 'libvantor_*.a' -print0 | xargs -0 -r nm -C -f sysv 2>/dev/null |
    awk -F'|' '$7 ~ /^ *\.(bss|data|tbss|tdata)/ && $7 !~ /\.data\.rel\.ro/ { sub(/ +$/, "", $1); print $1 }' |
    grep -vE '^(guard variable for |DW\.ref\.|__|std::|vtable for |typeinfo )' |
    sed -E -e 's/^(_Z[A-Za-z0-9_]+)\.[0-9]+$/\1/' | c++filt |
    sed -e 's/\[abi:[a-z0-9]*\]//g' -e 's/(anonymous namespace):://g' -e ':a' -e 's/([^()]*)//g' -e 'ta' |
    sort -u || true
)"
if [ -z "$globals" ]; then
  fail "no libraries of src/ under $build/src (build first)"
fi
listed="$(grep -soE '^\| `[^`]+`' docs/globals.md | sed -e 's/^| `//' -e 's/`$//' | sort -u || true)"
while IFS= read -r name; do
  [ -n "$name" ] || continue
  grep -qxF -- "$name" <<<"$listed" ||
    fail "the global $name is not in docs/globals.md: give it an owner, or say there why the engine needs it"
done <<<"$globals"
# A listed name the libraries do not show is stale only when src/ no longer mentions it: a
# compiler may place a read-only table (listed for the compilers that do not) elsewhere.
while IFS= read -r name; do
  [ -n "$name" ] || continue
  grep -qxF -- "$name" <<<"$globals" && continue
  grep -rqw -- "${name##*::}" src || fail "docs/globals.md lists $name, which src/ no longer has"
done <<<"$listed"
grep -q '(docs/globals.md)' README.md || fail "README.md does not link docs/globals.md"

exit "$failed"
