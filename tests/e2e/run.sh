#!/usr/bin/env bash
# End-to-end tests of the real KavriStat.exe, its installers and its portable zips under Wine, on
# a virtual X display with a tray host, in a throw-away Wine prefix: the 32-bit program under
# 32-bit Wine, or on a machine that runs 64-bit programs only the x86-64 build under 64-bit Wine
# (scripts/wine-env chooses; the build folder given must be of that kind). DIST_DIR holds both
# builds' packages, as scripts/package makes them.
#   tests/e2e/run.sh WINDOWS_BUILD_DIR STATS_CHECK ARTEFACT_DIR DIST_DIR
set -uo pipefail

win=$(realpath "$1")
stats_check=$(realpath "$2")
artefacts=$(realpath -m "$3")
dist=$(realpath "$4")
version=$(head -n 1 "$(dirname "$0")/../../VERSION")
mkdir -p "$artefacts"
source "$(dirname "$0")/../../scripts/wine-env"
echo "# End to end: $KAVRI_ARCH_TEXT, because $KAVRI_ARCH_WHY."

work=$(mktemp -d /tmp/kavristat-e2e.XXXXXX)
export WINEPREFIX=$work/pfx WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" LC_ALL=C
failures=0
passes=0
pids=()

cleanup() {
    wineserver -k >/dev/null 2>&1
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

ok() {
    echo "ok - $*"
    passes=$((passes + 1))
}
not_ok() {
    echo "not ok - $*"
    failures=$((failures + 1))
    [ -f "${program_log:-}" ] || return 0
    local lines
    lines=$(wc -l <"$program_log")
    [ "$lines" -gt "$log_shown" ] && tail -n +$((log_shown + 1)) "$program_log" | tail -n 8 | sed 's/^/#   /'
    log_shown=$lines
}
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    printf '%s\n' "$what" >"$work/last-step"
    if "$@"; then ok "$what"; else not_ok "$what"; fi
}

# ---- The display, the tray host and the prefix
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
trayer --edge bottom --align right --widthtype pixel --width 200 --height 24 >/dev/null 2>&1 &
pids+=($!)
"$(dirname "$0")/../../scripts/wine-prefix"
# A program that crashes ends with Wine's report of it in the program's output, rather than
# living on behind a crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

app=$WINEPREFIX/drive_c/KavriStat
startup="$WINEPREFIX/drive_c/windows/start menu/programs/startup"
stats=$app/kvrstat.csv
shortcut=$startup/KavriStat.lnk
user_startup="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/StartUp"
user_shortcut=$user_startup/KavriStat.lnk
mkdir -p "$app"
cp "$win/KavriStat.exe" "$win/probe.exe" "$win/kavri.exe" "$app/"

# ---- The Windows file backend on Wine's file system
# In a UTF-8 locale, so that Wine can name files outside the code page on the Unix side.
backend=$(LC_ALL=fr_FR.UTF-8 wine "$win/files_check.exe" 'C:\files-check' 2>/dev/null | tr -d '\r')
backend_status=${PIPESTATUS[0]}
echo "$backend"
failures=$((failures + $(grep -c '^not ok' <<<"$backend")))
passes=$((passes + $(grep -c '^ok' <<<"$backend")))
[ "$backend_status" -eq 0 ] || not_ok "the file backend checks"

