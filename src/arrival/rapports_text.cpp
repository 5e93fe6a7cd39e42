#include "arrival/rapports_text.h"

#include "arrival/winnings.h"
#include "model/escaped_text.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace mvx {

namespace {

// A name folded for comparison: accents and the "+" of "Quinté+" dropped, case folded, blanks
// collapsed.
QString folded(const QString &name)
{
    QString plain;
    for (QChar c : name.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing && c != QLatin1Char('+'))
            plain += c;
    return plain.toCaseFolded().simplified();
}

std::optional<std::vector<int>> parseCombination(const QString &text)
{
    std::vector<int> horses;
    for (const QString &part : text.split(QLatin1Char('-'))) {
        if (part.compare(QLatin1String("NP"), Qt::CaseInsensitive) == 0) {
            horses.push_back(kNonRunnerMark);
            continue;
        }
        bool ok = false;
        const int horse = part.toInt(&ok);
        if (!ok || horse < 1 || horse > kMaxHorses || part.startsWith(QLatin1Char('+')) || part.startsWith('0'))
            return std::nullopt;
        horses.push_back(horse);
    }
    return horses;
}

// The bet's name before a bonus, as the operator writes it: "Quinté+ Bonus 4", "Quarté+ Bonus".
QString withoutBetName(const QString &wanted)
{
    if (wanted == QLatin1String("quarte bonus"))
        return QStringLiteral("bonus");
    if (wanted.startsWith(QLatin1String("quinte bonus ")))
        return wanted.mid(7);
    return wanted;
}

// What one line reads once its amount is known: the category and the combination.
std::optional<Rapport> parseRapportWords(QStringList words, QString *why)
{
    auto refuse = [why](const QString &what) -> std::optional<Rapport> {
        if (why)
            *why = what;
        return std::nullopt;
    };
    Rapport rapport;
    // A combination always joins at least two horses with "-": "4" after "Bonus" is part of
    // the category "Bonus 4". A simple's is its one horse: "13" after "Simple placé".
    const std::optional<ResultCategory> oneHorse
        = words.size() >= 2 ? rapportCategory(words.mid(0, words.size() - 1).join(QLatin1Char(' '))) : std::nullopt;
    if (!words.isEmpty()
        && (words.last().contains(QLatin1Char('-')) || (oneHorse && combinationShape(*oneHorse).horses == 1))) {
        const std::optional<std::vector<int>> combination = parseCombination(words.takeLast());
        if (!combination)
            return refuse(QStringLiteral("la combinaison n'est pas faite de chevaux de 1 à 20 et de NP"));
        rapport.combination = *combination;
    }
    const std::optional<ResultCategory> category = rapportCategory(words.join(QLatin1Char(' ')));
    if (!category)
        return refuse(QStringLiteral("catégorie inconnue"));
    rapport.category = *category;
    if (rapport.combination.empty())
        return rapport;
    const CombinationShape shape = combinationShape(rapport.category);
    const auto nonRunners = int(std::count(rapport.combination.begin(), rapport.combination.end(), kNonRunnerMark));
    if (int(rapport.combination.size()) != shape.horses || nonRunners != shape.nonRunners)
        return refuse(shape.nonRunners == 0 ? QStringLiteral("la combinaison d'un %1 a %2 chevaux, sans NP")
                                                  .arg(gridLabel(rapport.category))
                                                  .arg(shape.horses)
                                            : QStringLiteral("la combinaison d'un %1 a %2 chevaux dont %3 NP")
                                                  .arg(gridLabel(rapport.category))
                                                  .arg(shape.horses)
                                                  .arg(shape.nonRunners));
    std::vector<int> horses = rapport.combination;
    std::sort(horses.begin(), horses.end());
    for (std::size_t i = 1; i < horses.size(); ++i)
        if (horses[i] != kNonRunnerMark && horses[i] == horses[i - 1])
            return refuse(QStringLiteral("le cheval %1 est deux fois dans la combinaison").arg(horses[i]));
    return rapport;
}

} // namespace

