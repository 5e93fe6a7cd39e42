#pragma once

#include "combi/generation.h"
#include "combi/selection.h"

#include <QFile>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace mvx {

// Writes tickets as text lines, "7,3,12," each ending in CR LF, as they are generated. Lines
// are gathered in a large buffer and written in big blocks; a generation of any size runs in
// constant memory. A failed write stops the generation; the whole lines already written stay,
// and a file whose last write stopped inside a line is cut back to the end of the line before.
class TicketFileSink : public TicketSink
{
public:
    // `out` must be open for writing; the sink does not own it.
    TicketFileSink(const Selection &selection, QIODevice &out);
    ~TicketFileSink() override;

    void begin(const TicketLayout &layout, std::uint64_t expectedCount) override;
    bool add(std::string_view letters) override;
    // Writes what is left in the buffer. False when this or an earlier write failed.
    bool finish();

    // The whole lines the device holds.
    std::int64_t linesWritten() const { return linesWritten_; }
    const TicketLayout &layout() const { return layout_; }
    bool failed() const { return failed_; }

private:
    bool flush();
    void keepWholeLines(std::size_t bytesWritten);

    const Selection &selection_;
    QIODevice &out_;
    TicketLayout layout_;
    std::optional<TicketReader> reader_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::int64_t linesBuffered_ = 0;
    std::int64_t linesWritten_ = 0;
    qint64 bytesWritten_ = 0;
    bool failed_ = false;
};

namespace messages {
// A ticket file that could not be created or written, with the system's reason.
Message ticketFileFailed(const QString &fileName, const QString &reason);
} // namespace messages

} // namespace mvx
