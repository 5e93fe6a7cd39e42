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

} // namespace

std::optional<ResultCategory> rapportCategory(const QString &name)
{
    const QString wanted = folded(name);
    for (int c = 1; c <= kResultCategories; ++c)
        if (publishesRapports(ResultCategory(c)) && folded(gridLabel(ResultCategory(c))) == wanted)
            return ResultCategory(c);
    return std::nullopt;
}

std::optional<Rapport> parseRapportLine(const QString &line, QString *why)
{
    auto refuse = [why](const QString &what) -> std::optional<Rapport> {
        if (why)
            *why = what;
        return std::nullopt;
    };
    QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.size() < 2)
        return refuse(QStringLiteral("une catégorie et un montant sont attendus"));
    Rapport rapport;
    const std::optional<double> amount = parseAmount(words.takeLast());
    if (!amount)
        return refuse(QStringLiteral("le montant n'est pas un nombre positif ou nul"));
    rapport.amount = *amount;
    // A combination always joins at least two horses with "-": "4" after "Bonus" is part of
    // the category "Bonus 4".
    if (words.last().contains(QLatin1Char('-'))) {
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
