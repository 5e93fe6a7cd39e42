#pragma once

#include "combi/generation.h"
#include "combi/selection.h"

#include <QFile>
#include <QString>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace mvx {

class WorkProgress;

// Writes tickets as text lines, "7,3,12," each ending in CR LF, as they are generated. Lines
// are gathered in a large buffer and written in big blocks; a generation of any size runs in
// constant memory. A failed write stops the generation; the whole lines already written stay
// and a line cut by the failure is taken off again, so the file never ends mid-ticket.
class TicketFileSink : public TicketSink
{
public:
    // `out` must be open for writing; the sink does not own it. `progress`, when given, hears
    // the lines written and may stop the generation.
    TicketFileSink(const Selection &selection, QIODevice &out, WorkProgress *progress = nullptr);
    ~TicketFileSink() override;

    void begin(const TicketLayout &layout, std::uint64_t expectedCount) override;
    bool add(std::string_view letters) override;

    // The generator's calls: the letters padded to kMaxLetters and the index of the first one
    // that differs from the previous ticket. The line's text up to its last letter is kept from
    // the previous line and rebuilt only from the position of that first change; the last letter
    // and what follows it come from texts made once per generation.
    bool add(const TicketLetters &letters, int firstChanged)
    {
        return add(letters, firstChanged, std::string_view(&letters[std::size_t(lastLetter_)], 1));
    }

    // One ticket per letter of `lastLetters`, each standing in the ticket's last letter; the
    // others as in `letters`. This is the generator's inner loop, run here without a call.
    bool add(const TicketLetters &letters, int firstChanged, std::string_view lastLetters)
    {
        if (positionOfLetter_[std::size_t(firstChanged)] < tailStart_)
            rebuildKeptText(letters, positionOfLetter_[std::size_t(firstChanged)]);
        if (bufferSize_ - used_ < lastLetters.size() * kLineRoom && !flush())
            return false;
        char *out = buffer_ + used_;
        if (hasLetters_ && keptLength_ <= 16 && suffixLength_ <= 16)
            out = writeLines<16>(out, lastLetters);
        else if (hasLetters_ && keptLength_ <= 32 && suffixLength_ <= 16)
            out = writeLines<32>(out, lastLetters);
        else
            out = writeAnyLines(out, lastLetters);
        used_ = std::size_t(out - buffer_);
        bufferedLines_ += std::int64_t(lastLetters.size());
        return true;
    }

    // Writes what is left in the buffer. False when this or an earlier write failed, or the
    // generation was stopped.
    bool finish();

    // The whole lines in the output: every line made, unless a write failed.
    std::int64_t linesWritten() const { return linesWritten_; }
    const TicketLayout &layout() const { return layout_; }
    bool failed() const { return failed_; }
    bool stopped() const { return stopped_; }

private:
    // The text of a horse number and its comma, at most 12 characters, its length in the last
    // byte; copied whole, the bytes past the length are overwritten by what follows.
    using Piece = std::array<char, 16>;
    static constexpr std::size_t kLengthAt = 15;
    // Room for the longest line and the 16-byte copies past its end.
    static constexpr std::size_t kLineRoom = 8 * 12 + 2 + 32;

    static Piece pieceOf(int horse);
    const Piece &pieceAt(int position, const TicketLetters &letters) const
    {
        const int source = source_[std::size_t(position)];
        return source >= 0 ? letterText_[static_cast<unsigned char>(letters[std::size_t(source)])]
                           : baseText_[std::size_t(-source - 1)];
    }
    void rebuildKeptText(const TicketLetters &letters, int fromPosition);

    // The lines of one batch when the kept text fits KeptBytes and the end of the line 16: a
    // fixed number of copies per line, from local copies the stores into the buffer cannot touch.
    template <std::size_t KeptBytes> char *writeLines(char *out, std::string_view lastLetters) const
    {
        std::array<char, KeptBytes> kept;
        std::memcpy(kept.data(), line_.data(), KeptBytes);
        std::array<char, 16> suffix;
        std::memcpy(suffix.data(), suffix_.data(), 16);
        const int keptLength = keptLength_;
        const int suffixLength = suffixLength_;
        const Piece *pieces = letterText_.data();
        for (const char letter : lastLetters) {
            const Piece &piece = pieces[static_cast<unsigned char>(letter)];
            std::memcpy(out, kept.data(), KeptBytes);
            std::memcpy(out + keptLength, piece.data(), piece.size());
            const int at = keptLength + piece[kLengthAt];
            std::memcpy(out + at, suffix.data(), suffix.size());
            out += at + suffixLength;
        }
        return out;
    }
    char *writeAnyLines(char *out, std::string_view lastLetters) const;
    // Hands the full buffer to be written and goes on in an empty one.
    bool flush();
    struct BlockWritten
    {
        bool complete;
        std::int64_t lines; // the whole lines that reached the output
    };
    // Writes a block of whole lines; on a failure keeps the whole lines that made it.
    BlockWritten writeBlock(const char *data, std::size_t size, std::int64_t lines);

