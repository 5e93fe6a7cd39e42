#include "ui/history_window.h"

#include "combi/game_cost.h"
#include "model/outside_links.h"
#include "ui/common_widgets.h"
#include "ui/font_follow.h"
#include "ui/history_access.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QValueAxis>

#include <algorithm>

namespace mvx {

namespace {

const QString kTitle = QStringLiteral("Mes courses");

// The race name typed in the grid is spoken as what it is.
class RaceNameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor)
            editor->setAccessibleName(QStringLiteral("Nom de la course"));
        return editor;
    }
};

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

// A balance shows its sign: "+352,20 €", "-3,00 €".
QString signedEuroText(std::int64_t cents)
{
    return cents > 0 ? QLatin1Char('+') + frenchEuroText(cents) : frenchEuroText(cents);
}

enum Period
{
    AllRaces,
    ThisMonth,
    ThisYear,
    ChosenDates
};

} // namespace

void RaceTableModel::setRaces(std::vector<RaceRecord> races)
{
    beginResetModel();
    races_ = std::move(races);
    endResetModel();
}

int RaceTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(races_.size());
}

int RaceTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RaceTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(races_.size()))
        return QVariant();
    const RaceRecord &race = races_[std::size_t(index.row())];
    if (role == Qt::TextAlignmentRole)
        return index.column() >= TicketsColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                               : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    switch (index.column()) {
    case DateColumn:
        return dayText(race.date);
    case NameColumn:
        return race.name;
    case BetColumn:
        return betName(race.bet);
    case TicketsColumn:
        return QString::number(race.tickets);
    case StakeColumn:
        return frenchEuroText(race.stakeCents);
    case WonColumn:
        return frenchEuroText(race.wonCents);
    case BalanceColumn:
        return signedEuroText(race.balanceCents);
    default:
        return QVariant();
    }
}

QVariant RaceTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const headings[ColumnCount] = { "Date", "Nom", "Pari", "Tickets", "Mise", "Gains", "Bilan" };
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(headings[section]) : QVariant();
}

Qt::ItemFlags RaceTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NameColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RaceTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != NameColumn || role != Qt::EditRole)
        return false;
    const QString name = value.toString().trimmed();
    if (name.isEmpty() || name == races_[std::size_t(index.row())].name)
        return false;
    Q_EMIT renameRequested(index.row(), name);
    return true;
}

std::vector<BalancePoint> cumulativeBalance(const std::vector<RaceRecord> &races)
{
    std::vector<BalancePoint> points;
    std::int64_t sum = 0;
    for (const RaceRecord &race : races) {
        // A balance past 64-bit cents has no point on the chart: there is no chart.
        if (__builtin_add_overflow(sum, race.balanceCents, &sum))
            return {};
        if (!points.empty() && points.back().date == race.date)
            points.back().cumulativeCents = sum;
        else
            points.push_back({ race.date, sum });
    }
    return points;
}

