#include "ui/race_record_dialog.h"

#include "arrival/played_horses.h"

#include "combi/game_cost.h"
#include "history/race_from_result.h"
#include "ui/common_widgets.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace mvx {

namespace {

TicketMaking makingOf(const ListMaking &list)
{
    TicketMaking making;
    switch (list.source) {
    case ListMaking::Source::CatalogueSystem:
        making.source = TicketOrigin::CatalogueSystem;
        making.catalogueSystem = list.catalogueSystem;
        break;
    case ListMaking::Source::Generator:
        making.source = TicketOrigin::Generator;
        break;
    case ListMaking::Source::OwnSystem:
        making.source = TicketOrigin::OwnSystem;
        break;
    case ListMaking::Source::None:
    case ListMaking::Source::OpenedFile:
        making.source = TicketOrigin::OpenedFile;
        break;
    }
    making.withConditions = list.withConditions;
    return making;
}

} // namespace

namespace {

// The bet of the list, or a refusal: the history keeps the games of every bet whose unit stake
// is known.
std::optional<Bet> recordableBet(const GameState &state, QString &refusal)
{
    const int size = state.tickets.horsesPerTicket();
    const std::optional<Bet> bet = betOfTickets(state);
    if (!bet) {
        refusal = QStringLiteral("Aucun pari ne se joue avec des tickets de %1 chevaux : ils ne sont pas "
                                 "enregistrés dans Mes courses.")
                      .arg(size);
        return std::nullopt;
    }
    if (state.stakes.unitStake(*bet) <= 0) {
        refusal = QStringLiteral("Aucune mise n'est connue pour ces tickets : indiquez-la dans « Mises » "
                                 "(Paramètres) pour enregistrer la course.");
        return std::nullopt;
    }
    return bet;
}

// How the list was made and its horses, the bases first.
std::optional<RaceRecord> withList(std::optional<RaceRecord> race, const GameState &state, QString &refusal)
{
    if (!race) {
        refusal = QStringLiteral("Les montants de cette course sont trop grands pour Mes courses.");
        return std::nullopt;
    }
    race->making = makingOf(state.listMaking);
    // The horses really chosen: the selection's unused boxes hold a filler horse.
    race->selection = playedHorses(state.tickets, state.selection);
    return race;
}

} // namespace

std::optional<RaceRecord> comparedRace(const GameState &state, QString &refusal)
{
    const std::optional<Bet> bet = recordableBet(state, refusal);
    if (!bet)
        return std::nullopt;
    const int size = state.tickets.horsesPerTicket();
    return withList(raceFromComparison(size, state.tickets.count(), state.stakes.unitStake(*bet),
                        state.stakes.multiplier, state.winCounts, state.payouts),
        state, refusal);
}

std::optional<RaceRecord> comparedRace(const GameState &state, const ResultTotals &totals, QString &refusal)
{
    const std::optional<Bet> bet = recordableBet(state, refusal);
    if (!bet)
        return std::nullopt;
    return withList(raceFromResult(*bet, totals, totals.categoryGains, state.stakes), state, refusal);
}

QString proposedRaceName(const GameState &state, const QDate &day)
{
    const QString game = QFileInfo(state.gameFileName).completeBaseName();
    if (!game.isEmpty())
        return game;
    return QStringLiteral("Course du %1").arg(day.toString(QStringLiteral("dd/MM/yyyy")));
}

bool storeRace(RaceHistory &history, const RaceRecord &race, Platform &platform)
{
    const QString title = QStringLiteral("Mes courses");
    const HistoryResult<std::optional<RaceRecord>> known = history.race(race.key());
    if (!known.ok()) {
        platform.inform(QStringLiteral("Mes courses : %1").arg(known.error), title);
        return false;
    }
    if (known.value
        && platform.message(QStringLiteral("Cette course existe déjà : la remplacer ?"), title,
               Platform::Buttons::YesNo, Platform::Icon::Question)
            != Platform::Answer::Yes)
        return false;
    const HistoryResult<std::int64_t> stored = history.store(race);
    if (!stored.ok()) {
        platform.inform(QStringLiteral("Mes courses : %1").arg(stored.error), title);
        return false;
    }
    return true;
}

RaceRecordDialog::RaceRecordDialog(QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
{
    ui::setUpWindow(this, QStringLiteral("fenregistrercourse"), QSize(380, 196));
    setWindowTitle(QStringLiteral("Enregistrer dans mes courses"));

    QLabel *ldate = ui::makeLabel(this, QStringLiteral("ldatecourse"), QStringLiteral("Date de la course"), 12, 16);
    edatecourse_ = new QDateEdit(this);
    edatecourse_->setObjectName(QStringLiteral("edatecourse"));
    edatecourse_->setGeometry(150, 12, 120, 22);
    edatecourse_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    edatecourse_->setCalendarPopup(true);
    edatecourse_->setAccessibleName(QStringLiteral("Date de la course"));
    ldate->setBuddy(edatecourse_);

    QLabel *lnom = ui::makeLabel(this, QStringLiteral("lnomcourse"), QStringLiteral("Nom de la course"), 12, 48);
    enomcourse_ = new QLineEdit(this);
    enomcourse_->setObjectName(QStringLiteral("enomcourse"));
    enomcourse_->setGeometry(150, 44, 218, 22);
    enomcourse_->setMaxLength(200);
    enomcourse_->setAccessibleName(QStringLiteral("Nom de la course"));
    lnom->setBuddy(enomcourse_);

    lresume_ = new QLabel(this);
    lresume_->setObjectName(QStringLiteral("lresume"));
    lresume_->setGeometry(12, 74, 356, 62);
    lresume_->setWordWrap(true);
    lresume_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QPushButton *bok
        = ui::makeButton(this, QStringLiteral("bok"), QStringLiteral("Enregistrer"), QRect(150, 148, 106, 36));
    bok->setDefault(true);
    QPushButton *bannuler
        = ui::makeButton(this, QStringLiteral("bannuler"), QStringLiteral("Annuler"), QRect(262, 148, 106, 36));
    connect(bok, &QPushButton::clicked, this, &RaceRecordDialog::bokClick);
    connect(bannuler, &QPushButton::clicked, this, &QDialog::reject);
}

void RaceRecordDialog::setRace(const QDate &day, const QString &name, const QString &summary)
{
    edatecourse_->setDate(day);
    enomcourse_->setText(name);
    lresume_->setText(summary);
    enomcourse_->setFocus(Qt::OtherFocusReason);
    enomcourse_->selectAll();
}

QDate RaceRecordDialog::raceDate() const
{
    return edatecourse_->date();
}

QString RaceRecordDialog::raceName() const
{
    return enomcourse_->text().trimmed();
}

// A race is known by its date and its name: a name is needed.
void RaceRecordDialog::bokClick()
{
    if (raceName().isEmpty()) {
        enomcourse_->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}

} // namespace mvx
