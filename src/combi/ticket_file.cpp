#include "combi/ticket_file.h"

#include "model/system_reason.h"
#include "model/work_progress.h"

#include <QFileDevice>
#include <QRandomGenerator>

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <tuple>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mvx {

namespace {

constexpr std::size_t kBufferSize = std::size_t(1) << 20;

// A hidden name beside the file, ".name.XXXXXX", the Xs drawn at random.
QByteArray hiddenName(const QByteArray &finalName)
{
    const qsizetype slash = finalName.lastIndexOf('/');
    QByteArray name = finalName.left(slash + 1) + '.' + finalName.mid(slash + 1) + '.';
    for (int i = 0; i < 6; ++i)
        name += "abcdefghijklmnopqrstuvwxyz0123456789"[QRandomGenerator::global()->bounded(36)];
    return name;
}

// Where a chain of symbolic links that leads nowhere would lead: the file a save through it
// creates, the link staying. The name itself when it is no such link.
QByteArray danglingLinkTarget(const QByteArray &name)
{
    QByteArray target = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link
        {
        };
        if (::lstat(target.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
            return target;
        QByteArray next(qsizetype(link.st_size > 0 ? link.st_size : 4096), '\0');
        const ssize_t length = ::readlink(target.constData(), next.data(), std::size_t(next.size()));
        if (length <= 0)
            return name;
        next.truncate(qsizetype(length));
        // A relative target is read from the link's folder.
        if (!next.startsWith('/')) {
            const qsizetype slash = target.lastIndexOf('/');
            if (slash >= 0)
                next.prepend(target.left(slash + 1));
        }
        target = next;
    }
    return name;
}

} // namespace

// The thread that writes the full buffers of a file, in order, while the next ones fill. The
// lines it wrote and whether a write failed are read under its lock.
struct TicketFileSink::Writer
{
    struct Block
    {
        char *data;
        std::size_t size;
        std::int64_t lines;
    };

    Writer(TicketFileSink &sink, std::vector<char *> freeBuffers)
        : free(std::move(freeBuffers))
        , thread([this, &sink] { run(sink); })
    { }

    ~Writer()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        changed.notify_all();
        thread.join();
    }

    void run(TicketFileSink &sink)
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (true) {
            changed.wait(lock, [this] { return !pending.empty() || quit; });
            if (pending.empty())
                return;
            const Block block = pending.front();
            pending.pop_front();
            busy = true;
            const bool skip = failed;
            lock.unlock();
            // After a failure the rest is not written: the file ends with the whole lines before it.
            const BlockWritten written
                = skip ? BlockWritten { false, 0 } : sink.writeBlock(block.data, block.size, block.lines);
            lock.lock();
            busy = false;
            lines += written.lines;
            failed = failed || !written.complete;
            free.push_back(block.data);
            changed.notify_all();
        }
    }

    // Queues a full buffer and returns an empty one, waiting for one when the writing lags.
    char *hand(const Block &block)
    {
        std::unique_lock<std::mutex> lock(mutex);
        pending.push_back(block);
        changed.notify_all();
        changed.wait(lock, [this] { return !free.empty(); });
        char *next = free.back();
        free.pop_back();
        return next;
    }

    // The lines written so far and whether a write failed.
    std::pair<std::int64_t, bool> status()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return { lines, failed };
    }

    void waitUntilIdle()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return pending.empty() && !busy; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Block> pending;
    std::vector<char *> free;
    std::int64_t lines = 0;
    bool failed = false;
    bool busy = false;
    bool quit = false;
    std::thread thread; // last: starts once the rest is set up
};

TicketFileSink::TicketFileSink(const Selection &selection, QIODevice &out, WorkProgress *progress)
    : selection_(selection)
    , out_(out)
    , progress_(progress)
{
    for (auto &b : buffers_)
        b.resize(kBufferSize);
    buffer_ = buffers_[0].data();
    bufferSize_ = kBufferSize;
}

TicketFileSink::~TicketFileSink()
{
    // The writer goes first: it uses the rest.
    writer_.reset();
}

TicketFileSink::Piece TicketFileSink::pieceOf(int horse)
{
    Piece piece {};
    char *end = std::to_chars(piece.data(), piece.data() + 11, horse).ptr;
    *end++ = ',';
    piece[kLengthAt] = char(end - piece.data());
    return piece;
}

