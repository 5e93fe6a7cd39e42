#pragma once

#include "arrival/list_holes.h"
#include "model/platform.h"

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

class QLabel;
class QTableView;

namespace mvx {

// One column of the holes grid: its heading, its width and one text per category row.
struct HolesColumn
{
    QString heading;
    int width = 0;
    std::vector<QString> cells;
};

// The columns every holes grid has: the category, its holes, the arrivals considered, the share of
// them a ticket wins and up to five of the holes ("7-3-12-5"); an own system's promise is the
// last row.
std::vector<HolesColumn> holesColumns(const ListHoles &holes);

// "97,3 % des arrivées gagnent": the arrivals of the category some ticket wins, out of those
// considered, rounded down to a tenth; empty with no arrival.
QString wonShareText(const CategoryHoles &holes);

// Counts the holes of the current list behind the progress dialog, with the promise of the own
// system it was made from, if any. Nothing (after saying why) for a list whose ticket size has no
// winning category nor promise, and nothing after "Annuler".
std::optional<ListHoles> countHolesOfList(const GameState &state, Platform &platform);

// For a list made with conditions: per category, how many arrivals the list no longer wins that
// the request's tickets won without the conditions, counted behind the progress dialog. Nothing
// for any other list, or after "Annuler".
std::optional<HolesColumn> conditionsHolesColumn(
    const GameState &state, const ListHoles &conditioned, Platform &platform);

class HolesGridModel;

// The holes window: per winning category of the tickets' size, how many arrivals of the
// selection no ticket wins, out of how many, and a few of them. It shows counts it is given;
// whoever opens it may add columns of its own after the usual ones.
class Tftrous : public QDialog
{
    Q_OBJECT

public:
    explicit Tftrous(QWidget *parent = nullptr);

    void showHoles(const ListHoles &holes, const std::vector<HolesColumn> &extraColumns = {});

    QTableView *grid() const { return grilletrous_; }

public Q_SLOTS:
    void bquitClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void makeGrid();

    HolesGridModel *model_ = nullptr;
    QTableView *grilletrous_ = nullptr;
    QLabel *lselection_ = nullptr;
};

} // namespace mvx