std::optional<std::int64_t> parseRapportAmount(const QString &text, QString *why)
{
    // Thousands in groups of three after a blank (a space, or the non-breaking spaces of a
    // copied page), then a comma or a full stop and at most two decimals.
    static const QRegularExpression amount(
        QStringLiteral("^(\\d{1,3}(?:[ \\x{00a0}\\x{202f}]\\d{3})+|\\d+)(?:[.,](\\d{1,2}))?$"));
    const QRegularExpressionMatch match = amount.match(text.trimmed());
    if (!match.hasMatch()) {
        if (why)
            *why = QStringLiteral("le montant n'est pas un nombre positif ou nul");
        return std::nullopt;
    }
    QString euros = match.captured(1);
    euros.remove(QRegularExpression(QStringLiteral("[ \\x{00a0}\\x{202f}]")));
    const QString decimals = match.captured(2);
    // Beyond ten digits the euros are far past the bound: they are not read further.
    if (euros.size() > 10 || euros.toLongLong() * 100 > kLargestRapportCents) {
        if (why)
            *why = QStringLiteral("le montant dépasse 9 999 999,99 €");
        return std::nullopt;
    }
    std::int64_t cents = euros.toLongLong() * 100;
    if (!decimals.isEmpty())
        cents += decimals.size() == 1 ? decimals.toInt() * 10 : decimals.toInt();
    if (cents > kLargestRapportCents) {
        if (why)
            *why = QStringLiteral("le montant dépasse 9 999 999,99 €");
        return std::nullopt;
    }
    return cents;
}

std::optional<ResultCategory> rapportCategory(const QString &name)
{
    const QString wanted = withoutBetName(folded(name));
    for (int c = 1; c <= kResultCategories; ++c)
        if (publishesRapports(ResultCategory(c)) && folded(gridLabel(ResultCategory(c))) == wanted)
            return ResultCategory(c);
    return std::nullopt;
}

std::optional<Rapport> parseRapportLine(const QString &line, QString *why)
{
    const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.size() < 2) {
        if (why)
            *why = QStringLiteral("une catégorie et un montant sont attendus");
        return std::nullopt;
    }
    // The amount is the last word, or the last two or three when its thousands are set apart
    // ("12 345,60"): the first reading that leaves a category and a combination wins. When none
    // does, the reason is the amount's in a reading whose category and combination are right,
    // else the one-word reading's.
    QString amountWhy;
    QString firstWhy;
    for (qsizetype k = 1; k <= std::min<qsizetype>(3, words.size() - 1); ++k) {
        QString restWhy;
        std::optional<Rapport> rapport = parseRapportWords(words.mid(0, words.size() - k), &restWhy);
        QString centsWhy;
        const QString amount = words.mid(words.size() - k).join(' ');
        const std::optional<std::int64_t> cents = parseRapportAmount(amount, &centsWhy);
        if (rapport && cents) {
            rapport->amount = double(*cents) / 100.0;
            return rapport;
        }
        static const QRegularExpression digits(QStringLiteral("^[0-9][0-9 .,\\x{00a0}\\x{202f}]*$"));
        if (rapport && amountWhy.isEmpty() && (k == 1 || digits.match(amount).hasMatch()))
            amountWhy = centsWhy;
        if (k == 1)
            firstWhy = cents ? restWhy : centsWhy;
    }
    if (why)
        *why = amountWhy.isEmpty() ? firstWhy : amountWhy;
    return std::nullopt;
}

QString rapportLine(const Rapport &rapport)
{
    QString line = gridLabel(rapport.category);
    if (!rapport.combination.empty())
        line += QLatin1Char(' ') + combinationText(rapport.combination);
    return line + QLatin1Char(' ') + QString::number(rapport.amount, 'f', 2);
}

RapportsRead readRapportsText(const QByteArray &bytes)
{
    RapportsRead read;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray line = lines[n];
        if (line.endsWith('\r'))
            line.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(line);
        QString why;
        if (utf8.hasError())
            why = QStringLiteral("la ligne n'est pas écrite en UTF-8");
        else if (text.trimmed().isEmpty())
            continue;
        else if (const std::optional<Rapport> rapport = parseRapportLine(text, &why))
            read.rapports.push_back(*rapport);
        if (!why.isEmpty()) {
            read.rapports.clear();
            read.error = QStringLiteral("ligne %1 : %2 : « %3 »").arg(n + 1).arg(why, escapedText(line));
            return read;
        }
    }
    return read;
}

} // namespace mvx