Tfmescourses::Tfmescourses(HistoryAccess &history, Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , history_(history)
    , platform_(platform)
{
    ui::setUpWindow(this, QStringLiteral("fmescourses"), QSize(760, 580));
    setWindowTitle(kTitle);

    // The filters: a period and a bet.
    QLabel *lperiode = ui::makeLabel(this, QStringLiteral("lperiode"), QStringLiteral("Période"), 8, 14);
    cperiode_ = new QComboBox(this);
    cperiode_->setObjectName(QStringLiteral("cperiode"));
    cperiode_->setGeometry(64, 10, 140, 22);
    cperiode_->addItems({ QStringLiteral("Tout"), QStringLiteral("Ce mois"), QStringLiteral("Cette année"),
        QStringLiteral("Dates choisies") });
    cperiode_->setAccessibleName(QStringLiteral("Période"));
    lperiode->setBuddy(cperiode_);

    QLabel *ldu = ui::makeLabel(this, QStringLiteral("ldebut"), QStringLiteral("du"), 216, 14);
    edebut_ = new QDateEdit(this);
    edebut_->setObjectName(QStringLiteral("edebut"));
    edebut_->setGeometry(240, 10, 110, 22);
    edebut_->setAccessibleName(QStringLiteral("Premier jour"));
    ldu->setBuddy(edebut_);
    QLabel *lau = ui::makeLabel(this, QStringLiteral("lfin"), QStringLiteral("au"), 360, 14);
    efin_ = new QDateEdit(this);
    efin_->setObjectName(QStringLiteral("efin"));
    efin_->setGeometry(384, 10, 110, 22);
    efin_->setAccessibleName(QStringLiteral("Dernier jour"));
    lau->setBuddy(efin_);
    const QDate today = QDate::currentDate();
    for (QDateEdit *edit : { edebut_, efin_ }) {
        edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    edebut_->setDate(QDate(today.year(), today.month(), 1));
    efin_->setDate(today);

    QLabel *lpari = ui::makeLabel(this, QStringLiteral("lpari"), QStringLiteral("Pari"), 512, 14);
    cpari_ = new QComboBox(this);
    cpari_->setObjectName(QStringLiteral("cpari"));
    cpari_->setGeometry(548, 10, 204, 22);
    listBets({});
    cpari_->setAccessibleName(QStringLiteral("Pari"));
    lpari->setBuddy(cpari_);
    for (QComboBox *box : { cperiode_, cpari_ })
        ui::takeWheelOnlyWithFocus(box);

    model_ = new RaceTableModel(this);
    grillecourses_ = new QTableView(this);
    grillecourses_->setObjectName(QStringLiteral("grillecourses"));
    grillecourses_->setGeometry(8, 42, 744, 240);
    grillecourses_->setAccessibleName(QStringLiteral("Liste des courses"));
    grillecourses_->setModel(model_);
    grillecourses_->setItemDelegate(new RaceNameDelegate(grillecourses_));
    grillecourses_->setTabKeyNavigation(false);
    grillecourses_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grillecourses_->setSelectionMode(QAbstractItemView::SingleSelection);
    grillecourses_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    grillecourses_->verticalHeader()->hide();
    grillecourses_->verticalHeader()->setDefaultSectionSize(ui::scaledToFont(22));
    const int widths[RaceTableModel::ColumnCount] = { 84, 232, 70, 70, 90, 90, 90 };
    for (int c = 0; c < RaceTableModel::ColumnCount; ++c)
        grillecourses_->setColumnWidth(c, ui::scaledToFont(widths[c]));

    ltotaux_ = new ui::ResultText(QStringLiteral("Totaux"), this);
    ltotaux_->setObjectName(QStringLiteral("ltotaux"));
    ltotaux_->setGeometry(8, 288, 744, 38);
    ltotaux_->setWordWrap(true);
    ltotaux_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold = ltotaux_->font();
    bold.setBold(true);
    ltotaux_->setFont(bold);

    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("Bilan cumulé"));
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setMargins(QMargins(2, 2, 6, 2));
    chart_->setBackgroundRoundness(0);
    // Amounts as the rest of the window writes them: "1 500 €".
    chart_->setLocale(QLocale(QLocale::French, QLocale::France));
    chart_->setLocalizeNumbers(true);
    series_ = new QLineSeries(chart_);
    series_->setObjectName(QStringLiteral("seriebilan"));
    series_->setPointsVisible(true);
    chart_->addSeries(series_);
    auto *days = new QDateTimeAxis(chart_);
    days->setFormat(QStringLiteral("dd/MM/yyyy"));
    days->setTickCount(6);
    chart_->addAxis(days, Qt::AlignBottom);
    series_->attachAxis(days);
    auto *euros = new QValueAxis(chart_);
    euros->setLabelFormat(QStringLiteral("%.0f €"));
    chart_->addAxis(euros, Qt::AlignLeft);
    series_->attachAxis(euros);
    graphebilan_ = new QChartView(chart_, this);
    graphebilan_->setObjectName(QStringLiteral("graphebilan"));
    graphebilan_->setGeometry(8, 330, 744, 196);
    graphebilan_->setRenderHint(QPainter::Antialiasing);
    graphebilan_->setAccessibleName(QStringLiteral("Bilan cumulé des courses affichées"));
    graphebilan_->setFocusPolicy(Qt::NoFocus);

    brenommer_ = ui::makeButton(this, QStringLiteral("brenommer"), QStringLiteral("Renommer"), QRect(8, 534, 120, 38));
    bsupprimer_
        = ui::makeButton(this, QStringLiteral("bsupprimer"), QStringLiteral("Supprimer"), QRect(136, 534, 120, 38));
    bsupprimer_->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    bexport_ = ui::makeButton(this, QStringLiteral("bexport"), QStringLiteral("Exporter"), QRect(264, 534, 120, 38));
    bexport_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    QPushButton *bquit
        = ui::makeButton(this, QStringLiteral("bquit"), QStringLiteral("Retour"), QRect(614, 534, 138, 38));
    bquit->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    for (QPushButton *button : { brenommer_, bsupprimer_, bexport_, bquit })
        button->setAutoDefault(false);

    connect(cperiode_, &QComboBox::currentIndexChanged, this, &Tfmescourses::periodChanged);
    connect(edebut_, &QDateEdit::dateChanged, this, [this] { reload(); });
    connect(efin_, &QDateEdit::dateChanged, this, [this] { reload(); });
    connect(cpari_, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(model_, &RaceTableModel::renameRequested, this, &Tfmescourses::renameRace, Qt::QueuedConnection);
    connect(brenommer_, &QPushButton::clicked, this, &Tfmescourses::brenommerClick);
    connect(bsupprimer_, &QPushButton::clicked, this, &Tfmescourses::bsupprimerClick);
    connect(bexport_, &QPushButton::clicked, this, &Tfmescourses::bexportClick);
    connect(bquit, &QPushButton::clicked, this, &Tfmescourses::bquitClick);
}

int Tfmescourses::exec()
{
    if (!history_.history())
        return Rejected;
    return QDialog::exec();
}

void Tfmescourses::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    reload();
    grillecourses_->setFocus(Qt::OtherFocusReason);
}

// F1 opens the guide; Escape closes the window like "Retour" (QDialog's own).
void Tfmescourses::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        openHelp(platform_);
        return;
    }
    QDialog::keyPressEvent(event);
}

