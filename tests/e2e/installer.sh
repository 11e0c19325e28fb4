# ---- The per-user installers: install, run, the other build over it and back, upgrade, uninstall
# (sourced by run.sh, with its helpers and prefix)
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
# This machine's build and the other one: the other's helper runs only where 32-bit programs do.
if [ "$KAVRI_ARCH" = win64 ]; then
    own=-x64 own_build=x64 other="" other_machine=014c other_build=32-bit other_helper_runs=no
else
    own="" own_build=32-bit other=-x64 other_machine=8664 other_build=x64 other_helper_runs=yes
fi
cp "$dist/KavriStat-$version$own.msi" "$WINEPREFIX/drive_c/kavristat.msi"
cp "$dist/KavriStat-$version$other.msi" "$WINEPREFIX/drive_c/kavristat-other.msi"

# The installers' tables as Windows Installer reads them (Wine installs a 64-bit component like a
# 32-bit one): the x64 build's are all 64-bit, with GUIDs of their own, on 64-bit Windows only.
msi_table() { msiinfo export "$dist/KavriStat-$version$1.msi" "$2" | tail -n +4; }
check "the 32-bit installer is for x86, the x64 one for x64" is \
    "$(for b in "" -x64; do msiinfo suminfo "$dist/KavriStat-$version$b.msi" | sed -n 's/^Template: //p'; done)" \
    $'Intel;1033\nx64;1033'
check "every component of the x64 installer is 64-bit, none of the 32-bit one's" is \
    "$(msi_table -x64 Component | awk -F'\t' 'int($4 / 256) % 2 == 0'; msi_table "" Component | awk -F'\t' 'int($4 / 256) % 2')" ""
check "and no component GUID is in both" is "$(cat <(msi_table -x64 Component) <(msi_table "" Component) | cut -f2 | sort | uniq -d)" ""
check "the x64 installer's launch condition asks for 64-bit Windows" grep -q '^Installed OR VersionNT64'$'\t' \
    <(msi_table -x64 LaunchCondition)

# Start-up shortcuts from the build under test's helper beside a KavriStat.exe elsewhere (a
# portable copy), and one to another program named alike.
portable=$WINEPREFIX/drive_c/Portable
mkdir -p "$portable"
cp "$win/KavriStat.exe" "$win/StartupShortcut.exe" "$portable/"
rm -f "$user_shortcut"
wine 'C:\Portable\StartupShortcut.exe' /install >/dev/null 2>&1
mv "$user_shortcut" "$work/elsewhere.lnk"
perl -pe 's/KavriStat\.exe/KavriStax.exe/g; s/K\0a\0v\0r\0i\0S\0t\0a\0t\0\.\0e\0x\0e/K\0a\0v\0r\0i\0S\0t\0a\0x\0.\0e\0x\0e/g' \
    "$work/elsewhere.lnk" >"$work/foreign.lnk"
startup_links() { find "$user_startup" -maxdepth 1 -iname '*.lnk' | wc -l; }
one_startup_link_to() { is "$(startup_links)" 1 && shortcut_targets "$1"; }

cp "$work/elsewhere.lnk" "$user_shortcut"
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
start_program "$installed_exe"
wait_until 60 window_up  # a close asked before the window is there goes unheard
wine taskkill /im KavriStat.exe >/dev/null 2>&1
check "it saves its statistics beside itself" wait_until 15 test -s "$installed/kvrstat.csv"
stop_installed
printf 'kept\r\n' >"$installed/kvrstat.bak"
printf '"KavriStat games",3\r\n' >"$installed/kvrgames.csv"
# Every file beside the program but the installed ones, by name and content.
user_data() { (cd "$installed" && find . -type f ! -name KavriStat.exe ! -name StartupShortcut.exe | sort | xargs md5sum); }
data_before=$(user_data)

# ---- The other build over this one and back, at the same version: one product replaces the
# other. Windows removes the product replaced with UPGRADINGPRODUCTCODE set, so that it leaves the
# start-up shortcut; Wine 8's upgrade sets no such property, so that removal is shown by hand.
other_code=$(msi_table "$other" Property | awk -F'\t' '$1 == "ProductCode" { print $2 }')
wine msiexec /x 'C:\kavristat.msi' UPGRADINGPRODUCTCODE="$other_code" /qn >/dev/null 2>&1
check "removed as an upgrade removes it, the program leaves its start-up shortcut" \
    eval '[ ! -e "$installed/KavriStat.exe" ] && one_startup_link_to "$installed_exe"'
