// art_catalogue.cpp: the list of artwork entries, how each is made, and their generation in parallel.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "art_menus.h"
#include "art_metalwork.h"
#include "art_style.h"
#include "assetgen.h"
#include "image_files.h"

namespace {

// Gems and pieces are stored at 128 pixels per cell so they stay sharp where a
// board cell is 192 pixels (3840 wide screens).
constexpr int kCell = 128;
constexpr int kTraySize = 256;
constexpr int kEdgeThickness = 128;  // rails are stored one cell thick
constexpr int kEdgeLength = 64;      // ... and short along their uniform length

struct ArtJob {
    std::string name;
    std::function<Image()> make;
};

std::string TwoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

std::vector<ArtJob> ArtJobs() {
    std::vector<ArtJob> jobs;
    jobs.push_back({"shadow.png", [] { return ShadowImage(64); }});
    jobs.push_back({"pointer.png", [] { return PointerImage(48); }});
    jobs.push_back({"logo.png", [] { return GameLogoImage(1500); }});
    jobs.push_back({"credits.png", [] { return PanelImage(1272, 1601, 7); }});
    jobs.push_back({"quit.png", [] { return PanelImage(1030, 1118, 6); }});
    jobs.push_back({"mainmenu.png", [] { return PanelImage(1030, 1404, 1); }});
    jobs.push_back({"settings.png", [] { return PanelImage(1262, 1120, 4); }});
    for (int k = 0; k <= 11; ++k)
        jobs.push_back({"s" + TwoDigits(k) + ".png", [k] { return GemCellTile(k, kCell); }});
    for (int k = 1; k <= 11; ++k)
        jobs.push_back({TwoDigits(k) + ".png", [k] { return GemEffectTile(k, kCell); }});
    for (int k = 1; k <= 11; ++k)
        jobs.push_back({"shape" + TwoDigits(k) + ".png", [k] { return PieceImage(k, kCell); }});
    for (int k = 1; k <= 11; ++k)
        jobs.push_back({"gui_shape " + TwoDigits(k) + ".png", [k] { return TrayImage(k, kTraySize); }});
    jobs.push_back({"menu_template.png", [] { return TemplateImage(1030, 90); }});
    jobs.push_back({"settings_template.png", [] { return TemplateImage(1262, 65); }});
    jobs.push_back({"credits_template.png", [] { return TemplateImage(1272, 65); }});
    // The game draws "frame_right.png" on the board's left and "frame_left.png" on its
    // right; each rail's inner edge faces the board from where it is drawn.
    jobs.push_back({"frame_left.png",
                    [] { return RailImage(RailSide::RightOfBoard, kEdgeLength, kEdgeThickness); }});
    jobs.push_back({"frame_right.png",
                    [] { return RailImage(RailSide::LeftOfBoard, kEdgeLength, kEdgeThickness); }});
    jobs.push_back({"frame_top.png",
                    [] { return RailImage(RailSide::AboveBoard, kEdgeLength, kEdgeThickness); }});
    jobs.push_back({"frame_bottom.png",
                    [] { return RailImage(RailSide::BelowBoard, kEdgeLength, kEdgeThickness); }});
    jobs.push_back({"decor_top_left.png", [] { return CornerOrnament(false, false, 2 * kCell); }});
    jobs.push_back({"decor_top_right.png", [] { return CornerOrnament(true, false, 2 * kCell); }});
    jobs.push_back({"decor_bottom_left.png", [] { return CornerOrnament(false, true, 2 * kCell); }});
    jobs.push_back({"decor_bottom_right.png", [] { return CornerOrnament(true, true, 2 * kCell); }});
    jobs.push_back({"gui_complex_left.png", [] { return StatusCap(false, kCell, kCell * 3 / 2); }});
    jobs.push_back({"gui_complex_right.png", [] { return StatusCap(true, kCell, kCell * 3 / 2); }});
    jobs.push_back({"gui_quit.png", [] { return MenuButtonImage(96, false); }});
    jobs.push_back({"gui_quit_active.png", [] { return MenuButtonImage(96, true); }});
    // Studio splash variants, one per aspect class, at a full-screen size of that ratio.
    const struct {
        const char* name;
        int w, h;
    } splash[] = {{"brk_3x2.png", 1920, 1280}, {"brk_4x3.png", 1920, 1440},  {"brk_5x4.png", 1920, 1536},
                  {"brk_16x9.png", 1920, 1080}, {"brk_16x10.png", 1920, 1200}, {"brk_17x9.png", 2040, 1080}};
    for (const auto& s : splash) {
        int w = s.w, h = s.h;
        jobs.push_back({s.name, [w, h] { return StudioSplashImage(w, h); }});
    }
    return jobs;
}

bool IsStudioSplash(const std::string& name) {
    return name.rfind("brk_", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".png";
}

bool IsLargePicture(const std::string& name) {
    return IsStudioSplash(name) || name == "logo.png" || name == "credits.png" || name == "quit.png" ||
           name == "mainmenu.png" || name == "settings.png";
}

}  // namespace

std::vector<std::string> ArtworkEntryNames() {
    std::vector<std::string> names;
    for (const ArtJob& j : ArtJobs()) names.push_back(j.name);
    return names;
}

size_t EntryBufferLimit(const std::string& name) {
    if (IsStudioSplash(name)) return 4194304;
    if (name.size() > 4 && name.substr(name.size() - 4) == ".png") return 204800;
    return 15728640;  // typeface, music and sound effects
}

std::vector<GeneratedFile> GenerateArtwork() {
    std::vector<ArtJob> jobs = ArtJobs();
    std::vector<GeneratedFile> out(jobs.size());
    // Each picture is independent: workers take the next one in turn and file the
    // result under its own index, so the output order never depends on timing. The
    // large pictures go first so the workers finish together.
    std::vector<size_t> order;
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < jobs.size(); ++i)
            if (IsLargePicture(jobs[i].name) == (pass == 0)) order.push_back(i);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k = next++; k < order.size(); k = next++) {
            const size_t i = order[k];
            Image img = jobs[i].make();
            // The splash screens are opaque: stored without alpha. Pictures over a
            // million pixels (splashes, panels) are mostly plain areas where the
            // slowest compression gains under 3 %, so they get the quicker level.
            const bool splash = IsStudioSplash(jobs[i].name);
            const bool large = static_cast<long>(img.width) * img.height > 1000000;
            out[i] = GeneratedFile{jobs[i].name, EncodePng(img, splash, large ? 6 : 9)};
        }
    };
    unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < workers; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    return out;
}

