#include "script/catch_book_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace mogumo::book {

namespace {

// Past this many, events that cannot be saved are kept only in the book
// shown, so that a book that stays unwritable cannot fill the memory.
constexpr size_t kMaxUnsaved = 10000;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, for the error a delayed write may report only then.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string why() {
    return std::strerror(errno);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p, new folders private to the player as the data folders are meant
// to be.
std::string makeFolders(const std::string& folder) {
    for (size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return part + ": " + why();
        if (at == std::string::npos)
            return {};
    }
}

std::string flushFolder(const std::string& folder) {
    const Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A file system that cannot flush a folder (EINVAL) has nothing to flush.
    if (fd.get() < 0 || (::fsync(fd.get()) != 0 && errno != EINVAL))
        return folder + ": " + why();
    return {};
}

std::string localTime(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64] = "";
    if (localtime_r(&now, &local))
        std::strftime(text, sizeof text, format, &local);
    return text;
}

struct Disk {
    enum { Missing, Book, Unreadable, Failed } state;
    CatchBook book;
    std::string why;  // Unreadable: what is wrong with it; Failed: the system's error
};

Disk readDisk(const std::string& path) {
    // Not blocking, should the name be a pipe.
    const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return {errno == ENOENT ? Disk::Missing : Disk::Failed, {}, why()};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return {Disk::Failed, {}, why()};
    if (!S_ISREG(st.st_mode))
        return {Disk::Failed, {}, "it is not a file"};
    std::string text;
    if (static_cast<uint64_t>(st.st_size) <= kMaxBookBytes) {
        // One byte over the bound tells a file that grew since fstat.
        text.resize(kMaxBookBytes + 1);
        size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return {Disk::Failed, {}, why()};
            if (n == 0)
                break;
            got += static_cast<size_t>(n);
        }
        text.resize(got);
    } else {
        text.resize(kMaxBookBytes + 1);  // refused unread
    }
    ReadResult read = fromJson(text);
    if (!read.book)
        return {Disk::Unreadable, {}, read.error};
    return {Disk::Book, *read.book, {}};
}

// Renames the file to a dated name no other file has; returns that name, or
// an empty one with `problem` set.
std::string moveAside(const std::string& path, std::string& problem) {
    const std::string stem = path + ".unreadable-" + localTime("%Y-%m-%dT%H%M%S");
    for (int n = 1; n < 100; ++n) {
        const std::string aside = n == 1 ? stem : stem + "-" + std::to_string(n);
        struct stat st {};
        if (::lstat(aside.c_str(), &st) == 0)
            continue;
        if (::rename(path.c_str(), aside.c_str()) != 0) {
            problem = why();
            return {};
        }
        flushFolder(folderOf(path));
        return aside;
    }
    problem = "too many unreadable books kept this second";
    return {};
}

// Writes the whole book beside the old one, flushes it and renames it over;
// returns the failure, or an empty string.
std::string writeBook(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666));
    if (fd.get() < 0)
        return temp + ": " + why();
    std::string failure;
    for (size_t done = 0; done < text.size() && failure.empty();) {
        const ssize_t n = ::write(fd.get(), text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR)
            failure = why();
        else if (n > 0)
            done += static_cast<size_t>(n);
    }
    if (failure.empty() && ::fsync(fd.get()) != 0)
        failure = why();
    if (!fd.close() && failure.empty())
        failure = why();
    if (failure.empty() && ::rename(temp.c_str(), path.c_str()) != 0)
        failure = why();
    if (!failure.empty()) {
        ::unlink(temp.c_str());
        return temp + ": " + failure;
    }
    return flushFolder(folderOf(path));
}

}  // namespace

// The book's lock, held until destroyed; fd < 0 when it could not be taken.
struct CatchBookFile::Locked {
    Fd fd;
    std::string problem;

    explicit Locked(const std::string& path)
        : fd(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        if (fd.get() < 0) {
            problem = path + ".lock: " + why();
            return;
        }
        while (::flock(fd.get(), LOCK_EX) != 0)
            if (errno != EINTR) {
                problem = path + ".lock: " + why();
                fd.close();
                return;
            }
    }
};

