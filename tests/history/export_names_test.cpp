// Names in the history's export that a spreadsheet would evaluate as formulas.

#include "history/race_export.h"

#include <gtest/gtest.h>

using namespace mvx;

TEST(RaceExport, NamesThatLookLikeFormulasAreWrittenAsTextAndAmountsStayNumbers)
{
    std::vector<RaceRecord> races;
    for (const char *name : { "=HYPERLINK(\"http://x\";\"clic\")", "+33 6 12", "-Prix du soir", "@SOMME(A1:A9)",
             "Prix de l'Arc", "Quinté = 5 chevaux" }) {
        RaceRecord race;
        race.date = QDate(2026, 3, 1);
        race.name = QString::fromUtf8(name);
        race.tickets = 10;
        race.stakeCents = 1000;
        race.balanceCents = -1000; // a negative amount is a number and must stay one
        races.push_back(race);
    }
    const QStringList lines = QString::fromLocal8Bit(raceExportBytes(races)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8); // the header, six races and the empty end
    const QStringList expectedNames = { QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\";\"\"clic\"\")\""),
        QStringLiteral("\"'+33 6 12\""), QStringLiteral("\"'-Prix du soir\""), QStringLiteral("\"'@SOMME(A1:A9)\""),
        QStringLiteral("Prix de l'Arc"), QString::fromUtf8("Quinté = 5 chevaux") };
    for (int i = 0; i < 6; ++i) {
        const QString &line = lines[i + 1];
        EXPECT_TRUE(line.startsWith(QStringLiteral("01/03/2026;") + expectedNames[i] + QLatin1Char(';')))
            << line.toStdString();
        EXPECT_TRUE(line.endsWith(QStringLiteral(";10;10,00;0,00;0,00;-10,00;"))) << line.toStdString();
    }
}
