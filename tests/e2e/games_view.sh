# ---- The History window's Games view (sourced by run.sh after the History blocks; runs alone as
# KAVRI_E2E_ONLY=games_view): three games, one of two discs, and minutes of no game in the diary;
# at 100 % in the default colours, then at 200 % in the high-contrast scheme the blocks after it use.
wineserver -k >/dev/null 2>&1
games_app=$WINEPREFIX/drive_c/GamesView
mkdir -p "$games_app"
cp "$win/KavriStat.exe" "$games_app/"
high_contrast=("Window 0 0 0" "WindowText 255 255 255" "Hilight 26 235 255" "GrayText 63 242 63"
               "ButtonFace 0 0 0" "ButtonText 255 255 255" "HotTrackingColor 255 255 0")
display() {  # display DPI [high-contrast]: the scheme's colours set, or removed for Wine's own
    local colour name rgb
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    dpi=$1
    for colour in "${high_contrast[@]}"; do
        read -r name rgb <<<"$colour"
        if [ -n "${2:-}" ]; then wine reg add 'HKCU\Control Panel\Colors' /v "$name" /d "$rgb" /f
        else wine reg delete 'HKCU\Control Panel\Colors' /v "$name" /f; fi >/dev/null 2>&1
    done
    wineserver -k >/dev/null 2>&1
}
display 96

# The last 7 days: Crystal Quest 120 minutes on its two discs, Zeta Racer 60, SLPS-01234 (no
# name) 30, no game 15; 20 days ago Zeta Racer 200 more, which only the last 30 days hold.
day() { date -d "-$1 day" +%F; }
{
    printf '"KavriStat diary",1\r\n'
    printf '"%s","200","1",""\r\n"%s","200","","SCES-05678"\r\n' "$(day 20)" "$(day 20)"
    printf '"%s","80","1",""\r\n"%s","50","","SCES-05678"\r\n"%s","30","","SLPS-01234"\r\n' "$(day 3)" "$(day 3)" "$(day 3)"
    printf '"%s","70","1",""\r\n"%s","70","","SLUS-00595"\r\n' "$(day 2)" "$(day 2)"
    printf '"%s","75","2",""\r\n"%s","50","","SLUS-00594"\r\n"%s","10","","SCES-05678"\r\n' "$(day 0)" "$(day 0)" "$(day 0)"
} >"$games_app/kvrdiary.csv"
played_at="$(date '+%b %d, %Y') 10:00:00"
{
    printf '"KavriStat games",3\r\n'
    printf '"SLUS-00594","1050","%s","%s","Crystal Quest","typed"\r\n' "$played_at" "$played_at"
    printf '"SLUS-00595","70","%s","%s","Crystal Quest","typed"\r\n' "$played_at" "$played_at"
    printf '"SCES-05678","260","%s","%s","Zeta Racer","typed"\r\n' "$played_at" "$played_at"
    printf '"SLPS-01234","30","%s","%s","",""\r\n' "$played_at" "$played_at"
    # 20 games of a minute each, before the diary began: more rows than the view shows at once.
    for i in $(seq 10 29); do printf '"SLES-000%d","1","%s","%s","",""\r\n' "$i" "$played_at" "$played_at"; done
} >"$games_app/kvrgames.csv"
{
    for i in 0 1 2 3 4 5 6; do printf '"0","0"\r\n'; done
    printf '"5","1500"\r\n0\r\n"SCES-05678\t1 \t%s - 4h 20m"\r\n0\r\n"%s - 1h 15m"\r\n' "$played_at" "$played_at"
} >"$games_app/kvrstat.csv"

