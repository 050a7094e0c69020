# Shared by the case scripts: each runs corvane-cli and checks its output and exit status.
#   sh CASE.sh CLI ROOT
CLI="$1"
ROOT="$2"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect_status STATUS command...
expect_status() {
  want=$1; shift
  "$@" >"$TMP/out" 2>"$TMP/err"
  got=$?
  [ "$got" = "$want" ] || fail "exit $got (wanted $want): $*; stderr: $(cat "$TMP/err")"
}
expect_out() { grep -qxF -- "$1" "$TMP/out" || fail "stdout lacks line '$1'"; }
expect_part() { grep -qF -- "$1" "$TMP/out" || fail "stdout lacks '$1'"; }
expect_err() { grep -qF -- "$1" "$TMP/err" || fail "stderr lacks '$1'"; }
# stderr holds exactly one line, the given one (an error said once, naming its file once)
expect_err_only() { [ "$(cat "$TMP/err")" = "$1" ] || fail "stderr is '$(cat "$TMP/err")', not just '$1'"; }
finish() {
  [ "$failures" = 0 ] && echo "all cases passed"
  exit "$failures"
}

# Menus the menu cases work on, made without checks (the cases of each command check them):
# new.mnu (one page, one button), one/two/three.mnu (1-3 imported objects),
# real.mnu (a real disc's composition, PTS 90000, one ICS of 3703 bytes, END), cut.mnu (its first 100 bytes).
D="$ROOT/tests/data/menu"
make_menus() {
  {
  "$CLI" menu new -o "$TMP/new.mnu"
  "$CLI" object import "$TMP/new.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/one.mnu"
  "$CLI" object import "$TMP/one.mnu" "$D/stripes-24x10-pal8.png" -o "$TMP/two.mnu"
  "$CLI" object export "$TMP/two.mnu" --object 0 --palette 0 -o "$TMP/o0.png"
  "$CLI" object import "$TMP/two.mnu" "$TMP/o0.png" -o "$TMP/three.mnu"
  printf 'IG\000\001\137\220\000\000\000\000\030\016\167' >"$TMP/real.mnu"
  cat "$D/bdpl-disc17-ics-popup-2pages.bin" >>"$TMP/real.mnu"
  printf 'IG\000\000\000\000\000\000\000\000\200\000\000' >>"$TMP/real.mnu"
  head -c 100 "$TMP/real.mnu" >"$TMP/cut.mnu"
  } >/dev/null 2>&1
}