RaceFilter Tfmescourses::filter() const
{
    RaceFilter filter;
    const QDate today = QDate::currentDate();
    switch (cperiode_->currentIndex()) {
    case ThisMonth:
        filter.from = QDate(today.year(), today.month(), 1);
        filter.to = QDate(today.year(), today.month(), today.daysInMonth());
        break;
    case ThisYear:
        filter.from = QDate(today.year(), 1, 1);
        filter.to = QDate(today.year(), 12, 31);
        break;
    case ChosenDates:
        filter.from = edebut_->date();
        filter.to = efin_->date();
        break;
    default:
        break;
    }
    if (const std::optional<Bet> bet = betFromStorageCode(cpari_->currentData().toInt()))
        filter.bets = { *bet };
    return filter;
}

// The "Pari" list: every bet, the four bets of old always, the others once a race of them is
// kept, in the order the bet lists show them. The bet chosen stays chosen.
void Tfmescourses::listBets(const std::vector<Bet> &played)
{
    const QVariant chosen = cpari_->count() > 0 ? cpari_->currentData() : QVariant(0);
    const QSignalBlocker quiet(cpari_);
    cpari_->clear();
    cpari_->addItem(QStringLiteral("Tous les paris"), 0);
    for (const Bet &bet : allBets())
        if (isClassicBet(bet) || std::find(played.begin(), played.end(), bet) != played.end())
            cpari_->addItem(betName(bet), betStorageCode(bet));
    const int again = cpari_->findData(chosen);
    cpari_->setCurrentIndex(again >= 0 ? again : 0);
}

void Tfmescourses::periodChanged()
{
    const bool chosen = cperiode_->currentIndex() == ChosenDates;
    edebut_->setEnabled(chosen);
    efin_->setEnabled(chosen);
    reload();
}

bool Tfmescourses::reload()
{
    // The race under the cursor stays under it when it is still listed.
    const QModelIndex current = grillecourses_->currentIndex();
    const std::int64_t currentId = current.isValid() ? model_->races()[std::size_t(current.row())].id : 0;

    RaceHistory *races = history_.history();
    HistoryResult<std::vector<RaceRecord>> listed;
    if (races) {
        if (const HistoryResult<std::vector<Bet>> played = races->playedBets(); played.ok())
            listBets(played.value);
        listed = races->races(filter());
        if (!listed.ok())
            history_.report(listed.error);
    }
    model_->setRaces(std::move(listed.value));
    const std::vector<RaceRecord> &shown = model_->races();
    showTotals(totalsOf(shown));
    showChart(shown);

    const auto again = std::find_if(
        shown.begin(), shown.end(), [&](const RaceRecord &race) { return currentId != 0 && race.id == currentId; });
    const int row = again != shown.end() ? int(again - shown.begin()) : (shown.empty() ? -1 : int(shown.size()) - 1);
    if (row >= 0)
        grillecourses_->setCurrentIndex(model_->index(row, RaceTableModel::NameColumn));
    brenommer_->setEnabled(!shown.empty());
    bsupprimer_->setEnabled(!shown.empty());
    return races && listed.ok();
}

