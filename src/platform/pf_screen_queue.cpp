// pf_screen_queue.cpp: the frame's screen drawing, held back until it is shown so hidden work can be skipped.
//
// A menu frame copies a full screen of background and then covers much of it with
// opaque panels. The software renderer would write every covered pixel twice, so
// the frame's fills and copies are queued instead; when the frame is shown (or
// read back), each one is cut down to what no later opaque command paints over,
// and only that is drawn. The pixels on the screen are exactly the same.
#include <algorithm>

#include "pf_video_internal.h"

namespace {

// Subtracting many occluders could split a command into many small pieces; past
// this many the remaining pieces are simply drawn (drawing more is never wrong).
constexpr size_t kMaxPieces = 64;

// Written out rather than SDL's: a menu frame tests tens of thousands of pairs.
bool Intersect(const SDL_Rect& a, const SDL_Rect& b, SDL_Rect& out) {
    const int left = std::max(a.x, b.x), right = std::min(a.x + a.w, b.x + b.w);
    if (left >= right) return false;
    const int top = std::max(a.y, b.y), bottom = std::min(a.y + a.h, b.y + b.h);
    if (top >= bottom) return false;
    out = {left, top, right - left, bottom - top};
    return true;
}

// The parts of `area` that none of the occluders covers, as disjoint rectangles.
void Uncovered(const SDL_Rect& area, const std::vector<SDL_Rect>& occluders, std::vector<SDL_Rect>& pieces) {
    pieces.assign(1, area);
    static std::vector<SDL_Rect> next;  // kept between calls: no allocation per frame
    for (const SDL_Rect& o : occluders) {
        if (pieces.empty() || pieces.size() > kMaxPieces) return;
        next.clear();
        for (const SDL_Rect& p : pieces) {
            SDL_Rect hit;
            if (!Intersect(p, o, hit)) {
                next.push_back(p);
                continue;
            }
            // Above, below, then left and right of the covered part.
            if (hit.y > p.y) next.push_back({p.x, p.y, p.w, hit.y - p.y});
            if (hit.y + hit.h < p.y + p.h) next.push_back({p.x, hit.y + hit.h, p.w, p.y + p.h - (hit.y + hit.h)});
            if (hit.x > p.x) next.push_back({p.x, hit.y, hit.x - p.x, hit.h});
            if (hit.x + hit.w < p.x + p.w) next.push_back({hit.x + hit.w, hit.y, p.x + p.w - (hit.x + hit.w), hit.h});
        }
        pieces.swap(next);
    }
}

// Adds an opaque rectangle to the occluders, joined with the newest one when the
// two make a rectangle together: a wall of tiles drawn row by row becomes a
// handful of occluders instead of hundreds, which keeps the cutting cheap.
void AddOccluder(std::vector<SDL_Rect>& occluders, SDL_Rect r) {
    auto join = [](SDL_Rect& a, const SDL_Rect& b) {
        if (a.y == b.y && a.h == b.h && (a.x + a.w == b.x || b.x + b.w == a.x)) {
            a.x = std::min(a.x, b.x);
            a.w += b.w;
            return true;
        }
        if (a.x == b.x && a.w == b.w && (a.y + a.h == b.y || b.y + b.h == a.y)) {
            a.y = std::min(a.y, b.y);
            a.h += b.h;
            return true;
        }
        return false;
    };
    if (occluders.empty() || !join(occluders.back(), r)) {
        occluders.push_back(r);
        return;
    }
    // The grown rectangle may now complete one with the rectangle before it (a
    // finished row of tiles over the rows already joined).
    while (occluders.size() >= 2 && join(occluders[occluders.size() - 2], occluders.back())) occluders.pop_back();
}

// Clips a pixel-for-pixel command to the screen, moving its source with it; false
// when nothing of it is on the screen.
bool ClipToScreen(PfScreenCommand& c) {
    SDL_Rect screen = {0, 0, PfVideo.screenWidth, PfVideo.screenHeight};
    SDL_Rect visible;
    if (!Intersect(c.to, screen, visible)) return false;
    if (c.kind == PfScreenCommand::Copy) {
        c.from = {c.from.x + visible.x - c.to.x, c.from.y + visible.y - c.to.y, visible.w, visible.h};
    }
    c.to = visible;
    return true;
}

void Run(const PfScreenCommand& c, const SDL_Rect& to) {
    SDL_Renderer* renderer = PfVideo.renderer;
    switch (c.kind) {
        case PfScreenCommand::Clear:
            SDL_SetRenderDrawColor(renderer, c.red, c.green, c.blue, 255);
            SDL_RenderClear(renderer);
            break;
        case PfScreenCommand::Fill:
            SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
            SDL_SetRenderDrawColor(renderer, c.red, c.green, c.blue, 255);
            SDL_RenderFillRect(renderer, &to);
            break;
        case PfScreenCommand::Copy: {
            SDL_SetTextureBlendMode(c.texture, c.blend ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
            SDL_SetTextureAlphaMod(c.texture, c.alpha);
            SDL_SetTextureColorMod(c.texture, c.red, c.green, c.blue);
            SDL_SetTextureScaleMode(c.texture, c.smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
            // A piece of a pixel-for-pixel copy takes the same piece of the source.
            SDL_Rect from = c.from;
            if (c.pixelForPixel) from = {c.from.x + to.x - c.to.x, c.from.y + to.y - c.to.y, to.w, to.h};
            SDL_RenderCopy(renderer, c.texture, &from, &to);
            break;
        }
    }
}

}  // namespace

void PfQueueScreenCommand(PfScreenCommand command) {
    if (!PfVideo.renderer || command.to.w <= 0 || command.to.h <= 0) return;
    if (command.kind == PfScreenCommand::Copy) {
        command.pixelForPixel = command.from.w == command.to.w && command.from.h == command.to.h;
    } else {
        command.pixelForPixel = true;
    }
    // With the renderer scaling the whole screen, neighbouring pieces could leave
    // seams; such screens draw every command whole.
    if (command.pixelForPixel && !PfVideo.screenScaled && command.kind != PfScreenCommand::Clear &&
        !ClipToScreen(command)) {
        return;
    }
    PfVideo.screenQueue.push_back(command);
}

void PfFlushScreen() {
    std::vector<PfScreenCommand>& queue = PfVideo.screenQueue;
    if (!PfVideo.renderer) {
        queue.clear();
        return;
    }
    const bool cut = !PfVideo.screenScaled;
    // Back to front: each command loses what later opaque commands paint over.
    // Kept between frames so that a steady frame allocates nothing.
    static std::vector<std::vector<SDL_Rect>> pieces;
    static std::vector<SDL_Rect> occluders;
    if (pieces.size() < queue.size()) pieces.resize(queue.size());
    occluders.clear();
    for (size_t i = queue.size(); i-- > 0;) {
        const PfScreenCommand& c = queue[i];
        const bool exact = cut && c.pixelForPixel;
        if (exact) {
            Uncovered(c.to, occluders, pieces[i]);
        } else {
            pieces[i].assign(1, c.to);
        }
        if (exact && c.Opaque()) AddOccluder(occluders, c.to);
    }
    // Front to back, as the game drew them.
    for (size_t i = 0; i < queue.size(); i++) {
        const PfScreenCommand& c = queue[i];
        if (pieces[i].empty()) continue;
        if (c.kind == PfScreenCommand::Clear) {
            Run(c, c.to);  // a clear covers the whole output at once
            continue;
        }
        for (const SDL_Rect& to : pieces[i]) Run(c, to);
    }
    queue.clear();
}

void PfDiscardScreenQueue() { PfVideo.screenQueue.clear(); }