CatchBookFile::Result CatchBookFile::load() {
    // Unlocked when the lock cannot be taken: the book may still be read,
    // as a rename never shows half a file.
    const Locked lock(path_);
    Disk disk = readDisk(path_);
    Result result;
    std::string problem;
    if (disk.state == Disk::Failed) {
        problem = "The catch book " + path_ + " could not be read (" + disk.why + ").";
    } else if (disk.state == Disk::Unreadable) {
        std::string failure;
        const std::string aside = lock.fd.get() >= 0 ? moveAside(path_, failure) : std::string();
        if (aside.empty())
            problem = "The catch book " + path_ + " cannot be read: " + disk.why +
                      ". It could not be kept aside (" + (failure.empty() ? lock.problem : failure) +
                      "), so it is left as it is and nothing will be saved in it.";
        else
            result.message = "The catch book " + path_ + " could not be read: " + disk.why +
                             ". It is kept as " + aside + ", and a new book begins.";
    }
    if (disk.state == Disk::Book || disk.state == Disk::Missing) {
        book_ = disk.book;
        for (const auto& [event, date] : unsaved_) book_.apply(event, date);
        result.saved = true;
    } else if (disk.state == Disk::Unreadable && problem.empty()) {
        book_ = CatchBook{};
        for (const auto& [event, date] : unsaved_) book_.apply(event, date);
    }
    // A good read says nothing of whether the book can be written again.
    return problem.empty() ? result : finish(problem, result);
}

CatchBookFile::Result CatchBookFile::record(const Event& event, const Date& date) {
    Result result;
    std::string problem = makeFolders(folderOf(path_));
    std::optional<Locked> lock;
    if (problem.empty()) {
        lock.emplace(path_);
        problem = lock->problem;
    }
    // Read even without the lock, for the book shown; written only under it.
    Disk disk = readDisk(path_);
    std::optional<CatchBook> base;
    if (disk.state == Disk::Failed) {
        problem = path_ + ": " + disk.why;
    } else if (disk.state == Disk::Unreadable) {
        std::string failure = problem;
        const std::string aside = problem.empty() ? moveAside(path_, failure) : std::string();
        if (!aside.empty()) {
            result.message = "The catch book " + path_ + " could not be read: " + disk.why +
                             ". It is kept as " + aside + ", and a new book begins.";
            base.emplace();
        } else {
            problem = "it cannot be read (" + disk.why + ") nor kept aside (" + failure + ")";
        }
    } else {
        base = std::move(disk.book);
    }
    if (base) {
        for (const auto& [earlier, day] : unsaved_) base->apply(earlier, day);
        result.change = base->apply(event, date);
        if (problem.empty())
            problem = writeBook(path_, toJson(*base));
        book_ = std::move(*base);
        result.saved = problem.empty();
    } else {
        result.change = book_.apply(event, date);
    }
    if (result.saved)
        unsaved_.clear();
    else if (unsaved_.size() < kMaxUnsaved)
        unsaved_.emplace_back(event, date);
    if (!problem.empty())
        problem = "The catch book could not be saved (" + problem +
                  "). The game goes on, and the fish not yet saved are saved with the next catch if the "
                  "book can be written then.";
    return finish(problem, result);
}

CatchBookFile::Result CatchBookFile::finish(std::string problem, Result result) {
    if (!problem.empty() && problem != lastProblem_)
        result.message += (result.message.empty() ? "" : " ") + problem;
    lastProblem_ = std::move(problem);
    return result;
}

std::optional<std::string> defaultBookPath() {
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* user = ::getpwuid(::getuid());
            home = user ? user->pw_dir : nullptr;
        }
        if (!home || home[0] != '/')
            return std::nullopt;
        base = std::string(home) + "/.local/share";
    }
    return base + "/mogumo/catch-book.json";
}

Date today() {
    return Date::parse(localTime("%Y-%m-%d")).value_or(Date{1970, 1, 1});
}

}  // namespace mogumo::book
