// The command-line tool's own reduced systems, the holes of a ticket file and the cost of a game,
// run as processes.

#include "combi/catalogue.h"
#include "combi/own_library.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

CliRun cli(const QStringList &args, const QByteArray &input = {})
{
    QProcess p;
    p.start(QStringLiteral(MAROVELLIX_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return { p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()) };
}

// The line of one category in the output of "holes": label, holes, arrivals, places, examples.
QStringList categoryLine(const QByteArray &out, const QString &label)
{
    for (const QByteArray &line : out.split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() == 5 && fields[0] == label)
            return fields;
    }
    return {};
}

// A shuffle of 1..20, so that no horse number equals its position in the selection.
const int kHorses[20] = { 13, 4, 18, 9, 1, 20, 15, 7, 2, 11, 16, 6, 19, 3, 10, 14, 8, 17, 5, 12 };

QStringList horses(int n)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list.append(QString::number(kHorses[i]));
    return list;
}

} // namespace

TEST(CliHoles, EveryCatalogueSystemLeavesNoHoleInWhatItPromises)
{
    QTemporaryDir dir;
    for (int number = 1; number <= mvx::kSystemCount; ++number) {
        SCOPED_TRACE(number);
        const mvx::ReducedSystem &s = mvx::reducedSystem(number);
        const QString text = s.description();
        // System 13 is listed without a base but its description names one, as its table keeps.
        const int bases = text.contains(QLatin1String("2 bases")) ? 2 : text.contains(QLatin1String("1 base")) ? 1 : 0;
        QString promised;
        if (text.contains(QLatin1String("desordre")))
            promised = s.horsesPerTicket == 5 ? QStringLiteral("Quinté désordre")
                : s.horsesPerTicket == 4      ? QStringLiteral("Quarté désordre")
                                              : QStringLiteral("Tiercé désordre");
        else if (text.contains(QLatin1String("bonus4")) || text.contains(QLatin1String("bonus 4")))
            promised = QStringLiteral("Bonus 4");
        else
            promised = s.horsesPerTicket == 5 ? QStringLiteral("Bonus 3") : QStringLiteral("Bonus");

        const QString file = dir.filePath(QStringLiteral("system%1.txt").arg(number));
        ASSERT_EQ(cli(QStringList { "tickets", "--system", QString::number(number), "-o", file } + horses(s.horseCount))
                      .exitCode,
            0);
        const CliRun holes
            = cli({ "holes", "--selection", horses(s.horseCount).join(','), "--bases", QString::number(bases), file });
        ASSERT_EQ(holes.exitCode, 0) << holes.err.toStdString();
        const QStringList line = categoryLine(holes.out, promised);
        ASSERT_EQ(line.size(), 5) << holes.out.toStdString();
        EXPECT_EQ(line[1], QStringLiteral("0")) << "holes such as " << line[4].toStdString();
        EXPECT_NE(line[2], QStringLiteral("0")) << "no arrival was considered";
    }
}

TEST(CliReduce, WritesAVerifiedTableThatHolesConfirmsAndItsCost)
{
    // 12 horses, 1 base, 5 per ticket, the base + 3 horses in the first 4: the catalogue plays
    // 50 tickets, 47 of them a covering that meets the lower bound.
    const QStringList args = QStringList {
        "reduce", "-n", "12", "-k", "5", "-b", "1", "-t", "4", "--moves", "300000", "--cost", "--multiplier", "2"
    } + horses(12);
    const CliRun reduced = cli(args);
    ASSERT_EQ(reduced.exitCode, 0) << reduced.err.toStdString();
    EXPECT_TRUE(reduced.err.contains(QStringLiteral("47 tickets trouvés")));
    EXPECT_TRUE(reduced.err.contains(QStringLiteral("jeu complet : 330 tickets, borne inférieure : 47")));
    EXPECT_TRUE(reduced.err.contains(QStringLiteral("garantie vérifiée")));
    EXPECT_TRUE(reduced.err.contains(QStringLiteral("Coût : 47 tickets × 2.00 € × 2 = 188.00 €")));
    const QList<QByteArray> lines = reduced.out.split('\n');
    ASSERT_EQ(lines.size(), 48); // 47 lines and what follows the last line end
    for (qsizetype i = 0; i < 47; ++i) {
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^13,(\\d+,){4}\r$")).match(QString::fromLatin1(lines[i])).hasMatch())
            << lines[i].toStdString();
    }
    EXPECT_EQ(cli(args).out, reduced.out) << "the same moves must give the same tickets";

    const CliRun holes = cli({ "holes", "--selection", horses(12).join(','), "--bases", "1" }, reduced.out);
    ASSERT_EQ(holes.exitCode, 0) << holes.err.toStdString();
    EXPECT_EQ(categoryLine(holes.out, QStringLiteral("Bonus 4")).value(1), QStringLiteral("0"));

    const CliRun repeated = cli({ "reduce", "-n", "3", "-k", "2", "-t", "2", "7", "3", "7" });
    EXPECT_EQ(repeated.exitCode, 2);
    EXPECT_TRUE(repeated.err.contains(QStringLiteral("Il y a une erreur dans votre sélection")));
    EXPECT_TRUE(repeated.out.isEmpty());
    EXPECT_EQ(cli({ "reduce", "-n", "3", "-k", "2", "-t", "3", "7", "3", "5" }).exitCode, 2);
}

