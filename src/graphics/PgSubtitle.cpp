#include "graphics/PgSubtitle.h"

#include <algorithm>

#include "graphics/ObjectPicture.h"
#include "graphics/RleCodec.h"

namespace corvane {

namespace {

enum Segment : std::uint8_t { PDS = 0x14, ODS = 0x15, PCS = 0x16, WDS = 0x17, END = 0x80 };

constexpr std::size_t MaxSegmentBody = 0xFFFF;
constexpr std::size_t FirstFragmentHeader = 11; // id, version, flags, length, width, height
constexpr std::size_t NextFragmentHeader = 4;   // id, version, flags

struct Bytes {
    std::vector<std::uint8_t> data;
    void put(std::uint64_t value, int count) {
        for (int i = count - 1; i >= 0; --i) data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
};

void segment(Bytes& out, Segment type, std::uint32_t pts, const std::vector<std::uint8_t>& body) {
    out.put('P', 1);
    out.put('G', 1);
    out.put(pts, 4);
    out.put(pts, 4); // DTS: decoded as it is presented
    out.put(type, 1);
    out.put(body.size(), 2);
    out.data.insert(out.data.end(), body.begin(), body.end());
}

std::vector<std::uint8_t> composition(int width, int height, std::uint8_t rate, std::uint16_t number,
                                      bool epochStart, const PgCaption* shown) {
    Bytes body;
    body.put(static_cast<std::uint32_t>(width), 2);
    body.put(static_cast<std::uint32_t>(height), 2);
    body.put(static_cast<std::uint32_t>(rate & 0x0F) << 4, 1);
    body.put(number, 2);
    body.put(epochStart ? 0x80 : 0x00, 1);
    body.put(0, 1); // palette_update_flag
    body.put(0, 1); // palette_id
    body.put(shown ? 1 : 0, 1);
    if (shown) {
        body.put(0, 2); // object_id
        body.put(0, 1); // window_id
        body.put(0, 1); // not cropped, not forced
        body.put(static_cast<std::uint32_t>(shown->x), 2);
        body.put(static_cast<std::uint32_t>(shown->y), 2);
    }
    return body.data;
}

std::vector<std::uint8_t> window(const PgCaption& caption) {
    Bytes body;
    body.put(1, 1);
    body.put(0, 1);
    body.put(static_cast<std::uint32_t>(caption.x), 2);
    body.put(static_cast<std::uint32_t>(caption.y), 2);
    body.put(static_cast<std::uint32_t>(caption.picture.width), 2);
    body.put(static_cast<std::uint32_t>(caption.picture.height), 2);
    return body.data;
}

std::vector<std::uint8_t> paletteBody(const RgbaPalette& palette) {
    Bytes body;
    body.put(0, 1); // palette_id
    body.put(0, 1); // version
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const PaletteEntry& entry = palette[i];
        if (entry[3] == 0) continue; // fully transparent: the decoder's default
        const auto ycrcb = RGBToYCrCb(entry[0], entry[1], entry[2]);
        body.put(i, 1);
        body.put(ycrcb[0], 1);
        body.put(ycrcb[1], 1);
        body.put(ycrcb[2], 1);
        body.put(entry[3], 1);
    }
    return body.data;
}

void objectSegments(Bytes& out, std::uint32_t pts, const IndexPicture& picture) {
    const std::vector<std::uint8_t> rle = rle_encode(picture);
    std::size_t done = 0;
    bool first = true;
    do {
        Bytes body;
        body.put(0, 2); // object_id
        body.put(0, 1); // version
        const std::size_t room = MaxSegmentBody - (first ? FirstFragmentHeader : NextFragmentHeader);
        const std::size_t take = std::min(room, rle.size() - done);
        const bool last = done + take == rle.size();
        body.put((first ? 0x80 : 0) | (last ? 0x40 : 0), 1);
        if (first) {
            body.put(rle.size() + 4, 3); // object_data_length counts width and height
            body.put(static_cast<std::uint32_t>(picture.width), 2);
            body.put(static_cast<std::uint32_t>(picture.height), 2);
        }
        body.data.insert(body.data.end(), rle.begin() + static_cast<std::ptrdiff_t>(done),
                         rle.begin() + static_cast<std::ptrdiff_t>(done + take));
        segment(out, ODS, pts, body.data);
        done += take;
        first = false;
    } while (done < rle.size());
}

} // namespace

std::vector<std::uint8_t> writeSupCaptions(const std::vector<PgCaption>& captions, const RgbaPalette& palette,
                                           int videoWidth, int videoHeight, std::uint8_t frameRateCode) {
    Bytes out;
    std::uint16_t number = 0;
    for (const PgCaption& caption : captions) {
        segment(out, PCS, caption.start,
                composition(videoWidth, videoHeight, frameRateCode, number++, true, &caption));
        segment(out, WDS, caption.start, window(caption));
        segment(out, PDS, caption.start, paletteBody(palette));
        objectSegments(out, caption.start, caption.picture);
        segment(out, END, caption.start, {});
        segment(out, PCS, caption.end,
                composition(videoWidth, videoHeight, frameRateCode, number++, false, nullptr));
        segment(out, WDS, caption.end, window(caption));
        segment(out, END, caption.end, {});
    }
    return out.data;
}

} // namespace corvane
