#include "ui/holes_window.h"

#include "combi/own_system.h"
#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace mvx {

namespace {

constexpr int kRowHeight = 24;
constexpr int kWindowWidth = 780;
constexpr int kGridWidth = kWindowWidth - 16;

QString frenchCount(std::int64_t n)
{
    return QLocale(QLocale::French, QLocale::France).toString(qlonglong(n));
}

} // namespace

std::vector<HolesColumn> holesColumns(const ListHoles &holes)
{
    HolesColumn category { QStringLiteral("CATÉGORIE"), 110, {} };
    HolesColumn count { QStringLiteral("TROUS"), 80, {} };
    HolesColumn arrivals { QStringLiteral("SUR"), 90, {} };
    HolesColumn won { QStringLiteral("GAGNANTES"), 200, {} };
    HolesColumn examples { QStringLiteral("EXEMPLES"), kGridWidth - 4 - 110 - 80 - 90 - 200, {} };
    // An own system's promise comes last, as a row of its own ("GARANTIE").
    std::vector<CategoryHoles> rows = holes.categories;
    if (holes.promise)
        rows.push_back(*holes.promise);
    for (const CategoryHoles &c : rows) {
        category.cells.push_back(c.label);
        count.cells.push_back(frenchCount(c.holes));
        arrivals.cells.push_back(frenchCount(c.arrivals));
        won.cells.push_back(wonShareText(c));
        QStringList shown;
        for (const std::vector<int> &arrival : c.examples)
            shown.append(arrivalText(arrival));
        examples.cells.push_back(shown.join(QStringLiteral("  ")));
    }
    return { category, count, arrivals, won, examples };
}

QString wonShareText(const CategoryHoles &holes)
{
    if (holes.arrivals <= 0)
        return {};
    return QStringLiteral("%1 des arrivées gagnent")
        .arg(arrivalShareText(holes.arrivals - holes.holes, holes.arrivals));
}

std::optional<ListHoles> countHolesOfList(const GameState &state, Platform &platform)
{
    const int size = state.tickets.horsesPerTicket();
    // An own system's promise is counted for any ticket size, its categories where they exist.
    std::optional<HolesPromise> promise;
    if (state.listMaking.source == ListMaking::Source::OwnSystem && state.listMaking.promiseNeeded > 0)
        promise = HolesPromise { state.listMaking.promiseAmong, state.listMaking.promiseNeeded };
    if ((size < 2 || size > kArrivalPlaces) && !promise) {
        platform.inform(QStringLiteral("Les tickets de %1 chevaux n'ont pas de catégorie de gain : "
                                       "les trous se comptent pour des tickets de 2 à 5 chevaux.")
                            .arg(size),
            QStringLiteral("Opération impossible"));
        return std::nullopt;
    }
    if (!state.tickets.holdsLetters() || state.tickets.count() == 0) {
        platform.inform(
            QStringLiteral("Il n'y a pas de tickets dont compter les trous."), QStringLiteral("Opération impossible"));
        return std::nullopt;
    }
    WorkProgress progress(std::uint64_t(state.tickets.count()));
    std::optional<ListHoles> holes;
    const WaitCursor wait(platform);
    platform.runLongWork(QStringLiteral("Recherche des trous de %1 tickets...").arg(state.tickets.count()), progress,
        [&] { holes = countListHoles(state.tickets, state.selection, state.systemBases, &progress, promise); });
    return holes;
}

std::optional<HolesColumn> conditionsHolesColumn(
    const GameState &state, const ListHoles &conditioned, Platform &platform)
{
    if (!state.conditionedRequest || conditioned.categories.empty())
        return std::nullopt;
    const TicketRecipe &request = *state.conditionedRequest;
    WorkProgress progress(unconditionedTicketCount(request));
    std::optional<std::vector<CategoryHoles>> without;
    const WaitCursor wait(platform);
    platform.runLongWork(QStringLiteral("Trous des tickets sans les conditions..."), progress,
        [&] { without = countUnconditionedHoles(request, conditioned, &progress); });
    if (!without || without->size() != conditioned.categories.size())
        return std::nullopt;
    HolesColumn taken { QStringLiteral("PRIS (CONDITIONS)"), 140, {} };
    for (std::size_t c = 0; c < without->size(); ++c)
        taken.cells.push_back(frenchCount(conditioned.categories[c].holes - (*without)[c].holes));
    return taken;
}

// Row 0 the headings, then one row per category.
class HolesGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setColumns(std::vector<HolesColumn> columns)
    {
        beginResetModel();
        columns_ = std::move(columns);
        rows_ = 0;
        for (const HolesColumn &c : columns_)
            rows_ = std::max(rows_, int(c.cells.size()));
        endResetModel();
    }
    std::vector<int> widths() const
    {
        std::vector<int> w;
        for (const HolesColumn &c : columns_)
            w.push_back(c.width);
        return w;
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : rows_ + 1; }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(columns_.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const HolesColumn &column = columns_[std::size_t(index.column())];
        if (index.row() == 0)
            return role == Qt::DisplayRole ? QVariant(column.heading) : QVariant();
        const std::size_t row = std::size_t(index.row() - 1);
        return row < column.cells.size() ? QVariant(column.cells[row]) : QVariant();
    }
    // The column headings a screen reader speaks are those of row 0.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && section >= 0 && section < columnCount()
            && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
            return columns_[std::size_t(section)].heading;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    std::vector<HolesColumn> columns_;
    int rows_ = 0;
};

