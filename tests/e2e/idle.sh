# ---- Time away from the game (sourced by run.sh after images.sh, with their helpers and prefix)
# A stand-in XInput in the prefix's system folder, loaded instead of Wine's own, replays a pad
# from C:\KavriStat\pad.txt; the limit is set to 2 minutes through the Options dialog.
wineserver -k >/dev/null 2>&1
system_folder=$WINEPREFIX/drive_c/windows/system32
[ "$KAVRI_ARCH" = win32 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && system_folder=$WINEPREFIX/drive_c/windows/syswow64
cp "$win/xinput1_4.dll" "$system_folder/xinput1_4.dll"
overrides_before=$WINEDLLOVERRIDES
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;xinput1_4=n"
pad=$app/pad.txt
printf still >"$pad"
rm -f "$app/kvroptions.csv"

total_minutes() {  # from the Total slot's caption, "Xh Ym"
    probe | sed -n 's/^lblTime(7)=\([0-9]*\)h \([0-9]*\)m$/\1 \2/p' | { read -r h m && echo $((h * 60 + m)); }
}
minutes_above() { [ "$(total_minutes)" -gt "$1" ] 2>/dev/null; }
same() { [ -n "$1" ] && [ "$1" = "$2" ]; }  # equal, and read at all: a program gone reads as nothing
diary_today() { tr -d '\r' <"$app/kvrdiary.csv" | grep "^\"$(date +%F)\",\"[0-9]*\",\"[0-9]*\",\"\"$"; }

start_program
wait_until 60 window_up
open_window
click_window 2797 1777  # the Options button
check "the Options button opens the Options dialog" wait_until 10 dialog_is "Options"
xdotool key space Tab ctrl+a 2
sleep 1
check "screenshot saved as options-dialog.png" import -window root "$artefacts/options-dialog.png"
check "the dialog shows the limit typed" eval '[ "$(field dialog.edit)" = 2 ]'
xdotool key Return
printf '"KavriStat options",1\r\n"idle","on","2"\r\n' >"$work/options.expected"
check "OK keeps the choice in kvroptions.csv" wait_until 10 cmp -s "$app/kvroptions.csv" "$work/options.expected"

# A pad pressed at every poll: every minute counts.
printf press >"$pad"
runs_now=$(field lstTimes.count)
emulator 'C:\KavriStat\kavri.exe' "$images_win\\Second Disc.iso"
check "the emulator's run is seen" wait_until 100 eval '[ "$(field lstTimes.count)" -gt "$runs_now" ]'
check "the program runs on with the pad watched" running "$program"
start_total=$(total_minutes)
pad_minutes_counted() { [ -n "$start_total" ] && wait_until 200 minutes_above $((start_total + 1)); }
check "a pad pressed at every poll counts every minute from $start_total" pad_minutes_counted

# Three minutes with the pad untouched and the emulator open: none of them counts, anywhere.
printf still >"$pad"
sleep 70  # a minute that ended before the pad went still is counted at the next tick, however late
idle_total=$(total_minutes)
idle_game=$(total_of SLES-12345)
idle_diary=$(diary_today)
sleep 190
check "three minutes away from the game add nothing to the window: $idle_total, then $(total_minutes)" \
    same "$(total_minutes)" "$idle_total"
check "nor to the statistics file" same "$("$stats_check" "$stats" | tr -d '\r' | sed -n 's/^slot(7)=[^,]*,//p')" "$idle_total"
check "nor to the game's total" same "$(total_of SLES-12345)" "$idle_game"
check "nor to the diary" same "$(diary_today)" "$idle_diary"

# The keyboard alone, pressed on the program's window now and then, is a player at the controls.
for step in $(seq 9); do
    point_window $((3000 + step * 60)) 3000
    xdotool key shift
    sleep 17
done
check "keyboard input counts as activity: $idle_total, then $(total_minutes)" minutes_above "$idle_total"
check "and the program ran throughout" running "$program"

wineserver -k >/dev/null 2>&1
printf none >"$pad"
export WINEDLLOVERRIDES=$overrides_before
rm -f "$system_folder/xinput1_4.dll"
