#include "combi/ticket_text.h"

#include "model/escaped_text.h"
#include "model/line_reader.h"
#include "model/system_reason.h"

#include <cstdint>

namespace mvx {

namespace {

constexpr int kMostHorsesPerTicket = 8;
constexpr int kHighestHorse = 20;

// The horses of one line, or why it is not a ticket.
struct TicketLine
{
    int horses[kMostHorsesPerTicket];
    int count = 0;
    QString fault;
};

QString byteText(char c)
{
    if (c == ' ')
        return QStringLiteral("(une espace)");
    return QStringLiteral("« %1 »").arg(escapedText(QByteArrayView(&c, 1)));
}

TicketLine readLine(QByteArrayView line)
{
    TicketLine t;
    if (line.isEmpty()) {
        t.fault = QStringLiteral("ligne vide");
        return t;
    }
    std::uint32_t seen = 0;
    qsizetype i = 0;
    while (i < line.size()) {
        const qsizetype first = i;
        int horse = 0;
        for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
            if (i - first < 3)
                horse = horse * 10 + (line[i] - '0');
        const qsizetype digits = i - first;
        if (digits == 0) {
            t.fault = line[i] == ','
                ? QStringLiteral("virgule sans numéro de cheval")
                : QStringLiteral("caractère inattendu %1 (des numéros suivis d'une virgule)").arg(byteText(line[i]));
            return t;
        }
        const auto number = [&] { return QString::fromLatin1(line.data() + first, digits); };
        if (digits > 2 || line[first] == '0' || horse > kHighestHorse) {
            t.fault = QStringLiteral("« %1 » n'est pas un numéro de cheval de 1 à 20").arg(number());
            return t;
        }
        if (i == line.size()) {
            t.fault = QStringLiteral("le numéro %1 n'est pas suivi d'une virgule").arg(number());
            return t;
        }
        if (line[i] != ',') {
            t.fault = QStringLiteral("caractère inattendu %1 après le numéro %2").arg(byteText(line[i]), number());
            return t;
        }
        ++i;
        if (seen & (1u << horse)) {
            t.fault = QStringLiteral("le cheval %1 y est deux fois").arg(horse);
            return t;
        }
        seen |= 1u << horse;
        if (t.count == kMostHorsesPerTicket) {
            t.fault = QStringLiteral("plus de %1 chevaux").arg(kMostHorsesPerTicket);
            return t;
        }
        t.horses[t.count++] = horse;
    }
    return t;
}

} // namespace

TicketTextRead readTicketText(QIODevice &in, TicketSizes sizes, const std::function<bool(std::span<const int>)> &ticket)
{
    TicketTextRead read;
    LineReader lines(in, kLongestTicketLine);
    QByteArrayView text;
    auto refuse = [&](const QString &fault, const QString &shown) {
        read.error = QStringLiteral("ligne %1 : %2 : « %3 »").arg(lines.lineNumber()).arg(fault, shown);
        return read;
    };
    for (;;) {
        const LineReader::Status status = lines.next(text);
        if (status == LineReader::Status::End)
            return read;
        if (status == LineReader::Status::ReadFailed) {
            read.error = QStringLiteral("lecture impossible : %1").arg(frenchSystemReason(in.errorString()));
            read.readFailed = true;
            return read;
        }
        if (status == LineReader::Status::TooLong)
            return refuse(QStringLiteral("ligne trop longue pour un ticket"), escapedText(text) + QStringLiteral("…"));
        const TicketLine line = readLine(text);
        if (!line.fault.isEmpty())
            return refuse(line.fault, escapedText(text));
        if (read.horsesPerTicket == 0) {
            if (line.count < sizes.fewest || line.count > sizes.most)
                return refuse(QStringLiteral("%1 chevaux, alors qu'un ticket en a de %2 à %3")
                                  .arg(line.count)
                                  .arg(sizes.fewest)
                                  .arg(sizes.most),
                    escapedText(text));
            read.horsesPerTicket = line.count;
        } else if (line.count != read.horsesPerTicket) {
            return refuse(QStringLiteral("%1 chevaux, alors que les tickets précédents en ont %2")
                              .arg(line.count)
                              .arg(read.horsesPerTicket),
                escapedText(text));
        }
        ++read.tickets;
        if (!ticket(std::span<const int>(line.horses, std::size_t(line.count))))
            return read;
        if (status == LineReader::Status::LastLine)
            return read;
    }
}

} // namespace mvx
