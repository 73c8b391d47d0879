#include "host/clipboard_reader.h"

#include "base/file_loading.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

struct ClipboardReader::Connection {
    Display* display = nullptr;
    Window window = 0;  // a fresh one for each request, so a dropped transfer stays dropped
    Atom clipboard = 0, utf8 = 0, incr = 0, property = 0;
};

namespace {

struct Property {
    Atom type = None;
    std::optional<std::string> bytes;  // nothing when there were more than room
};

// The property's 8-bit bytes, deleted as they are taken (which is also what
// asks an incremental transfer's owner for its next chunk).
Property takeProperty(Display* display, Window window, Atom property, size_t room)
{
    Property taken;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &taken.type, &format, &count,
                           &after, &data) != Success)
        return {None, std::string()};
    if (data) XFree(data);
    if (after > room) {
        XDeleteProperty(display, window, property);
        return taken;
    }
    data = nullptr;
    XGetWindowProperty(display, window, property, 0, static_cast<long>((after + 3) / 4), True, AnyPropertyType,
                       &taken.type, &format, &count, &after, &data);
    taken.bytes = std::string(reinterpret_cast<const char*>(data), data && format == 8 ? count : 0);
    if (data) XFree(data);
    return taken;
}

} // namespace

ClipboardReader::ClipboardReader() = default;

ClipboardReader::~ClipboardReader()
{
    if (!x_ || !x_->display) return;
    if (x_->window) XDestroyWindow(x_->display, x_->window);
    XCloseDisplay(x_->display);
}

void ClipboardReader::request()
{
    if (stage_ != Stage::idle) return;
    if (!x_) {
        x_ = std::make_unique<Connection>();
        x_->display = XOpenDisplay(nullptr);
        if (x_->display) {
            x_->clipboard = XInternAtom(x_->display, "CLIPBOARD", False);
            x_->utf8 = XInternAtom(x_->display, "UTF8_STRING", False);
            x_->incr = XInternAtom(x_->display, "INCR", False);
            x_->property = XInternAtom(x_->display, "KOVO_CLIPBOARD", False);
        }
    }
    stage_ = Stage::asked;
    bytes_.clear();
    if (!x_->display) return;
    x_->window = XCreateSimpleWindow(x_->display, DefaultRootWindow(x_->display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(x_->display, x_->window, PropertyChangeMask);
    ask(x_->utf8);
}

void ClipboardReader::ask(unsigned long target)
{
    target_ = target;
    XConvertSelection(x_->display, x_->clipboard, target, x_->property, x_->window, CurrentTime);
    XFlush(x_->display);
    stage_ = Stage::asked;
    deadline_ = std::chrono::steady_clock::now() + answerDeadline;
}

// Takes the events that have come without waiting for any; events of an
// earlier request's window are dropped.
std::optional<ClipboardAnswer> ClipboardReader::poll()
{
    if (stage_ == Stage::idle) return std::nullopt;
    if (!x_->display) return finish({ClipboardAnswer::text, String()});
    while (stage_ != Stage::idle && XPending(x_->display) > 0) {
        XEvent event;
        XNextEvent(x_->display, &event);
        if (event.xany.window != x_->window) continue;
        std::optional<ClipboardAnswer> answer;
        if (stage_ == Stage::asked && event.type == SelectionNotify) answer = takeSelection(event.xselection.property);
        if (stage_ == Stage::incremental && event.type == PropertyNotify && event.xproperty.atom == x_->property &&
            event.xproperty.state == PropertyNewValue)
            answer = takeChunk();
        if (answer) return answer;
    }
    if (stage_ != Stage::idle && std::chrono::steady_clock::now() > deadline_)
        return finish({ClipboardAnswer::noAnswer, String()});
    return std::nullopt;
}

// The owner's answer: text as UTF-8, else as Latin-1; none when it has
// neither.
std::optional<ClipboardAnswer> ClipboardReader::takeSelection(unsigned long property)
{
    if (property == None) {
        if (target_ != XA_STRING) {
            ask(XA_STRING);
            return std::nullopt;
        }
        return finish({ClipboardAnswer::text, String()});
    }
    Property taken = takeProperty(x_->display, x_->window, x_->property, byteLimit);
    if (taken.type == x_->incr) {
        // Deleting the property asked for the first chunk.
        stage_ = Stage::incremental;
        deadline_ = std::chrono::steady_clock::now() + answerDeadline;
        return std::nullopt;
    }
    if (!taken.bytes) return finish({ClipboardAnswer::tooLarge, String()});
    bytes_ = *taken.bytes;
    return finish({ClipboardAnswer::text, decoded()});
}

// One chunk of an incremental transfer; an empty one ends it.
std::optional<ClipboardAnswer> ClipboardReader::takeChunk()
{
    Property taken = takeProperty(x_->display, x_->window, x_->property, byteLimit - bytes_.size());
    if (!taken.bytes) return finish({ClipboardAnswer::tooLarge, String()});
    if (taken.bytes->empty()) return finish({ClipboardAnswer::text, decoded()});
    bytes_ += *taken.bytes;
    deadline_ = std::chrono::steady_clock::now() + answerDeadline;
    return std::nullopt;
}

std::optional<ClipboardAnswer> ClipboardReader::finish(ClipboardAnswer answer)
{
    if (x_->display && x_->window) {
        XDestroyWindow(x_->display, x_->window);
        XFlush(x_->display);
    }
    x_->window = 0;
    stage_ = Stage::idle;
    bytes_.clear();
    return answer;
}

String ClipboardReader::decoded() const
{
    if (target_ == x_->utf8) return decodeText(std::vector<unsigned char>(bytes_.begin(), bytes_.end()));
    String latin1;
    for (unsigned char b : bytes_) latin1 += static_cast<char32_t>(b);
    return latin1;
}
