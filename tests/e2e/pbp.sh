# ---- Games played from packages of the handheld's PlayStation player (".pbp"; sourced by run.sh
# after images.sh, whose images, helpers and control file it uses): the test disc packed as an
# "EBOOT.PBP" in a folder of its own, named on the emulator's command line and held open by it, and
# a package of two discs, whose first disc is the game and whose title names it.
pbp_one="$images/Crystal Quest PBP"
pbp_two="$images/Two Discs PBP"
mkdir -p "$pbp_one" "$pbp_two"
make_pbp="$(dirname "${BASH_SOURCE[0]}")/make_pbp.py"
python3 "$make_pbp" "$pbp_one/EBOOT.PBP" "Crystal Quest PBP" SCUS94426 "$work/crystal.iso"
python3 "$make_pbp" "$pbp_two/EBOOT.PBP" "Two Discs PBP" SLES12345 "$images/Second Disc.iso" "$work/crystal.iso"
rm -f "$control"
restart true  # the program alone, to read the counts so far
plays=$(($(game_count SCUS-94426) + 1))
second_plays=$(($(game_count SLES-12345) + 1))

restart emulator 'C:\KavriStat\kavri.exe' "$images_win\\Crystal Quest PBP\\EBOOT.PBP"
check "a package on the emulator's command line is recorded as SCUS-94426: $plays" game_count_reaches SCUS-94426 $plays

printf '%s' "$images_win\\Crystal Quest PBP\\EBOOT.PBP" >"$control"
restart emulator 'C:\KavriStat\kavri.exe'
check "a package held open is recorded as SCUS-94426: $((plays + 1))" game_count_reaches SCUS-94426 $((plays + 1))

named() { grep -q "^\"$1\",.*,\"$2\",\"$3\""$'\r''$' "$app/kvrgames.csv"; }  # named ID NAME SOURCE
check "SLES-12345 is named after its file so far" named SLES-12345 "Second Disc" file
printf '%s' "$images_win\\Two Discs PBP\\EBOOT.PBP" >"$control"
restart emulator 'C:\KavriStat\kavri.exe'
check "a package of two discs is recorded as its first disc's game, SLES-12345: $second_plays" \
    game_count_reaches SLES-12345 $second_plays
check "and not as its second's" game_count_is SCUS-94426 $((plays + 1))
# The title is read away from the tick and saved by the tick after it answers: three ticks, as a count.
title_named() {
    wait_until 100 named SLES-12345 "Two Discs PBP" file ||
        { echo "    kvrgames.csv has: $(grep '^"SLES-12345"' "$app/kvrgames.csv" | tr -d '\r')"; return 1; }
}
check "the package's title replaces the name its file gave" title_named
check "and a typed name stays before the title" named SCUS-94426 "Crystal Odyssey" typed
rm -f "$control"
wineserver -k >/dev/null 2>&1
