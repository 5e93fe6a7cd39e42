#include "ui/ufcompare.h"

#include "arrival/classification.h"
#include "combi/game_cost.h"
#include "model/work_progress.h"
#include "ui/common_widgets.h"
#include "ui/history_access.h"
#include "ui/keyboard_access.h"
#include "ui/race_record_dialog.h"
#include "ui/ticket_grid.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>

#include <new>
#include <optional>

namespace mvx {

namespace {

// A chequered finish flag, the picture at the top left of the window.
QPixmap finishFlag()
{
    QPixmap pixmap(36, 36);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 60, 30), 2));
    painter.drawLine(QPointF(6, 3), QPointF(6, 34));
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 5; ++column)
            painter.fillRect(QRectF(7 + 5 * column, 4 + 4.5 * row, 5, 4.5),
                (row + column) % 2 == 0 ? QColor(20, 20, 20) : QColor(250, 250, 250));
    painter.setPen(QPen(QColor(20, 20, 20), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(7, 4, 25, 18));
    return pixmap;
}

struct PayoutField
{
    const char *name;
    const char *caption; // the label above the field
    const char *captionName;
    int row; // 0 quinté, 1 quarté, 2 tiercé
    int column;
};

// In the order of the payouts.
constexpr PayoutField kPayoutFields[kPaidCategories] = {
    { "eqordre", "Ordre ", "Label4", 0, 0 },
    { "eqdesordre", "Désordre ", "Label7", 0, 1 },
    { "eqbonus45", "Bonus 4/5", "Label8", 0, 2 },
    { "eqbonus4", "Bonus 4", "Label9", 0, 3 },
    { "eqbonus3", "Bonus 3", "Label10", 0, 4 },
    { "equarteordre", "Ordre ", "Label6", 1, 0 },
    { "equartedesordre", "Désordre ", "Label11", 1, 1 },
    { "equartebonus", "Bonus ", "Label12", 1, 2 },
    { "etordre", "Ordre ", "Label14", 2, 0 },
    { "etdesordre", "Désordre ", "Label15", 2, 1 },
};

// Positions in the arrival group.
constexpr int kPayoutLeft = 210;
constexpr int kPayoutColumnStep = 90;
constexpr int kPayoutWidth = 80;
constexpr int kPayoutTop = 56;
constexpr int kPayoutRowStep = 38;

} // namespace

