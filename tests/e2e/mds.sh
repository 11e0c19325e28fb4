# ---- Games played from an ".mds"/".mdf" pair (sourced by run.sh after images.sh, with its helpers)
# The test disc as raw sectors after an audio track of 150 sectors, so that its ".mdf" read from
# its start holds no game: the game is found only through the descriptor.
python3 "$(dirname "${BASH_SOURCE[0]}")/../raw_sectors.py" "$work/crystal.iso" "$work/crystal-raw.bin"
python3 "$(dirname "${BASH_SOURCE[0]}")/make_mds.py" "$work/crystal-raw.bin" "$images/Crystal Quest.mds" 150
cat "$images/Crystal Quest.mds" "$images/Crystal Quest.mdf" | md5sum >"$work/mds.md5"
rm -f "$control"

restart true  # the program alone, to read how often the game was played before
mds_plays=$(($(game_count SCUS-94426) + 1))
restart emulator 'C:\KavriStat\kavri.exe' "$images_win\\Crystal Quest.mds"
check "an .mds on the emulator's command line is recorded as SCUS-94426: $mds_plays" \
    game_count_reaches SCUS-94426 $mds_plays

mds_plays=$(($(game_count SCUS-94426) + 1))
printf '%s' "$images_win\\Crystal Quest.mdf" >"$control"
restart emulator 'C:\KavriStat\kavri.exe'
check "an .mdf held open, its .mds beside it, is recorded as SCUS-94426: $mds_plays" \
    game_count_reaches SCUS-94426 $mds_plays
rm -f "$control"
check "neither file was changed" is "$(cat "$images/Crystal Quest.mds" "$images/Crystal Quest.mdf" | md5sum)" \
    "$(cat "$work/mds.md5")"
wineserver -k >/dev/null 2>&1