TEST(CliReduce, AShareOfTheArrivalsIsTheShareTheHolesCount)
{
    // The same request for 80 % of the promised arrivals (the base and 3 of the 11 others: 165).
    const QStringList args
        = QStringList { "reduce", "-n", "12", "-k", "5", "-b", "1", "-t", "4", "--moves", "300000", "--share", "80" }
        + horses(12);
    const CliRun reduced = cli(args);
    ASSERT_EQ(reduced.exitCode, 0) << reduced.err.toStdString();
    const QRegularExpressionMatch line
        = QRegularExpression(QStringLiteral("^(\\d+) tickets trouvés .* la garantie vaut pour (\\d+),(\\d) % des "
                                            "arrivées \\((\\d+) sur 165, vérifié\\)"))
              .match(reduced.err);
    ASSERT_TRUE(line.hasMatch()) << reduced.err.toStdString();
    const int tickets = line.captured(1).toInt();
    const int won = line.captured(4).toInt();
    EXPECT_LT(tickets, 47);
    EXPECT_GE(won * 100, 80 * 165);
    EXPECT_EQ(line.captured(2).toInt() * 10 + line.captured(3).toInt(), won * 1000 / 165);
    EXPECT_EQ(reduced.out.count('\n'), tickets);

    // The holes of those tickets, counted by the other engine in every order of the first four.
    const CliRun holes = cli({ "holes", "--selection", horses(12).join(','), "--bases", "1" }, reduced.out);
    ASSERT_EQ(holes.exitCode, 0) << holes.err.toStdString();
    const QStringList bonus4 = categoryLine(holes.out, QStringLiteral("Bonus 4"));
    ASSERT_EQ(bonus4.size(), 5);
    EXPECT_EQ(bonus4[1].toLongLong() * 165, bonus4[2].toLongLong() * (165 - won));

    // From the library's table: never more tickets than it has.
    const CliRun library
        = cli(QStringList { "reduce", "-n", "12", "-k", "5", "-b", "1", "-t", "4", "--moves", "1", "--library" }
            + horses(12));
    ASSERT_EQ(library.exitCode, 0) << library.err.toStdString();
    const std::optional<mvx::LibraryTable> table = mvx::libraryTable(mvx::SystemRequest { 12, 5, 1, 4 });
    ASSERT_TRUE(table);
    EXPECT_LE(library.out.count('\n'), qsizetype(table->rows.size()));
}

