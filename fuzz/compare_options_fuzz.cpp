// Feeds arbitrary bytes to compare's --arrival and --payouts as the tool receives them (raw
// argument bytes, decoded losslessly) and checks: the decoding gives the same bytes back, an
// accepted arrival is one to five horses 1..20 that reads the same once written back, accepted
// payouts are amounts in cents and never negative, and the values quoted in a message hold no
// control character.
#include "cli/compare_options.h"

#include "model/escaped_text.h"

#include "fuzz_support.h"

#include <QLocale>

#include <cmath>
#include <cstdint>

using namespace mvx;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool cLocale = [] {
        QLocale::setDefault(QLocale::c());
        return true;
    }();
    (void)cLocale;
    // The arrival, a NUL, the payouts: two arguments as a shell hands them over.
    const QByteArrayView all(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nul = all.indexOf('\0');
    const QByteArrayView arrivalBytes = nul < 0 ? all : all.first(nul);
    const QByteArrayView payoutBytes = nul < 0 ? QByteArrayView() : all.sliced(nul + 1);

    for (const QByteArrayView bytes : { arrivalBytes, payoutBytes }) {
        const QString decoded = decodeBytes(bytes);
        require(encodeBytes(decoded) == bytes, "an argument comes back byte for byte");
        fuzz::requireTerminalSafe(escapedText(decoded));
    }

    if (const std::optional<Arrival> arrival = cli::readArrivalOption(decodeBytes(arrivalBytes))) {
        require((*arrival)[0] == 0, "slot 0 unused");
        QStringList places;
        bool unset = false;
        for (int p = 1; p <= kArrivalPlaces; ++p) {
            const int horse = (*arrival)[std::size_t(p)];
            require(horse == 0 || (horse >= 1 && horse <= 20), "places hold horses 1..20");
            require(!(unset && horse != 0), "only the last places are unset");
            unset = unset || horse == 0;
            if (horse != 0)
                places.append(QString::number(horse));
        }
        require(!places.isEmpty(), "at least one place");
        require(cli::readArrivalOption(places.join(QLatin1Char(','))) == arrival, "the arrival reads back the same");
    }
    if (const std::optional<Payouts> payouts = cli::readPayoutsOption(decodeBytes(payoutBytes))) {
        for (double p : *payouts) {
            require(std::isfinite(p) && p >= 0, "a payout is a number, never below 0");
            require(std::fabs(p * 100 - std::round(p * 100)) <= 1e-6 * std::max(1.0, std::fabs(p * 100)),
                "a payout is kept in cents");
        }
    }
    return 0;
}
