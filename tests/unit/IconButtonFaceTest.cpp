#include "controls/IconButtonFace.h"
#include "controls/CornerMarks.h"
#include "controls/OwnerDrawConstants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr Colour faceColour = 0xF0F0F0, shadowColour = 0x808080, grayColour = 0x6D6D6D,
                 highlightColour = 0xFFFFFF, infoColour = 0xE1FFFF, textColour = 0x121212;
constexpr CanvasIcon normalIcon{0x100}, pressedIcon{0x200}, hoverIcon{0x300};

std::string ColourName(Colour colour) {
    static const std::map<Colour, std::string> names = {
        {faceColour, "face"},       {shadowColour, "shadow"}, {grayColour, "gray"},
        {highlightColour, "light"}, {infoColour, "info"},     {textColour, "text"}};
    auto found = names.find(colour);
    return found == names.end() ? std::to_string(colour) : found->second;
}

std::string RectText(const CanvasRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

std::string PointText(const CanvasPoint& p) {
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}

// Paints onto a pixel raster and logs each call in a short form; a set of corner marks is
// logged by its colour and the corners of its top-left and bottom-right marks.
class RecordingCanvas : public Canvas {
public:
    static constexpr int width = 120, height = 40;
    static constexpr Colour unpainted = 0xDEAD;

    RecordingCanvas() : pixels(width * height, unpainted) {}

    Colour Pixel(int x, int y) const { return pixels[y * width + x]; }

    void FillRect(const CanvasRect& r, Colour colour) override {
        for (int y = std::max(r.top, 0); y < std::min<int>(r.bottom, height); ++y)
            for (int x = std::max(r.left, 0); x < std::min<int>(r.right, width); ++x)
                pixels[y * width + x] = colour;
        if (r.Width() > 1 && r.Height() > 1)
            log.push_back("fill " + ColourName(colour) + " " + RectText(r));
    }
    void DrawEdge(const CanvasRect& r, EdgeStyle style) override {
        log.push_back(std::string(style == EdgeStyle::raised ? "raised " : "sunken ") +
                      RectText(r));
    }
    void DrawIcon(CanvasIcon icon, const CanvasRect& r, IconLook look) override {
        log.push_back("icon " + std::to_string(static_cast<std::uintptr_t>(icon)) + " " +
                      RectText(r) + (look == IconLook::disabled ? " disabled" : ""));
    }
    void SetTextColour(Colour colour) override { log.push_back("colour " + ColourName(colour)); }
    void WriteText(TextView text, const CanvasRect& r, std::uint32_t format) override {
        log.push_back("text " + ToUtf8(text) + " " + RectText(r) + " " + std::to_string(format));
    }
    bool DrawLines(Colour pen, std::span<const BentLine> lines) override {
        if (failPens)
            return false;
        for (const BentLine& line : lines)
            for (int i = 0; i + 1 < static_cast<int>(line.size()); ++i)
                PaintSegment(line[i], line[i + 1], pen);
        log.push_back("marks " + ColourName(pen) + " " + PointText(lines.front()[1]) +
                      PointText(lines.back()[1]));
        return true;
    }

    std::vector<std::string> log;
    bool failPens = false;

private:
    // Axis-parallel segments only, end point left out as the platform's LineTo does.
    void PaintSegment(CanvasPoint from, CanvasPoint to, Colour colour) {
        const int dx = (to.x > from.x) - (to.x < from.x), dy = (to.y > from.y) - (to.y < from.y);
        ASSERT_TRUE(dx == 0 || dy == 0);
        for (CanvasPoint p = from; p != to; p = {p.x + dx, p.y + dy})
            pixels[p.y * width + p.x] = colour;
    }
    std::vector<Colour> pixels;
};

// The logon button, 75 by 23 pixels at 96 dots per inch and 113 by 35 at 144.
ButtonFace LogonFace(std::uint32_t itemState, bool hovering, int dpi = 96) {
    ButtonFace face;
    face.itemState = itemState;
    face.item = dpi == 96 ? CanvasRect{0, 0, 75, 23} : CanvasRect{0, 0, 113, 35};
    face.caption = u"Logon";
    face.hovering = hovering;
    face.textColour = textColour;
    face.icons = {normalIcon, pressedIcon, hoverIcon};
    face.metrics = FaceMetricsForDpi(dpi);
    face.iconRect = IconRectFor(face.metrics.iconSize, face.metrics.iconSize, face.item.Height(),
                                face.metrics.margin);
    face.colours = {faceColour, shadowColour, grayColour, highlightColour, infoColour};
    return face;
}

constexpr std::uint32_t selected = item_state::selected, disabled = item_state::disabled,
                        focus = item_state::focus, defaultButton = item_state::defaultButton;

struct FaceCase {
    const char* name;
    std::uint32_t itemState;
    bool hovering;
    std::vector<std::string> calls;
    int dpi = 96;
};

class IconButtonFaceSteps : public testing::TestWithParam<FaceCase> {};

TEST_P(IconButtonFaceSteps, PaintInOrder) {
    RecordingCanvas canvas;
    PaintButtonFace(canvas, LogonFace(GetParam().itemState, GetParam().hovering, GetParam().dpi));
    EXPECT_EQ(canvas.log, GetParam().calls);
}

const std::string caption = "text Logon 21,0,70,23 37";
const std::string pressedCaption = "text Logon 22,1,71,24 37";

INSTANTIATE_TEST_SUITE_P(
    IconButton, IconButtonFaceSteps,
    testing::Values(
        FaceCase{"Idle",
                 0,
                 false,
                 {"fill face 0,0,75,23", "icon 256 3,3,19,19", "colour text", caption}},
        FaceCase{"IdleFocused",
                 focus,
                 false,
                 {"fill face 0,0,75,23", "icon 256 3,3,19,19", "marks info (3,3)(70,18)",
                  "colour text", caption}},
        FaceCase{"Hot",
                 0,
                 true,
                 {"fill light 0,0,75,23", "marks text (3,3)(70,18)", "icon 768 3,3,19,19",
                  "colour text", caption}},
        FaceCase{"HotFocused",
                 focus,
                 true,
                 {"fill light 0,0,75,23", "marks text (3,3)(70,18)", "icon 768 3,3,19,19",
                  "colour text", caption}},
        FaceCase{"Pressed",
                 selected,
                 false,
                 {"fill light 0,0,75,23", "icon 512 4,4,20,20", "sunken 0,0,75,23", "colour text",
                  pressedCaption}},
        FaceCase{"PressedFocused",
                 selected | focus,
                 false,
                 {"fill light 0,0,75,23", "icon 512 4,4,20,20", "sunken 0,0,75,23",
                  "marks text (4,4)(71,19)", "colour text", pressedCaption}},
        FaceCase{"PressedFocusedHovering",
                 selected | focus,
                 true,
                 {"fill light 0,0,75,23", "marks text (3,3)(70,18)", "icon 512 4,4,20,20",
                  "sunken 0,0,75,23", "marks text (4,4)(71,19)", "colour text", pressedCaption}},
        FaceCase{"DefaultFocused",
                 defaultButton | focus,
                 false,
                 {"fill face 0,0,75,23", "icon 256 3,3,19,19", "sunken 0,0,75,23",
                  "raised 1,1,74,22", "marks info (3,3)(69,17)", "colour text", caption}},
        FaceCase{"DisabledFocusedHovering",
                 disabled | focus | selected | defaultButton,
                 true,
                 {"fill face 0,0,75,23", "icon 256 3,3,19,19 disabled", "raised 0,0,75,23",
                  "colour light", caption, "colour gray", "text Logon 20,-1,69,22 37"}},
        // At 144 dots per inch every size is half as large again, rounded up from a half:
        // margin and near mark offset 5, caption gap 3, far mark offset 8, inset 2, icon 24.
        // The 3-D edges, the default frame's shrink and the embossed caption's shadow are
        // pixel-wide lines and stay so.
        FaceCase{"PressedFocusedHovering144",
                 selected | focus,
                 true,
                 {"fill light 0,0,113,35", "marks text (5,5)(105,27)", "icon 512 7,7,31,31",
                  "sunken 0,0,113,35", "marks text (7,7)(107,29)", "colour text",
                  "text Logon 34,2,107,37 37"},
                 144},
        FaceCase{"DefaultFocused144",
                 defaultButton | focus,
                 false,
                 {"fill face 0,0,113,35", "icon 256 5,5,29,29", "sunken 0,0,113,35",
                  "raised 1,1,112,34", "marks info (5,5)(104,26)", "colour text",
                  "text Logon 32,0,105,35 37"},
                 144},
        FaceCase{"DisabledFocusedHovering144",
                 disabled | focus,
                 true,
                 {"fill face 0,0,113,35", "icon 256 5,5,29,29 disabled", "raised 0,0,113,35",
                  "colour light", "text Logon 32,0,105,35 37", "colour gray",
                  "text Logon 31,-1,104,34 37"},
                 144}),
    [](const testing::TestParamInfo<FaceCase>& info) { return std::string(info.param.name); });

TEST(IconButtonFace, IdleFrameIsLightTopLeftAndDarkBottomRight) {
    RecordingCanvas canvas;
    PaintButtonFace(canvas, LogonFace(0, false));
    EXPECT_EQ(canvas.Pixel(0, 0), highlightColour);
    EXPECT_EQ(canvas.Pixel(73, 0), highlightColour);
    EXPECT_EQ(canvas.Pixel(74, 0), shadowColour); // the top row stops short of the corner
    EXPECT_EQ(canvas.Pixel(0, 21), highlightColour);
    EXPECT_EQ(canvas.Pixel(0, 22), shadowColour); // so does the left column
    EXPECT_EQ(canvas.Pixel(74, 22), shadowColour);
    EXPECT_EQ(canvas.Pixel(1, 1), faceColour);
    EXPECT_EQ(canvas.Pixel(75, 0), RecordingCanvas::unpainted);
}

TEST(IconButtonFace, WithoutIconTheCaptionUsesTheFullWidth) {
    ButtonFace face = LogonFace(0, true);
    face.icons = {};
    RecordingCanvas canvas;
    PaintButtonFace(canvas, face);
    EXPECT_EQ(canvas.log,
              (std::vector<std::string>{"fill light 0,0,75,23", "marks text (3,3)(70,18)",
                                        "colour text", "text Logon 5,0,70,23 37"}));
}

TEST(IconButtonFace, MarksWhosePenFailsAreSkippedAndTheRestIsPainted) {
    RecordingCanvas canvas;
    canvas.failPens = true;
    PaintButtonFace(canvas, LogonFace(focus, false));
    EXPECT_EQ(canvas.log, (std::vector<std::string>{"fill face 0,0,75,23", "icon 256 3,3,19,19",
                                                    "colour text", caption}));
}

TEST(IconButtonFace, CornerMarksOfTheExampleButton) {
    RecordingCanvas canvas;
    DrawCornerMarks(canvas, {0, 0, 75, 23}, textColour, 0);
    std::vector<CanvasPoint> painted;
    for (int y = 0; y < RecordingCanvas::height; ++y)
        for (int x = 0; x < RecordingCanvas::width; ++x)
            if (canvas.Pixel(x, y) == textColour)
                painted.push_back({x, y});

    std::vector<CanvasPoint> expected;
    auto add = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                expected.push_back({x, y});
    };
    add(4, 7, 3, 3), add(3, 3, 3, 6);         // top left
    add(66, 69, 3, 3), add(70, 70, 3, 6);     // top right
    add(3, 3, 15, 18), add(4, 7, 18, 18);     // bottom left
    add(70, 70, 15, 18), add(66, 69, 18, 18); // bottom right
    auto byRow = [](CanvasPoint a, CanvasPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; };
    std::sort(expected.begin(), expected.end(), byRow);
    EXPECT_EQ(painted, expected);
}

