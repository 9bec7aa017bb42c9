#include "Pictures.h"

namespace skin {
namespace {

enum StateSet { kNormal = 1, kDown = 2, kGrey = 4 };

struct ButtonRow {
    const char* stem;
    QSize size;
    int states;
    glyph::Glyph glyph;
    const char16_t* label;  // nullptr: a small button without a caption
};

// The tool bar, left to right, at the sizes of the controls they are painted into.
const ButtonRow kButtons[] = {
    {"b_open", {44, 42}, kNormal | kDown, glyph::folder, u"열기"},
    {"b_listview", {46, 42}, kNormal | kGrey, glyph::list, u"목록"},
    {"b_bookmark", {43, 42}, kNormal | kDown | kGrey, glyph::ribbon, u"책갈피"},
    {"b_bold", {31, 19}, kNormal | kDown, glyph::boldLetter, nullptr},
    {"b_fontcolor", {31, 22}, kNormal | kDown, glyph::colouredLetter, nullptr},
    {"b_bgcolor", {31, 22}, kNormal | kDown, glyph::paintedPage, nullptr},
    // The page buttons keep their historical names: "forward" goes to the first page and
    // "back" to the last.
    {"b_forward", {45, 42}, kNormal | kDown | kGrey, glyph::first, u"처음"},
    {"b_prev", {40, 42}, kNormal | kDown | kGrey, glyph::previous, u"이전"},
    {"b_play", {42, 42}, kNormal | kDown | kGrey, glyph::next, u"다음"},
    {"b_back", {46, 42}, kNormal | kDown | kGrey, glyph::last, u"끝"},
    {"b_helpdesk", {40, 43}, kNormal | kDown, glyph::help, u"도움말"},
};

// Buttons of the archive list panel.
const ButtonRow kPushButtons[] = {
    {"b_listv_ok", {61, 36}, kNormal | kDown, glyph::check, u"확인"},
    {"b_listv_cancel", {61, 36}, kNormal, glyph::cross, u"취소"},
};

QImage drawButton(const ButtonRow& b, State s, bool push) {
    if (push) return pushButton(b.size, s, b.glyph, QString::fromUtf16(b.label));
    if (!b.label) return smallButton(b.size, s, b.glyph);
    return toolButton(b.size, s, b.glyph, QString::fromUtf16(b.label));
}

void addButtons(std::vector<Picture>& out, const ButtonRow* rows, size_t count, bool push) {
    const struct {
        int flag;
        State state;
        const char* suffix;
    } variants[] = {
        {kNormal, State::Normal, ""}, {kDown, State::Down, "_down"}, {kGrey, State::Grey, "_grey"}};
    for (size_t i = 0; i < count; ++i) {
        const ButtonRow& b = rows[i];
        for (const auto& v : variants) {
            if (!(b.states & v.flag)) continue;
            const State s = v.state;
            out.push_back({QString::fromLatin1(b.stem) + QLatin1String(v.suffix), b.size,
                           [&b, s, push] { return drawButton(b, s, push); }});
        }
    }
}

}  // namespace

std::vector<Picture> skinPictures() {
    std::vector<Picture> out;
    addButtons(out, kButtons, std::size(kButtons), false);
    addButtons(out, kPushButtons, std::size(kPushButtons), true);
    const std::vector<Picture> panels = {
        {"bg_top", {1024, 42}, toolBar},
        {"bg_Topback", {8, 42}, toolBarTail},
        {"bg_listview", {300, 230}, listPanel},
        {"bgscroll",
         {140, 12},
         [] {
             return track({140, 12});
         }},
        {"b_tick",
         {16, 12},
         [] {
             return thumb({16, 12});
         }},
    };
    out.insert(out.end(), panels.begin(), panels.end());
    const struct {
        const char* name;
        QSize size;
        Cover piece;
    } cover[] = {
        {"bg_vertical", {20, 32}, Cover::Left},
        {"bg_verticalright", {20, 32}, Cover::Right},
        {"bg_htop", {32, 20}, Cover::Top},
        {"bg_bottom", {32, 20}, Cover::Bottom},
        {"bg_sideleft", {20, 20}, Cover::TopLeft},
        {"bg_sideright", {20, 20}, Cover::TopRight},
        {"bg_btnsideleft", {20, 22}, Cover::BottomLeft},
        {"bg_btnsideright", {20, 22}, Cover::BottomRight},
        {"bg_centerleft", {12, 20}, Cover::SpineTopLeft},
        {"bg_centerright", {12, 20}, Cover::SpineTopRight},
        {"bg_centerbtnleft", {12, 20}, Cover::SpineBottomLeft},
        {"bg_centerbtnright", {12, 20}, Cover::SpineBottomRight},
    };
    for (const auto& c : cover) {
        const Cover piece = c.piece;
        out.push_back({c.name, c.size, [piece] { return coverPiece(piece); }});
    }
    return out;
}

// Buttons of the find bar, compiled in beside the panel they sit on.
const ButtonRow kFindButtons[] = {
    {"b_find_prev", {61, 36}, kNormal | kDown, glyph::previous, u"이전"},
    {"b_find_next", {61, 36}, kNormal | kDown, glyph::next, u"다음"},
    {"b_find_close", {61, 36}, kNormal | kDown, glyph::cross, u"닫기"},
};

std::vector<Picture> designPictures() {
    std::vector<Picture> out = {
        {"splash", {447, 85}, splash},
        {"bookmark", {15, 15}, bookmarkTab},
        {"sb_tick",
         {16, 12},
         [] {
             return thumb({16, 12});
         }},
        {"sb_left", {12, 12}, [] { return scrollArrow(-1, 0); }},
        {"sb_right", {12, 12}, [] { return scrollArrow(1, 0); }},
        {"sb_up", {12, 12}, [] { return scrollArrow(0, -1); }},
        {"sb_down", {12, 12}, [] { return scrollArrow(0, 1); }},
        {"bg_find", {524, 44}, findBar},
        {"bg_chapters", {300, 330}, chapterPanel},
        {"bg_recent", {440, 330}, recentPanel},
    };
    addButtons(out, kFindButtons, std::size(kFindButtons), true);
    return out;
}

}  // namespace skin