void TicketFileSink::begin(const TicketLayout &layout, std::uint64_t)
{
    layout_ = layout;
    const TicketReader reader(selection_, layout_);
    horsesPerTicket_ = std::clamp(layout.horsesPerTicket, 0, kMaxLetters);

    // A letter outside A..T reads as horse 0, as the ticket reader has it.
    letterText_.fill(pieceOf(0));
    for (int slot = 1; slot <= kMaxHorses; ++slot)
        letterText_[std::size_t('A' + slot - 1)] = pieceOf(selection_.otherHorses[std::size_t(slot)]);
    for (int b = 1; b <= 3; ++b)
        baseText_[std::size_t(b - 1)] = pieceOf(selection_.baseHorses[std::size_t(b)]);

    positionOfLetter_.fill(0);
    std::array<bool, kMaxLetters + 1> seen {};
    tailStart_ = horsesPerTicket_;
    lastLetter_ = 0;
    hasLetters_ = false;
    for (int p = 0; p < horsesPerTicket_; ++p) {
        const int source = reader.source(p + 1);
        const int letter = -source - 1;
        source_[std::size_t(p)] = source > 0 ? -source : letter;
        if (source < 0 && letter < kMaxLetters && !seen[std::size_t(letter)]) {
            seen[std::size_t(letter)] = true;
            positionOfLetter_[std::size_t(letter)] = p;
            tailStart_ = p;
            lastLetter_ = letter;
            hasLetters_ = true;
        }
    }
    // A change of the first letter rebuilds the whole line, the bases before it included: the
    // first line of a generation comes that way.
    positionOfLetter_[0] = 0;

    // What follows the last letter: bases only, then the line end.
    int at = 0;
    for (int p = hasLetters_ ? tailStart_ + 1 : horsesPerTicket_; p < horsesPerTicket_; ++p) {
        const Piece &piece = baseText_[std::size_t(-source_[std::size_t(p)] - 1)];
        std::memcpy(suffix_.data() + at, piece.data(), piece.size());
        at += piece[kLengthAt];
    }
    suffix_[std::size_t(at)] = '\r';
    suffix_[std::size_t(at) + 1] = '\n';
    suffixLength_ = at + 2;

    start_.fill(0);
    keptLength_ = 0;
    used_ = 0;
    bufferedLines_ = 0;
    linesWritten_ = 0;
    linesMade_ = 0;
    bytesWritten_ = out_.pos();
}

void TicketFileSink::rebuildKeptText(const TicketLetters &letters, int fromPosition)
{
    int at = start_[std::size_t(fromPosition)];
    for (int position = fromPosition; position < tailStart_; ++position) {
        const Piece &piece = pieceAt(position, letters);
        start_[std::size_t(position)] = at;
        std::memcpy(line_.data() + at, piece.data(), piece.size());
        at += piece[kLengthAt];
    }
    keptLength_ = at;
}

char *TicketFileSink::writeAnyLines(char *out, std::string_view lastLetters) const
{
    for (const char letter : lastLetters) {
        for (int i = 0; i < keptLength_; i += 16)
            std::memcpy(out + i, line_.data() + i, 16);
        int at = keptLength_;
        if (hasLetters_) {
            const Piece &piece = letterText_[static_cast<unsigned char>(letter)];
            std::memcpy(out + at, piece.data(), piece.size());
            at += piece[kLengthAt];
        }
        for (int i = 0; i < suffixLength_; i += 16)
            std::memcpy(out + at + i, suffix_.data() + i, 16);
        out += at + suffixLength_;
    }
    return out;
}

bool TicketFileSink::add(std::string_view letters)
{
    TicketLetters padded {};
    std::copy_n(letters.begin(), std::min(letters.size(), padded.size()), padded.begin());
    return add(padded, 0);
}

bool TicketFileSink::flush()
{
    if (stopped_)
        return false;
    if (writer_)
        std::tie(linesWritten_, failed_) = writer_->status();
    if (failed_)
        return false;
    if (progress_) {
        // Lines made: the writer is at most a few buffers behind.
        progress_->setDone(std::uint64_t(linesMade_));
        if (progress_->stopRequested()) {
            stopped_ = true;
            return false;
        }
    }
    if (used_ == 0)
        return true;
    // A file gets a writer thread once its text passes one buffer; anything else (a buffer in
    // memory, say) is written here.
    if (!writer_ && qobject_cast<QFileDevice *>(&out_)) {
        std::vector<char *> others;
        for (std::size_t b = 1; b < buffers_.size(); ++b)
            others.push_back(buffers_[b].data());
        writer_ = std::make_unique<Writer>(*this, std::move(others));
    }
    if (writer_) {
        buffer_ = writer_->hand({ buffer_, used_, bufferedLines_ });
    } else {
        const BlockWritten written = writeBlock(buffer_, used_, bufferedLines_);
        linesWritten_ += written.lines;
        failed_ = !written.complete;
        if (failed_)
            return false;
    }
    linesMade_ += bufferedLines_;
    used_ = 0;
    bufferedLines_ = 0;
    return true;
}

