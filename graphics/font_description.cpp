// The text font description: one record per line, fields separated by single
// spaces ("common lineHeight=.. pages=..", "page file=..", "char id=.. x=.. ...").
#include "graphics/font.h"

#include "base/data_files.h"
#include "graphics/image.h"
#include "host/game.h"

#include <array>
#include <string_view>

namespace {

using TextView = std::u32string_view;

// A hostile "pages=" must not allocate without bound; no real font comes near.
constexpr int maxPages = 256;

struct GlyphField {
    TextView prefix;
    int c_Glyph::*field;
};

constexpr std::array<GlyphField, 9> glyphFields {{
    {U"id=", &c_Glyph::code},
    {U"x=", &c_Glyph::srcX},
    {U"y=", &c_Glyph::srcY},
    {U"width=", &c_Glyph::srcW},
    {U"height=", &c_Glyph::srcH},
    {U"xoffset=", &c_Glyph::offsetX},
    {U"yoffset=", &c_Glyph::offsetY},
    {U"xadvance=", &c_Glyph::advance},
    {U"page=", &c_Glyph::page},
}};
static_assert(glyphFields.size() == 9);

bool startsWith(TextView text, TextView prefix) { return text.substr(0, prefix.size()) == prefix; }

// Removes characters with codes up to 32 from both ends.
TextView trimmed(TextView text)
{
    while (!text.empty() && text.front() <= 32) text.remove_prefix(1);
    while (!text.empty() && text.back() <= 32) text.remove_suffix(1);
    return text;
}

std::vector<TextView> split(TextView text, TextView separator)
{
    std::vector<TextView> pieces;
    if (text.empty()) return pieces;
    for (size_t start = 0;;) {
        size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == TextView::npos ? TextView::npos : end - start));
        if (end == TextView::npos) return pieces;
        start = end + separator.size();
    }
}

// Lines end in "\r\n"; a file that gives fewer than two such lines is read with "\n".
std::vector<TextView> descriptionLines(TextView text)
{
    std::vector<TextView> lines = split(text, U"\r\n");
    return lines.size() < 2 ? split(text, U"\n") : lines;
}

// A token's value: the integer of the piece between its first and second "=".
int tokenValue(TextView token)
{
    TextView rest = token.substr(token.find(U'=') + 1);
    return toInt(String(rest.substr(0, rest.find(U'='))));
}

// The text after "file=", trimmed, without its surrounding double quotes.
TextView fileName(TextView token)
{
    TextView name = trimmed(token.substr(token.find(U'=') + 1));
    if (!name.empty() && name.front() == U'"')
        name = trimmed(name.size() >= 2 ? name.substr(1, name.size() - 2) : TextView());
    return name;
}

String lowerAscii(String text)
{
    for (char32_t& c : text) {
        if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
    }
    return text;
}

class DescriptionReader {
public:
    explicit DescriptionReader(const String& path) : folder_(path.substr(0, path.rfind(U'/') + 1)) {}

    void readLine(TextView line)
    {
        line = trimmed(line);
        if (line.empty() || startsWith(line, U"info") || startsWith(line, U"padding")) return;
        if (startsWith(line, U"common")) readCommon(line);
        if (startsWith(line, U"page")) readPage(line);
        if (startsWith(line, U"char") && !startsWith(line, U"chars")) readChar(line);
    }

    std::shared_ptr<c_Font> font() { return font_; }

private:
    void readCommon(TextView line)
    {
        for (TextView token : split(line, U" ")) {
            if (startsWith(token, U"lineHeight=")) font_->lineHeight = static_cast<float>(tokenValue(token));
            if (startsWith(token, U"pages=")) {
                font_->pageCount = tokenValue(token);
                int slots = font_->pageCount < 0 ? 0 : (font_->pageCount > maxPages ? maxPages : font_->pageCount);
                font_->pages.assign(static_cast<size_t>(slots), nullptr);
                nextPage_ = 0;
            }
        }
    }

    // Page lines fill the slots in order; lines beyond the declared count are ignored.
    void readPage(TextView line)
    {
        for (TextView token : split(line, U" ")) {
            if (!startsWith(token, U"file=")) continue;
            if (nextPage_ >= font_->pages.size()) return;
            String file = folder_ + String(fileName(token));
            font_->pages[nextPage_++] = loadImageSingle(file, defaultImageFlags);
        }
    }

    // The first glyph of a code stays.
    void readChar(TextView line)
    {
        c_Glyph glyph;
        for (TextView token : split(line, U" ")) {
            for (const GlyphField& field : glyphFields) {
                if (startsWith(token, field.prefix)) glyph.*field.field = tokenValue(token);
            }
        }
        font_->glyphs.emplace(glyph.code, glyph);
    }

    String folder_;
    std::shared_ptr<c_Font> font_ = std::make_shared<c_Font>();
    size_t nextPage_ = 0;
};

} // namespace

std::shared_ptr<c_Font> loadDescribedFont(const String& path)
{
    const bool namesText = lowerAscii(path).find(U".txt", 1) != String::npos;
    const String text = loadText(namesText ? path : path + U".txt");
    DescriptionReader reader(path);
    for (TextView line : descriptionLines(text)) reader.readLine(line);
    return reader.font();
}
