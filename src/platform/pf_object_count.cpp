// pf_object_count.cpp: counts the live sprites, images and fonts, so tests can see that nothing leaks.
#include "pf_video_internal.h"

namespace {

template <typename T>
int CountLive(PfTable<T>& table) {
    int count = 0;
    PfTableForEach(table, [&count](T&) { count++; });
    return count;
}

}  // namespace

int PfLiveObjectCount(int kind) {
    switch (kind) {
        case PF_OBJECTS_SPRITES: return CountLive(PfVideo.sprites);
        case PF_OBJECTS_IMAGES: return CountLive(PfVideo.images);
        case PF_OBJECTS_FONTS: return CountLive(PfVideo.fonts);
        default: return 0;
    }
}
