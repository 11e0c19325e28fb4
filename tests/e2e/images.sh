# ---- Games played from disc images (sourced by run.sh, with its helpers and prefix)
# Images made here in a folder named with blanks, an apostrophe, "&" and a letter outside the code
# page: an ISO 9660 image of 2048-byte sectors, the same in raw mode 2 sectors with a cue sheet, a
# second game, a cut-off image and a file that is no image.
wineserver -k >/dev/null 2>&1  # no emulator left from the blocks before
images_name="Jeux d'été & Ж"
images=$WINEPREFIX/drive_c/$images_name
images_win="C:\\$images_name"
mkdir -p "$images" "$work/iso1" "$work/iso2"
printf 'BOOT = cdrom:\\SCUS_944.26;1\r\nTCB = 4\r\nVMODE = NTSC\r\n' >"$work/iso1/SYSTEM.CNF"
printf 'README\r\n' >"$work/iso1/README.TXT"
printf 'BOOT=cdrom:\\SLES_123.45;1\r\n' >"$work/iso2/SYSTEM.CNF"
genisoimage -quiet -V CRYSTAL -o "$work/crystal.iso" "$work/iso1"
genisoimage -quiet -V SECOND -o "$images/Second Disc.iso" "$work/iso2"
python3 "$(dirname "${BASH_SOURCE[0]}")/../raw_sectors.py" "$work/crystal.iso" "$images/Crystal Quest (Track 1).bin"
printf 'FILE "Crystal Quest (Track 1).bin" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n' \
    >"$images/Crystal Quest.cue"
head -c 40000 "$images/Crystal Quest (Track 1).bin" >"$images/Broken.bin"
printf 'not an image\r\n' >"$images/notes.txt"
cat "$images"/*.bin "$images"/*.iso "$images"/*.cue | md5sum >"$work/images.md5"
cue_win="$images_win\\Crystal Quest.cue"
control=$app/kavri-open.txt
rm -f "$control"

game_count() { probe | sed -n "s/^lstGames\[[0-9]*\]=$1\\\\t\([0-9]*\) .*/\1/p"; }
game_count_is() { [ "$(game_count "$1")" = "$2" ]; }
# Waits for a game's count over three ticks: a tick whose look or read runs out of time under load
# leaves the change to the next one. What was last seen is shown when it does not come.
game_count_reaches() {  # game_count_reaches ID COUNT
    wait_until 100 game_count_is "$1" "$2" || { echo "    got '$(game_count "$1")', expected '$2'"; return 1; }
}
total_of() { grep -o "^\"$1\",\"[0-9]*\"" "$app/kvrgames.csv" 2>/dev/null | grep -o '[0-9]*"$' | tr -d '"'; }
emulator() { LC_ALL=fr_FR.UTF-8 wine "$@" >/dev/null 2>&1 & }
# A new emulator, then the program, whose first tick looks at it. Each tick saves what changed, so
# the program is simply stopped: the end of a session would start it again from the start-up folder.
restart() {  # restart EMULATOR-START...
    wineserver -k >/dev/null 2>&1
    "$@"
    sleep 2
    LC_ALL=fr_FR.UTF-8 start_program  # a Unix locale that can name the images' folder
    wait_until 60 window_up  # a new Wine session under load takes its time
}

restart emulator 'C:\KavriStat\kavri.exe' "$cue_win"
check "an image on the emulator's command line is recorded as SCUS-94426, count 1" game_count_reaches SCUS-94426 1
check "in one games line" is "$(probe | grep -c '=SCUS-94426')" 1
played_minutes() { [ "$(total_of SCUS-94426)" -ge 1 ] 2>/dev/null; }
check "the image's game gets the minutes played" wait_until 100 played_minutes
check "screenshot saved as image-game.png" import -window root "$artefacts/image-game.png"

# Named after its image file until the user names it; F2 renames it, and a restart keeps that.
point_game() {  # the pointer on the games line of an identifier
    local line x y top height
    line=$(probe | sed -n "s/^lstGames\[\([0-9]*\)\]=$1\\\\t.*/\1/p" | head -n 1)
    read -r x y top height <<<"$(field lstGames.lines)"
    [ -n "$line" ] && xdotool mousemove $((x + 20)) $((y + (line - top) * height + height / 2))
}
check "the game is named after its image file" \
    grep -q '^"SCUS-94426",.*,"Crystal Quest","file"'$'\r''$' "$app/kvrgames.csv"
open_window
point_window 1000 1000
point_game SCUS-94426
check "the games tip shows the file's name" wait_until 10 eval 'probe | grep -q "^tooltip=Crystal Quest — SCUS-94426: "'
xdotool click 3
sleep 1
xdotool key h
check "the History window's chooser shows it" wait_until 10 eval '[ "$(field history.game)" = "Crystal Quest — SCUS-94426" ]'
point_at "Kavri! Statistics - History"
xdotool key Escape
point_game SCUS-94426
xdotool click 1 key F2
check "F2 offers the file's name to change" wait_until 10 eval '[ "$(field dialog.edit)" = "Crystal Quest" ]'
point_at "Name this game"
xdotool key End shift+Home
xdotool type --delay 60 'Crystal Odyssey'
xdotool key Return
check "the typed name takes its place" wait_until 10 \
    grep -q '^"SCUS-94426",.*,"Crystal Odyssey","typed"'$'\r''$' "$app/kvrgames.csv"

