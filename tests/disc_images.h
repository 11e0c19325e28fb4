// Disc images built in memory: an ISO 9660 volume with the files given, the same in raw sectors,
// packed by the error code modeller, in the handheld player's package, as a CloneCD set and as a Nero image.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "discimage/iso_image.h"

namespace kavri::test {

inline constexpr std::size_t kSector = 2048;
inline constexpr std::size_t kRawSector = 2352;
inline constexpr std::uint32_t kRootLba = 20;
inline const std::string kBootFile = "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n";

inline void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

inline std::string DirRecord(const std::string& name, std::uint32_t lba, std::uint32_t size) {
    std::string record(33 + name.size() + (name.size() % 2 == 0 ? 1 : 0), '\0');
    record[0] = static_cast<char>(record.size());
    Put32(record, 2, lba);
    Put32(record, 10, size);
    record[32] = static_cast<char>(name.size());
    record.replace(33, name.size(), name);
    return record;
}

// 2048-byte sectors: the descriptor at 16, the root directory from 20 (fillers first, so that the
// records of the files may lie in a later sector), each file in a sector of its own after it.
inline std::string Iso(const std::vector<std::pair<std::string, std::string>>& files, int fillers = 0) {
    const int dirSectors = 1 + fillers / 50;
    std::string image((kRootLba + dirSectors + files.size()) * kSector, '\0');
    image.replace(16 * kSector, 7, std::string("\x01" "CD001\x01", 7));
    image.replace(16 * kSector + 156, 34, DirRecord(std::string(1, '\0'), kRootLba, dirSectors * kSector).substr(0, 34));
    std::size_t at = kRootLba * kSector;
    const auto add = [&](const std::string& record) {
        if (at % kSector + record.size() > kSector) at += kSector - at % kSector;  // records keep to a sector
        image.replace(at, record.size(), record);
        at += record.size();
    };
    for (int i = 0; i < fillers; ++i) add(DirRecord("FILLER" + std::to_string(i) + ".DAT;1", 0, 0));
    std::uint32_t lba = kRootLba + static_cast<std::uint32_t>(dirSectors);
    for (const auto& [name, content] : files) {
        add(DirRecord(name, lba, static_cast<std::uint32_t>(content.size())));
        image.replace(lba++ * kSector, content.size(), content);
    }
    return image;
}

inline std::string GameIso() { return Iso({{"README.TXT;1", "x"}, {"SYSTEM.CNF;1", kBootFile}}); }

// The same user data in sectors of the given size: sync and header (mode at byte 15) and, for
// mode 2, a subheader before the data; 2336-byte sectors keep only the subheader.
inline std::string Raw(const std::string& iso, std::size_t size, int mode) {
    std::string image;
    for (std::size_t s = 0; s < iso.size() / kSector; ++s) {
        std::string sector(size, '\0');
        std::size_t data = 8;
        if (size != 2336) {
            sector.replace(0, kSectorSync.size(), kSectorSync);
            sector[14] = static_cast<char>(s);  // an address, so that each sector differs
            sector[15] = static_cast<char>(mode);
            data = mode == 1 ? 16 : 24;
        }
        sector.replace(data, kSector, iso.substr(s * kSector, kSector));
        image += sector;
    }
    return image;
}

// An ".mds" of one session: the lead-in's point A0h, then the tracks given (mode, sector size,
// start in the image file) as tracks 1 and up, each naming file.
struct MdsBlock { int mode; std::uint32_t sectorSize, start; };
inline std::string Mds(const std::vector<MdsBlock>& tracks, const std::string& file = "*.mdf") {
    const std::size_t at = 0x70, names = at + (tracks.size() + 1) * 0x50;
    std::string mds = "MEDIA DESCRIPTOR" + std::string(names + 0x10 - 16, '\0') + file + '\0';
    mds[0x14] = 1, mds[0x58 + 0x0A] = static_cast<char>(tracks.size() + 1), mds[at + 4] = '\xA0';
    Put32(mds, 0x50, 0x58), Put32(mds, 0x58 + 0x14, at), Put32(mds, names, static_cast<std::uint32_t>(names + 0x10));
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const std::size_t block = at + (i + 1) * 0x50;
        mds[block] = static_cast<char>(tracks[i].mode), mds[block + 4] = static_cast<char>(i + 1);
        Put32(mds, block + 0x10, tracks[i].sectorSize), Put32(mds, block + 0x28, tracks[i].start);
        Put32(mds, block + 0x30, 1), Put32(mds, block + 0x34, static_cast<std::uint32_t>(names));
    }
    return mds;
}

