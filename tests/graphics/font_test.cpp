// Bitmap fonts: strip and grid layouts, the description format, and where
// drawString puts its glyphs.
#include "graphics/font.h"
#include "graphics/graphics_context.h"
#include "graphics/image.h"
#include "graphics/renderer.h"
#include "tests/support/child_process.h"
#include "tests/support/gl/gl_window.h"

#include <tuple>
#include <unistd.h>

namespace {

using FontTest = GlWindowTest;

// A strip of count cells of width x height whose cells are black except their
// first column, white: one lit column marks where each glyph was put.
String markedStrip(const std::string& name, int count, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(count) * width * height * 4, 0);
    for (int y = 0; y < height; ++y)
        for (int cell = 0; cell < count; ++cell) {
            unsigned char* p = &rgba[(static_cast<size_t>(y) * count * width + cell * width) * 4];
            p[0] = p[1] = p[2] = p[3] = 255;
        }
    return widen(writeTestPng(name, count * width, height, 4, rgba));
}

// The columns of a row of pixels, starting at x0, that are not black.
std::vector<int> litColumns(const std::vector<uint32_t>& row, int x0)
{
    std::vector<int> lit;
    for (size_t i = 0; i < row.size(); ++i)
        if (row[i] != black) lit.push_back(x0 + int(i));
    return lit;
}

// Two fonts have the same glyphs, line height and page count.
void expectSameFont(const c_Font& a, const c_Font& b)
{
    EXPECT_EQ(a.lineHeight, b.lineHeight);
    EXPECT_EQ(a.pageCount, b.pageCount);
    ASSERT_EQ(a.glyphs.size(), b.glyphs.size());
    for (const auto& [code, glyph] : a.glyphs) {
        const c_Glyph* other = b.glyph(code);
        ASSERT_TRUE(other) << code;
        EXPECT_EQ(std::tie(glyph.srcX, glyph.srcY, glyph.srcW, glyph.srcH, glyph.advance, glyph.page),
                  std::tie(other->srcX, other->srcY, other->srcW, other->srcH, other->advance, other->page));
    }
}

} // namespace

TEST_F(FontTest, PaddedStripCutsGlyphsInsideTheirBorder)
{
    std::shared_ptr<c_Font> font = loadAsciiStripFont(markedStrip("padded.png", 96, 20, 18), true);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->glyphs.size(), 96u);
    EXPECT_EQ(font->firstChar, 32);
    EXPECT_EQ(font->lineHeight, 16);
    const c_Glyph* a = font->glyph('A');
    ASSERT_TRUE(a);
    EXPECT_EQ(a->srcX, 1 + 20 * ('A' - 32));
    EXPECT_EQ(a->srcY, 1);
    EXPECT_EQ(a->srcW, 18);
    EXPECT_EQ(a->srcH, 16);
    EXPECT_EQ(a->advance, 18);
    EXPECT_FALSE(font->glyph(128));

    // A grid of 4 columns: glyph 5 sits in the second row.
    std::shared_ptr<c_Font> grid = loadGridFont(markedStrip("grid.png", 4, 10, 12), 10, 6, 1, 2, 8, 4, 65, 8);
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->glyph(70)->srcX, 11);
    EXPECT_EQ(grid->glyph(70)->srcY, 8);
    EXPECT_EQ(grid->lineHeight, 4);
    // Images that cannot hold the cells give no font instead of dividing by zero.
    EXPECT_FALSE(loadStripFont(markedStrip("narrow.png", 1, 10, 4), 32, 96, false));
    EXPECT_FALSE(loadGridFont(markedStrip("tiny.png", 1, 4, 4), 10, 6, 0, 0, 8, 4, 65, 8));
    EXPECT_FALSE(loadAsciiStripFont(U"/nonexistent/font.png", false));
}