restart emulator cmd /c start "" 'C:\KavriStat\kavri.exe' "$cue_win"
check "started through start, it counts again: 2" game_count_reaches SCUS-94426 2
check "after a restart the typed name stays" \
    grep -q '^"SCUS-94426",.*,"Crystal Odyssey","typed"'$'\r''$' "$app/kvrgames.csv"

LC_ALL=fr_FR.UTF-8 wine 'C:\KavriStat\probe.exe' --link "$images_win\\Crystal Quest.lnk" 'C:\KavriStat\kavri.exe' "\"$cue_win\"" \
    >/dev/null 2>&1
restart emulator start "$images_win\\Crystal Quest.lnk"
check "started through a shortcut, it counts again: 3" game_count_reaches SCUS-94426 3

# Started without arguments, the emulator opens the image itself; then the user changes discs.
printf '%s' "$images_win\\Second Disc.iso" >"$control"
restart emulator 'C:\KavriStat\kavri.exe'
check "an image the emulator opens itself is recorded as SLES-12345" game_count_reaches SLES-12345 1
# What that look costs each tick with 100,000 handles more in the system, as measured under Wine.
cost=$(LC_ALL=fr_FR.UTF-8 wine "$win/handle_cost.exe" 2>/dev/null | tr -d '\r'; echo "exit=${PIPESTATUS[0]}")
check "the held image is found among 100,000 more handles, each look within its bound: ${cost//$'\n'/ }" \
    grep -q 'exit=0$' <<<"$cost"
printf '%s' "$images_win\\Crystal Quest (Track 1).bin" >"$control"
check "a second image opened mid-run is recorded: SCUS-94426 4" game_count_reaches SCUS-94426 4
check "and the first one's count stays" game_count_is SLES-12345 1

# CHD files made by chdman from the same cue sheet, each compressor that applies on its own and
# the default set, held open by the emulator: the same game. From here each step expects one play
# more than the window showed before it, so that a step that fails does not fail those after it.
for codecs in default cdlz cdzl none; do
    chdman createcd -f -i "$images/Crystal Quest.cue" -o "$images/Crystal Quest $codecs.chd" \
        $([ "$codecs" = default ] || echo "-c $codecs") >/dev/null 2>&1
    plays=$(($(game_count SCUS-94426) + 1))
    printf '%s' "$images_win\\Crystal Quest $codecs.chd" >"$control"
    restart emulator 'C:\KavriStat\kavri.exe'
    check "a CHD ($codecs) held open is recorded as SCUS-94426: $plays" game_count_reaches SCUS-94426 $plays
done
cat "$images"/*.chd | md5sum >>"$work/images.md5"

# An emulator that reads its image through a mapped view, every handle to the file closed.
second_plays=$(($(game_count SLES-12345) + 1))
printf 'map:%s' "$images_win\\Second Disc.iso" >"$control"
restart emulator 'C:\KavriStat\kavri.exe'
check "an image the emulator only maps is recorded: SLES-12345 $second_plays" game_count_reaches SLES-12345 $second_plays

# What is shipped: the 32-bit program watching an x86-64 emulator, in a 64-bit prefix.
x64_emulator=$(dirname "$win")/win64/kavri.exe
if [ "$KAVRI_ARCH" = win32 ] && ! wine 'C:\KavriStat\probe.exe' --has-wow64-query >/dev/null 2>&1; then
    echo "# not run: the 32-bit program watching an x86-64 emulator, because this Wine's 32-bit ntdll exports no NtWow64QueryInformationProcess64 (asked by the 32-bit probe), so no 32-bit program can read a 64-bit process's command line here"
elif [ "$KAVRI_ARCH" = win32 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && [ -f "$x64_emulator" ]; then
    rm -f "$control"
    second_plays=$(($(game_count SLES-12345) + 1))
    mkdir -p "$app/x64"
    cp "$x64_emulator" "$app/x64/kavri.exe"
    restart emulator 'C:\KavriStat\x64\kavri.exe' "$images_win\\Second Disc.iso"
    check "the 32-bit program reads an x86-64 emulator's command line: SLES-12345 $second_plays" \
        game_count_reaches SLES-12345 $second_plays
elif [ "$KAVRI_ARCH" = win32 ]; then
    echo "# not run: the 32-bit program watching an x86-64 emulator, because the prefix is not a 64-bit one or build/win64 has no stand-in emulator"
else
    echo "# not run: the 32-bit program watching an x86-64 emulator, because $KAVRI_ARCH_WHY"
fi

rm -f "$control"
counts_before="$(game_count SCUS-94426) $(game_count SLES-12345)"
lines_before=$(field lstGames.count)
runs_before=$(field lstTimes.count)
restart emulator 'C:\KavriStat\kavri.exe' "$images_win\\Broken.bin" "$images_win\\notes.txt"
check "with a cut-off image and a text file the run is counted" wait_until 100 runs_listed $((runs_before + 1))
check "but no game is added" is "$(field lstGames.count)" "$lines_before"
check "and the counts stay" is "$(game_count SCUS-94426) $(game_count SLES-12345)" "$counts_before"
check "and the program runs on" running "$program"
check "no image was changed" is "$(cat "$images"/*.bin "$images"/*.iso "$images"/*.cue | md5sum; cat "$images"/*.chd | md5sum)" \
    "$(cat "$work/images.md5")"
wineserver -k >/dev/null 2>&1
