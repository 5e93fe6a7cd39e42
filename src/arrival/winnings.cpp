#include "arrival/winnings.h"

#include "combi/integer_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mvx {

namespace {

// Money texts are written and read without thousands separators.
QLocale moneyLocale(QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

constexpr int kMoneyDigits = 8;
constexpr int kMoneyDecimals = 2;

// The payout field that pays each paid category (categories 1..10, in category order).
constexpr std::array<int, kPaidCategories> kPayoutOfCategory { 0, 1, 3, 2, 4, 5, 6, 7, 8, 9 };
// The order in which the winnings add the categories up (floating-point sums depend on it).
constexpr std::array<int, kPaidCategories> kWinningsOrder { 1, 2, 3, 5, 4, 6, 7, 8, 9, 10 };

} // namespace

std::optional<double> parseAmount(const QString &text, const QLocale &)
{
    // Punters type the decimal mark they are used to, whatever the desktop's settings: a comma
    // and a full stop both mark the decimals, and a text holding both, or either twice, is not
    // an amount.
    QString number = text.trimmed();
    if (number.count(QLatin1Char(',')) + number.count(QLatin1Char('.')) > 1)
        return std::nullopt;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = moneyLocale(QLocale::c()).toDouble(number, &ok);
    // A payout is held in single precision: a larger number is not one.
    if (!ok || !std::isfinite(value) || value < 0 || value > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return value + 0.0; // "-0" is 0
}

QString formatAmount(const QString &text, const QLocale &locale)
{
    const QLocale money = moneyLocale(locale);
    double value = double(float(parseAmount(text, locale).value_or(0.0)));
    if (value == 0.0)
        value = 0.0; // no "-0.00"
    // Rounded to 8 significant digits first: the exponent says how many integer digits remain.
    const QString rounded = QString::number(value, 'e', kMoneyDigits - 1);
    const int exponent = rounded.mid(rounded.indexOf(QLatin1Char('e')) + 1).toInt();
    if (exponent + 1 > kMoneyDigits)
        return money.toString(value, 'E', kMoneyDigits - 1);
    const int decimals = std::clamp(kMoneyDigits - (exponent + 1), 0, kMoneyDecimals);
    QString shown = money.toString(value, 'f', decimals);
    if (decimals < kMoneyDecimals) {
        if (decimals == 0)
            shown += money.decimalPoint();
        shown += QString(kMoneyDecimals - decimals, QLatin1Char('0'));
    }
    return shown;
}

void readPayouts(const PayoutTexts &fields, Payouts &payouts, const QLocale &locale)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<double> value = parseAmount(fields[i], locale);
        if (!value)
            return;
        payouts[i] = *value;
    }
}

void readArrival(const ArrivalTexts &boxes, Arrival &arrival)
{
    for (std::size_t place = 1; place <= boxes.size(); ++place) {
        const std::optional<std::int32_t> horse = parseInteger(boxes[place - 1]);
        if (horse && *horse <= kMaxHorses)
            arrival[place] = *horse;
    }
}

std::optional<int> arrivalHorse(const QString &box)
{
    const std::optional<std::int32_t> horse = parseInteger(box);
    if (horse && *horse >= 1 && *horse <= kMaxHorses)
        return *horse;
    return std::nullopt;
}

namespace {

QString placeName(int place)
{
    return place == 1 ? QStringLiteral("1er") : QStringLiteral("%1e").arg(place);
}

} // namespace

QString wrongArrivalPlaceText(int place)
{
    return QStringLiteral("La %1 place de l'arrivée n'est pas un cheval de 1 à 20.")
        .arg(place == 1 ? QStringLiteral("1re") : placeName(place));
}

int arrivalPlacesUsed(int horsesPerTicket)
{
    switch (horsesPerTicket) {
    case 2:
    case 3:
        return 3;
    case 4:
        return 4;
    case 5:
        return 5;
    default:
        return 0;
    }
}

std::optional<RepeatedHorse> repeatedArrivalHorse(const Arrival &arrival, int horsesPerTicket)
{
    const int places = std::min(arrivalPlacesUsed(horsesPerTicket), kArrivalPlaces);
    for (int second = 2; second <= places; ++second) {
        const int horse = arrival[std::size_t(second)];
        if (horse == 0)
            continue;
        for (int first = 1; first < second; ++first)
            if (arrival[std::size_t(first)] == horse)
                return RepeatedHorse { horse, first, second };
    }
    return std::nullopt;
}

QString repeatedHorseText(const RepeatedHorse &repeated)
{
    return QStringLiteral("Le cheval %1 est à la fois %2 et %3 de l'arrivée : chaque place doit avoir un cheval "
                          "différent.")
        .arg(repeated.horse)
        .arg(placeName(repeated.firstPlace), placeName(repeated.secondPlace));
}

double winnings(const WinCounts &counts, const Payouts &payouts)
{
    double total = 0;
    for (int category : kWinningsOrder) {
        const std::size_t c = std::size_t(category - 1);
        total += double(counts[c]) * payouts[std::size_t(kPayoutOfCategory[c])];
    }
    return total;
}

QString formatGeneral(double value, const QLocale &locale)
{
    if (value == 0.0)
        return QStringLiteral("0");
    return moneyLocale(locale).toString(value, 'g', 15);
}

QString summaryText(const WinCounts &counts, const Payouts &payouts, const QLocale &locale)
{
    QString text;
    for (int c = 1; c <= kWinCategories; ++c) {
        const std::int32_t count = counts[std::size_t(c - 1)];
        if (count > 0)
            text += QString::number(count) + summaryLabel(WinCategory(c)) + QLatin1Char('\r');
    }
    return text + QStringLiteral("Gains  :") + formatGeneral(winnings(counts, payouts), locale);
}

} // namespace mvx
