# ---- The per-user installer: install, run, upgrade, uninstall (sourced by run.sh, with its helpers
# and prefix)
# One session throughout, with no emulator left from the blocks before: a new session would start
# whatever the user's Startup folder holds, the installed program among it.
wineserver -k >/dev/null 2>&1
wineserver -p
stop_installed() {  # after its close has saved
    wine taskkill /f /im KavriStat.exe >/dev/null 2>&1
    wait_until 15 ended "$program"
}
installed=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/KavriStat
installed_exe='C:\users\'$(id -un)'\AppData\Local\Programs\KavriStat\KavriStat.exe'
menu_shortcut="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kavri! Statistics.lnk"
cp "$dist/KavriStat-$version.msi" "$WINEPREFIX/drive_c/kavristat.msi"
wine msiexec /i 'C:\kavristat.msi' /qn >/dev/null 2>&1
check "the installer puts the program in the user's local programs folder" test -s "$installed/KavriStat.exe"
check "and nothing under Program Files" test ! -e "$WINEPREFIX/drive_c/Program Files/KavriStat"
check "the Start-menu shortcut targets it" grep -q "Local path[[:space:]]*: ${installed_exe//\\/\\\\}$" \
    <(lnkinfo "$menu_shortcut" 2>&1)
apps() { wine uninstaller --list 2>/dev/null | tr -d '\r' | grep -c '|||Kavri! Statistics$'; }
check "installed apps list it once" is "$(apps)" 1
check "the installer points the start-up shortcut from a KavriStat.exe elsewhere at the installed one" \
    wait_until 15 shortcut_targets "$installed_exe"
# The helper run by hand, without the installer's argument, changes nothing and says how to use it.
wine "${installed_exe%KavriStat.exe}StartupShortcut.exe" >/dev/null 2>&1 &
usage_shown() { xwininfo -root -tree | grep -q '"KavriStat start-up shortcut"'; }
check "the start-up shortcut helper run without arguments says how to use it" wait_until 15 usage_shown
check "and leaves the start-up shortcut as it was" is "$(shortcut_target)" "$installed_exe"
wine taskkill /f /im StartupShortcut.exe >/dev/null 2>&1
wine "$installed_exe" >/dev/null 2>&1 &
program=$!
wine taskkill /im KavriStat.exe >/dev/null 2>&1
check "it saves its statistics beside itself" wait_until 15 test -s "$installed/kvrstat.csv"
stop_installed
printf 'kept\r\n' >"$installed/kvrstat.bak"
data_before=$(cat "$installed/kvrstat.csv" "$installed/kvrstat.bak" | md5sum)

(cd "$(dirname "$0")/../.." && scripts/package 99.0.0 >/dev/null 2>&1)
cp "$dist/KavriStat-99.0.0.msi" "$WINEPREFIX/drive_c/kavristat-new.msi"
rm -f "$dist"/KavriStat-99.0.0*
# A start-up shortcut to another program is not the installer's to change.
sed 's/KavriStat\.exe/KavriStax.exe/g; s/KAVRIS~1\.EXE/KAVRIS~2.EXE/g' "$shortcut" >"$user_shortcut"
foreign=$(md5sum <"$user_shortcut")
wine msiexec /i 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
check "a newer build upgrades in place: still one entry" is "$(apps)" 1
check "and leaves a start-up shortcut to another program as it was" is "$(md5sum <"$user_shortcut")" "$foreign"
check "and the upgraded program is there" test -s "$installed/KavriStat.exe"
check "the statistics are byte-identical after the upgrade" is "$(cat "$installed/kvrstat.csv" "$installed/kvrstat.bak" | md5sum)" "$data_before"

wine "$installed_exe" >/dev/null 2>&1 &
program=$!
wait_until 30 shortcut_targets "$installed_exe"  # it replaces the shortcut that leads nowhere
stop_installed
data_before=$(cat "$installed/kvrstat.csv" "$installed/kvrstat.bak" | md5sum)
wine msiexec /x 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
check "uninstall removes the program" test ! -e "$installed/KavriStat.exe"
check "and its Start-menu shortcut" test ! -e "$menu_shortcut"
check "and the start-up shortcut that points at it" test ! -e "$user_shortcut"
check "and its entry in installed apps" is "$(apps)" 0
check "the user's statistics stay byte-identical" is "$(cat "$installed/kvrstat.csv" "$installed/kvrstat.bak" | md5sum)" "$data_before"

# A start-up shortcut that points elsewhere is not the installer's to remove.
wine msiexec /i 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
cp "$shortcut" "$user_shortcut"  # the drive root's, which points at C:\KavriStat.exe
wine msiexec /x 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
check "uninstall leaves a start-up shortcut to another program" cmp -s "$shortcut" "$user_shortcut"
wineserver -k >/dev/null 2>&1
