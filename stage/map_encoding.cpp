#include "stage/map_encoding.h"

namespace vexa {

using namespace map_format;

namespace {

class NibbleWriter {
public:
    explicit NibbleWriter(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    void put(unsigned nibble) {
        if (high_) {
            bytes_.push_back(static_cast<std::uint8_t>(nibble << 4));
        } else {
            bytes_.back() |= static_cast<std::uint8_t>(nibble & 0xF);
        }
        high_ = !high_;
    }
    void putBits(unsigned value, unsigned nibbles) {
        while (nibbles-- > 0) {
            put((value >> (4 * nibbles)) & 0xF);
        }
    }
    void putByte(unsigned value) { putBits(value, 2); }

private:
    std::vector<std::uint8_t>& bytes_;
    bool high_ = true;
};

void writeStep(NibbleWriter& out, const MapStep& step, std::span<const std::uint8_t> at) {
    out.put(step.code);
    const unsigned count = step.length - kMinLength;
    switch (step.code) {
    case kLiterals:
        out.put(step.length);
        for (std::size_t k = 0; k < step.length; ++k) {
            out.putByte(at[k]);
        }
        break;
    case kLiteral1: out.putByte(at[0]); break;
    case kLiteral2:
        out.putByte(at[0]);
        out.putByte(at[1]);
        break;
    case kRun:
        out.put(count);
        out.putByte(step.arg);
        break;
    case kRunA:
    case kRunB: out.put(count); break;
    case kShortCopy: out.put(step.arg - kShortDistanceBase); break;
    case kNearCopy:
        out.put(count);
        out.putByte(step.arg - step.length);
        break;
    case kMidCopy:
        out.put(count);
        out.putBits(step.arg - kMidDistanceBase, 3);
        break;
    case kFarCopy:
        out.put(count);
        out.putBits(step.arg, 4);
        break;
    case kPairW: out.put(step.arg); break;
    default: break; // kPairP, kByteC, kByteD, kRepeat1 and kRepeat2 have no operands
    }
}

} // namespace

std::vector<std::uint8_t> writeMapBlock(std::span<const std::uint8_t> data, std::uint8_t headByte,
                                        const MapEncoding& encoding) {
    std::vector<std::uint8_t> block;
    block.reserve(kStreamOffset + data.size() + data.size() / 8 + 2);
    block.push_back(headByte);
    block.insert(block.end(), encoding.dictionary.begin(), encoding.dictionary.end());
    NibbleWriter out(block);
    std::size_t i = 0;
    for (const MapStep& step : encoding.steps) {
        writeStep(out, step, data.subspan(i));
        i += step.length;
    }
    out.put(kLiterals); // the end code: no literals
    out.put(0);
    return block;
}

} // namespace vexa
