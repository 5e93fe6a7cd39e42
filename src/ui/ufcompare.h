#pragma once

#include "arrival/classification.h"
#include "arrival/result_classification.h"
#include "arrival/winnings.h"
#include "model/bet.h"
#include "model/game_state.h"
#include "model/platform.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mvx::ui {
class ResultText;
}

namespace mvx {

class HistoryAccess;
class RaceRecordDialog;

namespace ui {
class TicketGrid;
}

// The comparison window: the official arrival and the payouts typed in, every ticket of the
// last generation listed with its winning category, the winning tickets counted per category
// and the winnings added up. One category byte is kept per ticket; the grid reads the rest
// from the tickets as it paints them.
class Tfcompare : public QDialog
{
    Q_OBJECT

public:
    Tfcompare(GameState &state, Platform &platform, QWidget *parent = nullptr);

    // The category of each ticket of the last comparison, ticket t in slot t - 1: a WinCategory,
    // or a ResultCategory when the comparison was with the official result.
    const std::vector<std::uint8_t> &ticketCategories() const { return categories_; }
    // The punter's races, where "Enregistrer dans mes courses" stores the comparison.
    void setHistory(HistoryAccess *history) { history_ = history; }

public Q_SLOTS:
    void FormActivate();
    // "Voir les résultats": the whole comparison, into the result grid and the summary.
    void AOLButton1Click();
    void bquitClick();
    // "Résultat officiel…": the dialog of the race as it was run; while a result is kept in the
    // game, "Voir les résultats" compares with it and the five arrival boxes are off.
    void bresultatofficielClick();
    // "Enregistrer dans mes courses": the last comparison, under a date and a name.
    void benregistrercourseClick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildArrivalGroup();
    void normalizePayoutFields();
    PayoutTexts payoutTexts() const;
    std::vector<std::uint8_t> prepareResultGrid() const;
    // Runs `classify` over the tickets in slices, looking at "Annuler" between them; false when
    // it was stopped.
    static bool inSlices(std::int64_t count, WorkProgress &progress,
        const std::function<void(std::int64_t first, std::int64_t last)> &classify);
    bool compareTickets(const Arrival &arrival, std::vector<std::uint8_t> &categories, WinCounts &counts);
    void showSummary(const QString &summary);
    std::optional<Arrival> checkedArrival();
    void refuseArrival(QComboBox *box, const QString &text);
    void markArrivalBox(QComboBox *box, bool wrong);
    // ufcompare_official.cpp: the comparison with the official result.
    void buildOfficialResultControls(QWidget *group);
    void showOfficialResultState();
    void compareWithOfficialResult();
    // The tickets of a bet judged by its own rules (bet_result_rows.h).
    void compareBetWithResult(const OfficialResult &result, Bet bet);
    std::optional<Bet> judgedBet() const;

    GameState &state_;
    Platform &platform_;
    std::array<QComboBox *, kArrivalPlaces> arrivalBoxes_ {};
    // In the order of the payouts: eqordre, eqdesordre, eqbonus45, eqbonus4, eqbonus3,
    // equarteordre, equartedesordre, equartebonus, etordre, etdesordre.
    std::array<QLineEdit *, kPaidCategories> payoutFields_ {};
    ui::TicketGrid *grillecomb_ = nullptr;
    ui::ResultText *laffresul_ = nullptr;
    QPushButton *compareButton_ = nullptr;
    QPushButton *bresultatofficiel_ = nullptr;
    QLabel *lresultatofficiel_ = nullptr;
    std::vector<std::uint8_t> categories_;
    // The totals of the last comparison when it was with the official result.
    std::optional<ResultTotals> officialTotals_;
    QPushButton *benregistrercourse_ = nullptr;
    RaceRecordDialog *recordDialog_ = nullptr;
    HistoryAccess *history_ = nullptr;
};

} // namespace mvx