Tftrous::Tftrous(QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
{
    ui::setUpWindow(this, QStringLiteral("ftrous"), QSize(kWindowWidth, 340));
    setWindowTitle(QStringLiteral("Trous du jeu"));

    QLabel *title = ui::makeLabel(this, QStringLiteral("Label1"), QStringLiteral("TROUS DU JEU"), 0, 4);
    title->setFont(ui::headingFont());
    title->adjustSize();
    title->move((width() - title->width()) / 2, 4);

    lselection_ = ui::makeLabel(this, QStringLiteral("lselection"), QString(), 8, 48);
    lselection_->setGeometry(8, 46, kGridWidth, 30);
    lselection_->setWordWrap(true);
    lselection_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    model_ = new HolesGridModel(this);
    model_->setColumns(holesColumns(ListHoles {}));
    makeGrid();

    QLabel *explained = ui::makeLabel(this, QStringLiteral("lexplication"),
        QStringLiteral("Un trou est une arrivée des chevaux de la sélection pour laquelle aucun ticket ne gagne "
                       "la catégorie, ni une meilleure. Avec des bases, seules les arrivées qui les contiennent "
                       "comptent. Une catégorie sans ordre compte chaque ordre d'arrivée ; ses exemples montrent "
                       "les chevaux dans l'ordre de la sélection."),
        8, 234);
    explained->setGeometry(8, 234, kGridWidth, 48);
    explained->setWordWrap(true);
    explained->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QPushButton *bquit = ui::makeButton(
        this, QStringLiteral("bquit"), QStringLiteral("Retour"), QRect(kWindowWidth - 146, 292, 138, 40));
    bquit->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    bquit->setToolTip(QStringLiteral("Fermer la fenetre"));
    connect(bquit, &QPushButton::clicked, this, &Tftrous::bquitClick);
    ui::escapePresses(this, bquit);
}

void Tftrous::showHoles(const ListHoles &holes, const std::vector<HolesColumn> &extraColumns)
{
    std::vector<HolesColumn> columns = holesColumns(holes);
    columns.insert(columns.end(), extraColumns.begin(), extraColumns.end());
    // No column cuts its text: each is as wide as its longest cell and the examples take the
    // room left, so that the grid does not scroll sideways; they show as many whole arrivals as
    // fit there.
    const QFontMetrics metrics(font());
    const auto widthOf = [&metrics](const QString &text) { return metrics.horizontalAdvance(text) + 12; };
    int used = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        HolesColumn &c = columns[i];
        c.width = widthOf(c.heading);
        for (const QString &cell : c.cells)
            c.width = std::max(c.width, widthOf(cell));
        if (i != 4)
            used += c.width;
    }
    if (columns.size() > 4) {
        HolesColumn &examples = columns[4];
        examples.width = std::max(kGridWidth - 4 - used, widthOf(examples.heading));
        const QString gap = QStringLiteral("  ");
        for (QString &cell : examples.cells)
            while (widthOf(cell) > examples.width && cell.contains(gap))
                cell.truncate(cell.lastIndexOf(gap));
    }
    const std::vector<int> before = model_->widths();
    model_->setColumns(std::move(columns));
    // A column added by the caller changes the widths the grid is laid out for.
    if (model_->widths() != before) {
        delete grilletrous_;
        makeGrid();
        grilletrous_->show();
    }

    QString text = QStringLiteral("%1 %2 de %3 chevaux sur la sélection %4")
                       .arg(frenchCount(holes.tickets),
                           holes.tickets == 1 ? QStringLiteral("ticket") : QStringLiteral("tickets"))
                       .arg(holes.horsesPerTicket)
                       .arg(arrivalText(holes.selection));
    const int bases = std::clamp(holes.bases, 0, int(holes.selection.size()));
    if (bases > 0)
        text += QStringLiteral(" (%1 : %2)")
                    .arg(bases == 1 ? QStringLiteral("base") : QStringLiteral("bases"),
                        arrivalText(std::vector<int>(holes.selection.begin(), holes.selection.begin() + bases)));
    lselection_->setText(text + QLatin1Char('.'));
}

void Tftrous::makeGrid()
{
    grilletrous_ = new QTableView(this);
    grilletrous_->setObjectName(QStringLiteral("grilletrous"));
    grilletrous_->setGeometry(8, 80, kGridWidth, kRowHeight * 6 + 4);
    // The model first: the heading hides the grid's own heading row as it takes the model.
    grilletrous_->setModel(model_);
    ui::setUpGrid(grilletrous_, new ui::GridCellDelegate(1, 0), kRowHeight, model_->widths());
    ui::keepGridOutOfTabChain(grilletrous_);
    grilletrous_->setAccessibleName(QStringLiteral("Trous par catégorie"));
}

void Tftrous::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        ui::centreOnScreen(this);
}

void Tftrous::bquitClick()
{
    accept();
}

} // namespace mvx
