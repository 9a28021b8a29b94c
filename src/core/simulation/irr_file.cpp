#include "core/simulation/irr_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/solver/number_format.h"

namespace valmora {

IrrFile::~IrrFile() {
    StopFlusher();
    if (fd_ >= 0) ::close(fd_);
}

bool IrrFile::Open(const std::string& path, int descriptor, std::string& error, bool decimalComma) {
    decimalComma_ = decimalComma;
    label_ = (descriptor >= 0 ? "The IRR output to " : "The IRR output file ") + path;
    if (descriptor >= 0) {
        // Its own copy: closing the file leaves the descriptor open.
        errno = 0;
        fd_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) return Failed("cannot be written", error);
    } else {
        if (path.empty()) {
            error = "No IRR output file was chosen.";
            return false;
        }
        std::error_code ec;
        if (std::filesystem::is_fifo(path, ec)) {
            errno = 0;
            return Failed("cannot be created: it is a pipe", error);
        }
        errno = 0;
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) return Failed("cannot be created", error);
    }
    struct stat info {};
    regular_ = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
    flusher_ = std::thread([this] { FlushByTime(); });
    return true;
}

bool IrrFile::Write(double rate, std::string& error) {
    std::lock_guard lock(mutex_);
    if (failed_) {
        error = failure_;
        return false;
    }
    const bool first = pending_.empty();
    std::string line = FileNumberText(rate);
    if (decimalComma_)
        for (char& c : line)
            if (c == '.') c = ',';
    pending_ += line;
    pending_ += "\r\n";
    if (pending_.size() >= kBlock && !Flush()) {
        error = failure_;
        return false;
    }
    if (first) wake_.notify_one();  // the flusher times the oldest pending line
    return true;
}

bool IrrFile::Close(std::string& error) {
    StopFlusher();
    if (fd_ < 0) return true;
    std::lock_guard lock(mutex_);
    bool ok = !failed_ && Flush();
    if (!ok) error = failure_;
    errno = 0;
    if (::close(fd_) != 0 && ok) ok = Failed("cannot be written", error, true);
    fd_ = -1;
    return ok;
}

void IrrFile::FlushByTime() {
    std::unique_lock lock(mutex_);
    while (!closing_) {
        if (pending_.empty() || failed_) {
            wake_.wait(lock, [this] { return closing_ || (!pending_.empty() && !failed_); });
            continue;
        }
        // The oldest pending line was written about now: hand it over
        // kMostDelay later with whatever joined it.
        if (wake_.wait_for(lock, kMostDelay, [this] { return closing_; })) break;
        if (!pending_.empty() && !failed_) Flush();
    }
}

void IrrFile::StopFlusher() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_one();
    if (flusher_.joinable()) flusher_.join();
}

bool IrrFile::Flush() {
    std::size_t done = 0;
    while (done < pending_.size()) {
        const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int cause = n < 0 ? errno : ENOSPC;
            Account(done);
            // Cut a partial line off the end of a file; a device keeps what it took.
            if (regular_ && written_ != complete_) {
                if (::ftruncate(fd_, static_cast<off_t>(complete_)) == 0) written_ = complete_;
            }
            pending_.clear();
            failed_ = true;
            errno = cause;
            return Failed("cannot be written", failure_, true);
        }
        done += static_cast<std::size_t>(n);
    }
    Account(done);
    pending_.clear();
    return true;
}

void IrrFile::Account(std::size_t taken) {
    for (std::size_t i = 0; i < taken; ++i)
        if (pending_[i] == '\n') {
            ++lines_;
            complete_ = written_ + i + 1;
        }
    written_ += taken;
}

bool IrrFile::Failed(const char* what, std::string& error, bool sayLines) {
    error = label_ + " " + what + (errno ? std::string(": ") + std::strerror(errno) : "") + ".";
    if (sayLines) {
        error += " It holds " + std::to_string(lines_) + (lines_ == 1 ? " complete line" : " complete lines");
        if (written_ != complete_) error += " and the start of one more";
        error += ".";
    }
    return false;
}

}  // namespace valmora
