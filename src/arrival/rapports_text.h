#pragma once

#include "arrival/official_result.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace mvx {

// The category a rapport names: a grid label of the official-result path ("Tiercé désordre",
// "Couplé placé 1 NP"), with or without its accents and a "+" ("Quinté+ ordre"), in any case,
// blanks between words as they come; a bonus may carry its bet's name ("Quinté+ Bonus 4",
// "Quarté+ Bonus"). "Remboursé" names no rapport.
std::optional<ResultCategory> rapportCategory(const QString &name);

// A rapport's amount in cents: digits, thousands possibly set apart by blanks ("12 345,60"),
// a comma or a full stop and at most two decimals, at most kLargestRapportCents. Nothing, and
// `why` says it in French, for any other text.
std::optional<std::int64_t> parseRapportAmount(const QString &text, QString *why = nullptr);

// One line of a rapports file: the category, then the combination (horse numbers and "NP"
// joined by "-", as "7-13-2" or "16-NP"), then the amount (parseRapportAmount: "120.50", "12 345,60") ("Tierce ordre
// 7-13-2 120.50"). Without a combination the line is a single rapport for the whole category. The combination must have
// the category's number of horses and non-runners, no horse twice. Nothing, and `why` says it in French, when the line
// is not that.
std::optional<Rapport> parseRapportLine(const QString &line, QString *why = nullptr);

// The same line back, amount with a full stop: "Tierce ordre 7-13-2 120.50".
QString rapportLine(const Rapport &rapport);

// What reading a rapports file gave.
struct RapportsRead
{
    std::vector<Rapport> rapports;
    // Empty when every line was read; else, in French, the line's number, what is wrong and the
    // line: "ligne 3 : catégorie inconnue : « Tic 3 7-13-2 12 »".
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// A rapports file: UTF-8, one rapport a line (blank lines skipped), lines ending in LF or CR LF.
RapportsRead readRapportsText(const QByteArray &bytes);

} // namespace mvx
