// An LZMA decoder of our own, after the format as its authors describe it: a range coder over
// adaptive bit probabilities, literals coded in the context of the previous byte, matches and
// repeated distances, and lengths from a two-level coder.
#include "discimage/lzma.h"

#include <array>
#include <memory>
#include <vector>

namespace kavri {
namespace {

using Prob = std::uint16_t;
constexpr Prob kProbInit = 1024;  // half of 1 << 11
constexpr int kStates = 12;
constexpr int kPosStatesMax = 16;
constexpr int kLenStates = 4;
constexpr int kEndPosModel = 14;
constexpr int kFullDistances = 1 << (kEndPosModel >> 1);
constexpr int kMatchMinLen = 2;

class RangeDecoder {
public:
    explicit RangeDecoder(std::string_view in) : in_(in) {
        bad_ = Next() != 0;
        for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | Next();
        bad_ = bad_ || code_ == range_;
    }
    bool Bad() const { return bad_; }

    unsigned Bit(Prob& prob) {
        const std::uint32_t bound = (range_ >> 11) * prob;
        unsigned bit;
        if (code_ < bound) {
            prob = static_cast<Prob>(prob + ((2048 - prob) >> 5));
            range_ = bound;
            bit = 0;
        } else {
            prob = static_cast<Prob>(prob - (prob >> 5));
            code_ -= bound;
            range_ -= bound;
            bit = 1;
        }
        Normalize();
        return bit;
    }

    std::uint32_t Direct(int count) {
        std::uint32_t value = 0;
        while (count-- > 0) {
            range_ >>= 1;
            code_ -= range_;
            const std::uint32_t t = 0 - (code_ >> 31);  // all ones when the bit is 0
            code_ += range_ & t;
            bad_ = bad_ || code_ == range_;
            Normalize();
            value = (value << 1) + (t + 1);
        }
        return value;
    }

private:
    std::uint32_t Next() {
        if (at_ >= in_.size()) {
            bad_ = true;  // the stream ended before the output did
            return 0;
        }
        return static_cast<unsigned char>(in_[at_++]);
    }
    void Normalize() {
        if (range_ < (1u << 24)) {
            range_ <<= 8;
            code_ = (code_ << 8) | Next();
        }
    }

    std::string_view in_;
    std::size_t at_ = 0;
    std::uint32_t range_ = 0xFFFFFFFF, code_ = 0;
    bool bad_ = false;
};

template <int Bits>
struct BitTree {
    std::array<Prob, 1 << Bits> probs;
    BitTree() { probs.fill(kProbInit); }
    unsigned Decode(RangeDecoder& rc) {
        unsigned m = 1;
        for (int i = 0; i < Bits; ++i) m = (m << 1) + rc.Bit(probs[m]);
        return m - (1u << Bits);
    }
};

// Bits least significant first, from probabilities at probs[1..].
unsigned ReverseDecode(Prob* probs, int bits, RangeDecoder& rc) {
    unsigned m = 1, value = 0;
    for (int i = 0; i < bits; ++i) {
        const unsigned bit = rc.Bit(probs[m]);
        m = (m << 1) + bit;
        value |= bit << i;
    }
    return value;
}

struct LengthDecoder {
    Prob choice = kProbInit, choice2 = kProbInit;
    std::array<BitTree<3>, kPosStatesMax> low, mid;
    BitTree<8> high;
    unsigned Decode(RangeDecoder& rc, unsigned posState) {
        if (rc.Bit(choice) == 0) return low[posState].Decode(rc);
        if (rc.Bit(choice2) == 0) return 8 + mid[posState].Decode(rc);
        return 16 + high.Decode(rc);
    }
};

struct Decoder {
    LzmaProperties props;
    std::vector<Prob> literals;
    std::array<BitTree<6>, kLenStates> posSlot;
    std::array<Prob, 1 + kFullDistances - kEndPosModel> posSpecial;
    BitTree<4> align;
    LengthDecoder lengths, repLengths;
    std::array<Prob, kStates << 4> isMatch, isRep0Long;
    std::array<Prob, kStates> isRep, isRepG0, isRepG1, isRepG2;

    explicit Decoder(const LzmaProperties& p) : props(p), literals(std::size_t{0x300} << (p.lc + p.lp), kProbInit) {
        posSpecial.fill(kProbInit);
        for (auto* probs : {&isMatch, &isRep0Long}) probs->fill(kProbInit);
        for (auto* probs : {&isRep, &isRepG0, &isRepG1, &isRepG2}) probs->fill(kProbInit);
    }

