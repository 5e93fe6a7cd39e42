// Feeds arbitrary bytes to the ticket file reader and checks what must hold whatever the bytes:
// every ticket handed over is 1..20 horses of the file's one size, none twice, within the sizes
// asked; a file read to its end is exactly the tickets read, written back the program's way
// (line ends aside); a refusal names a line and quotes nothing raw.
#include "combi/ticket_text.h"

#include "fuzz_support.h"

#include <cstdint>

using namespace mvx;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // First byte: which sizes are asked and how the bytes come; second: when the reading stops.
    const TicketSizes sizes = (data[0] & 1) ? kListedTicketSizes : kClassifiedTicketSizes;
    const qint64 piece = 1 + (data[0] >> 1);
    const int stopAfter = data[1] == 0 ? -1 : data[1];
    const QByteArrayView file(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    fuzz::TrickleDevice in(file, piece);

    QByteArray written;
    std::int64_t handed = 0;
    int size0 = 0;
    const TicketTextRead read = readTicketText(in, sizes, [&](std::span<const int> horses) {
        require(int(horses.size()) >= sizes.fewest && int(horses.size()) <= sizes.most, "a size within range");
        if (size0 == 0)
            size0 = int(horses.size());
        require(int(horses.size()) == size0, "one size per file");
        std::uint32_t seen = 0;
        for (int h : horses) {
            require(h >= 1 && h <= 20, "horses 1..20");
            require(!(seen & (1u << h)), "no horse twice");
            seen |= 1u << h;
            written += QByteArray::number(h) + ',';
        }
        written += '\n';
        ++handed;
        return handed != stopAfter;
    });
    require(read.tickets == handed, "the count is the tickets handed over");
    require(read.horsesPerTicket == size0, "the size is the tickets'");
    require(!read.readFailed, "a buffer never fails");
    if (!read.ok()) {
        require(read.error.startsWith(QStringLiteral("ligne ")), "a refusal names its line");
        fuzz::requireTerminalSafe(read.error);
        return 0;
    }
    if (handed == stopAfter)
        return 0;
    // Read to the end: the input is the tickets written back, LF or CR LF, the last line end
    // optional.
    QByteArray expected = file.toByteArray();
    expected.replace("\r\n", "\n");
    if (expected.endsWith('\r'))
        expected.chop(1);
    if (!expected.isEmpty() && !expected.endsWith('\n'))
        expected += '\n';
    require(expected == written, "what is accepted is exactly the tickets read");
    return 0;
}
