// A ticket text file made the current list, and the cost and balance texts of the windows.

#include "combi/game_cost.h"
#include "combi/opened_ticket_list.h"
#include "game/open_ticket_file.h"
#include "game/ticket_request.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

namespace mvx {
namespace {

using testing::ScriptedPlatform;

QString writeFile(const QTemporaryDir &folder, const char *name, const QByteArray &bytes)
{
    const QString path = folder.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(OpenedTicketList, FileHorsesBecomeTheSelectionAndRefusalsKeepTheEarlierList)
{
    QTemporaryDir folder;
    GameState state;
    ScriptedPlatform platform;
    // Horses in order of first appearance: 7, 3, 12, 5, 9.
    platform.fileNames.push_back(writeFile(folder, "tickets.txt", "7,3,12,\r\n3,12,5,\n9,7,5,\n"));
    ASSERT_TRUE(openTicketFile(state, platform));
    EXPECT_EQ(platform.fileDialogs.at(0).title, QStringLiteral("Ouvrir un fichier de tickets"));
    EXPECT_TRUE(platform.messages.empty());
    ASSERT_EQ(state.tickets.count(), 3);
    EXPECT_EQ(state.tickets.horsesPerTicket(), 3);
    EXPECT_EQ(state.tickets.baseCount(), 0);
    EXPECT_EQ(state.tickets.ticket(2), "BCD");
    EXPECT_EQ(state.tickets.ticket(3), "EAD");
    const std::vector<int> read { state.selection.otherHorses[1], state.selection.otherHorses[2],
        state.selection.otherHorses[3], state.selection.otherHorses[4], state.selection.otherHorses[5],
        state.selection.otherHorses[6] };
    EXPECT_EQ(read, (std::vector<int> { 7, 3, 12, 5, 9, 0 }));
    EXPECT_EQ(ticketHorse(state.selection, state.tickets.layout(), state.tickets.ticket(3), 1), 9);

    // Each refusal names where the file goes wrong and leaves the list above in place.
    struct Refused
    {
        const char *bytes;
        const char *where;
    };
    const Refused refused[] = {
        { "7,3,12,\n7,3,\n", "ligne 2 : 2 chevaux, alors que les tickets précédents en ont 3" },
        { "7,3,12,\n7,21,5,\n", "ligne 2 : « 21 » n'est pas un numéro de cheval de 1 à 20" },
        { "7,3,12,\n7,3,7,\n", "ligne 2 : le cheval 7 y est deux fois" },
        { "7,3,a,\n", "ligne 1 : caractère inattendu" },
        { "1,2,3,4,5,6,7,8,9,\n", "ligne 1 : plus de 8 chevaux" },
        { "1,2,3,4,5,\n6,7,8,9,10,\n\n", "ligne 3 : ligne vide" },
        { "", "aucun ticket" },
    };
    for (const Refused &r : refused) {
        platform.messages.clear();
        EXPECT_FALSE(openTicketFile(state, writeFile(folder, "bad.txt", r.bytes), platform));
        ASSERT_EQ(platform.messages.size(), 1u) << r.bytes;
        EXPECT_TRUE(platform.messages[0].text.contains(QString::fromUtf8(r.where)))
            << platform.messages[0].text.toStdString();
        EXPECT_EQ(platform.messages[0].title, QStringLiteral("Opération impossible"));
        EXPECT_EQ(state.tickets.count(), 3);
        EXPECT_EQ(state.selection.otherHorses[1], 7);
    }

    // All twenty horses, a folder, and "Annuler" before the reading starts.
    QByteArray many;
    for (int h = 1; h <= 20; ++h)
        many += QByteArray::number(h) + ",\n";
    platform.messages.clear();
    EXPECT_TRUE(openTicketFile(state, writeFile(folder, "many.txt", many + "20,\n"), platform));
    EXPECT_TRUE(platform.messages.empty()) << "twenty horses are a selection";
    EXPECT_EQ(state.tickets.count(), 21);
    EXPECT_EQ(state.tickets.horsesPerTicket(), 1);
    EXPECT_FALSE(openTicketFile(state, folder.path(), platform));
    EXPECT_EQ(platform.messages.size(), 1u);
    platform.stopLongWorkAt = 0;
    EXPECT_FALSE(openTicketFile(state, writeFile(folder, "small.txt", "1,2,\n"), platform));
    EXPECT_EQ(platform.messages.size(), 1u) << "Annuler says nothing";
    EXPECT_EQ(state.tickets.count(), 21);
}

TEST(GameCost, FrenchCostAndBalanceTexts)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const QString group = QLocale().groupSeparator();
    Stakes stakes = defaultStakes();
    EXPECT_EQ(stakes.unitStake(5), 200);
    EXPECT_EQ(stakes.unitStake(2), 150);
    EXPECT_EQ(frenchCostLine(stakes, 5, 66), QStringLiteral("Coût : 66 tickets × 2,00 € = 132,00 €"));
    EXPECT_EQ(frenchCostLine(stakes, 5, 1860480),
        QStringLiteral("Coût : 1_860_480 tickets × 2,00 € = 3_720_960,00 €").replace(QLatin1Char('_'), group));
    EXPECT_EQ(frenchCostLine(stakes, 3, 1), QStringLiteral("Coût : 1 ticket × 1,00 € = 1,00 €"));
    EXPECT_EQ(frenchCostLine(stakes, 6, 10), QString()) << "no stake for six horses";

    // Winnings of 205,40 for a unit stake: the balance of 66 quinté tickets.
    EXPECT_EQ(stakeAndBalanceLines(stakes, 5, 66, 205.4), QStringLiteral("Mise : 132,00 €\rBilan : +73,40 €"));
    EXPECT_EQ(stakeAndBalanceLines(stakes, 5, 66, 0), QStringLiteral("Mise : 132,00 €\rBilan : -132,00 €"));
    // Played three times at 1,30 €: stake 66 × 3,90 = 257,40; winnings 3 × 85,80 = 257,40.
    stakes.unitStakeCents[2] = 130;
    stakes.multiplier = 3;
    EXPECT_EQ(frenchCostLine(stakes, 4, 66), QStringLiteral("Coût : 66 tickets × 1,30 € × 3 = 257,40 €"));
    EXPECT_EQ(stakeAndBalanceLines(stakes, 4, 66, 85.8), QStringLiteral("Mise : 257,40 €\rBilan : 0,00 €"));
    stakes.unitStakeCents[2] = 0;
    EXPECT_EQ(stakeAndBalanceLines(stakes, 4, 66, 85.8), QString()) << "a stake of 0 shows no cost";

    // The count question before a generator run carries the cost.
    GameState state;
    state.stakes = defaultStakes();
    ScriptedPlatform platform;
    TicketRecipe page;
    page.source = TicketSource::Generator;
    page.generator.horsesToCombine = 4;
    page.generator.horsesPerTicket = 2;
    page.boxes = { QStringLiteral("7"), QStringLiteral("3"), QStringLiteral("12"), QStringLiteral("5") };
    EXPECT_FALSE(prepareTickets(state, page, TicketDestination::List, platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
        QStringLiteral("Votre sélection va générer \n6 tickets \rCoût : 6 tickets × 1,50 € = 9,00 €\r Voulez vous "
                       "continuer ?"));
}

} // namespace
} // namespace mvx