Tfcompare::Tfcompare(GameState &state, Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , state_(state)
    , platform_(platform)
{
    ui::setUpWindow(this, QStringLiteral("fcompare"), QSize(702, 556));
    setWindowTitle(QStringLiteral("Comparer le jeu avec l'arrivée"));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(8, 4, 36, 36);
    picture->setPixmap(finishFlag());

    QLabel *title
        = ui::makeLabel(this, QStringLiteral("Label1"), QStringLiteral("COMPARER LE JEU AVEC L'ARRIVEE"), 0, 4);
    title->setFont(ui::headingFont());
    title->adjustSize();
    title->move((width() - title->width()) / 2, 4);

    buildArrivalGroup();

    grillecomb_ = new ui::TicketGrid(this);
    grillecomb_->setObjectName(QStringLiteral("grillecomb"));
    grillecomb_->setGeometry(8, 216, 500, 332);
    grillecomb_->table()->setAccessibleName(QStringLiteral("Tickets comparés avec l'arrivée"));

    QPushButton *compare = ui::makeButton(
        this, QStringLiteral("AOLButton1"), QStringLiteral("Voir les résultats"), QRect(516, 216, 178, 44));
    compare->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    compare->setDefault(true);

    QGroupBox *results
        = ui::makeGroup(this, QStringLiteral("GroupBox2"), QStringLiteral("Résultats"), QRect(516, 266, 178, 236));
    laffresul_ = new ui::ResultText(results->title(), results);
    laffresul_->setObjectName(QStringLiteral("laffresul"));
    laffresul_->setGeometry(16, 18, 145, 209);
    laffresul_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A stake or a balance of billions is wider than the label: it goes on to the next line.
    laffresul_->setWordWrap(true);
    laffresul_->setAutoFillBackground(true);
    QPalette white = laffresul_->palette();
    white.setColor(QPalette::Window, Qt::white);
    laffresul_->setPalette(white);

    QPushButton *bquit
        = ui::makeButton(this, QStringLiteral("bquit"), QStringLiteral("Retour"), QRect(556, 508, 138, 40));
    bquit->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    // Enter runs the comparison even once "Retour" has had the focus; Space still presses it.
    bquit->setAutoDefault(false);
    compare->setAutoDefault(false);
    compareButton_ = compare;

    // The comparison kept among the punter's races; there is one to keep once it is shown.
    // It stands in the arrival group's free corner, under the quinté's payouts.
    benregistrercourse_ = ui::makeButton(findChild<QGroupBox *>(QStringLiteral("GroupBox1")),
        QStringLiteral("benregistrercourse"), QStringLiteral("Enregistrer dans mes courses"), QRect(488, 112, 190, 28));
    benregistrercourse_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    benregistrercourse_->setAutoDefault(false);
    benregistrercourse_->setEnabled(false);
    recordDialog_ = new RaceRecordDialog(this);
    connect(benregistrercourse_, &QPushButton::clicked, this, &Tfcompare::benregistrercourseClick);

    connect(compare, &QPushButton::clicked, this, &Tfcompare::AOLButton1Click);
    connect(bquit, &QPushButton::clicked, this, &Tfcompare::bquitClick);
    ui::escapePresses(this, bquit);
}

void Tfcompare::buildArrivalGroup()
{
    QGroupBox *group
        = ui::makeGroup(this, QStringLiteral("GroupBox1"), QStringLiteral("Entrez l'arrivée"), QRect(8, 48, 686, 162));

    // The five places, one under the other.
    const char *places[kArrivalPlaces] = { "1er", "2eme", "3eme", "4eme", "5eme" };
    for (int place = 1; place <= kArrivalPlaces; ++place) {
        const int top = 22 + 26 * (place - 1);
        ui::makeLabel(
            group, QStringLiteral("lplace%1").arg(place), QString::fromLatin1(places[place - 1]), 16, top + 4);
        QComboBox *box = ui::makeNumberBox(group, QStringLiteral("c%1").arg(place), place, 2);
        box->setGeometry(56, top, 47, 21);
        box->setFocusPolicy(Qt::StrongFocus);
        ui::nameBox(box, QStringLiteral("Arrivée, %1").arg(QString::fromLatin1(places[place - 1])));
        connect(box, &QComboBox::editTextChanged, this, [this, box] { markArrivalBox(box, false); });
        arrivalBoxes_[std::size_t(place - 1)] = box;
    }

    QLabel *heading = ui::makeLabel(group, QStringLiteral("Label2"), QStringLiteral("Rapports"), 150, 20);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->adjustSize();
    const char *rows[3][2] = { { "Label3", "Quinté " }, { "Label5", "Quarté " }, { "Label13", "Tiercé" } };
    // Each field is spoken as the label of its row and the one above it: "Rapport quinté ordre".
    auto payoutName = [&rows](const PayoutField &f) {
        return QStringLiteral("Rapport %1 %2")
            .arg(QString::fromUtf8(rows[f.row][1]).trimmed().toLower(),
                QString::fromUtf8(f.caption).trimmed().toLower());
    };
    for (int row = 0; row < 3; ++row)
        ui::makeLabel(group, QString::fromLatin1(rows[row][0]), QString::fromUtf8(rows[row][1]), 150,
            kPayoutTop + kPayoutRowStep * row + 4);

    for (std::size_t i = 0; i < payoutFields_.size(); ++i) {
        const PayoutField &f = kPayoutFields[i];
        const int left = kPayoutLeft + kPayoutColumnStep * f.column;
        const int top = kPayoutTop + kPayoutRowStep * f.row;
        ui::makeLabel(group, QString::fromLatin1(f.captionName), QString::fromUtf8(f.caption), left, top - 14);
        auto *field = new QLineEdit(group);
        field->setObjectName(QString::fromLatin1(f.name));
        field->setGeometry(left, top, kPayoutWidth, 21);
        field->installEventFilter(this);
        field->setAccessibleName(payoutName(f));
        payoutFields_[i] = field;
    }
    buildOfficialResultControls(group);
}

void Tfcompare::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    FormActivate();
}