    void Literal(RangeDecoder& rc, std::string& out, unsigned state, std::uint32_t rep0) {
        const unsigned prev = out.empty() ? 0 : static_cast<unsigned char>(out.back());
        const std::size_t context = ((out.size() & ((1u << props.lp) - 1)) << props.lc) + (prev >> (8 - props.lc));
        Prob* probs = &literals[context * 0x300];
        unsigned symbol = 1;
        if (state >= 7) {  // after a match: the byte at the last distance guides the first bits
            unsigned match = static_cast<unsigned char>(out[out.size() - rep0 - 1]);
            while (symbol < 0x100) {
                const unsigned matchBit = (match >> 7) & 1;
                match <<= 1;
                const unsigned bit = rc.Bit(probs[((1 + matchBit) << 8) + symbol]);
                symbol = (symbol << 1) | bit;
                if (matchBit != bit) break;
            }
        }
        while (symbol < 0x100) symbol = (symbol << 1) | rc.Bit(probs[symbol]);
        out += static_cast<char>(symbol - 0x100);
    }

    std::uint32_t Distance(RangeDecoder& rc, unsigned length) {
        const unsigned lenState = length < kLenStates - 1 ? length : kLenStates - 1;
        const unsigned slot = posSlot[lenState].Decode(rc);
        if (slot < 4) return slot;
        const int direct = static_cast<int>((slot >> 1) - 1);
        std::uint32_t distance = (2 | (slot & 1)) << direct;
        if (slot < kEndPosModel) return distance + ReverseDecode(&posSpecial[distance - slot], direct, rc);
        distance += rc.Direct(direct - 4) << 4;
        return distance + ReverseDecode(align.probs.data(), 4, rc);
    }
};

}  // namespace

std::optional<std::string> DecodeLzma(std::string_view in, const LzmaProperties& props, std::size_t outSize) {
    if (props.lc > 8 || props.lp > 4 || props.pb > 4) return std::nullopt;
    auto decoder = std::make_unique<Decoder>(props);
    RangeDecoder rc(in);
    std::string out;
    out.reserve(outSize);
    std::uint32_t rep[4] = {};
    unsigned state = 0;
    while (out.size() < outSize && !rc.Bad()) {
        const unsigned posState = static_cast<unsigned>(out.size()) & ((1u << props.pb) - 1);
        if (rc.Bit(decoder->isMatch[(state << 4) + posState]) == 0) {
            decoder->Literal(rc, out, state, rep[0]);
            state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
            continue;
        }
        unsigned length;
        if (rc.Bit(decoder->isRep[state]) != 0) {
            if (out.empty()) return std::nullopt;
            if (rc.Bit(decoder->isRepG0[state]) == 0) {
                if (rc.Bit(decoder->isRep0Long[(state << 4) + posState]) == 0) {  // one byte at the last distance
                    state = state < 7 ? 9 : 11;
                    out += out[out.size() - rep[0] - 1];
                    continue;
                }
            } else {
                std::uint32_t distance;
                if (rc.Bit(decoder->isRepG1[state]) == 0) {
                    distance = rep[1];
                } else {
                    if (rc.Bit(decoder->isRepG2[state]) == 0) {
                        distance = rep[2];
                    } else {
                        distance = rep[3];
                        rep[3] = rep[2];
                    }
                    rep[2] = rep[1];
                }
                rep[1] = rep[0];
                rep[0] = distance;
            }
            length = decoder->repLengths.Decode(rc, posState);
            state = state < 7 ? 8 : 11;
        } else {
            rep[3] = rep[2];
            rep[2] = rep[1];
            rep[1] = rep[0];
            length = decoder->lengths.Decode(rc, posState);
            state = state < 7 ? 7 : 10;
            rep[0] = decoder->Distance(rc, length);
            if (rep[0] == 0xFFFFFFFF) break;  // the end mark
        }
        if (rep[0] >= out.size() || rep[0] >= props.dictionarySize) return std::nullopt;
        for (length += kMatchMinLen; length > 0 && out.size() < outSize; --length) out += out[out.size() - rep[0] - 1];
    }
    if (rc.Bad() || out.size() != outSize) return std::nullopt;
    return out;
}

}  // namespace kavri
