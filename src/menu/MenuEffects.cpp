#include "menu/MenuEffects.h"

#include <algorithm>

#include "graphics/ObjectPicture.h"
#include "io/TextUtil.h"
#include "menu/PageRender.h"

namespace corvane {

namespace {

// Page rectangle of a window as DelRect and drawFrame take it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

Rect windowRect(const TEffWindow& window) {
    const int left = window.window_horizontal_position, top = window.window_vertical_position;
    return {left, top, left + window.window_width, top + window.window_height};
}

// Windows actually held: number_of_windows as read may disagree with the list.
std::size_t windowCount(const Teffectseq& sequence) {
    return std::min<std::size_t>(sequence.number_of_windows, sequence.windows.size());
}

} // namespace

const TEffWindow* effectWindow(const Teffectseq& sequence, std::uint8_t window_id_ref) {
    if (window_id_ref >= sequence.windows.size()) return nullptr;
    return &sequence.windows[window_id_ref];
}

CompObjectPicture compObjectPicture(TMenu& menu, const TCompObject& object, std::uint16_t palette) {
    CompObjectPicture shown;
    shown.x = object.composition_object_horizontal_position;
    shown.y = object.composition_object_vertical_position;
    const auto whole = Obj2Pic(menu, object.object_id_ref, palette);
    if (!whole) return shown;
    if (object.cropped()) {
        const int x = object.object_cropping_horizontal_position,
                  y = object.object_cropping_vertical_position;
        shown.picture = Obj2PicCr(menu, object.object_id_ref, palette, x, y, x + object.object_cropping_width,
                                  y + object.object_cropping_height);
    } else {
        shown.picture = *whole;
    }
    return shown;
}

std::string effectStatusText(std::size_t index, std::int64_t durationMs, std::int64_t displayedMs) {
    return "Effect: " + std::to_string(index) + "  duration: " + std::to_string(durationMs) +
           "ms, displayed: " + std::to_string(displayedMs) + " ms";
}

void DrawEffects(PageRenderer& renderer, const Teffectseq& sequence) {
    const PageRenderHooks& hooks = renderer.hooks;
    const Options& options = renderer.options();
    TMenu& menu = renderer.menu();
    if (hooks.animationTimer) hooks.animationTimer(false);
    for (std::size_t i = 0; i < sequence.effects.size(); ++i) {
        const Teffect& effect = sequence.effects[i];
        const std::int64_t t0 = renderer.nowMs();
        for (const TCompObject& object : effect.composition_objects) {
            const TEffWindow* window = effectWindow(sequence, object.window_id_ref);
            if (!window) continue;
            const Rect r = windowRect(*window);
            renderer.DelRect(r.left, r.top, r.bottom, r.right);
            if (options.WindowFrame)
                renderer.drawPageFrame(r.left, r.top, r.right, r.bottom, colourToRgb(options.colWindow));
        }
        for (const TCompObject& object : effect.composition_objects) {
            const CompObjectPicture shown = compObjectPicture(menu, object, effect.palette_id_ref);
            if (shown.picture.width <= 0 || shown.picture.height <= 0) continue;
            renderer.drawPicture(shown.picture, shown.x, shown.y);
            if (options.ButtonFrame)
                renderer.drawPageFrame(shown.x, shown.y, shown.x + shown.picture.width,
                                       shown.y + shown.picture.height, colourToRgb(options.colNormalButton));
        }
        if (hooks.refresh) hooks.refresh();
        const std::int64_t duration = effectDurationMs(effect);
        const std::int64_t elapsed = renderer.nowMs() - t0;
        if (elapsed < duration && hooks.wait) hooks.wait(static_cast<int>(duration - elapsed));
        if (hooks.status) hooks.status(effectStatusText(i, duration, renderer.nowMs() - t0));
        if (hooks.cancelled && hooks.cancelled()) break;
    }
    for (std::size_t w = 0; w < windowCount(sequence); ++w) {
        const Rect r = windowRect(sequence.windows[w]);
        renderer.DelRect(r.left, r.top, r.bottom, r.right);
    }
    if (hooks.refresh) hooks.refresh();
    if (options.ShowButtonAnimation && hooks.animationTimer) hooks.animationTimer(true);
}

EffectTables setEffects(const Teffectseq& sequence) {
    EffectTables tables;
    for (const TEffWindow& w : sequence.windows)
        tables.windows.push_back({zeroPad(w.window_id, 2), std::to_string(w.window_horizontal_position),
                                  std::to_string(w.window_vertical_position), std::to_string(w.window_width),
                                  std::to_string(w.window_height)});
    for (std::size_t i = 0; i < sequence.effects.size(); ++i) {
        const Teffect& e = sequence.effects[i];
        tables.effects.push_back({zeroPad(i + 1, 3), menuInTimeText(e.effect_duration),
                                  hexText(e.palette_id_ref, 2),
                                  std::to_string(e.composition_objects.size())});
    }
    return tables;
}

std::vector<EffCompObjectRow> compObjectRows(const Teffect& effect) {
    std::vector<EffCompObjectRow> rows;
    for (std::size_t i = 0; i < effect.composition_objects.size(); ++i) {
        const TCompObject& o = effect.composition_objects[i];
        rows.push_back({zeroPad(i + 1, 3), hexText(o.object_id_ref, 4), hexText(o.window_id_ref, 2),
                        std::to_string(o.composition_object_horizontal_position),
                        std::to_string(o.composition_object_vertical_position)});
    }
    return rows;
}

RgbaImage EffPreview(TMenu& menu, const Teffectseq& sequence, std::size_t effect, std::size_t compObject,
                     const Options& options) {
    RgbaImage preview(PageWidth, PageHeight);
    preview.fill(colourToRgb(options.colBackground));
    if (effect >= sequence.effects.size()) return preview;
    const Teffect& e = sequence.effects[effect];
    if (compObject >= e.composition_objects.size()) return preview;
    const TCompObject& object = e.composition_objects[compObject];
    if (const TEffWindow* window = effectWindow(sequence, object.window_id_ref)) {
        const Rect r = windowRect(*window);
        RgbaImage area(std::min(r.right, PageWidth) - std::min(r.left, PageWidth),
                       std::min(r.bottom, PageHeight) - std::min(r.top, PageHeight));
        area.fill(colourToRgb(options.colObjectBackground));
        drawBlended(preview, area, r.left, r.top);
        if (options.WindowFrame)
            drawFrame(preview, r.left, r.top, r.right, r.bottom, colourToRgb(options.colWindow));
    }
    const CompObjectPicture shown = compObjectPicture(menu, object, e.palette_id_ref);
    if (shown.picture.width > 0 && shown.picture.height > 0) {
        drawBlended(preview, shown.picture, shown.x, shown.y);
        if (options.ButtonFrame)
            drawFrame(preview, shown.x, shown.y, shown.x + shown.picture.width,
                      shown.y + shown.picture.height, colourToRgb(options.colNormalButton));
    }
    return preview;
}

} // namespace corvane
