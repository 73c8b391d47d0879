#include "app/screen/screen_record.h"

#include <tuple>

bool operator==(const CaretPlace& a, const CaretPlace& b)
{
    return a.shown == b.shown && (!a.shown || (a.x == b.x && a.y == b.y));
}

bool operator==(const BodyView& a, const BodyView& b)
{
    return std::tie(a.cursorBarRow, a.blockChannel, a.blockStart, a.blockRows, a.carets, a.gridRows,
                    a.positionEntries, a.parameterLines, a.description, a.layoutLine, a.songNameLine) ==
           std::tie(b.cursorBarRow, b.blockChannel, b.blockStart, b.blockRows, b.carets, b.gridRows,
                    b.positionEntries, b.parameterLines, b.description, b.layoutLine, b.songNameLine);
}

bool operator==(const MarkerView& a, const MarkerView& b)
{
    return a.erases == b.erases && (!a.erases || a.erasedY == b.erasedY) && a.markedY == b.markedY;
}

bool operator==(const OverlayView& a, const OverlayView& b)
{
    return std::tie(a.lines, a.inks, a.highlightLine, a.caret, a.wave) ==
           std::tie(b.lines, b.inks, b.highlightLine, b.caret, b.wave);
}

void ScreenRecord::bodyDrawn()
{
    bodyValid = true;
    markerValid = titleBarValid = statusRowValid = transportValid = overlayValid = scopesValid = false;
    meters.fill(-1);
}

void ScreenRecord::forgetAll()
{
    bodyDrawn();
    bodyValid = false;
}
