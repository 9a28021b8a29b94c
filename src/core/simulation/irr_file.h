// The IRR output file of a run: one line a kept IRR, created empty. Lines
// are collected and handed to the file in blocks, and at the latest about
// half a second after they were written, whatever the run does meanwhile:
// a run killed at any moment leaves every line older than that in the file.
// The file never ends in a partial line: a block the disk takes only in
// part is cut back to its last complete line. Every failure names the file
// and why, and once lines have been written, how many complete lines it holds.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace valmora {

class IrrFile {
public:
    // How long a line may wait before it is handed to the file.
    static constexpr std::chrono::milliseconds kMostDelay{500};

    IrrFile() = default;
    IrrFile(const IrrFile&) = delete;
    IrrFile& operator=(const IrrFile&) = delete;
    ~IrrFile();

    // Creates `path`, or writes to a copy of `descriptor` when that is not
    // -1 (`path` then only names it in messages). With `decimalComma` the
    // lines write a comma where the number has its point.
    bool Open(const std::string& path, int descriptor, std::string& error, bool decimalComma = false);
    // One line for `rate`. False once the file could not be written.
    bool Write(double rate, std::string& error);
    // Hands what is left to the file and closes it. After a failed write
    // nothing more is written; the file stays as reported.
    bool Close(std::string& error);

private:
    static constexpr std::size_t kBlock = 64 * 1024;

    // Both with mutex_ held.
    bool Flush();
    void Account(std::size_t taken);
    bool Failed(const char* what, std::string& error, bool sayLines = false);
    // Flushes pending lines older than kMostDelay until Close.
    void FlushByTime();
    void StopFlusher();

    std::string label_;  // "The IRR output file PATH", for messages
    int fd_ = -1;
    bool regular_ = false;
    bool decimalComma_ = false;

    std::mutex mutex_;  // guards what follows: the run's thread writes, the flusher flushes
    std::condition_variable wake_;
    bool closing_ = false;
    bool failed_ = false;
    std::string failure_;       // the message of the failed write
    std::string pending_;       // lines not yet handed to the file
    std::size_t written_ = 0;   // bytes the file holds
    std::size_t complete_ = 0;  // bytes up to the end of its last complete line
    long lines_ = 0;            // complete lines the file holds
    std::thread flusher_;
};

}  // namespace valmora