wine msiexec /i 'C:\kavristat.msi' /qn >/dev/null 2>&1
# Where the new build's helper runs, the start-up shortcut first leads to a KavriStat.exe
# elsewhere, to show that the helper points it at the installed program.
install_build() {  # install_build MSI BUILD MACHINE HELPER_RUNS
    [ "$4" = yes ] && cp "$work/elsewhere.lnk" "$user_shortcut"
    wine msiexec /i "$1" /qn >/dev/null 2>&1
    check "the $2 installer over the other build: one entry in installed apps" is "$(apps)" 1
    check "and the installed program is the $2 one" is "$(pe_machine "$installed/KavriStat.exe")" "$3"
    check "and every file beside it stays byte-identical" is "$(user_data)" "$data_before"
    if [ "$4" = yes ]; then
        check "and one start-up shortcut, to the installed program" wait_until 15 one_startup_link_to "$installed_exe"
    else
        echo "# not run: the start-up shortcut after the $2 installer, because its helper cannot run here to point it again: Wine 8 removes the build replaced as a plain uninstall, without UPGRADINGPRODUCTCODE"
    fi
}
install_build 'C:\kavristat-other.msi' "$other_build" "$other_machine" "$other_helper_runs"
install_build 'C:\kavristat.msi' "$own_build" "$machine" yes
if [ "$KAVRI_ARCH" = win32 ]; then
    # A 32-bit prefix is 32-bit Windows: the x64 installer installs nothing there.
    pfx32=$work/pfx32
    WINEPREFIX=$pfx32 WINEARCH=win32 wineboot -i >/dev/null 2>&1
    cp "$dist/KavriStat-$version-x64.msi" "$pfx32/drive_c/kavristat-x64.msi"
    WINEPREFIX=$pfx32 wine msiexec /i 'C:\kavristat-x64.msi' /qn >/dev/null 2>&1
    refused() {
        [ -d "$pfx32/drive_c/windows/system32" ] && [ ! -e "$pfx32/drive_c/windows/syswow64" ] &&
            [ ! -e "$pfx32/drive_c/users/$(id -un)/AppData/Local/Programs/KavriStat" ]
    }
    check "the x64 installer refuses 32-bit Windows (a 32-bit prefix)" refused
    cp "$WINEPREFIX/drive_c/kavristat.msi" "$pfx32/drive_c/"
    WINEPREFIX=$pfx32 wine msiexec /i 'C:\kavristat.msi' /qn >/dev/null 2>&1
    check "where the 32-bit one installs" test -s "$pfx32/drive_c/users/$(id -un)/AppData/Local/Programs/KavriStat/KavriStat.exe"
    WINEPREFIX=$pfx32 wineserver -k >/dev/null 2>&1
else
    echo "# not run: the x64 installer refusing 32-bit Windows, because this machine runs no 32-bit Wine for a 32-bit prefix"
fi

(cd "$(dirname "$0")/../.." && scripts/package 99.0.0 "$work/dist-new" >/dev/null 2>&1)
cp "$work/dist-new/KavriStat-99.0.0$own.msi" "$WINEPREFIX/drive_c/kavristat-new.msi"
# A start-up shortcut to another program is not the installer's to change.
cp "$work/foreign.lnk" "$user_shortcut"
foreign=$(md5sum <"$user_shortcut")
wine msiexec /i 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
check "a newer build upgrades in place: still one entry" is "$(apps)" 1
check "and leaves a start-up shortcut to another program as it was" is "$(md5sum <"$user_shortcut")" "$foreign"
check "and the upgraded program is there" test -s "$installed/KavriStat.exe"
check "every file beside it is byte-identical after the upgrade" is "$(user_data)" "$data_before"
wine msiexec /i 'C:\kavristat-other.msi' /qn >/dev/null 2>&1
check "the other build's older installer does not replace the newer version" is "$(pe_machine "$installed/KavriStat.exe")" "$machine"

start_program "$installed_exe"
wait_until 60 shortcut_targets "$installed_exe"  # it replaces the shortcut that leads nowhere
stop_installed
data_before=$(user_data)
wine msiexec /x 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
check "uninstall removes the program" test ! -e "$installed/KavriStat.exe"
check "and its Start-menu shortcut" test ! -e "$menu_shortcut"
check "and the start-up shortcut that points at it" test ! -e "$user_shortcut"
check "and its entry in installed apps" is "$(apps)" 0
check "the user's files stay byte-identical" is "$(user_data)" "$data_before"

# A start-up shortcut that points elsewhere is not the installer's to remove.
wine msiexec /i 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
cp "$work/elsewhere.lnk" "$user_shortcut"
wine msiexec /x 'C:\kavristat-new.msi' /qn >/dev/null 2>&1
check "uninstall leaves a start-up shortcut to another KavriStat.exe" cmp -s "$work/elsewhere.lnk" "$user_shortcut"
wineserver -k >/dev/null 2>&1
rm -f "$user_shortcut"  # the next session would start it