// Promises about the first M: the quinté punter's "a base and 4 of my horses in the first five, a
// ticket holds the base and 2 of them" on 90 % of those arrivals, and a Multi en 6 (the first four
// among the ten horses) with its cost. The holes command counts each promise over every order of
// the first places, independently of the search.
TEST(CliReduce, APromiseAboutTheFirstMIsTheOneTheHolesCount)
{
    const CliRun quinte = cli(QStringList { "reduce", "-n", "12", "-k", "5", "-b", "1", "-t", "3", "-m", "5", "--moves",
                                  "200000", "--share", "90" }
        + horses(12));
    ASSERT_EQ(quinte.exitCode, 0) << quinte.err.toStdString();
    // The base and 4 of the 11 others: C(11, 4) = 330 promised arrivals.
    const QRegularExpressionMatch line
        = QRegularExpression(QStringLiteral("^(\\d+) tickets trouvés .* \\((\\d+) sur 330, vérifié\\)"))
              .match(quinte.err);
    ASSERT_TRUE(line.hasMatch()) << quinte.err.toStdString();
    const int won = line.captured(2).toInt();
    EXPECT_GE(won * 100, 90 * 330);
    EXPECT_EQ(quinte.out.count('\n'), line.captured(1).toInt());
    const CliRun quinteHoles
        = cli({ "holes", "--selection", horses(12).join(','), "--bases", "1", "-t", "3", "-m", "5" }, quinte.out);
    ASSERT_EQ(quinteHoles.exitCode, 0) << quinteHoles.err.toStdString();
    const QStringList promise = categoryLine(quinteHoles.out, QStringLiteral("GARANTIE"));
    ASSERT_EQ(promise.size(), 5);
    EXPECT_EQ(promise[2].toLongLong(), 330 * 120);
    EXPECT_EQ(promise[1].toLongLong(), (330 - won) * 120);

    const CliRun multi = cli(
        QStringList { "reduce", "--bet", "multi6", "-n", "10", "--moves", "200000", "--stake", "3" } + horses(10));
    ASSERT_EQ(multi.exitCode, 0) << multi.err.toStdString();
    const int tickets = int(multi.out.count('\n'));
    EXPECT_GE(tickets, 19); // the lower bound of C(10, 6, 4)
    EXPECT_LT(tickets, 210);
    EXPECT_TRUE(
        multi.err.contains(QStringLiteral("Coût : %1 tickets × 3.00 € × 1 = %2.00 €").arg(tickets).arg(3 * tickets)))
        << multi.err.toStdString();
    EXPECT_TRUE(multi.err.contains(
        QStringLiteral("Multi en 6 : si les 4 premiers sont parmi vos 10 chevaux, un ticket paie le Multi en 6")))
        << multi.err.toStdString();
    const CliRun multiHoles = cli({ "holes", "--selection", horses(10).join(','), "-t", "4" }, multi.out);
    ASSERT_EQ(multiHoles.exitCode, 0) << multiHoles.err.toStdString();
    const QStringList first4 = categoryLine(multiHoles.out, QStringLiteral("GARANTIE"));
    ASSERT_EQ(first4.size(), 5);
    EXPECT_EQ(first4[1], QStringLiteral("0"));
    EXPECT_EQ(first4[2].toLongLong(), 210 * 24);
    // The same system against the race as it was run: the first four are among the ten horses, so
    // some ticket pays the Multi en 6, each at the rapport published for them, at the bet's stake.
    QTemporaryDir dir;
    const QString rapports = dir.filePath(QStringLiteral("rapports.txt"));
    {
        QFile file(rapports);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Multi en 6 4-9-13-18 40,00\n");
    }
    const CliRun evening
        = cli({ "compare", "--bet", "multi6", "--arrival", "13,4,18,9,5", "--runners", "14", "--rapports", rapports },
            multi.out);
    ASSERT_EQ(evening.exitCode, 0) << evening.err.toStdString();
    const QString summary = QString::fromUtf8(evening.out);
    const QRegularExpressionMatch paid = QRegularExpression(QStringLiteral("\n(\\d+) Multi en 6\n")).match(summary);
    ASSERT_TRUE(paid.hasMatch()) << summary.toStdString();
    const int winners = paid.captured(1).toInt();
    EXPECT_GE(winners, 1);
    EXPECT_TRUE(summary.contains(QStringLiteral("Gains  :%1\n").arg(40 * winners))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("Mise : %1.00 €").arg(3 * tickets))) << summary.toStdString();

    // The couplé placé's promise is made, not searched: 9 horses split 5 and 4, every pair inside a
    // group, 16 pairs. A bet no reduced system serves is refused.
    const CliRun placed = cli(QStringList { "reduce", "--bet", "couple-place", "-n", "9", "--moves", "1" } + horses(9));
    ASSERT_EQ(placed.exitCode, 0) << placed.err.toStdString();
    EXPECT_EQ(placed.out.count('\n'), 16);
    EXPECT_TRUE(placed.err.contains(QStringLiteral("si 3 de vos chevaux sont dans les 3 premiers, un ticket paie")));
    const CliRun placedHoles = cli({ "holes", "--selection", horses(9).join(','), "-t", "2", "-m", "3" }, placed.out);
    EXPECT_EQ(categoryLine(placedHoles.out, QStringLiteral("GARANTIE")).value(1), QStringLiteral("0"));
    EXPECT_EQ(cli(QStringList { "reduce", "--bet", "simple-gagnant", "-n", "9" } + horses(9)).exitCode, 2);
}

TEST(CliCost, TicketsPrintTheCostOfTheGame)
{
    const CliRun system
        = cli({ "tickets", "--system", "2", "--cost", "--multiplier", "3", "4", "9", "1", "12", "6", "3" });
    EXPECT_EQ(system.exitCode, 0);
    EXPECT_EQ(system.out.count('\n'), 4);
    EXPECT_TRUE(system.err.contains(QStringLiteral("Coût : 4 tickets × 2.00 € × 3 = 24.00 €")))
        << system.err.toStdString();
    const CliRun couple = cli({ "tickets", "-n", "4", "-k", "2", "--stake", "1,5", "7", "3", "12", "5" });
    EXPECT_TRUE(couple.err.contains(QStringLiteral("Coût : 6 tickets × 1.50 € × 1 = 9.00 €")))
        << couple.err.toStdString();
    // Six horses per ticket is no bet with a usual stake: the stake must be given.
    const CliRun six = cli({ "tickets", "-n", "6", "-k", "6", "--cost", "1", "2", "3", "4", "5", "6" });
    EXPECT_EQ(six.exitCode, 2);
    EXPECT_TRUE(six.out.isEmpty());
}
