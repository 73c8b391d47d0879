// A claim on one of a few numbered places that running programs share, such
// as the files that keep their unsaved work: a lock on one byte of a lock
// file, which the system drops when the program ends, however it ends.
#pragma once

#include <functional>
#include <string>

class NumberedLock {
public:
    NumberedLock() = default;
    ~NumberedLock();
    NumberedLock(NumberedLock&& other) noexcept;
    NumberedLock& operator=(NumberedLock&& other) noexcept;
    NumberedLock(const NumberedLock&) = delete;
    NumberedLock& operator=(const NumberedLock&) = delete;

    // Claims the first number of 1..count that no other holder has (another
    // program, or another lock of this one) and that accept takes; a claim
    // held before is given up. False when none is free or the lock file
    // cannot be opened or made.
    bool claim(const std::string& lockFile, int count, const std::function<bool(int)>& accept);

    // The number held; 0 for none.
    int number() const { return number_; }

private:
    void release();

    int fd_ = -1;
    int number_ = 0;
};
