#include "combi/ticket_text.h"

#include <cstdint>
#include <vector>

namespace mvx {

QString readTicketText(QIODevice &in, const std::function<bool(std::span<const int>)> &ticket)
{
    constexpr int kMostHorses = 64;
    constexpr std::int64_t kLargestNumber = 999999999;
    std::vector<char> buffer(std::size_t(1) << 20);
    int horses[kMostHorses];
    int count = 0;
    std::int64_t number = -1; // -1: no digit yet in the current field
    std::int64_t line = 1;
    auto fail = [&](const QString &what) { return QStringLiteral("ligne %1 : %2").arg(line).arg(what); };
    auto endField = [&]() -> bool {
        if (count == kMostHorses)
            return false;
        horses[count++] = int(number);
        number = -1;
        return true;
    };
    bool more = true;
    while (more) {
        const qint64 got = in.read(buffer.data(), qint64(buffer.size()));
        if (got < 0)
            return QStringLiteral("lecture impossible : %1").arg(in.errorString());
        if (got == 0)
            break;
        for (qint64 i = 0; i < got && more; ++i) {
            const char c = buffer[std::size_t(i)];
            if (c >= '0' && c <= '9') {
                number = (number < 0 ? 0 : number * 10) + (c - '0');
                if (number > kLargestNumber)
                    return fail(QStringLiteral("nombre trop grand"));
            } else if (c == ',') {
                if (number < 0)
                    return fail(QStringLiteral("virgule sans numéro de cheval"));
                if (!endField())
                    return fail(QStringLiteral("plus de %1 chevaux").arg(kMostHorses));
            } else if (c == '\n') {
                if (number >= 0 && !endField())
                    return fail(QStringLiteral("plus de %1 chevaux").arg(kMostHorses));
                if (count > 0)
                    more = ticket(std::span<const int>(horses, std::size_t(count)));
                count = 0;
                ++line;
            } else if (c != '\r' && c != ' ' && c != '\t') {
                return fail(QStringLiteral("caractère inattendu « %1 »").arg(QString::fromLatin1(&c, 1)));
            }
        }
    }
    if (more && number >= 0 && !endField())
        return fail(QStringLiteral("plus de %1 chevaux").arg(kMostHorses));
    if (more && count > 0)
        ticket(std::span<const int>(horses, std::size_t(count)));
    return {};
}

} // namespace mvx