TEST_F(FontTest, PenPositionsAreTruncatedAndMissingGlyphsDoNotAdvance)
{
    // Three 17-unit glyphs: "ABC" advances 51, so centring starts at int(x - 25.5).
    std::shared_ptr<c_Font> font = loadStripFont(markedStrip("wide.png", 3, 17, 5), 'A', 3, false);
    ASSERT_TRUE(font);
    EXPECT_EQ(textAdvance(*font, U"ABC"), 51);
    EXPECT_EQ(textAdvance(*font, U"A\u00e9C"), 34);
    selectFont(font);

    beginFrame();
    drawString(U"ABC", 100, 0, 0.5f, 0);       // pen 74
    drawString(U"ABC", 20, 10, 0.5f, 0);       // pen int(-5.5) = -5, not -6
    drawString(U"A\u00e9\u00e9B", 200, 20);     // unknown codes neither draw nor move the pen
    drawString(U"C", 300, 33.9f, 0, 1);        // bottom-aligned: rows int(33.9 - 5) = 28..32
    endFrame();

    EXPECT_EQ(litColumns(pixels(60, 0, 80, 1), 60), (std::vector<int> {74, 91, 108}));
    EXPECT_EQ(litColumns(pixels(0, 10, 40, 1), 0), (std::vector<int> {12, 29}));
    EXPECT_EQ(litColumns(pixels(190, 20, 40, 1), 190), (std::vector<int> {200, 217}));
    EXPECT_EQ(pixel(300, 28), white);
    EXPECT_EQ(pixel(300, 32), white);
    EXPECT_EQ(pixel(300, 27), black);
    EXPECT_EQ(pixel(300, 33), black);
}

