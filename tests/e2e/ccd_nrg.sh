# ---- Games played from CloneCD sets and Nero images (sourced by run.sh after images.sh, with its
# folder, control file and helpers). In each, another game's raw sectors come first as an audio
# track, so that the data track is found only where the descriptor or the chunk list says.
here=$(dirname "${BASH_SOURCE[0]}")
python3 "$here/../raw_sectors.py" "$work/crystal.iso" "$work/crystal.bin"
python3 "$here/../raw_sectors.py" "$images/Second Disc.iso" "$work/second.bin"
audio_sectors=$(($(stat -c %s "$work/second.bin") / 2352))
cat "$work/second.bin" <(head -c $((2 * 2352)) /dev/zero) "$work/crystal.bin" >"$images/Crystal CD.img"
: >"$images/Crystal CD.sub"  # the subchannel, empty as some sets ship it
printf '[CloneCD]\r\nVersion=3\r\n[Disc]\r\nTocEntries=2\r\nSessions=1\r\n[Session 1]\r\nPreGapMode=2\r\n' >"$images/Crystal CD.ccd"
for entry in "0 0x01 0x00 0" "1 0x02 0x04 $((audio_sectors + 2))"; do
    read -r number point track_control plba <<<"$entry"  # $control is the emulator's control file
    printf '[Entry %s]\r\nSession=1\r\nPoint=%s\r\nADR=0x01\r\nControl=%s\r\nPLBA=%s\r\n' \
        "$number" "$point" "$track_control" "$plba" >>"$images/Crystal CD.ccd"
done
printf '[TRACK 1]\r\nMODE=0\r\nINDEX 1=0\r\n[TRACK 2]\r\nMODE=2\r\nINDEX 0=%s\r\nINDEX 1=%s\r\n' \
    "$audio_sectors" "$((audio_sectors + 2))" >>"$images/Crystal CD.ccd"
for footer in ner5 nero; do
    python3 "$here/make_nrg.py" "$work/crystal.bin" "$images/Crystal $footer.nrg" --footer $footer --audio "$work/second.bin"
done
rm -f "$control"
restart :  # the program alone, to read the counts from
second_plays=$(game_count SLES-12345)

for held in "Crystal CD.img" "Crystal CD.sub" "Crystal ner5.nrg" "Crystal nero.nrg"; do
    plays=$(($(game_count SCUS-94426) + 1))
    printf '%s' "$images_win\\$held" >"$control"
    restart emulator 'C:\KavriStat\kavri.exe'
    check "$held held open is recorded as SCUS-94426: $plays" game_count_reaches SCUS-94426 $plays
done
rm -f "$control"
for named in "Crystal CD.ccd" "Crystal nero.nrg"; do
    plays=$(($(game_count SCUS-94426) + 1))
    restart emulator 'C:\KavriStat\kavri.exe' "$images_win\\$named"
    check "$named on the command line is recorded as SCUS-94426: $plays" game_count_reaches SCUS-94426 $plays
done
check "the other game's sectors before the data track are never taken for it" is "$(game_count SLES-12345)" "$second_plays"
wineserver -k >/dev/null 2>&1