# The rows' bars measured on a screenshot: on each shown row's middle line, the pixels of the
# colour the lines hold most after their background. Printed: that colour, then each bar's length.
bar_lengths() {  # bar_lengths PNG
    local x y top height w h rows i
    read -r x y top height <<<"$(field lstShares.lines)"
    read -r _ _ w h <<<"$(field history.chart)"
    rows=$(field lstShares.count)
    for ((i = top; i < rows && (i - top + 1) * height <= h; i++)); do
        convert "$1" -crop "${w}x1+${x}+$((y + (i - top) * height + height / 2))" +repage txt:- | awk -v row=$i 'NR > 1 { print row, $3 }'
    done | awk '
        NR == 1 { first = $1 }
        { count[$2]++; in_row[$1 " " $2]++; if ($1 > last) last = $1 }
        END {
            for (c in count) if (back == "" || count[c] > count[back]) back = c
            for (c in count) if (c != back && (bar == "" || count[c] > count[bar])) bar = c
            printf "%s", bar
            for (r = first; r <= last; r++) printf " %d", in_row[r " " bar]
            print ""
        }'
}
# The bars, longest first, against 120 60 30 15 minutes: each within 2 pixels of its share of the first.
in_proportion() {
    local expected=(120 60 30 15) got=($lengths) i want
    [ ${#got[@]} -eq 4 ] || { echo "    bars: $lengths"; return 1; }
    for i in 1 2 3; do
        want=$(( (expected[i] * got[0] + 60) / 120 ))
        [ $((got[i] - want)) -le 2 ] && [ $((want - got[i])) -le 2 ] || { echo "    bars: $lengths"; return 1; }
    done
}
clipboard_is() { diff <(wine 'C:\KavriStat\probe.exe' --clipboard 2>/dev/null | tr -d '\r') <(printf 'clipboard=%s\n' "$@"); }
history_is() {  # history_is VIEW GAME STATUS
    [ "$(field history.view)" = "$1" ] && [ "$(field history.game)" = "$2" ] && [ "$(field history.status)" = "$3" ]
}
rows_are() { diff <(probe | sed -n 's/^lstShares\[[0-9]*\]=//p') <(printf '%s\n' "$@"); }
shares_up() { [ "$(field history.view)" = 3 ] && [ -n "$(field lstShares.lines)" ]; }
open_games_view() {  # the History window from the main window's button, then its fourth view button
    wine 'C:\KavriStat\probe.exe' --press-history >/dev/null 2>&1
    wait_until 15 eval '[ -n "$(field history.chart)" ]' || return 1
    read -r cx cy cw ch <<<"$(field history.chart)"
    xdotool mousemove $((cx + $(px 250))) $((cy - $(px 20))) click 1
    wait_until 10 shares_up
}
week_rows=("Crystal Quest — SLUS-00595, SLUS-00594: 2h 0m, 53%" "Zeta Racer — SCES-05678: 1h 0m, 27%"
           "SLPS-01234: 0h 30m, 13%" "No game identified: 0h 15m, 7%")

start_program 'C:\GamesView\KavriStat.exe'
wait_until 60 window_up
check "the History window's fourth view button opens the Games view" open_games_view
check "which totals the last 7 days, as the other views total theirs" \
    wait_until 5 eval '[ "$(field history.status)" = "Last 7 days: 3h 45m in 4 runs" ]'
check "a row per game, longest first, the two discs of one name as one, the minutes of no game apart" \
    rows_are "${week_rows[@]}"
sleep 1
check "screenshot saved as games-view.png" import -window root "$artefacts/games-view.png"
read -r bar_colour lengths <<<"$(bar_lengths "$artefacts/games-view.png")"
check "the bars on the screenshot are as long as their minutes" in_proportion
xdotool key alt+p Down
check "the period chooser changes the period" \
    wait_until 10 eval '[ "$(field history.status)" = "Last 30 days: 7h 5m in 5 runs" ]'
check "and the rows with it" rows_are "Zeta Racer — SCES-05678: 4h 20m, 61%" \
    "Crystal Quest — SLUS-00595, SLUS-00594: 2h 0m, 28%" "SLPS-01234: 0h 30m, 7%" "No game identified: 0h 15m, 4%"
read -r lx ly top height <<<"$(field lstShares.lines)"
xdotool mousemove $((lx + $(px 40))) $((ly + height / 2)) click 1
sleep 1  # the click's focus first
xdotool key ctrl+c
check "Ctrl+C puts the rows on the clipboard, tab-separated" wait_until 5 clipboard_is 'Zeta Racer\tSCES-05678\t260\t61%' \
    'Crystal Quest\tSLUS-00595, SLUS-00594\t120\t28%' '\tSLPS-01234\t30\t7%' 'No game identified\t\t15\t4%'
xdotool click --repeat 2 --delay 80 1
check "a double-click on a row opens the Days view charted for its game" \
    wait_until 10 history_is 0 "Zeta Racer — SCES-05678" "Last 14 days: 1h 0m"
xdotool key alt+a
wait_until 10 shares_up
xdotool mousemove $((lx + $(px 40))) $((ly + height + height / 2)) click 1 key Return
# The chooser lists the discs most played first.
check "Enter on a row opens it too, its discs together" \
    wait_until 10 history_is 0 "Crystal Quest — SLUS-00595, SLUS-00594" "Last 14 days: 2h 0m"
# All time: the totals, which reach back before the diary, and the statistics file's Total.
xdotool key alt+a
wait_until 10 shares_up
xdotool key alt+p End
check "all time is the games' totals" wait_until 10 eval '[ "$(field history.status)" = "All time: 25h 0m in 5 runs" ]'
check "with a row for each, the minutes of no game the rest of the Total" \
    eval 'probe | grep -qxF "lstShares[2]=No game identified: 1h 10m, 5%" && [ "$(field lstShares.count)" = 24 ]'
xdotool mousemove $((lx + $(px 40))) $((ly + height / 2)) click 1
sleep 1
xdotool click 5 click 5 click 5 click 5
check "the wheel scrolls rows that do not fit" wait_until 5 eval '[ "$(field lstShares.lines | cut -d" " -f3)" -gt 0 ]'
sleep 1
check "screenshot saved as games-view-all-time.png" import -window root "$artefacts/games-view-all-time.png"
read -r bar_colour lengths <<<"$(bar_lengths "$artefacts/games-view-all-time.png")"
all_visible() { local l; for l in $lengths; do [ "$l" -ge 2 ] || { echo "    bars: $lengths"; return 1; }; done; [ -n "$lengths" ]; }
check "a game of one minute still has a visible bar" all_visible
wineserver -k >/dev/null 2>&1

display 192 high-contrast
start_program 'C:\GamesView\KavriStat.exe'
wait_until 60 window_up
check "at 200 % in high contrast the Games view opens" open_games_view
sleep 1
check "screenshot saved as games-view-200-high-contrast.png" import -window root "$artefacts/games-view-200-high-contrast.png"
read -r bar_colour lengths <<<"$(bar_lengths "$artefacts/games-view-200-high-contrast.png")"
check "its bars take the scheme's highlight colour" is "$bar_colour" "#1AEBFF"
check "and stay as long as their minutes" in_proportion
wineserver -k >/dev/null 2>&1