TEST_F(FontTest, GlyphsTakeTheTintAndShareOneDrawCallPerPage)
{
    std::shared_ptr<c_Font> font = loadStripFont(markedStrip("tinted.png", 3, 4, 4), 'A', 3, false);
    ASSERT_TRUE(font);
    selectFont(font);
    beginFrame();
    setTint(255.0f, 0.0f, 0.0f);
    drawString(U"AB", 10, 10);
    setTint(0.0f, 255.0f, 0.0f);
    drawLines({U"C", U"CA"}, 10, 20, 1, 0.5f);  // right-aligned, centred on y 20
    endFrame();
    EXPECT_EQ(renderer().lastFrameDrawCalls(), 1);
    EXPECT_EQ(pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(pixel(14, 13), 0xFFFF0000u);
    EXPECT_EQ(pixel(6, 16), 0xFF00FF00u);  // "C" from x 6, lines at y 16 and 20
    EXPECT_EQ(pixel(2, 20), 0xFF00FF00u);
    EXPECT_EQ(pixel(6, 20), 0xFF00FF00u);

    beginFrame();
    drawString(U"A", 50, 50);
    fillRect(0, 0, 1, 1);
    drawString(U"A", 60, 50);
    endFrame();
    EXPECT_EQ(renderer().lastFrameDrawCalls(), 3);
}

TEST_F(FontTest, DescriptionsReadTheSameWithEitherLineEnding)
{
    markedStrip("page0.png", 4, 8, 8);
    const std::string lines[] = {
        "info face=\"Test\" size=8",
        "common lineHeight=9 base=7 scaleW=32 scaleH=8 pages=1 packed=0",
        "page id=0 file=\"page0.png\"",
        "page id=1 file=page0.png",  // beyond the declared page count: ignored
        "chars count=3",
        "char id=65 x=0 y=0 width=8 height=8 xoffset=1 yoffset=2 xadvance=9 page=0 chnl=15",
        "char id=66 x=8 y=0 width=8 height=8 xoffset=0 yoffset=0 xadvance=8 page=0",
        "char id=65 x=24 y=0 width=1 height=1 xoffset=0 yoffset=0 xadvance=1 page=0",  // the first A stays
        "char id=67 x=16 y=0 width=8 height=8 xoffset=0 yoffset=0 xadvance=8 page=1",  // its page slot is empty
    };
    std::string windows, unix;
    for (const std::string& line : lines) {
        windows += line + "\r\n";
        unix += line + "\n";
    }
    writeTestText("windows.txt", windows);
    writeTestText("unix.fnt.txt", unix);
    std::shared_ptr<c_Font> font = loadDescribedFont(widen(temporaryPath("windows.txt")));
    // Without ".txt" in the name the description is looked for with it appended.
    std::shared_ptr<c_Font> same = loadDescribedFont(widen(temporaryPath("unix.fnt")));
    ASSERT_TRUE(font && same);
    expectSameFont(*font, *same);

    EXPECT_EQ(font->lineHeight, 9);
    EXPECT_EQ(font->firstChar, -1);
    ASSERT_EQ(font->pages.size(), 1u);
    EXPECT_TRUE(font->pages[0]);
    EXPECT_EQ(font->glyph('A')->advance, 9);
    EXPECT_EQ(font->glyph('A')->offsetY, 2);
    EXPECT_EQ(font->glyph('C')->page, 1);

    selectFont(font);
    beginFrame();
    drawString(U"ACB", 100, 100);  // C has no page: not drawn, but B keeps its place
    endFrame();
    EXPECT_EQ(pixel(101, 102), white);
    EXPECT_EQ(pixel(117, 100), white);
    EXPECT_EQ(pixel(110, 100), black);
}

TEST_F(FontTest, GlyphsOutsideTheirPageAreSkippedButKeepTheirAdvance)
{
    markedStrip("small.png", 4, 8, 8);  // a 32 x 8 page
    writeTestText("outside.txt",
                  "common lineHeight=8 pages=1\n"
                  "page id=0 file=small.png\n"
                  "char id=65 x=0 y=0 width=8 height=8 xadvance=8 page=0\n"
                  "char id=66 x=2147483647 y=0 width=8 height=8 xadvance=8 page=0\n"
                  "char id=67 x=-1 y=0 width=8 height=8 xadvance=8 page=0\n"
                  "char id=68 x=25 y=0 width=8 height=8 xadvance=8 page=0\n"
                  "char id=69 x=0 y=1 width=8 height=8 xadvance=8 page=0\n"
                  "char id=70 x=8 y=0 width=-8 height=8 xadvance=8 page=0\n"
                  "char id=71 x=24 y=0 width=8 height=8 xadvance=8 page=0\n");
    std::shared_ptr<c_Font> font = loadDescribedFont(widen(temporaryPath("outside.txt")));
    ASSERT_TRUE(font);
    selectFont(font);
    beginFrame();
    drawString(U"ABCDEFG", 100, 100);
    endFrame();
    // Only A (at 100) and G, the last cell exactly at the page's edge (at 148), are drawn.
    EXPECT_EQ(litColumns(pixels(90, 100, 80, 1), 90), (std::vector<int> {100, 148}));
}

TEST_F(FontTest, MissingOrEmptyDescriptionsGiveAnEmptyFont)
{
    for (const char* name : {"absent", "empty.txt"}) {
        if (std::string(name) == "empty.txt") writeTestText(name, "");
        std::shared_ptr<c_Font> font = loadDescribedFont(widen(temporaryPath(name)));
        ASSERT_TRUE(font);
        EXPECT_TRUE(font->glyphs.empty());
        EXPECT_TRUE(font->pages.empty());
        EXPECT_EQ(font->lineHeight, 0);
    }
    // A hostile page count does not allocate without bound.
    writeTestText("greedy.txt", "common lineHeight=1 pages=2000000000\nchar id=1\n");
    EXPECT_LE(loadDescribedFont(widen(temporaryPath("greedy.txt")))->pages.size(), 256u);
}

TEST_F(FontTest, TheDefaultFontIsLoadedOnceFromTheDataFolder)
{
    // The build always generates it: a missing one is a fault of the build.
    ASSERT_EQ(access((programDirectory() + "/data/zuka_font.png").c_str(), R_OK), 0) << "the generated zuka_font.png is missing";
    selectFont(nullptr);
    std::shared_ptr<c_Font> first = drawState.currentFont;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->glyphs.size(), 96u);
    selectFont(nullptr);
    EXPECT_EQ(drawState.currentFont, first);
    EXPECT_EQ(drawState.defaultFont, first);
}