TicketFileSink::BlockWritten TicketFileSink::writeBlock(const char *data, std::size_t size, std::int64_t lines)
{
    std::size_t done = 0;
    while (done < size) {
        const qint64 n = out_.write(data + done, qint64(size - done));
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    if (done == size) {
        bytesWritten_ += qint64(size);
        return { true, lines };
    }
    // Keep the whole lines that made it and take off the start of a line that did not.
    const auto wholeEnd = std::find(std::make_reverse_iterator(data + done), std::make_reverse_iterator(data), '\n');
    const std::size_t whole = std::size_t(wholeEnd.base() - data);
    const BlockWritten written { false, std::count(data, data + whole, '\n') };
    bytesWritten_ += qint64(whole);
    auto *file = qobject_cast<QFileDevice *>(&out_);
    if (whole == done || !file)
        return written;
    // Through the handle: QFileDevice::resize() would clear the write error the caller reports.
    if (file->handle() >= 0) {
        [[maybe_unused]] const int cut = ::ftruncate(file->handle(), bytesWritten_);
    }
    return written;
}

bool TicketFileSink::finish()
{
    const bool handed = flush();
    if (writer_) {
        writer_->waitUntilIdle();
        std::tie(linesWritten_, failed_) = writer_->status();
        writer_.reset();
    }
    return handed && !failed_;
}

WholeFile::WholeFile(QByteArray nativeName)
    : name_(std::move(nativeName))
{ }

WholeFile::WholeFile(const QString &fileName)
    : WholeFile(QFile::encodeName(fileName))
{ }

WholeFile::~WholeFile()
{
    discard();
}

bool WholeFile::fail(int code)
{
    error_ = qt_error_string(code);
    return false;
}

void WholeFile::closeDescriptor()
{
    if (device_.isOpen())
        device_.close();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool WholeFile::open(QIODevice::OpenMode mode)
{
    discard();
    error_.clear();
    direct_ = false;
    finalName_ = name_;
    struct stat earlier
    {
    };
    const bool exists = ::stat(name_.constData(), &earlier) == 0;
    if (!exists && errno != ENOENT)
        return fail(errno);
    // Through a link that leads nowhere, the file it names is created; the link stays.
    if (!exists)
        finalName_ = danglingLinkTarget(name_);

    if (exists && !S_ISREG(earlier.st_mode)) {
        direct_ = true;
        fd_ = ::open(name_.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0)
            return fail(errno);
    } else {
        if (exists) {
            // A file the user may not write is not replaced behind his back.
            if (::access(name_.constData(), W_OK) != 0)
                return fail(errno);
            // Through a link the file it leads to is replaced; the link stays.
            if (char *resolved = ::realpath(name_.constData(), nullptr)) {
                finalName_ = resolved;
                std::free(resolved);
            }
        }
        const qsizetype slash = finalName_.lastIndexOf('/');
        const QByteArray folder = slash < 0 ? QByteArray(".") : finalName_.left(std::max<qsizetype>(slash, 1));
        // Readable by nobody else until it takes the earlier file's permissions below.
        const mode_t permissions = exists ? 0600 : 0666;
#if defined(O_TMPFILE)
        // An unnamed file is given its name through /proc at the end.
        if (::access("/proc/self/fd", X_OK) == 0)
            fd_ = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, permissions);
#endif
        if (fd_ < 0) {
            for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
                tempName_ = hiddenName(finalName_);
                fd_ = ::open(tempName_.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, permissions);
                if (fd_ < 0 && errno != EEXIST)
                    break;
            }
            if (fd_ < 0) {
                const int code = errno;
                tempName_.clear();
                return fail(code);
            }
        }
        if (exists) {
            // The owner changes only for the super-user, the group wherever the user is in it;
            // then the permissions, which a change of owner may have cut.
            if (::fchown(fd_, earlier.st_uid, earlier.st_gid) != 0) {
                [[maybe_unused]] const int group = ::fchown(fd_, uid_t(-1), earlier.st_gid);
            }
            [[maybe_unused]] const int kept = ::fchmod(fd_, earlier.st_mode & 07777);
        }
    }
    if (!device_.open(fd_, mode, QFileDevice::DontCloseHandle)) {
        error_ = device_.errorString();
        discard();
        return false;
    }
    return true;
}

bool WholeFile::commit()
{
    if (fd_ < 0)
        return error_.isEmpty() ? fail(EBADF) : false;
    if (!device_.flush() || device_.error() != QFileDevice::NoError) {
        error_ = device_.errorString();
        discard();
        return false;
    }
    const auto failed = [this](int code) {
        discard();
        return fail(code);
    };
    if (!direct_ && tempName_.isEmpty()) {
        // An unnamed file gets the name at once where there is no file yet; over an earlier
        // file it gets a hidden name first, as a link never replaces a file.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, finalName_.constData(), AT_SYMLINK_FOLLOW) == 0) {
            closeDescriptor();
            return true;
        }
        if (errno != EEXIST)
            return failed(errno);
        for (int attempt = 0; attempt < 100 && tempName_.isEmpty(); ++attempt) {
            const QByteArray name = hiddenName(finalName_);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0)
                tempName_ = name;
            else if (errno != EEXIST)
                return failed(errno);
        }
        if (tempName_.isEmpty())
            return failed(EEXIST);
    }
    if (!direct_ && ::rename(tempName_.constData(), finalName_.constData()) != 0)
        return failed(errno);
    tempName_.clear();
    closeDescriptor();
    return true;
}

void WholeFile::discard()
{
    closeDescriptor();
    if (!tempName_.isEmpty())
        ::unlink(tempName_.constData());
    tempName_.clear();
}

namespace messages {
Message ticketFileFailed(const QString &fileName, const QString &reason)
{
    return { QStringLiteral("Impossible d'écrire les tickets dans le fichier %1 :\r%2")
                 .arg(fileName, frenchSystemReason(reason)),
        QStringLiteral("Fichier non sauvegardé !!") };
}
} // namespace messages

} // namespace mvx
