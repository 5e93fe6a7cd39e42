#include "cli/compare_options.h"

#include "cli/command.h"

#include <QLocale>

namespace mvx::cli {

std::optional<Arrival> readArrivalOption(const QString &text)
{
    Arrival arrival {};
    const QStringList places = text.split(QLatin1Char(','));
    for (qsizetype p = 0; p < places.size(); ++p) {
        const std::optional<int> horse = parseNumber(places[p], 1, kMaxHorses);
        if (!horse || p >= kArrivalPlaces)
            return std::nullopt;
        arrival[std::size_t(p + 1)] = *horse;
    }
    return arrival;
}

std::optional<Payouts> readPayoutsOption(const QString &text)
{
    const QStringList texts = text.split(QLatin1Char(','));
    PayoutTexts fields;
    fields.fill(QStringLiteral("0"));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i >= kPaidCategories || !parseAmount(texts[i], QLocale::c()))
            return std::nullopt;
        fields[std::size_t(i)] = formatAmount(texts[i], QLocale::c());
    }
    Payouts payouts {};
    readPayouts(fields, payouts, QLocale::c());
    return payouts;
}

} // namespace mvx::cli