std::vector<std::string> CatalogueEntryNames() {
    std::vector<std::string> names{"TimeandSpace-Regular.ttf",
                                   "music1.ogg",
                                   "music2.ogg",
                                   "chime_bell_positive_ring_01.ogg",
                                   "collect_item_hurry_out_of_time_01.ogg",
                                   "game_over_dark_bell_chime_01.ogg",
                                   "points_ticker_bonus_score_reward_single_05.ogg",
                                   "coin_ring_gemstone_item_02.ogg",
                                   "ui_menu_popup_01.ogg"};
    for (const std::string& a : ArtworkEntryNames()) names.push_back(a);
    return names;
}

std::vector<std::string> EntryProblems(const std::vector<GeneratedFile>& entries) {
    std::vector<std::string> problems;
    for (const std::string& name : CatalogueEntryNames()) {
        bool found = false;
        for (const GeneratedFile& e : entries) found = found || e.name == name;
        if (!found) problems.push_back("entry \"" + name + "\" was not generated");
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const GeneratedFile& e = entries[i];
        // The game finds entries by name: a second entry of the same name would be
        // shadowed by the first, so it is refused rather than silently lost.
        for (size_t j = 0; j < i; ++j)
            if (entries[j].name == e.name) problems.push_back("entry \"" + e.name + "\" is there twice");
        const size_t limit = EntryBufferLimit(e.name);
        if (e.bytes.empty())
            problems.push_back("entry \"" + e.name + "\" is empty");
        else if (e.bytes.size() > limit)
            problems.push_back("entry \"" + e.name + "\" is " + std::to_string(e.bytes.size()) +
                               " bytes, over its " + std::to_string(limit) + "-byte buffer");
    }
    return problems;
}

std::vector<uint8_t> GenerateCursor() {
    // The window cursor is the pointer picture at the usual cursor size.
    return BuildCursorFile(PointerImage(32), 0, 0);
}
