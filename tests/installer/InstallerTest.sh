#!/usr/bin/env bash
# Installs Tarnelo with its setup program, silently, into a fresh Wine prefix, checks
# what it laid out, uninstalls it and checks that the user's data stayed.
#
#   InstallerTest.sh <TarneloSetup.exe>
#
# A fresh prefix, not the test session's: the data folder the setup creates changes
# where the program (and other tests) keep their data. Every Wine command here has
# its output redirected, so the prefix's wineserver does not hold CTest's pipe open.
set -uo pipefail

SETUP="${1:?usage: InstallerTest.sh TarneloSetup.exe}"
if [ ! -f "$SETUP" ]; then
    echo "SKIP: $SETUP is not built (build the TarneloSetup target)"
    exit 77
fi

SCRATCH="$(mktemp -d "${TMPDIR:-/tmp}/tarnelo-install-test.XXXXXX")"
export WINEPREFIX="$SCRATCH/prefix" WINEARCH=win64 WINEDEBUG=-all HOME="$SCRATCH/home"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
LOG="$SCRATCH/wine.log"

cleanup() {
    wineserver -k </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    rm -rf "$SCRATCH"
}
trap cleanup EXIT

failures=0
check() { # description, then a test command
    local what="$1"; shift
    if "$@"; then echo "ok:   $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
# Runs a Wine command with its output in the log, or in the file named by OUT, and waits
# for every process it started, such as the uninstaller's copy of itself.
wine_run() {
    wine "$@" </dev/null >>"${OUT:-$LOG}" 2>>"$LOG"
    local rc=$?
    wineserver -w </dev/null >/dev/null 2>&1
    return $rc
}

echo "preparing a fresh Wine prefix"
wineboot -i </dev/null >>"$LOG" 2>&1
wineserver -w </dev/null >/dev/null 2>&1

C="$WINEPREFIX/drive_c"
PROGRAM="$C/Program Files/Tarnelo"
USER_DIR="$(ls -d "$C"/users/*/ 2>/dev/null | grep -v '/Public/$' | head -n1)"
DATA="${USER_DIR%/}/AppData/Local/Olvenworks/Tarnelo"
SET="$DATA/icons/150-outlined-icons-white"

echo "installing silently"
wine_run "$SETUP" /S
check "setup exits with 0" test $? -eq 0

check "program installed in Program Files" test -s "$PROGRAM/Tarnelo.exe"
check "program is the Windows program (MZ)" test "$(head -c 2 "$PROGRAM/Tarnelo.exe")" = "MZ"
for image in wizTop wizSetBox wizSetFiles wizDone SetFilesImage latestVersion vornVersionBoxLogo; do
    check "images\\$image.png installed" test -s "$PROGRAM/images/$image.png"
done
check "uninstaller installed" test -s "$PROGRAM/uninstall.exe"
check "local data folder Olvenworks\\Tarnelo exists" test -d "$DATA"
for icon in squares hammer paper_sheet folder share sunny; do
    check "icon set holds $icon.png" test -s "$SET/$icon.png"
done
# PNG width and height, big-endian at bytes 16 to 23 of the file.
png_size() { od -An -tx1 -j16 -N8 "$1" | tr -d ' \n'; }
check "icon set pictures are 32 x 32" test "$(png_size "$SET/squares.png")" = "0000002000000020"
check "pictures are PNG files" test "$(od -An -c -j1 -N3 "$PROGRAM/images/wizTop.png" | tr -d ' ')" = "PNG"
check "icon set holds about two dozen pictures" test "$(ls "$SET"/*.png | wc -l)" -ge 20
check "\"My Icons\" exists and is empty" test -d "$DATA/icons/My Icons" -a -z "$(ls -A "$DATA/icons/My Icons")"
check "icon terms are in the icons folder" test -s "$DATA/icons/ICONS-TERMS.txt"
START_MENU="$C/ProgramData/Microsoft/Windows/Start Menu/Programs"
check "Start menu shortcut created" test -s "$START_MENU/Tarnelo.lnk"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnelo'
OUT="$SCRATCH/reg.txt" wine_run reg query "$UNINSTALL_KEY" /v UninstallString
check "setup registered its uninstaller" grep -qi 'uninstall.exe' "$SCRATCH/reg.txt"

# The user's own data must outlive the program.
printf 'user data\n' > "$DATA/icons/My Icons/mine.png"
printf '[Config]\n' > "$DATA/config.ini"

echo "uninstalling silently"
wine_run "$PROGRAM/uninstall.exe" /S
check "uninstaller exits with 0" test $? -eq 0
check "program removed" test ! -e "$PROGRAM/Tarnelo.exe"
check "images removed" test ! -e "$PROGRAM/images"
check "program folder removed" test ! -e "$PROGRAM"
check "data folder left alone" test -f "$DATA/config.ini"
check "icon sets left alone" test -s "$SET/squares.png"
check "the user's own icons left alone" test -f "$DATA/icons/My Icons/mine.png"
check "Start menu shortcut removed" test ! -e "$START_MENU/Tarnelo.lnk"
wine_run reg query "$UNINSTALL_KEY"
check "uninstall entry removed" test $? -ne 0

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; Wine's output:"
    tail -n 40 "$LOG"
    exit 1
fi
echo "all checks passed"
