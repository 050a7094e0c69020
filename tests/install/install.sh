#!/bin/sh
# The installation: cmake --install into a temporary prefix, then the installed programs, the
# sample disc, the desktop entry, the MIME package, the icons, the man pages and the completion.
#   sh install.sh CMAKE BUILD_DIR ROOT GUI(ON|OFF)
CMAKE="$1"
BUILD="$2"
ROOT="$3"
GUI="$4"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
P="$TMP/prefix"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
present() { [ -s "$P/$1" ] || fail "not installed: $1"; }

if ! "$CMAKE" --install "$BUILD" --prefix "$P" >"$TMP/install.log" 2>&1; then
  cat "$TMP/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

# The installed CLI, run from the prefix on the installed sample disc.
VERSION=$(sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
[ "$("$P/bin/corvane-cli" --version)" = "corvane-cli ${VERSION}b" ] || fail "installed corvane-cli --version"
SAMPLE="$P/share/corvane/samples/SAMPLE"
[ -f "$SAMPLE/BDMV/index.bdmv" ] || fail "sample disc not installed"
"$P/bin/corvane-cli" check "$SAMPLE" >"$TMP/check" 2>&1 || fail "check of the installed sample disc: $(cat "$TMP/check")"
(cd "$ROOT/samples/SAMPLE" && find . -type f | sort) >"$TMP/tree"
(cd "$SAMPLE" && find . -type f | sort) >"$TMP/installed"
cmp -s "$TMP/tree" "$TMP/installed" || fail "the installed sample disc is not the tree's"

present share/doc/corvane/LICENSE
present share/doc/corvane/THIRD-PARTY-NOTICES
present share/doc/corvane/copyright
for lib in Qt libpng zlib CLI11 nlohmann; do
  grep -q "$lib" "$P/share/doc/corvane/THIRD-PARTY-NOTICES" || fail "THIRD-PARTY-NOTICES lacks $lib"
done

# Man pages: compressed roff that names its program.
pages="corvane-cli"
[ "$GUI" = ON ] && pages="$pages corvane"
for page in $pages; do
  f="$P/share/man/man1/$page.1.gz"
  present "share/man/man1/$page.1.gz"
  [ -f "$f" ] && { gzip -cd "$f" | grep -q "^\.TH $(echo "$page" | tr a-z A-Z) 1" || fail "$page.1 is no man page"; }
done

# Completion: every option the subcommands' help names is offered, and the subcommands.
C="$P/share/bash-completion/completions/corvane-cli"
present share/bash-completion/completions/corvane-cli
if [ -f "$C" ] && command -v bash >/dev/null 2>&1; then
  # offers WORDS...: the candidates the completion gives for the command line WORDS (the last one is being typed)
  cat >"$TMP/offer.bash" <<'END'
_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]}; words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
_filedir() { COMPREPLY=(FILE); }
. "$1"; shift
COMP_WORDS=(corvane-cli "$@"); COMP_CWORD=$#
_corvane_cli
printf '%s\n' "${COMPREPLY[@]}"
END
  offers() { bash "$TMP/offer.bash" "$C" "$@"; }
  CLI="$P/bin/corvane-cli"
  # Every subcommand the help lists, and theirs in turn.
  subcommands() { "$@" --help 2>/dev/null | sed -n '/^Subcommands:/,/^$/p' | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p'; }
  all=""
  for top in $(subcommands $CLI); do
    inner=$(subcommands $CLI "$top")
    if [ -z "$inner" ]; then all="$all|$top"; else for i in $inner; do all="$all|$top $i"; done; fi
  done
  [ -n "$all" ] || fail "the help lists no subcommands"
  IFS='|'
  for sub in ${all#|}; do
    unset IFS
    # shellcheck disable=SC2086
    $CLI $sub --help 2>/dev/null | sed -n '/^Options:/,/^[^ ]/p' | grep -o '^  *-[-,a-zA-Z0-9]*' |
      tr ',' '\n' | tr -d ' ' | grep -v '^$' >"$TMP/wanted"
    [ -s "$TMP/wanted" ] || fail "no options in the help of $sub"
    # shellcheck disable=SC2086
    offers $sub - >"$TMP/offered"
    while read -r option; do
      grep -qxF -- "$option" "$TMP/offered" || fail "completion of '$sub' lacks $option"
    done <"$TMP/wanted"
    # ... and nothing the subcommand would refuse.
    grep -- '^-' "$TMP/offered" >"$TMP/offered-options" || true
    while read -r option; do
      grep -qxF -- "$option" "$TMP/wanted" || fail "completion of '$sub' offers $option, which its help lacks"
    done <"$TMP/offered-options"
    IFS='|'
  done
  unset IFS
  offers menu r | grep -qx render || fail "completion of 'menu r' is not render"
  offers chapters export x.mpls --format "" | grep -qx frame || fail "completion of --format lacks frame"
  offers "" | grep -qx lint || fail "completion lacks the subcommand lint"
fi

if [ "$GUI" = ON ]; then
  [ "$(QT_QPA_PLATFORM=offscreen "$P/bin/corvane" --version)" = "corvane ${VERSION}b" ] ||
    fail "installed corvane --version"
  D="$P/share/applications/corvane.desktop"
  present share/applications/corvane.desktop
  grep -qx 'Exec=corvane %f' "$D" && grep -qx 'Icon=corvane' "$D" || fail "desktop entry: Exec or Icon"
  # The MIME type the entry opens is the one the package defines and the program registers.
  M="$P/share/mime/packages/corvane-bdmv.xml"
  present share/mime/packages/corvane-bdmv.xml
  type=$(sed -n 's/.*mime-type type="\([^"]*\)".*/\1/p' "$M")
  grep -qF "BdmvMimeType = \"$type\"" "$ROOT/src/app/FileAssociation.h" || fail "MIME type $type is not the program's"
  grep -qx "MimeType=$type;" "$D" || fail "desktop entry does not open $type"
  if command -v update-mime-database >/dev/null 2>&1; then
    cp -r "$P/share/mime" "$TMP/mime"
    update-mime-database "$TMP/mime" >/dev/null 2>&1
    grep -q "$type:\*\.bdmv" "$TMP/mime/globs2" || fail "update-mime-database does not map *.bdmv to $type"
  fi
  for size in 16 32 48 64 128 256; do
    f="$P/share/icons/hicolor/${size}x${size}/apps/corvane.png"
    present "share/icons/hicolor/${size}x${size}/apps/corvane.png"
    # a PNG of that size: width and height in the IHDR chunk
    [ -f "$f" ] && [ "$(od -An -tx1 -j16 -N8 "$f" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
      fail "icon $size is not a ${size}x${size} PNG"
  done
fi

[ "$failures" = 0 ] && echo "all cases passed"
exit "$failures"
