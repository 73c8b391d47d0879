// The X clipboard read without ever waiting on its owner: a request goes out,
// and each poll takes what has come back, so a hung or slow owner costs the
// update loop nothing. It has its own connection and window, because the
// windowing library's event loop drops the selection events it did not ask for.
#pragma once

#include "host/clipboard_answer.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

class ClipboardReader {
public:
    // Most text taken: far more than a pattern's rows of pattern text.
    static constexpr size_t byteLimit = 1024 * 1024;
    // How long an owner may stay silent before the request is given up.
    static constexpr std::chrono::milliseconds answerDeadline {1000};

    ClipboardReader();
    ~ClipboardReader();
    ClipboardReader(const ClipboardReader&) = delete;
    ClipboardReader& operator=(const ClipboardReader&) = delete;

    // Asks for the clipboard's text; a request already under way goes on.
    void request();
    // The answer once it has come (or the deadline has passed); nothing while
    // none is under way or it is still coming.
    std::optional<ClipboardAnswer> poll();

private:
    struct Connection;
    enum class Stage { idle, asked, incremental };

    void ask(unsigned long target);
    std::optional<ClipboardAnswer> takeSelection(unsigned long property);
    std::optional<ClipboardAnswer> takeChunk();
    std::optional<ClipboardAnswer> finish(ClipboardAnswer answer);
    String decoded() const;

    std::unique_ptr<Connection> x_;
    Stage stage_ = Stage::idle;
    unsigned long target_ = 0;
    std::string bytes_;
    std::chrono::steady_clock::time_point deadline_;
};