// Every showing starts from the first item of each arrival box. The results of an earlier
// comparison belong to the tickets of then, so they go too; the payouts stay.
void Tfcompare::FormActivate()
{
    for (QComboBox *box : arrivalBoxes_) {
        ui::fillNumberList(box, kMaxHorses);
        markArrivalBox(box, false);
    }
    // Each showing starts at the first place, with Enter on "Voir les résultats".
    compareButton_->setDefault(true);
    arrivalBoxes_[0]->setFocus(Qt::OtherFocusReason);
    arrivalBoxes_[0]->lineEdit()->selectAll();
    categories_.clear();
    categories_.shrink_to_fit();
    grillecomb_->setContent(nullptr);
    showSummary(QString());
    showOfficialResultState();
    officialTotals_.reset();
    benregistrercourse_->setEnabled(false);
}

bool Tfcompare::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // A payout field is rewritten as money when the user leaves it, not when the window
        // loses the focus or a menu opens over it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        auto *field = qobject_cast<QLineEdit *>(watched);
        if (field && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
            && std::find(payoutFields_.begin(), payoutFields_.end(), field) != payoutFields_.end())
            field->setText(formatAmount(field->text()));
    }
    return QDialog::eventFilter(watched, event);
}

void Tfcompare::normalizePayoutFields()
{
    for (QLineEdit *field : payoutFields_)
        field->setText(formatAmount(field->text()));
}

PayoutTexts Tfcompare::payoutTexts() const
{
    PayoutTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = payoutFields_[i]->text();
    return texts;
}

// Marks an arrival box whose text is refused, until the user types into it again.
void Tfcompare::markArrivalBox(QComboBox *box, bool wrong)
{
    if (box->property("wrongArrival").toBool() == wrong)
        return;
    box->setProperty("wrongArrival", wrong);
    box->setStyleSheet(
        wrong ? QStringLiteral("QComboBox { background: rgb(255, 205, 205); color: rgb(190, 0, 0); }") : QString());
}

// The arrival as the boxes give it, or nothing when it cannot be compared: a box that does not
// name a horse, or a horse given at two of the places the tickets are judged on. The user is
// told which, and the box is marked.
std::optional<Arrival> Tfcompare::checkedArrival()
{
    Arrival arrival {};
    for (int place = 1; place <= kArrivalPlaces; ++place) {
        QComboBox *box = arrivalBoxes_[std::size_t(place - 1)];
        const std::optional<int> horse = arrivalHorse(box->currentText());
        if (!horse) {
            refuseArrival(box, wrongArrivalPlaceText(place));
            return std::nullopt;
        }
        arrival[std::size_t(place)] = *horse;
    }
    if (const std::optional<RepeatedHorse> repeated = repeatedArrivalHorse(arrival, state_.tickets.horsesPerTicket())) {
        refuseArrival(arrivalBoxes_[std::size_t(repeated->secondPlace - 1)], repeatedHorseText(*repeated));
        return std::nullopt;
    }
    return arrival;
}

void Tfcompare::refuseArrival(QComboBox *box, const QString &text)
{
    markArrivalBox(box, true);
    platform_.inform(text, QStringLiteral("Opération impossible"));
    box->setFocus(Qt::OtherFocusReason);
    box->lineEdit()->selectAll();
}

void Tfcompare::AOLButton1Click()
{
    if (state_.officialResult || judgedBet()) {
        compareWithOfficialResult();
        return;
    }
    // Nothing is worked out from an arrival that no race can have.
    const std::optional<Arrival> arrival = checkedArrival();
    if (!arrival)
        return;
    const WaitCursor wait(platform_);
    normalizePayoutFields();
    // Everything is worked out aside and put in place once every ticket is classified:
    // "Annuler", or memory that runs out, leaves the last comparison as it was.
    Payouts payouts = state_.payouts;
    readPayouts(payoutTexts(), payouts);

    std::vector<std::uint8_t> categories;
    WinCounts counts {};
    try {
        categories = prepareResultGrid();
        if (!compareTickets(*arrival, categories, counts))
            return;
    } catch (const std::bad_alloc &) {
        platform_.inform(
            QStringLiteral("Il n'y a pas assez de mémoire pour comparer %1 tickets.").arg(state_.tickets.count()),
            QStringLiteral("Opération impossible"));
        return;
    }

    state_.payouts = payouts;
    state_.arrival = *arrival;
    state_.winCounts = counts;
    grillecomb_->setContent(nullptr);
    categories_ = std::move(categories);
    grillecomb_->setContent(std::make_shared<ui::TicketRows>(state_.tickets, state_.selection, &categories_));
    QString summary = summaryText(state_.winCounts, state_.payouts);
    const QString balance = stakeAndBalanceLines(
        state_.stakes, betOfTickets(state_), state_.tickets.count(), winnings(state_.winCounts, state_.payouts));
    if (!balance.isEmpty())
        summary += QLatin1Char('\r') + balance;
    showSummary(summary);
    officialTotals_.reset();
    benregistrercourse_->setEnabled(true);
}

