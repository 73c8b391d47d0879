#include "app/screen/status_fit.h"

#include "app/files/file_place.h"
#include "app/screen/screen_layout.h"

namespace {
constexpr size_t statusLabelLength = 8;  // "Status: "
} // namespace

TitleLine fitTitleLine(const String& status)
{
    TitleLine line;
    line.status = withoutMiddle(status, titleColumns);
    size_t length = line.status.size();
    if (length <= layout::statusRoom) {
        line.statusColumn = titleLabel.size();
    } else if (length <= layout::statusRoom + statusLabelLength) {
        line.statusColumn = titleLabel.size() - statusLabelLength;
    } else {
        line.statusColumn = titleColumns - length;
    }
    // Headings end at a space: none is left standing cut.
    size_t cut = titleLabel.substr(0, line.statusColumn).find_last_of(U' ');
    size_t kept = cut == std::u32string_view::npos ? 0 : cut;
    if (line.statusColumn >= titleLabel.size() - statusLabelLength) kept = line.statusColumn;
    line.label = String(titleLabel.substr(0, kept));
    return line;
}