void Tfmescourses::showTotals(const HistoryTotals &totals)
{
    if (totals.overflow) {
        ltotaux_->setText(QStringLiteral("Les totaux de ces courses dépassent ce que l'historique peut compter : "
                                         "choisissez une période plus courte."));
        return;
    }
    QString text = QStringLiteral("Courses : %1 — Mise : %2 — Gains : %3 — Remboursements : %4 — Bilan : %5")
                       .arg(totals.races)
                       .arg(frenchEuroText(totals.stakedCents), frenchEuroText(totals.wonCents),
                           frenchEuroText(totals.refundCents), signedEuroText(totals.balanceCents));
    if (const std::optional<double> percent = totals.returnPercent())
        text += QStringLiteral(" — Rendement : %1 %")
                    .arg(QString::number(*percent, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')));
    ltotaux_->setText(text);
}

void Tfmescourses::showChart(const std::vector<RaceRecord> &races)
{
    const std::vector<BalancePoint> points = cumulativeBalance(races);
    QList<QPointF> line;
    line.reserve(qsizetype(points.size()));
    double low = 0;
    double high = 0;
    for (const BalancePoint &point : points) {
        const double euros = double(point.cumulativeCents) / 100.0;
        line.append(QPointF(double(point.date.startOfDay().toMSecsSinceEpoch()), euros));
        low = std::min(low, euros);
        high = std::max(high, euros);
    }
    series_->replace(line);

    auto *days = qobject_cast<QDateTimeAxis *>(chart_->axes(Qt::Horizontal).value(0));
    auto *euros = qobject_cast<QValueAxis *>(chart_->axes(Qt::Vertical).value(0));
    const QDate first = points.empty() ? QDate::currentDate() : points.front().date;
    const QDate last = points.empty() ? first : points.back().date;
    // One day either side, so that a single race still has a line to stand on.
    days->setRange(first.addDays(-1).startOfDay(), last.addDays(1).startOfDay());
    // Ticks at least a day apart, so that no date is written twice.
    const qint64 span = first.addDays(-1).daysTo(last.addDays(1));
    days->setTickCount(int(std::clamp<qint64>(span + 1, 2, 6)));
    const double margin = std::max(1.0, (high - low) * 0.05);
    euros->setRange(low - margin, high + margin);
    // A few round amounts rather than the ends of the range.
    euros->setTickCount(5);
    euros->applyNiceNumbers();
}

void Tfmescourses::renameRace(int row, const QString &name)
{
    if (row < 0 || row >= int(model_->races().size()))
        return;
    RaceHistory *races = history_.history();
    if (!races)
        return;
    const RaceRecord &race = model_->races()[std::size_t(row)];
    const HistoryResult<bool> renamed = races->rename(race.id, RaceKey { race.date, name });
    if (!renamed.ok())
        platform_.inform(renamed.error, kTitle);
    reload();
}

void Tfmescourses::brenommerClick()
{
    const QModelIndex current = grillecourses_->currentIndex();
    if (!current.isValid())
        return;
    const QModelIndex name = model_->index(current.row(), RaceTableModel::NameColumn);
    grillecourses_->setCurrentIndex(name);
    grillecourses_->setFocus(Qt::OtherFocusReason);
    grillecourses_->edit(name);
}

void Tfmescourses::bsupprimerClick()
{
    const QModelIndex current = grillecourses_->currentIndex();
    RaceHistory *races = history_.history();
    if (!current.isValid() || !races)
        return;
    const RaceRecord race = model_->races()[std::size_t(current.row())];
    if (platform_.message(
            QStringLiteral("Supprimer la course « %1 » du %2 de Mes courses ?").arg(race.name, dayText(race.date)),
            kTitle, Platform::Buttons::YesNo, Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    const HistoryResult<bool> removed = races->remove(race.id);
    if (!removed.ok())
        history_.report(removed.error);
    reload();
}

void Tfmescourses::bexportClick()
{
    Platform::FileDialog dialog;
    dialog.title = QStringLiteral("Indiquez le fichier d'export de mes courses");
    dialog.filter = QStringLiteral("texte (*.txt)|*.txt");
    dialog.defaultExtension = QStringLiteral("txt");
    dialog.proposedName = exportName_;
    dialog.pathMustExist = true;
    dialog.confirmOverwrite = true;
    const QString fileName = platform_.saveFileName(dialog);
    if (fileName.isEmpty())
        return;
    // The export would replace the very file the races are kept in.
    const QString historyPath = history_.path().isEmpty() ? defaultHistoryPath() : history_.path();
    if (isHistoryFile(fileName, historyPath)) {
        platform_.inform(QStringLiteral("« %1 » est l'historique des courses lui-même : l'export ne le remplace pas. "
                                        "Choisissez un autre fichier.")
                             .arg(fileName),
            kTitle);
        return;
    }
    if (!writeRaceExport(fileName, model_->races())) {
        platform_.inform(QStringLiteral("Le fichier « %1 » n'a pas pu être écrit.").arg(fileName), kTitle);
        return;
    }
    exportName_ = fileName;
    platform_.fileSaved(fileName);
}

void Tfmescourses::bquitClick()
{
    accept();
}

} // namespace mvx
