#pragma once

#include "arrival/classification.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>

namespace mvx {

// The payout of one winning ticket, per paid category, in the order of the window's fields:
// quinté ordre, désordre, bonus 4/5, bonus 4, bonus 3; quarté ordre, désordre, bonus; tiercé
// ordre, désordre.
using Payouts = std::array<double, kPaidCategories>;
using PayoutTexts = std::array<QString, kPaidCategories>;
// The texts of the arrival boxes, places 1..5.
using ArrivalTexts = std::array<QString, kArrivalPlaces>;

// A decimal text with a comma or a full stop as its decimal mark, whatever the locale (blanks
// around it, a sign and an exponent allowed, no thousands separator, one mark at most); nothing
// when it is not a number a payout can hold, a negative number included: no bet pays less than
// nothing. The locale is not used.
std::optional<double> parseAmount(const QString &text, const QLocale &locale = QLocale());

// A payout field's text rewritten as money: the number in single precision, two decimals, at
// most 8 significant digits (exponent form beyond 8 integer digits), the locale's separator.
// A text that is not a payout, a negative number included, gives 0 ("0.00" or "0,00").
QString formatAmount(const QString &text, const QLocale &locale = QLocale());

// Reads the ten payout fields in field order. The first field that is not a number stops the
// reading: it and the fields after it keep their earlier payouts.
void readPayouts(const PayoutTexts &fields, Payouts &payouts, const QLocale &locale = QLocale());

// Each place whose box holds a whole number of at most 20 takes it; any other box leaves its
// place as it was.
void readArrival(const ArrivalTexts &boxes, Arrival &arrival);

// The horse an arrival box names: a whole number 1..20, or nothing.
std::optional<int> arrivalHorse(const QString &box);
// "La 3e place de l'arrivée n'est pas un cheval de 1 à 20."
QString wrongArrivalPlaceText(int place);

// The places of the arrival that tickets of `horsesPerTicket` horses are judged on: 1-5 for
// quinté tickets, 1-4 for quarté, 1-3 for tiercé and couplé (a couplé placé looks at the
// third place); none for any other size.
int arrivalPlacesUsed(int horsesPerTicket);

// A horse given at two places of the arrival.
struct RepeatedHorse
{
    int horse = 0;
    int firstPlace = 0;
    int secondPlace = 0;
};
// The first horse repeated among the places tickets of that size are judged on, or nothing. A
// place not set (0) repeats nothing. A real arrival never repeats a horse, and a repeated one
// would count once per place and pay tickets that did not win.
std::optional<RepeatedHorse> repeatedArrivalHorse(const Arrival &arrival, int horsesPerTicket);
// "Le cheval 1 est à la fois 4e et 5e de l'arrivée : chaque place doit avoir un cheval différent."
QString repeatedHorseText(const RepeatedHorse &repeated);

// The winnings: each paid category's count times its payout, the payout taken as what one
// winning ticket brings. The couplé categories have no payout.
double winnings(const WinCounts &counts, const Payouts &payouts);

// A number the way the summary writes it: up to 15 significant digits, no trailing zeros, no
// thousands separator, the locale's decimal separator; 0 is "0".
QString formatGeneral(double value, const QLocale &locale = QLocale());

// The summary of a comparison: one line per category that has winning tickets, in category
// order ("2 Quinte"), each ended by a carriage return, then "Gains  :" and the winnings.
QString summaryText(const WinCounts &counts, const Payouts &payouts, const QLocale &locale = QLocale());

} // namespace mvx
