#pragma once
// In and out effects of an IG page: playing an effect sequence on the page view in real
// time, the rows of the effect tables, and the preview of one composition object.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Picture.h"
#include "menu/IGMenu.h"
#include "shell/Options.h"

namespace corvane {

class PageRenderer;

// The window of a composition object: the sequence's window slot whose index is
// window_id_ref. A ref past the windows the sequence holds names no window; such an object
// is still drawn, but no window is erased or framed for it. Null for no window.
const TEffWindow* effectWindow(const Teffectseq& sequence, std::uint8_t window_id_ref);

// What one composition object puts on the page: its picture (whole or cropped) and where.
// An object without a picture, or an empty crop, gives an empty picture.
struct CompObjectPicture {
    RgbaImage picture;
    int x = 0;
    int y = 0;
};
CompObjectPicture compObjectPicture(TMenu& menu, const TCompObject& object, std::uint16_t palette);

// Milliseconds of an effect: effect_duration / 90 (90 kHz ticks).
inline std::int64_t effectDurationMs(const Teffect& effect) {
    return effect.effect_duration / 90;
}
// Status panel 1 after an effect: "Effect: 0  duration: 500ms, displayed: 501 ms".
std::string effectStatusText(std::size_t index, std::int64_t durationMs, std::int64_t displayedMs);

// Plays a sequence on the renderer's page picture: the animation timer stops, each effect
// erases and frames its windows, draws its composition objects in its palette, and is held
// until its duration has passed (measured from its start on the hooks' clock); every window
// is erased at the end, and the timer restarts when button animation is on. A cancel
// request ends the playback after the current effect.
void DrawEffects(PageRenderer& renderer, const Teffectseq& sequence);

// The rows of sgEffWindows and sgEffEffects.
using EffWindowRow = std::array<std::string, 5>; // id (2 decimal), x, y, width, height
using EffEffectRow = std::array<std::string, 4>; // No. (3 decimal), "h:mm:ss.zzz", palette (2 hex), objects
using EffCompObjectRow = std::array<std::string, 5>; // No. (3 decimal), object (4 hex), window (2 hex), x, y
struct EffectTables {
    std::vector<EffWindowRow> windows; // empty: the table is cleared and disabled
    std::vector<EffEffectRow> effects; // likewise
};
EffectTables setEffects(const Teffectseq& sequence);
// The sgEffCompObjects rows of one effect.
std::vector<EffCompObjectRow> compObjectRows(const Teffect& effect);

// The effect preview iEffect: a 1920 x 1080 picture on colBackground with the composition
// object's window filled with colObjectBackground (framed in colWindow when window frames are
// on) and the object drawn over it in the effect's palette (framed in colNormalButton when
// button frames are on). Indexes past the lists give the plain picture.
RgbaImage EffPreview(TMenu& menu, const Teffectseq& sequence, std::size_t effect, std::size_t compObject,
                     const Options& options);

} // namespace corvane