// One category byte per ticket, to be filled by the comparison.
std::vector<std::uint8_t> Tfcompare::prepareResultGrid() const
{
    return std::vector<std::uint8_t>(std::size_t(std::max<std::int64_t>(state_.tickets.count(), 0)), 0);
}

// Classifies every ticket as long work, in slices between which "Annuler" is looked at.
// False when it was stopped.
bool Tfcompare::compareTickets(const Arrival &arrival, std::vector<std::uint8_t> &categories, WinCounts &counts)
{
    const std::int64_t count = std::int64_t(categories.size());
    const TicketClassifier classifier(state_.tickets, state_.selection, arrival);
    WorkProgress progress { std::uint64_t(count) };
    bool classified = false;
    platform_.runLongWork(QStringLiteral("Comparaison de %1 tickets avec l'arrivée...").arg(count), progress, [&] {
        classified = inSlices(count, progress, [&](std::int64_t first, std::int64_t last) {
            classifier.classify(first, last, categories.data(), counts);
        });
    });
    return classified;
}

bool Tfcompare::inSlices(std::int64_t count, WorkProgress &progress,
    const std::function<void(std::int64_t first, std::int64_t last)> &classify)
{
    constexpr std::int64_t kSlice = 1 << 20;
    for (std::int64_t first = 0; first < count; first += kSlice) {
        if (progress.stopRequested())
            return false;
        const std::int64_t last = std::min(first + kSlice, count);
        classify(first, last);
        progress.setDone(std::uint64_t(last));
    }
    return true;
}

// The results belong to this showing: once the window is closed their memory goes back, for
// the next ticket list to use.
void Tfcompare::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    grillecomb_->setContent(nullptr);
    categories_ = {};
}

// The summary keeps its carriage returns; a label breaks lines only at a line feed.
void Tfcompare::showSummary(const QString &summary)
{
    QString shown = summary;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    laffresul_->setText(shown);
}

void Tfcompare::benregistrercourseClick()
{
    const QString title = QStringLiteral("Mes courses");
    QString refusal;
    std::optional<RaceRecord> race
        = officialTotals_ ? comparedRace(state_, *officialTotals_, refusal) : comparedRace(state_, refusal);
    if (!race) {
        platform_.inform(refusal, title);
        return;
    }
    RaceHistory *races = history_ ? history_->history() : nullptr;
    if (!races)
        return;
    const QDate today = QDate::currentDate();
    recordDialog_->setRace(today, proposedRaceName(state_, today),
        QStringLiteral("%1 : %2 tickets, %3\nMise : %4 ; gains : %5 ; bilan : %6")
            .arg(betName(race->bet))
            .arg(race->tickets)
            .arg(ticketMakingText(race->making), frenchEuroText(race->stakeCents), frenchEuroText(race->wonCents),
                frenchEuroText(race->balanceCents)));
    if (recordDialog_->exec() != QDialog::Accepted)
        return;
    race->date = recordDialog_->raceDate();
    race->name = recordDialog_->raceName();
    if (storeRace(*races, *race, platform_))
        platform_.inform(QStringLiteral("La course « %1 » du %2 est enregistrée dans Mes courses.")
                             .arg(race->name, race->date.toString(QStringLiteral("dd/MM/yyyy"))),
            title);
}

void Tfcompare::bquitClick()
{
    accept();
}

} // namespace mvx