// A run header of the packing: kind, then the unit count less one, 5 bits and then 7 a byte.
inline std::string EcmRun(int kind, std::uint32_t units) {
    std::uint32_t value = units - 1;
    std::string header(1, static_cast<char>(kind | (value & 0x1F) << 2));
    for (value >>= 5; value != 0; value >>= 7) {
        header.back() = static_cast<char>(header.back() | 0x80);
        header += static_cast<char>(value & 0x7F);
    }
    return header;
}

// A raw image packed: mode 1 as raw bytes for its first 16 sectors and one run of sectors after;
// mode 2 as each sector's sync and header in raw bytes, then the sector without them.
inline std::string Ecm(const std::string& raw, int mode) {
    std::string packed("ECM\0", 4);
    const std::size_t sectors = raw.size() / kRawSector;
    if (mode == 1) {
        packed += EcmRun(0, 16 * kRawSector) + raw.substr(0, 16 * kRawSector);
        packed += EcmRun(1, static_cast<std::uint32_t>(sectors - 16));
        for (std::size_t s = 16; s < sectors; ++s)
            packed += raw.substr(s * kRawSector + 12, 3) + raw.substr(s * kRawSector + 16, kSector);
    } else {
        for (std::size_t s = 0; s < sectors; ++s)
            packed += EcmRun(0, 16) + raw.substr(s * kRawSector, 16) + EcmRun(2, 1) +
                      raw.substr(s * kRawSector + 16, 4) + raw.substr(s * kRawSector + 24, kSector);
    }
    return packed + std::string("\xFC\xFF\xFF\xFF\x3F", 5) + std::string(4, '\0');  // the end mark and a checksum
}

// A disc's part of the handheld player's package: its raw sectors 16 to a block, raw-deflated
// (zlib's stream less its 2-byte header and 4-byte checksum) but for the blocks stored whole.
inline std::string PbpDisc(const std::string& raw, const std::set<std::size_t>& stored = {}) {
    const std::size_t block = 16 * kRawSector;
    std::string part = "PSISOIMG0000" + std::string(0x100000 - 12, '\0');
    for (std::size_t b = 0; b * block < raw.size(); ++b) {
        std::string packed = raw.substr(b * block, block), zlib(compressBound(block), '\0');
        packed.resize(block, '\0');
        uLongf length = zlib.size();
        compress2(reinterpret_cast<Bytef*>(zlib.data()), &length, reinterpret_cast<const Bytef*>(packed.data()), block, 9);
        if (!stored.count(b)) packed = zlib.substr(2, length - 6);
        Put32(part, 0x4000 + 32 * b, part.size() - 0x100000), Put32(part, 0x4004 + 32 * b, packed.size());
        part += packed;
    }
    return part;
}