    const Selection &selection_;
    QIODevice &out_;
    WorkProgress *progress_ = nullptr;
    TicketLayout layout_;
    int horsesPerTicket_ = 0;

    // Per ticket position, 0-based: the letter it reads (>= 0), or -(base slot) for a base.
    std::array<int, kMaxLetters> source_ {};
    // Per letter index: the first position it fills, where a change starts rebuilding the line.
    std::array<int, kMaxLetters + 1> positionOfLetter_ {};
    // The position of the last letter and its index; the text before it is kept in line_, the
    // bases after it and the line end are the same on every line (suffix_).
    int tailStart_ = 0;
    int lastLetter_ = 0;
    bool hasLetters_ = false;
    // Per position up to tailStart_: where its text starts in the line.
    std::array<int, kMaxLetters + 1> start_ {};
    int keptLength_ = 0;
    std::array<char, kLineRoom> line_ {};
    std::array<char, kLineRoom> suffix_ {};
    int suffixLength_ = 0;
    std::array<Piece, 256> letterText_ {};
    std::array<Piece, 3> baseText_ {};

    // Several buffers: while full ones are written, by a thread of its own for a file, the lines
    // go into an empty one, so that making the text and writing it overlap and neither waits
    // for the other at each buffer.
    struct Writer;
    std::array<std::vector<char, UninitializedAllocator<char>>, 4> buffers_;
    char *buffer_ = nullptr;
    std::size_t bufferSize_ = 0;
    std::size_t used_ = 0;
    std::int64_t bufferedLines_ = 0;
    std::unique_ptr<Writer> writer_;
    // Taken from the writer at each buffer and at the end.
    std::int64_t linesWritten_ = 0;
    // The lines of the buffers handed over or written.
    std::int64_t linesMade_ = 0;
    // Used by whoever writes the blocks.
    qint64 bytesWritten_ = 0;
    bool failed_ = false;
    bool stopped_ = false;
};

// A file that ends up either complete or as it was. A regular file, or a name that does not
// exist yet, is written to a temporary file in the same folder that takes the name only in
// commit(): an unnamed one where the file system has them, so that nothing is left if the
// program dies, else a hidden ".name.XXXXXX" that discard() removes. A replaced file keeps its
// permissions. A device, a pipe or anything else that is not a regular file is written
// directly: renaming over it would put a regular file in its place.
class WholeFile
{
public:
    // The name as the system has it, byte for byte.
    explicit WholeFile(QByteArray nativeName);
    explicit WholeFile(const QString &fileName);
    ~WholeFile(); // discards what was not committed
    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    // False, with errorString(), when the file cannot be written or the temporary file made.
    bool open(QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered);
    // Where the text goes once open; a file device, so the ticket writer writes it from a thread.
    QFile &device() { return device_; }
    bool writesDirectly() const { return direct_; }

    // Puts the text in place of the earlier file. False, with errorString(), when a write had
    // failed or the rename fails; the earlier file is then as it was.
    bool commit();
    // Leaves the earlier file as it was and no temporary file.
    void discard();

    QString errorString() const { return error_.isEmpty() ? device_.errorString() : error_; }

private:
    bool fail(int code);
    void closeDescriptor();

    QByteArray name_; // as given
    QByteArray finalName_; // the file replaced: the name given, or where its links lead
    QByteArray tempName_; // the hidden temporary file, empty for an unnamed one
    QFile device_;
    int fd_ = -1;
    bool direct_ = false;
    QString error_;
};

namespace messages {
// A ticket file that could not be created or written, with the system's reason.
Message ticketFileFailed(const QString &fileName, const QString &reason);
} // namespace messages

} // namespace mvx