TEST(IconButtonFace, CornerMarksIgnoreTheLeftAndTopAndFollowTheInset) {
    const auto atOrigin = CornerMarkLines({0, 0, 75, 23}, 1);
    const auto shifted = CornerMarkLines({10, 10, 75, 23}, 1);
    EXPECT_EQ(atOrigin, shifted);
    EXPECT_EQ(atOrigin[0], (BentLine{{{8, 4}, {4, 4}, {4, 8}}}));
    EXPECT_EQ(atOrigin[3], (BentLine{{{67, 19}, {71, 19}, {71, 15}}}));

    // At 144 dots per inch: arms of 6, corners 5 from the left and top and 8 from the right
    // and bottom, and the pressed inset 2.
    const auto scaled = CornerMarkLines({0, 0, 113, 35}, 2, FaceMetricsForDpi(144));
    EXPECT_EQ(scaled[0], (BentLine{{{13, 7}, {7, 7}, {7, 13}}}));
    EXPECT_EQ(scaled[3], (BentLine{{{101, 29}, {107, 29}, {107, 23}}}));
}

TEST(IconButtonFace, SizesScaleWithTheDensityRoundingHalvesAwayFromZero) {
    EXPECT_EQ(FaceMetricsForDpi(96), FaceMetrics{});
    EXPECT_EQ(FaceMetricsForDpi(120), (FaceMetrics{4, 20, 3, 5, 4, 6, 1}));
    EXPECT_EQ(FaceMetricsForDpi(192), (FaceMetrics{6, 32, 4, 8, 6, 10, 2}));
    EXPECT_EQ(ScaleToDpi(-3, 144), -5);
}

TEST(IconButtonFace, IconRectIsCentredVerticallyAndNeverAboveTheTop) {
    struct Case {
        int width, height, buttonHeight;
        CanvasRect expected;
    };
    for (const Case& c : {Case{16, 16, 23, {3, 3, 19, 19}}, Case{16, 16, 10, {3, 0, 19, 16}},
                          Case{16, 16, 24, {3, 4, 19, 20}}, Case{32, 32, 23, {3, 0, 35, 32}},
                          Case{16, 15, 23, {3, 4, 19, 19}}})
        EXPECT_EQ(IconRectFor(c.width, c.height, c.buttonHeight, 3), c.expected)
            << c.width << "x" << c.height << " on " << c.buttonHeight;
}

} // namespace