// The package: PARAM.SFO with the text entries given (key, value), 100 bytes standing for
// DATA.PSP, then DATA.PSAR: one disc's part; several after a table of them, in the file in the
// reverse of the table's order; no disc, a DATA.PSAR of neither kind.
inline std::string Pbp(const std::vector<std::string>& discs, const std::vector<std::pair<std::string, std::string>>& sfo) {
    std::string pbp = std::string("\0PBP\0\0\x01\0", 8) + std::string(32, '\0'), index, keys, values;
    for (const auto& [key, value] : sfo) {
        std::string entry(16, '\0');
        Put32(entry, 0, keys.size()), Put32(entry, 4, value.size() + 1), Put32(entry, 12, values.size());
        index += entry, keys += key + '\0', values += value + '\0';
    }
    std::string param = std::string("\0PSF\x01\x01\0\0", 8) + std::string(12, '\0') + index + keys + values;
    Put32(param, 8, 20 + index.size()), Put32(param, 12, 20 + index.size() + keys.size()), Put32(param, 16, sfo.size());
    std::string psar = discs.size() == 1 ? discs[0] : discs.empty() ? "PSISO" : "PSTITLEIMG000000";
    for (std::size_t d = discs.size(); discs.size() > 1 && d-- > 0;) {
        psar.resize(std::max<std::size_t>(psar.size(), 0x8000), '\0');
        Put32(psar, 0x200 + 4 * d, psar.size()), psar += discs[d];
    }
    for (std::size_t part = 0; part < 8; ++part) Put32(pbp, 8 + 4 * part, 40 + (part ? param.size() : 0) + (part == 7 ? 100 : 0));
    return pbp + param + std::string(100, 'D') + psar;
}

// A CloneCD descriptor: audio track 1 from sector 0, data track 2 from start after two sectors of
// its index 0; the table of contents' entries, the tracks' own sections, or both.
inline std::string CcdText(std::uint32_t start, bool entries = true, bool trackSections = true) {
    const std::string at = std::to_string(start);
    std::string text = "[CloneCD]\nVersion=3\n[Disc]\nTocEntries=2\nSessions=1\n[Session 1]\nPreGapMode=2\n";
    if (entries) text += "[Entry 0]\nSession=1\nPoint=0x01\nADR=0x01\nControl=0x00\nPLBA=0\n"
                         "[Entry 1]\nSession=1\nPoint=0x02\nADR=0x01\nControl=0x04\nPLBA=" + at + "\n";
    if (trackSections) text += "[TRACK 1]\nMODE=0\nINDEX 1=0\n[TRACK 2]\nMODE=2\nINDEX 0=" + std::to_string(start - 2) +
                               "\nINDEX 1=" + at + "\n";
    return text;
}

inline std::string Be(std::uint64_t value, int width) {
    std::string bytes;
    for (int i = width - 1; i >= 0; --i) bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

// A Nero image: an audio track, two sectors of the data track's index 0, the data track in sectors
// of the given size; then a chunk of no interest, the track table (64-bit "DAOX" or "ETN2" under
// the footer "NER5", 32-bit "DAOI" or "ETNF" under "NERO") and "END!".
inline std::string Nrg(const std::string& audio, const std::string& data, std::uint32_t size, const std::string& table) {
    const int w = table == "DAOX" || table == "ETN2" ? 8 : 4;
    const bool atOnce = table[0] == 'D';
    const std::uint64_t start = audio.size() + 2 * size, end = start + data.size();
    const auto track = [&](std::uint64_t index0, std::uint64_t index1, std::uint64_t last, int mode) {
        return atOnce ? std::string(12, '\0') + Be(size, 2) + Be(mode, 1) + std::string(3, '\0') + Be(index0, w) + Be(index1, w) + Be(last, w)
                      : Be(index1, w) + Be(last - index1, w) + Be(mode, 4) + Be(index1 / size, 4) + Be(0, 4);
    };
    const std::string body = std::string(atOnce ? 22 : 0, '\0') + track(0, 0, audio.size(), 7) +
                             track(audio.size(), start, end, size == 2048 ? 0 : 6);
    const std::string image = audio + std::string(2 * size, '\0') + data;
    return image + "SINF" + Be(4, 4) + Be(1, 4) + table + Be(body.size(), 4) + body + "END!" + Be(0, 4) +
           (w == 8 ? "NER5" : "NERO") + Be(image.size(), w);
}

}  // namespace kavri::test