# ---- Helpers
# A probe that a hung program's window keeps waiting is ended: the step fails, and the suite goes on.
probe() { timeout -k 5 60 wine 'C:\KavriStat\probe.exe' 2>/dev/null | tr -d '\r'; }
field() { probe | awk -v key="$1" 'index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }'; }
wait_until() {  # wait_until SECONDS COMMAND...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.5
    done
}
running() { local state; state=$(ps -o stat= -p "$1" 2>/dev/null); [ -n "$state" ] && [[ $state != Z* ]]; }
ended() { ! running "$1"; }
window_up() { [ "$(field window)" = "Kavri! Statistics 1.0" ]; }
panel() { xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}'; }
icons() { xwininfo -tree -id "$(panel)" | grep -c '"explorer.exe"'; }
icons_are() { [ "$(icons)" = "$1" ]; }
# The tray icon's centre, and the open popup menu's geometry (W H X Y) if there is one.
icon_centre() {
    xwininfo -tree -id "$(panel)" | awk '/"explorer.exe"/ {print}' | head -n 1 |
        sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' |
        awk '{print int($3 + $1 / 2), int($4 + $2 / 2)}'
}
menu_geometry() {
    xwininfo -root -tree | grep '("kavristat.exe" "kavristat.exe")' | grep -v -e '"Kavri!' -e ' 1x1+' |
        sed -E 's/.* ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+) .*/\1 \2 \3 \4/' | head -n 1
}
menu_open() { [ -n "$(menu_geometry)" ]; }
menu_closed() { ! menu_open; }
visible_is() { [ "$(field visible)" = "$1" ]; }
click_icon() {  # click_icon BUTTON [REPEAT]
    read -r x y < <(icon_centre)
    xdotool mousemove "$x" "$y" click --repeat "${2:-1}" --delay 80 "$1"
}
# The client area's X window as WIDTHxHEIGHT+X+Y.
window_geometry() { xwininfo -root -tree | awk '/"Kavri! Statistics 1.0": \("kavristat.exe"/ {print $(NF - 1); exit}'; }
window_size() { window_geometry | cut -d+ -f1; }
# Points at, or clicks, the window at a point given in twips (15 to the pixel at 96 dots per inch).
dpi=96       # the display's dots per inch, as the prefix has them
px() { echo $(($1 * dpi / 96)); }  # pixels at 96 dots per inch, scaled
point_window() {
    IFS=+ read -r _ x y <<<"$(window_geometry)"
    xdotool mousemove $((x + $1 * dpi / 1440)) $((y + $2 * dpi / 1440))
}
click_window() { point_window "$@" && xdotool click 1; }
# The pointer on the centre of a top-level window of the program, by its title; keys go there.
point_at() {
    local geometry
    geometry=$(xwininfo -root -tree | awk -v title="\"$1\":" 'index($0, title) { print $(NF - 1); exit }')
    [ -n "$geometry" ] || return 1
    IFS='x+' read -r w h x y <<<"$geometry"
    xdotool mousemove $((x + w / 2)) $((y + h / 2))
}
# Shows the window from its tray icon, which may come a moment after the window: once the one
# icon is there, double-clicked until the window shows.
open_window() {
    wait_until 15 icons_are 1
    local try
    for try in 1 2 3; do
        click_icon 1 2
        wait_until 5 visible_is 1 && return 0
    done
    return 1
}
dialog_is() { [ "$(field dialog)" = "$1" ]; }
# What the program and Wine print, and how each start ended, go to program-output.log: a program
# that vanishes mid-run leaves its reason and the step it was in there; a failed step shows what
# came since the one before.
program_log=$artefacts/program-output.log
: >"$program_log"
log_shown=0
start_program() {  # start_program [WINDOWS_PATH], C:\KavriStat\KavriStat.exe unless one is given
    local exe='C:\KavriStat\KavriStat.exe'
    [ $# -gt 0 ] && exe=$1
    {
        wine "$exe" >>"$program_log" 2>&1
        status=$?
        echo "# $(date +%T) $exe ended with status $status after: $(cat "$work/last-step" 2>/dev/null)" >>"$program_log"
    } >/dev/null 2>&1 &
    program=$!
}
# Starts the program with Wine's trace of its drive queries, the device notices it gets and its
# own debug output, filtered into the artefact named, for the disc steps to be checked against.
# Wine's own processes are started first, so that they neither inherit the trace nor hold its pipe.
start_traced() {
    probe >/dev/null
    WINEDEBUG=+mcicda,+message,+debugstr wine 'C:\KavriStat\KavriStat.exe' >/dev/null \
        2> >(grep -aE --line-buffered 'MEDIA_PRESENT|WM_DEVICECHANGE|OutputDebugString' >"$artefacts/$1") &
    program=$!
}
runs_listed() { [ "$(field lstTimes.count)" = "$1" ]; }
is() { [ "$1" = "$2" ] || { echo "    got '$1', expected '$2'"; return 1; }; }
shortcut_target() { lnkinfo "$user_shortcut" 2>&1 | sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p'; }
shortcut_targets() { [ "$(shortcut_target)" = "$1" ]; }
today_slot=$(date +%w)
today=$(date '+%b %d, %Y')

# ---- The programs under test are of the kind this run is for
# The machine a Windows program is built for, from its PE header: 014c (x86) or 8664 (x86-64).
pe_machine() { local at; at=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' '); od -An -t x2 -j $((at + 4)) -N 2 "$1" | tr -d ' '; }
machine=014c
[ "$KAVRI_ARCH" = win64 ] && machine=8664
for program_file in KavriStat.exe StartupShortcut.exe kavri.exe probe.exe files_check.exe winmm.dll xinput1_4.dll; do
    check "$program_file is built for machine $machine ($KAVRI_ARCH)" is "$(pe_machine "$win/$program_file")" "$machine"
done

# KAVRI_E2E_ONLY="images idle" runs only those blocks (tests/e2e/NAME.sh), for work on one of them.
if [ -n "${KAVRI_E2E_ONLY:-}" ]; then
    for block in $KAVRI_E2E_ONLY; do source "$(dirname "$0")/$block.sh"; done
    echo "e2e (only $KAVRI_E2E_ONLY): $passes passed, $failures failed"
    [ "$failures" -eq 0 ]
    exit
fi

# ---- First start without a statistics file
start_program
wait_until 60 window_up
check "first start shows the window" wait_until 10 visible_is 1
expected_initial() {
    echo "Label1=Kavri! Usage Meter (Executions/Time)"
    echo "lblCredits=by Quillon"
    echo "btnRefresh=Refresh"
    echo "btnOptions=&Options…"
    echo "btnHistory=History"
    local days=(Sun Mon Tue Wed Thu Fri Sat Total)
    for i in 0 1 2 3 4 5 6 7; do
        echo "lblTimes($i)=0"
        echo "lblDay($i)=${days[$i]}"
        echo "lblTime($i)=0h 0m"
    done
    echo "lblGames=Played Games"
    echo "lblTimesUsed=Last Used:"
    echo "lstGames.count=0"
    echo "lstTimes.count=0"
}
# Read back in UTF-16 and printed in UTF-8: a text handed to the window in the wrong encoding
# shows as the garble the user sees.
check "first start shows the initial texts" diff <(probe | tail -n +3 | grep -v '\.lines=') <(expected_initial)
sleep 1
check "screenshot saved as first-start.png" import -window root "$artefacts/first-start.png"
check "one tray icon" wait_until 10 icons_are 1
check "an idle start writes no statistics file" test ! -e "$stats"

check "from its own folder the shortcut is made in the user's start-up folder" test -s "$user_shortcut"
check "and nothing goes into the classic start-up folder" test ! -e "$shortcut"
lnk=$(lnkinfo "$user_shortcut" 2>&1)
check "the shortcut targets the real executable" grep -q 'Local path[[:space:]]*: C:\\KavriStat\\KavriStat.exe$' <<<"$lnk"
check "the shortcut starts in the program's folder" grep -q 'Working directory[[:space:]]*: C:\\KavriStat$' <<<"$lnk"

# ---- A second start ends at once and leaves the first alone
second_started=$SECONDS
timeout 20 wine 'C:\KavriStat\KavriStat.exe' >/dev/null 2>&1
check "a second start ends at once" test $((SECONDS - second_started)) -lt 15
check "the first instance still runs" running "$program"
check "still one tray icon" icons_are 1
check "the second start wrote no statistics file" test ! -e "$stats"

# ---- Refresh writes the file
click_window 6427 427
check "Refresh writes the statistics file" wait_until 10 test -s "$stats"
rm -f "$stats"

# ---- The user's close hides the window and writes the file
wine taskkill /im KavriStat.exe >/dev/null 2>&1
check "closing writes the statistics file" wait_until 15 test -s "$stats"
check "closing hides the window" is "$(field visible)" 0
check "the program goes on running after a close" running "$program"
check "the file is the fresh model in the program's format" \
    diff <("$stats_check" "$stats") <(for i in 0 1 2 3 4 5 6 7; do echo "slot($i)=0,0"; done)

# ---- The tray icon and its menu bring the window back
click_icon 1 2
check "a double-click on the tray icon shows the window" wait_until 10 visible_is 1
wine taskkill /im KavriStat.exe >/dev/null 2>&1
wait_until 10 visible_is 0
click_icon 3
check "a right-click on the tray icon opens its menu" wait_until 10 menu_open
xdotool mousemove 300 600 click 1
check "a click elsewhere closes the menu" wait_until 10 menu_closed
check "the window stays hidden" visible_is 0
click_icon 3
wait_until 10 menu_open
read -r _ _ menu_x menu_y < <(menu_geometry)
xdotool mousemove $((menu_x + 30)) $((menu_y + 10)) click 1
check "Open Statistics... shows the window" wait_until 10 visible_is 1

# ---- Windows ends the session: icon removed, file written, process gone
rm -f "$stats"
wineboot -e >/dev/null 2>&1
check "the end of the session ends the program" wait_until 15 ended "$program"
check "the end of the session writes the file" test -s "$stats"
check "the end of the session removes the tray icon" wait_until 10 icons_are 0

# ---- An earlier statistics file, the emulator running and a game disc in a CD-ROM drive
# Three earlier runs of 95 minutes in all, on today's weekday, and two games.
{
    for i in 0 1 2 3 4 5 6; do
        if [ "$i" = "$today_slot" ]; then printf '"3","95"\r\n'; else printf '"0","0"\r\n'; fi
    done
    printf '"3","95"\r\n1\r\n'
    printf '"SCES-05678\t1 \tJul 30, 2000 10:14:00 - 1h 1m"\r\n"SLPS-01234\t2 \tAug 01, 2000 09:00:00"\r\n'
    printf '2\r\n"Aug 02, 2000 14:05:00 - 0h 20m"\r\n"Aug 02, 2000 09:30:00 - 0h 15m"\r\n'
    printf '"Jul 30, 2000 10:14:00 - 1h 0m"\r\n'
} >"$stats"
printf 'a shortcut the user made' >"$user_shortcut"

mkdir -p "$work/disc"
printf 'BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\nVMODE = NTSC\r\n' >"$work/disc/SYSTEM.CNF"
ln -sfn "$work/disc" "$WINEPREFIX/dosdevices/d:"
wine reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f /reg:64 >/dev/null 2>&1
wineserver -k >/dev/null 2>&1

start_traced disc-trace.log
check "the earlier runs are loaded" wait_until 60 runs_listed 3
check "with statistics loaded the window stays hidden" is "$(field visible)" 0
# The emulator starts after the program: the 30-second timer alone counts the run and saves it.
wine 'C:\KavriStat\kavri.exe' >/dev/null 2>&1 &
check "the timer counts a run that starts later" wait_until 100 runs_listed 4
check "and that tick saves it" wait_until 5 grep -q "^\"$today" "$stats"
check "the run counts for today" is "$(field "lblTimes($today_slot)")" 4
check "the run counts in Total" is "$(field "lblTimes(7)")" 4
check "the run's line is on top" grep -q "^$today [0-9:]* - 0h [0-9]*m$" <<<"$(field 'lstTimes[0]')"
check "the earlier runs follow it" is "$(field 'lstTimes[3]')" "Jul 30, 2000 10:14:00 - 1h 0m"
check "the disc in D: is recorded as SLUS-00594 with count 1" \
    grep -q "^SLUS-00594\\\\t1 \\\\t$today [0-9:]*" <<<"$(field 'lstGames[2]')"

# The Delete key in the real runs list: the third line goes, and Refresh saves without it.
open_window
click_window 4860 2010
xdotool key Down Down Delete
check "Delete removes the selected runs line" wait_until 5 runs_listed 3
check "the line below the top one is gone" is "$(field 'lstTimes[2]')" "Jul 30, 2000 10:14:00 - 1h 0m"
click_window 6427 427
check "the next save leaves it out" wait_until 10 eval '! grep -q "09:30:00" "$stats"'

# The games list's tooltip: a game's total, play count and first date, following the cursor.
tooltip_is() { [ "$(field tooltip)" = "$1" ]; }
point_window 1060 2010
check "a games line's tooltip tells the game's total" \
    wait_until 10 tooltip_is "SCES-05678: 1h 1m in total over 1 play, first played Jul 30, 2000"
check "screenshot saved as games-tooltip.png" import -window root "$artefacts/games-tooltip.png"
point_window 1060 2235
check "the tooltip follows the line under the cursor" \
    wait_until 10 tooltip_is "SLPS-01234: 0h 0m in total over 2 plays, first played Aug 01, 2000"
point_window 5000 4000
check "and goes when the cursor leaves the list" wait_until 10 tooltip_is ""
# A second start now: the file stays as it is. The emulator ends first, so that no tick of the
# running program has a minute to save meanwhile; the close saves what came before.
wine taskkill /f /im kavri.exe >/dev/null 2>&1
wine taskkill /im KavriStat.exe >/dev/null 2>&1
wait_until 10 visible_is 0
before=$(stat -c '%s %Y' "$stats"; md5sum <"$stats")
timeout 20 wine 'C:\KavriStat\KavriStat.exe' >/dev/null 2>&1
check "a second start leaves the statistics file untouched" is "$(stat -c '%s %Y' "$stats"; md5sum <"$stats")" "$before"
check "and adds no tray icon" icons_are 1

wineboot -e >/dev/null 2>&1
check "the session's end ends the program" wait_until 15 ended "$program"
saved=$("$stats_check" "$stats")
check "the saved file is in the program's format" eval '"$stats_check" "$stats" >/dev/null'
for line in "game=SCES-05678\\t1 \\tJul 30, 2000 10:14:00 - 1h 1m" "game=SLPS-01234\\t2 \\tAug 01, 2000 09:00:00" \
    "run=Aug 02, 2000 14:05:00 - 0h 20m" "run=Jul 30, 2000 10:14:00 - 1h 0m"; do
    check "the save keeps: ${line#*=}" grep -qxF "$line" <<<"$saved"
done
check "the save holds the new game" grep -q "^game=SLUS-00594\\\\t1 \\\\t$today" <<<"$saved"
check "the save holds the new run first" grep -q "^run=$today" <<<"$(grep '^run=' <<<"$saved" | head -n 1)"
check "the save counts the run for today" grep -qx "slot($today_slot)=4,9[5-9]" <<<"$saved"
check "a shortcut already there is left as it was" is "$(cat "$user_shortcut")" "a shortcut the user made"
trace=$artefacts/disc-trace.log
check "the drive answered at every probe that it holds its disc" \
    eval 'grep -q "MEDIA_PRESENT =Y" "$trace" && ! grep -q "MEDIA_PRESENT =N" "$trace"'
# A device's arrival or removal (0x8000, 0x8004) is what rescans the drives; other notices do not.
check "no device came or went meanwhile" eval '! grep -qE "WM_DEVICECHANGE .*wp=0*800[04] " "$trace"'

# ---- At 150 % display scaling: the window keeps its twips size and the tray icon still answers
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
dpi=144
wineserver -k >/dev/null 2>&1
# The emulator runs with the disc in D: from the start: the game's minutes reach its total. The
# program runs in a time zone 5 h 45 min from UTC: minutes are counted on the UTC clock, dates
# are shown in local time.
wine 'C:\KavriStat\kavri.exe' >/dev/null 2>&1 &
sleep 2
zone=Asia/Kathmandu
hour_before=$(TZ=$zone date '+%b %d, %Y %H')
TZ=$zone start_program
wait_until 60 window_up
hour_after=$(TZ=$zone date '+%b %d, %Y %H')
check "at 144 dots per inch the client area is 6960 x 5355 twips" is "$(window_size)" 696x536
started_in_zone() { local run; run=$(field 'lstTimes[0]'); [[ $run == "$hour_before:"* || $run == "$hour_after:"* ]]; }
check "the run's start shows the local time of $zone" wait_until 10 started_in_zone
click_icon 1 2
check "a double-click on the tray icon shows the window at 150 %" wait_until 10 visible_is 1
sleep 1
check "screenshot saved as scaled-150.png" import -window root "$artefacts/scaled-150.png"
totals=$app/kvrgames.csv
game_minutes() { grep -o '^"SLUS-00594","[0-9]*"' "$totals" 2>/dev/null | grep -o '[0-9]*"$' | tr -d '"'; }
played() { [ "${1:-0}" -ge 1 ] 2>/dev/null; }
line_minutes() { "$stats_check" "$stats" | sed -n 's/^game=SLUS-00594\\t2 \\t.* - 0h \([0-9]*\)m$/\1/p'; }
within_total() { local line; line=$(line_minutes); played "$line" && [ "$(game_minutes)" -ge "$line" ]; }
check "within minutes the game's line shows this play, and its total holds it" wait_until 150 within_total
check "the totals file keeps the games seeded from the earlier list" \
    grep -q '^"SCES-05678","61","Jul 30, 2000 10:14:00","Jul 30, 2000 10:14:00"' "$totals"
wineboot -e >/dev/null 2>&1
check "the program ends with the session" wait_until 15 ended "$program"
check "the statistics file stays in the program's own format" eval '"$stats_check" "$stats" >/dev/null'

# ---- From a drive's root, with the classic start-up folder present: the fixed 255-byte shortcut
cp "$win/KavriStat.exe" "$WINEPREFIX/drive_c/KavriStat.exe"
rm -f "$user_shortcut"
start_program 'C:\KavriStat.exe'
classic_written() { [ "$(stat -c %s "$shortcut" 2>/dev/null)" = 255 ]; }
check "from the drive root the classic shortcut is written, 255 bytes" wait_until 60 classic_written
lnk=$(lnkinfo "$shortcut" 2>&1)
check "it targets the program in the drive root" grep -q 'Local path[[:space:]]*: C:\\KavriStat.exe' <<<"$lnk"
check "its working directory is that root" grep -q 'Working directory[[:space:]]*: C:\\$' <<<"$lnk"
check "and the user's start-up folder gets none" test ! -e "$user_shortcut"
wineboot -e >/dev/null 2>&1
wait_until 15 ended "$program"

# ---- Folders named outside the system code page (1252 in a French locale)
runs_file() {  # runs_file FILE: two earlier runs, no games
    { for i in 0 1 2 3 4 5 6; do printf '"0","0"\r\n'; done
      printf '"2","30"\r\n-1\r\n1\r\n"Jul 30, 2000 10:14:00 - 0h 30m"\r\n"Jul 29, 2000 10:14:00 - 0h 0m"\r\n'; } >"$1"
}
wineserver -k >/dev/null 2>&1  # no emulator left running from the blocks before
for name in 'Игры' 'ゲーム'; do
    folder=$WINEPREFIX/drive_c/$name/KavriStat
    mkdir -p "$folder"
    cp "$win/KavriStat.exe" "$folder/"
    runs_file "$folder/kvrstat.csv"
    inode=$(stat -c %i "$folder/kvrstat.csv")
    rm -f "$user_shortcut"
    LC_ALL=fr_FR.UTF-8 start_program "C:\\$name\\KavriStat\\KavriStat.exe"
    check "from C:\\$name the statistics are loaded" wait_until 60 runs_listed 2
    closed_and_saved() {  # a close asked for again until its save shows
        wine taskkill /im KavriStat.exe >/dev/null 2>&1
        sleep 1
        [ "$(stat -c %i "$folder/kvrstat.csv")" != "$inode" ]
    }
    check "from C:\\$name a close saves them beside the program" wait_until 20 closed_and_saved
    check "and the save is in the program's format" eval '"$stats_check" "$folder/kvrstat.csv" | grep -qx "slot(7)=2,30"'
    wait_until 15 test -s "$user_shortcut"
    # The working directory is kept in UTF-16 and carries the real folder. Wine's shell writes the
    # target path in the code page only, each character outside it a "?": that path must be
    # exactly this folder's, character for character.
    lnk=$(lnkinfo "$user_shortcut" 2>&1)
    check "from C:\\$name the start-up shortcut starts in the program's folder" \
        grep -q "Working directory[[:space:]]*: C:\\\\$name\\\\KavriStat$" <<<"$lnk"
    lossy=$(LC_ALL=C.UTF-8 sed 's/[^ -~]/?/g' <<<"$name")
    check "and targets KavriStat.exe there" \
        is "$(sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p' <<<"$lnk")" "C:\\$lossy\\KavriStat\\KavriStat.exe"
    wineserver -k >/dev/null 2>&1  # not the end of a session, whose next one would start it again
done

# ---- A stale start-up shortcut is replaced; a copy run from the temporary folder makes none
mkdir -p "$WINEPREFIX/drive_c/Old"
cp "$win/KavriStat.exe" "$WINEPREFIX/drive_c/Old/"
rm -f "$user_shortcut"
wine 'C:\Old\KavriStat.exe' >/dev/null 2>&1 &
wait_until 60 test -s "$user_shortcut"
wineserver -k >/dev/null 2>&1  # not the end of a session, whose next one would start it again
rm -rf "$WINEPREFIX/drive_c/Old"
start_program
check "a start-up shortcut to a program that is gone is replaced by one to this program" \
    wait_until 60 shortcut_targets 'C:\KavriStat\KavriStat.exe'
wineserver -k >/dev/null 2>&1  # a new session would start it again from that shortcut
temp=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')")/Temp1_KavriStat-portable.zip
mkdir -p "$temp"
cp "$win/KavriStat.exe" "$temp/"
rm -f "$user_shortcut"
start_program "$(winepath -w "$temp/KavriStat.exe")"
check "a copy unpacked into the temporary folder starts" wait_until 60 window_up
wait_until 10 icons_are 1  # its icon comes after the start-up shortcut's turn
check "but makes no start-up shortcut there" test ! -e "$user_shortcut"
wineboot -e >/dev/null 2>&1
wait_until 15 ended "$program"

# ---- A planted winmm.dll beside the program never runs in it, and the disc probe still works
cp "$win/winmm.dll" "$app/"
marker=$WINEPREFIX/drive_c/planted-dll-ran.txt
# Windows' search order for a DLL outside the always-known set: the program's folder first.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winmm=n,b"
wine 'C:\KavriStat\probe.exe' --load winmm.dll >/dev/null 2>&1
check "a program that searches its own folder runs the planted DLL" test -e "$marker"
rm -f "$marker"
plays() { "$stats_check" "$stats" | sed -n 's/^game=SLUS-00594\\t\([0-9]*\) .*/\1/p'; }
plays_before=$(plays)
start_program
recorded_again() { grep -q "^SLUS-00594\\\\t$((plays_before + 1)) " <<<"$(field 'lstGames[2]')"; }
check "with the planted DLL beside it the disc is still recorded" wait_until 100 recorded_again
check "and the planted DLL did not run" test ! -e "$marker"
wineboot -e >/dev/null 2>&1
wait_until 15 ended "$program"
export WINEDLLOVERRIDES="mscoree=;mshtml="
rm -f "$app/winmm.dll"

# ---- A statistics file held open by another program: the user is told so, and the save follows
held_bytes=$(md5sum <"$stats")
# Held until the checks below are done (ended then), however slowly the program starts under load
# (the background builds run meanwhile).
wine 'C:\KavriStat\probe.exe' --hold 'C:\KavriStat\kvrstat.csv' 300 >"$work/hold.out" 2>/dev/null &
holder=$!
# The program starts only once the file is held (Wine starts slowly on a loaded machine).
check "another program holds the statistics file" wait_until 60 grep -q held "$work/hold.out"
wine 'C:\KavriStat\kavri.exe' >/dev/null 2>&1 &
start_program
balloon_says() { field balloon | grep -qF "$1"; }
check "a held file's balloon says another program holds it" \
    wait_until 100 balloon_says 'Another program holds C:\KavriStat\kvrstat.csv. Close it in the other program; KavriStat saves as soon as it can and keeps counting.'
check "screenshot saved as held-file-balloon.png" import -window root "$artefacts/held-file-balloon.png"
check "while it is held the file keeps its bytes" is "$(md5sum <"$stats")" "$held_bytes"
kill "$holder" 2>/dev/null  # the other program lets go
wait_until 15 ended "$holder"
check "once the other program lets go, the next tick saves" wait_until 100 eval '[ "$(md5sum <"$stats")" != "$held_bytes" ]'
wineboot -e >/dev/null 2>&1
wait_until 15 ended "$program"

# ---- The History window, at 150 %: a statistics file with dated runs in the last weeks and no diary
wineserver -k >/dev/null 2>&1
history_app=$WINEPREFIX/drive_c/History
mkdir -p "$history_app"
cp "$win/KavriStat.exe" "$history_app/"
# Minutes played a number of days ago, newest first; the last two lie before the last 14 days.
played=("0 14:00:00 95" "1 10:00:00 30" "2 20:00:00 200" "4 09:00:00 45" "6 18:30:00 120" "9 08:00:00 15"
        "13 21:00:00 60" "20 12:00:00 300" "40 12:00:00 500")
{
    for i in 0 1 2 3 4 5 6; do printf '"0","0"\r\n'; done
    # One game, whose line's date is the start of today's run: the run's minutes are its own.
    printf '"9","1365"\r\n0\r\n"SCES-05678\t1 \t%s 14:00:00 - 1h 35m"\r\n%d\r\n' "$(date '+%b %d, %Y')" \
        $((${#played[@]} - 1))
    for entry in "${played[@]}"; do
        read -r ago at minutes <<<"$entry"
        printf '"%s %s - %dh %dm"\r\n' "$(date -d "-$ago day" '+%b %d, %Y')" "$at" $((minutes / 60)) $((minutes % 60))
    done
} >"$history_app/kvrstat.csv"
start_program 'C:\History\KavriStat.exe'
check "a first start without a diary builds it from the runs list" wait_until 60 test -s "$history_app/kvrdiary.csv"
check "each day's minutes and runs are in it" \
    grep -qx "\"$(date -d '-2 day' +%F)\",\"200\",\"1\",\"\"" <(tr -d '\r' <"$history_app/kvrdiary.csv")
open_window
click_window 3757 1777  # the History button
history_up() { [ -n "$(field history.chart)" ]; }
check "the History button opens the History window" wait_until 10 history_up
read -r cx cy cw ch <<<"$(field history.chart)"
# The pointer on the line under the chart, off the bars; keys go to the window under it.
off_bars() { xdotool mousemove $((cx + $(px 20))) $((cy + ch + $(px 14))); }
off_bars
check "the line under the chart gives the range's total" \
    wait_until 5 eval '[ "$(field history.status)" = "Last 14 days: 9h 25m in 7 runs" ]'
sleep 1
check "screenshot saved as history-days.png" import -window root "$artefacts/history-days.png"
# Bar heights read back from a screenshot: the chart's most used colour is its background, the
# next its bars; printed are that colour, then each bar's height, oldest first.
bar_heights() {  # bar_heights PNG
    read -r cx cy cw ch <<<"$(field history.chart)"
    convert "$1" -crop "${cw}x${ch}+${cx}+${cy}" +repage txt:- | awk '
        NR > 1 { split($1, p, /[,:]/); colour[p[1] "," p[2]] = $3; count[$3]++ }
        END {
            for (c in count) if (back == "" || count[c] > count[back]) back = c
            for (c in count) if (c != back && (best == "" || count[c] > count[best])) best = c
            printf "%s ", best
            for (k in colour) if (colour[k] == best) { split(k, p, ","); column[p[1]]++ }
            for (x = 0; x < 8192; x++) {
                if (column[x] > 0) { if (column[x] > bar) bar = column[x]; continue }
                if (bar > 0) { printf "%d ", bar; bar = 0 }
            }
        }'
}
read -r _ heights <<<"$(bar_heights "$artefacts/history-days.png")"
proportional() {  # the bars, oldest first, against 60 15 120 45 200 30 95 minutes, within 2 pixels
    local expected=(60 15 120 45 200 30 95) got=($heights) i
    [ ${#got[@]} -eq 7 ] || { echo "    bars: $heights"; return 1; }
    for i in 0 1 2 3 4 5 6; do
        local want=$(( (expected[i] * got[4] + 100) / 200 ))
        [ $(( got[i] - want )) -le 2 ] && [ $(( want - got[i] )) -le 2 ] || { echo "    bars: $heights"; return 1; }
    done
}
check "the Days view's bars are as high as the minutes of their days" proportional
# The pointer on today's bar, the last one.
xdotool mousemove $((cx + cw - $(px 8))) $((cy + ch - $(px 40)))
today_tip="$(date '+%a %b %d, %Y'): 1h 35m in 1 run"
check "hovering a bar tells its period, minutes and runs" wait_until 10 eval '[ "$(field history.status)" = "$today_tip" ]'
check "in a tooltip beside it" wait_until 5 eval 'probe | grep -qxF "tooltip=$today_tip"'
for view in Weeks Months; do
    # The view buttons stand 72 pixels apart above the chart, from 8 pixels to its left.
    [ $view = Weeks ] && xdotool mousemove $((cx + $(px 106))) $((cy - $(px 20))) click 1
    [ $view = Months ] && xdotool mousemove $((cx + $(px 178))) $((cy - $(px 20))) click 1
    off_bars
    check "the $view view totals its range" wait_until 5 eval '[[ "$(field history.status)" == "Last 12 ${view,,}: "* ]]'
    sleep 1
    check "screenshot saved as history-${view,,}.png" import -window root "$artefacts/history-${view,,}.png"
done
check "the Months view holds every day played this year or last" \
    eval '[ "$(field history.status)" = "Last 12 months: 22h 45m in 9 runs" ]'
# The keyboard: Tab to the chart, where an arrow key chooses a bar and shows its tip, which also
# names the chart for screen readers; Tab away leaves no tip on the screen.
xdotool key Tab Tab Left
check "an arrow key on the chart shows the chosen bar's tip" wait_until 5 eval 'probe | grep -q "^tooltip=Nov 2026: "'
check "and names the chart with it for screen readers" eval '[ "$(field history.chart.name)" = "$(field history.status)" ]'
xdotool key Tab
check "Tab away leaves no tip on the screen" wait_until 5 eval '! probe | grep -q "^tooltip="'
check "screenshot saved as history-tab-away.png" import -window root "$artefacts/history-tab-away.png"
# Minimised it has no taskbar button: the History button brings it back. (Without a window
# manager a minimised window stays drawn where it was, over the button: it is pressed by message.)
wine 'C:\KavriStat\probe.exe' --minimize-history >/dev/null 2>&1
check "the History window can be minimised" wait_until 5 eval '[ "$(field history.iconic)" = 1 ]'
wine 'C:\KavriStat\probe.exe' --press-history >/dev/null 2>&1
check "the History button restores it from minimised" wait_until 10 eval '[ "$(field history.iconic)" = 0 ]'
sleep 1
check "screenshot saved as history-restored.png" import -window root "$artefacts/history-restored.png"
xdotool key Escape
check "Esc closes the History window" wait_until 10 eval '! history_up'
check "and the program goes on" running "$program"
# The games list's right-click menu opens it on the game of the line.
point_window 1060 2010
xdotool click 3
sleep 1
xdotool mousemove_relative $(px 30) $(px 10) click 1  # the menu opens at the pointer; its one item
check "History of this game... opens it on that game" wait_until 10 eval '[ "$(field history.game)" = SCES-05678 ]'
read -r cx cy cw ch <<<"$(field history.chart)"
off_bars
check "with that game's own minutes, in the view chosen last" \
    wait_until 5 eval '[ "$(field history.status)" = "Last 12 months: 1h 35m" ]'
wineserver -k >/dev/null 2>&1

# ---- The main window and the History window at 200 % in a high-contrast colour scheme: system
# colours only (Wine says high contrast is off whatever the scheme: the colours are what counts)
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
dpi=192
for colour in "Window 0 0 0" "WindowText 255 255 255" "Hilight 26 235 255" "GrayText 63 242 63" \
    "ButtonFace 0 0 0" "ButtonText 255 255 255" "HotTrackingColor 255 255 0"; do
    read -r name rgb <<<"$colour"
    wine reg add 'HKCU\Control Panel\Colors' /v "$name" /d "$rgb" /f >/dev/null 2>&1
done
wineserver -k >/dev/null 2>&1
start_program 'C:\History\KavriStat.exe'
wait_until 60 window_up
open_window
sleep 1
check "screenshot saved as main-200-high-contrast.png" import -window root "$artefacts/main-200-high-contrast.png"
# How many pixels of a colour (#RRGGBB) a screenshot has in a rectangle of the window, in twips.
pixels_of() {  # pixels_of PNG COLOUR LEFT TOP WIDTH HEIGHT
    local x y
    IFS=+ read -r _ x y <<<"$(window_geometry)"
    convert "$1" -crop "$(($5 * dpi / 1440))x$(($6 * dpi / 1440))+$((x + $3 * dpi / 1440))+$((y + $4 * dpi / 1440))" \
        +repage txt:- | grep -c " $2 "
}
drawn_in() {  # drawn_in COLOUR LEFT TOP WIDTH HEIGHT: text there in that colour, on the black face
    local text face
    text=$(pixels_of "$artefacts/main-200-high-contrast.png" "$@")
    face=$(pixels_of "$artefacts/main-200-high-contrast.png" '#000000' "${@:2}")
    [ "$text" -ge 20 ] && [ "$face" -gt "$text" ] || { echo "    $text pixels of $1, $face of the face"; return 1; }
}
for label in "the title 840 360 2955 255" "Sun 60 1020 615 195" "Total 5940 1020 615 195" \
    "a count 60 720 855 255" "a duration 60 1260 855 255" "Played Games 60 1680 1095 195" "Last Used: 4260 1680 795 195"; do
    read -r -a words <<<"$label"
    rect=("${words[@]: -4}")
    check "in high contrast the main window draws ${label% * * * *} in the scheme's text colour" \
        drawn_in '#FFFFFF' "${rect[@]}"
done
check "and the author's link in the scheme's link colour" drawn_in '#FFFF00' 3900 360 1935 255
click_window 3757 1777
wait_until 10 history_up
read -r cx cy cw ch <<<"$(field history.chart)"
off_bars
sleep 1
check "screenshot saved as history-200-high-contrast.png" import -window root "$artefacts/history-200-high-contrast.png"
read -r bar_colour heights <<<"$(bar_heights "$artefacts/history-200-high-contrast.png")"
check "at 200 % in high contrast the bars take the scheme's highlight colour" is "$bar_colour" "#1AEBFF"
check "and stay as high as their minutes" proportional
wineserver -k >/dev/null 2>&1
source "$(dirname "$0")/games_view.sh"

# ---- Game names: F2 on a games line names its game; a list of names imported through the Open dialog
names_app=$history_app
start_program 'C:\History\KavriStat.exe'
wait_until 60 window_up
open_window
names_stats=$(md5sum <"$names_app/kvrstat.csv")  # as the start left it, the disc in D: recorded
click_window 1060 2010  # the first games line
xdotool key F2
check "F2 on a games line opens the naming dialog" wait_until 10 dialog_is "Name this game"
check "which asks for the name of the line's game" eval 'probe | grep -qxF "dialog.text=&Name of SCES-05678:"'
point_at "Name this game"
xdotool type --delay 60 'Crystal "Quest'
check "a double quote is refused with its reason beside the box" \
    wait_until 5 eval 'probe | grep -qxF "dialog.text=A name cannot hold a double quote (\")."'
sleep 1
check "screenshot saved as name-dialog.png" import -window root "$artefacts/name-dialog.png"
xdotool key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 60 'Quest'
wait_until 5 eval 'probe | grep -qxF "dialog.edit=Crystal Quest"'
xdotool key Return
check "OK stores the name in kvrgames.csv at once" wait_until 10 \
    grep -q '^"SCES-05678","95","[^"]*","[^"]*","Crystal Quest","typed"'$'\r''$' "$names_app/kvrgames.csv"
check "whose format is now version 3" grep -qx '"KavriStat games",3'$'\r' "$names_app/kvrgames.csv"
check "and kvrstat.csv stays as it was" is "$(md5sum <"$names_app/kvrstat.csv")" "$names_stats"
games_tip="SCES-05678: 1h 35m in total over 1 play, first played $today"
point_window 1000 2150
point_window 1060 2010
check "the games list's tooltip shows the name" wait_until 10 eval 'probe | grep -qxF "tooltip=Crystal Quest — $games_tip"'

# A list in UTF-8 with a byte-order mark; the Open dialog takes its path.
printf '\xEF\xBB\xBFSCES_056.78; "Tokimeki M\xC3\xA9morial"\r\nslus00594\tCrystal Quest List\r\nnot a line\r\n' \
    >"$names_app/names.txt"
xdotool click 3
sleep 1
xdotool key i  # the menu's Import game names...
check "Import game names... opens the Open dialog" wait_until 10 dialog_is "Import game names"
point_at "Import game names"
xdotool type --delay 40 'C:\History\names.txt'
xdotool key Return
check "the import says how many names it took and how many lines it did not understand" wait_until 10 \
    eval 'probe | grep -qxF "dialog.text=Imported 2 game names. 1 line was not understood."'
check "kvrnames.csv keeps them in the code page" \
    is "$(iconv -f CP1252 -t UTF-8 "$names_app/kvrnames.csv" | tr -d '\r')" \
    "$(printf '"KavriStat names",1\n"SCES-05678","Tokimeki Mémorial"\n"SLUS-00594","Crystal Quest List"')"
point_at "Import game names"
xdotool key Return
wait_until 10 eval '! dialog_is "Import game names"'
point_window 1000 2150
point_window 1060 2010
check "a typed name wins over the list" wait_until 10 eval 'probe | grep -qxF "tooltip=Crystal Quest — $games_tip"'
# An empty name removes the typed one: the list's shows.
xdotool click 1 key F2
wait_until 10 dialog_is "Name this game"
point_at "Name this game"
xdotool key BackSpace Return
wait_until 10 eval '! dialog_is "Name this game"'
point_window 1000 2150
point_window 1060 2010
check "removing the typed name lets the list's show" wait_until 10 \
    eval 'probe | grep -qxF "tooltip=Tokimeki Mémorial — $games_tip"'
xdotool mousemove_relative 0 0 click 3
sleep 1
xdotool key h
check "the History window's chooser names the game" wait_until 10 \
    eval '[ "$(field history.game)" = "Tokimeki Mémorial — SCES-05678" ]'
wineserver -k >/dev/null 2>&1

source "$(dirname "$0")/installer.sh"
source "$(dirname "$0")/images.sh"
source "$(dirname "$0")/mds.sh"
source "$(dirname "$0")/pbp.sh"
source "$(dirname "$0")/ccd_nrg.sh"
source "$(dirname "$0")/idle.sh"

# ---- The portable zips and the sums
for build in "" -x64; do
    zip=$dist/KavriStat-$version$build-portable.zip
    check "the zip KavriStat-$version$build holds exactly the program and its text" \
        diff <(unzip -Z1 "$zip" | sort) <(printf 'KavriStat.exe\nREADME.txt\n')
    unzip -p "$zip" KavriStat.exe >"$work/zipped$build.exe"
done
check "the 32-bit zip's program is for x86, the x64 zip's for x86-64" \
    is "$(pe_machine "$work/zipped.exe") $(pe_machine "$work/zipped-x64.exe")" "014c 8664"
own_zip=$work/zipped.exe
[ "$KAVRI_ARCH" = win64 ] && own_zip=$work/zipped-x64.exe
check "the zip's program of this build is the one built" cmp -s "$own_zip" "$win/KavriStat.exe"
check "the sums cover both installers and both zips" diff <(cut -d' ' -f3 "$dist/KavriStat-$version.sha256" | sort) \
    <(printf 'KavriStat-%s\n' "$version-portable.zip" "$version-x64-portable.zip" "$version-x64.msi" "$version.msi" | sort)
check "and verify" eval '(cd "$dist" && sha256sum --quiet -c "KavriStat-$version.sha256")'

# ---- A standard user, whose Wine keeps to Unix permissions, in a French locale
user=kavristat-e2e
id "$user" >/dev/null 2>&1 || useradd -m "$user"
uwork=$(su "$user" -s /bin/bash -c 'mktemp -d /tmp/kavristat-user.XXXXXX')
as_user() {
    su "$user" -s /bin/bash -c "cd /tmp; export WINEPREFIX=$uwork/pfx DISPLAY=$DISPLAY WINEDEBUG=-all \
        WINEDLLOVERRIDES='mscoree=;mshtml=' LC_ALL=fr_FR.UTF-8 PATH='$PATH' ${WINEARCH:+WINEARCH=$WINEARCH} \
        ${WINELOADER:+WINELOADER=$WINELOADER}; $1"
}
cleanup_user() {
    as_user 'wineserver -k' >/dev/null 2>&1
    rm -rf "$uwork"
}
trap 'cleanup_user; cleanup' EXIT
# The checkout may lie in a folder the standard user cannot enter: it gets its own copy.
cp "$(dirname "$0")/../../scripts/wine-prefix" "$uwork/wine-prefix"
chown "$user" "$uwork/wine-prefix"
as_user "$uwork/wine-prefix"
uapp=$uwork/pfx/drive_c/KavriStat
ustats=$uapp/kvrstat.csv
mkdir -p "$uapp" "$uwork/pfx/drive_c/emu"
cp "$win/KavriStat.exe" "$uapp/"
cp "$win/kavri.exe" "$win/probe.exe" "$uwork/pfx/drive_c/emu/"
for i in 0 1 2 3 4 5 6 7; do printf '"0","0"\r\n'; done >"$ustats"
printf -- '-1\r\n-1\r\n' >>"$ustats"
chown -R "$user" "$uwork/pfx/drive_c"
chmod 666 "$ustats"
chmod 555 "$uapp"
# The same command that makes a file in a folder of the user's own makes none in the program's.
cannot_create() {
    as_user "wine cmd /c 'echo x > C:\\emu\\probe.txt & echo x > C:\\KavriStat\\probe.txt'" >/dev/null 2>&1
    [ -e "$uwork/pfx/drive_c/emu/probe.txt" ] && [ ! -e "$uapp/probe.txt" ]
}
check "the standard user cannot create files in the program's folder" cannot_create
as_user "wine 'C:\\emu\\kavri.exe' >/dev/null 2>&1 &"
sleep 2
inode=$(stat -c %i "$ustats")
as_user "wine 'C:\\KavriStat\\KavriStat.exe' >/dev/null 2>&1 &"
french_months=(janv. févr. mars avr. mai juin juil. août sept. oct. nov. déc.)
french_today="${french_months[$((10#$(date +%m) - 1))]} $(date '+%d, %Y')"
saved_in_french() { iconv -f CP1252 -t UTF-8 "$ustats" 2>/dev/null | grep -q "^\"$french_today [0-9:]* - 0h [0-9]*m\""; }
check "a protected folder with a writable file still gets the save" wait_until 100 saved_in_french
check "the file is rewritten in place" is "$(stat -c %i "$ustats")" "$inode"
check "the French save is in the program's format" eval '"$stats_check" "$ustats" >/dev/null'
check "the French run counts in Total" grep -q '^"1",' <(sed -n 8p "$ustats")
as_user 'wineserver -k' >/dev/null 2>&1

# The file itself is read-only now: the program goes on, the file stays, a balloon says why.
chmod 444 "$ustats"
before=$(md5sum <"$ustats")
as_user "wine 'C:\\emu\\kavri.exe' >/dev/null 2>&1 &"
sleep 2
as_user "wine 'C:\\KavriStat\\KavriStat.exe' >/dev/null 2>&1 &"
balloon_up() { xwininfo -root -tree | grep '("explorer.exe" "explorer.exe")' | grep -qE ' [0-9]{3,}x[4-9][0-9]\+'; }
check "a save that cannot land shows a balloon" wait_until 100 balloon_up
check "screenshot saved as save-failed-balloon.png" import -window root "$artefacts/save-failed-balloon.png"
counting_on() { as_user "wine 'C:\\emu\\probe.exe'" 2>/dev/null | tr -d '\r' | grep -q '^lblTimes(7)=2$'; }
check "the program goes on running and counting" counting_on
check "the unwritable file keeps its bytes" is "$(md5sum <"$ustats")" "$before"
cleanup_user

echo "e2e: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
