// Builds vector, rotation and scalar tracks from arbitrary key data (any float bit pattern,
// frames in any order, any flags), prepares them and evaluates them at arbitrary frames, forwards
// and backwards. Evaluation may produce any number, but must never read outside a key array or
// hit undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "anim/Track.h"

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    float nextFloat() {
        std::uint8_t raw[4] = {};
        for (std::uint8_t& b : raw) b = empty() ? 0 : data_[pos_++];
        float f;
        std::memcpy(&f, raw, sizeof f);
        return f;
    }
    std::uint8_t nextByte() { return empty() ? 0 : data_[pos_++]; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const int flags = in.nextByte();
    const int keyCount = in.nextByte() % 12;
    const int frameCount = in.nextByte() % 16;

    VectorTrack vectors;
    RotationTrack rotations;
    ScalarTrack scalars;
    vectors.flags = rotations.flags = scalars.flags = flags;
    for (int k = 0; k < keyCount; ++k) {
        const float frame = in.nextFloat();
        VectorKey v{};
        v.frame = frame;
        for (float& c : v.value) c = in.nextFloat();
        v.tension = in.nextFloat();
        v.continuity = in.nextFloat();
        v.bias = in.nextFloat();
        v.easeFrom = in.nextFloat();
        v.easeTo = in.nextFloat();
        vectors.addKey(v);

        RotationKey r{};
        r.frame = frame;
        r.angle = in.nextFloat();
        for (float& c : r.axis) c = in.nextFloat();
        r.tension = v.tension;
        r.continuity = v.continuity;
        r.bias = v.bias;
        r.easeFrom = v.easeFrom;
        r.easeTo = v.easeTo;
        rotations.addKey(r);

        ScalarKey s{};
        s.frame = frame;
        s.value = v.value[0];
        scalars.addKey(s);
        // A second chunk may append keys to a prepared track; prepare in the middle sometimes.
        if (in.nextByte() & 1) {
            vectors.prepare();
            rotations.prepare();
            scalars.prepare();
        }
    }
    vectors.prepare();
    rotations.prepare();
    scalars.prepare();

    for (int i = 0; i < frameCount; ++i) {
        const float frame = in.nextFloat();
        float v[3];
        Quat q;
        if (vectors.keyCount > 0) vectors.evaluate(frame, v);
        if (rotations.keyCount > 0) rotations.evaluate(frame, q);
        evaluateScalar(scalars, frame);
    }
    return 0;
}
