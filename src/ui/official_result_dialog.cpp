#include "ui/official_result_dialog.h"

#include "arrival/rapports_text.h"
#include "game/result_section.h"
#include "ui/common_widgets.h"
#include "ui/font_follow.h"
#include "ui/keyboard_access.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>

namespace mvx {

namespace {

const QString kRefused = QStringLiteral("Opération impossible");

// What separates places, or horses in a list: "-", ",", ";", "/" and blanks.
const QRegularExpression &separators()
{
    static const QRegularExpression expression(QStringLiteral("[\\s,;/-]+"));
    return expression;
}

std::optional<int> horseNumber(const QString &text)
{
    bool ok = false;
    const int horse = text.toInt(&ok);
    // Anything that is not a short number is not a horse; the range is resultProblem's to say.
    if (!ok || text.size() > 3)
        return std::nullopt;
    return horse;
}

// "4, 16", "4 16": nothing for a text that is not a list of numbers.
std::optional<std::vector<int>> readHorseList(const QString &text)
{
    std::vector<int> horses;
    for (const QString &word : text.split(separators(), Qt::SkipEmptyParts)) {
        const std::optional<int> horse = horseNumber(word);
        if (!horse)
            return std::nullopt;
        horses.push_back(*horse);
    }
    return horses;
}

QString horseListText(const std::vector<int> &horses)
{
    QStringList words;
    for (int horse : horses)
        words << QString::number(horse);
    return words.join(QStringLiteral(", "));
}

// An amount as the table shows it: the desktop's decimal mark, no group separator, so that the
// cells read back as a rapport line.
QString amountText(double amount)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(amount, 'f', 2);
}

enum RapportColumn
{
    kCategoryColumn,
    kCombinationColumn,
    kAmountColumn,
    kRapportColumns
};

QLabel *labelFor(QWidget *parent, const QString &objectName, const QString &caption, int x, int y, QWidget *buddy)
{
    QLabel *label = ui::makeLabel(parent, objectName, caption, x, y);
    label->setBuddy(buddy);
    return label;
}

} // namespace

QString officialArrivalLine(const OfficialResult &result)
{
    QStringList places;
    for (const std::vector<int> &tied : result.arrival) {
        QStringList horses;
        for (int horse : tied)
            horses << QString::number(horse);
        places << horses.join(QStringLiteral(" = "));
    }
    return places.join(QStringLiteral(" - "));
}

std::optional<std::vector<std::vector<int>>> readOfficialArrival(const QString &text)
{
    QString line = text;
    static const QRegularExpression tie(QStringLiteral("\\s*=\\s*"));
    line.replace(tie, QStringLiteral("="));
    std::vector<std::vector<int>> places;
    for (const QString &place : line.split(separators(), Qt::SkipEmptyParts)) {
        std::vector<int> tied;
        for (const QString &number : place.split(QLatin1Char('='))) {
            const std::optional<int> horse = horseNumber(number);
            if (!horse)
                return std::nullopt;
            tied.push_back(*horse);
        }
        places.push_back(std::move(tied));
    }
    if (places.empty())
        return std::nullopt;
    return places;
}

OfficialResultDialog::OfficialResultDialog(
    const std::vector<int> &played, std::shared_ptr<const OfficialResult> current, Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , platform_(platform)
    , result_(std::move(current))
{
    ui::setUpWindow(this, QStringLiteral("fresultatofficiel"), QSize(520, 428));
    setWindowTitle(QStringLiteral("Résultat officiel"));

    earrivee_ = new QLineEdit(this);
    earrivee_->setObjectName(QStringLiteral("earrivee"));
    earrivee_->setGeometry(16, 32, 300, 23);
    earrivee_->setPlaceholderText(QStringLiteral("7 - 13 - 2 = 9 - 20"));
    earrivee_->setAccessibleName(QStringLiteral("Arrivée officielle"));
    labelFor(this, QStringLiteral("larrivee"), QStringLiteral("&Arrivée (« = » entre chevaux à égalité) :"), 16, 12,
        earrivee_);

    enonpartants_ = new QLineEdit(this);
    enonpartants_->setObjectName(QStringLiteral("enonpartants"));
    enonpartants_->setGeometry(16, 86, 160, 23);
    enonpartants_->setPlaceholderText(QStringLiteral("4, 16"));
    enonpartants_->setAccessibleName(QStringLiteral("Non-partants"));
    labelFor(this, QStringLiteral("lnonpartants"), QStringLiteral("&Non-partants :"), 16, 66, enonpartants_);

    // A horse of the race that the tickets do not hold.
    ccomplement_ = ui::makePickList(this, QStringLiteral("ccomplement"), QRect(196, 86, 100, 23));
    ccomplement_->setAccessibleName(QStringLiteral("Cheval de complément"));
    ccomplement_->addItem(QStringLiteral("Aucun"), 0);
    std::array<bool, kMaxHorses + 1> onTickets {};
    for (int horse : played)
        if (horse >= 1 && horse <= kMaxHorses)
            onTickets[std::size_t(horse)] = true;
    for (int horse = 1; horse <= kMaxHorses; ++horse)
        if (!onTickets[std::size_t(horse)])
            ccomplement_->addItem(QString::number(horse), horse);
    labelFor(this, QStringLiteral("lcomplement"), QStringLiteral("Cheval de &complément :"), 196, 66, ccomplement_);

    // Some bets are refunded below a number of runners: unknown, the field counts as full.
    spartants_ = new QSpinBox(this);
    spartants_->setObjectName(QStringLiteral("spartants"));
    spartants_->setGeometry(336, 32, 90, 23);
    spartants_->setRange(0, kMaxHorses);
    spartants_->setSpecialValueText(QStringLiteral("Inconnu"));
    spartants_->setAccessibleName(QStringLiteral("Nombre de partants"));
    labelFor(this, QStringLiteral("lpartants"), QStringLiteral("Par&tants :"), 336, 12, spartants_);

    // The operator's pages give rapports for 1 € or for the bet's unit stake: the arithmetic
    // follows the choice.
    cbaserapports_ = ui::makePickList(this, QStringLiteral("cbaserapports"), QRect(316, 86, 188, 23));
    cbaserapports_->setAccessibleName(QStringLiteral("Rapports publiés pour"));
    cbaserapports_->addItem(QStringLiteral("la mise de base"), false);
    cbaserapports_->addItem(QStringLiteral("1 €"), true);
    labelFor(
        this, QStringLiteral("lbaserapports"), QStringLiteral("Rapports publiés &pour :"), 316, 66, cbaserapports_);

    grapports_ = new QTableWidget(0, kRapportColumns, this);
    grapports_->setObjectName(QStringLiteral("grapports"));
    grapports_->setGeometry(16, 142, 488, 196);
    grapports_->setAccessibleName(QStringLiteral("Rapports publiés"));
    grapports_->setHorizontalHeaderLabels(
        { QStringLiteral("Catégorie"), QStringLiteral("Combinaison"), QStringLiteral("Rapport (€)") });
    grapports_->setColumnWidth(kCategoryColumn, ui::scaledToFont(200));
    grapports_->setColumnWidth(kCombinationColumn, ui::scaledToFont(120));
    grapports_->horizontalHeader()->setStretchLastSection(true);
    grapports_->verticalHeader()->setDefaultSectionSize(ui::scaledToFont(22));
    // Tab leaves the table: arrows move between its cells.
    ui::keepGridOutOfTabChain(grapports_);
    grapports_->installEventFilter(this);
    labelFor(this, QStringLiteral("lrapports"),
        QStringLiteral("&Rapports publiés (Ctrl+V colle les lignes d'un fichier de rapports) :"), 16, 122, grapports_);

    QPushButton *bcoller = ui::makeButton(
        this, QStringLiteral("bcoller"), QStringLiteral("Coller des rapports"), QRect(16, 346, 150, 30));
    QPushButton *bsupprimer = ui::makeButton(
        this, QStringLiteral("bsupprimer"), QStringLiteral("Supprimer la ligne"), QRect(174, 346, 140, 30));
    QPushButton *beffacer = ui::makeButton(
        this, QStringLiteral("beffacer"), QStringLiteral("Effacer le résultat"), QRect(16, 386, 150, 30));
    QPushButton *bok = ui::makeButton(this, QStringLiteral("bok"), QStringLiteral("OK"), QRect(318, 386, 89, 30));
    QPushButton *bannuler
        = ui::makeButton(this, QStringLiteral("bannuler"), QStringLiteral("Annuler"), QRect(415, 386, 89, 30));
    for (QPushButton *button : { bcoller, bsupprimer, beffacer, bannuler })
        button->setAutoDefault(false);
    bok->setDefault(true);
    connect(bcoller, &QPushButton::clicked, this, &OfficialResultDialog::bcollerClick);
    connect(bsupprimer, &QPushButton::clicked, this, &OfficialResultDialog::bsupprimerClick);
    connect(beffacer, &QPushButton::clicked, this, &OfficialResultDialog::beffacerClick);
    connect(bok, &QPushButton::clicked, this, &OfficialResultDialog::bokClick);
    connect(bannuler, &QPushButton::clicked, this, &QDialog::reject);
    connect(grapports_, &QTableWidget::itemChanged, this, [this] { keepOneEmptyRow(); });

    if (result_)
        showResult(*result_);
    keepOneEmptyRow();
    const std::array<QWidget *, 11> order { earrivee_, spartants_, enonpartants_, ccomplement_, cbaserapports_,
        grapports_, bcoller, bsupprimer, beffacer, bok, bannuler };
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    earrivee_->setFocus(Qt::OtherFocusReason);
}

void OfficialResultDialog::showResult(const OfficialResult &result)
{
    earrivee_->setText(officialArrivalLine(result));
    enonpartants_->setText(horseListText(result.nonRunners));
    // A complément among today's selection is not offered: the form shows none.
    ccomplement_->setCurrentIndex(std::max(ccomplement_->findData(result.complement), 0));
    spartants_->setValue(result.runners);
    cbaserapports_->setCurrentIndex(result.rapportsPerEuro ? 1 : 0);
    for (const Rapport &rapport : result.rapports)
        addRapportRow(gridLabel(rapport.category), combinationText(rapport.combination), amountText(rapport.amount));
}

void OfficialResultDialog::addRapportRow(const QString &category, const QString &combination, const QString &amount)
{
    // The empty last row takes the rapport; a new empty row follows it.
    int row = grapports_->rowCount() - 1;
    bool emptyLast = row >= 0;
    for (int column = 0; emptyLast && column < kRapportColumns; ++column) {
        const QTableWidgetItem *item = grapports_->item(row, column);
        emptyLast = !item || item->text().trimmed().isEmpty();
    }
    if (!emptyLast) {
        row = grapports_->rowCount();
        grapports_->insertRow(row);
    }
    const QSignalBlocker quiet(grapports_);
    grapports_->setItem(row, kCategoryColumn, new QTableWidgetItem(category));
    grapports_->setItem(row, kCombinationColumn, new QTableWidgetItem(combination));
    auto *money = new QTableWidgetItem(amount);
    money->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grapports_->setItem(row, kAmountColumn, money);
    keepOneEmptyRow();
}

// The table always ends with an empty row, where the next rapport is typed.
void OfficialResultDialog::keepOneEmptyRow()
{
    const int last = grapports_->rowCount() - 1;
    bool lastEmpty = last >= 0;
    for (int column = 0; lastEmpty && column < kRapportColumns; ++column) {
        const QTableWidgetItem *item = grapports_->item(last, column);
        lastEmpty = !item || item->text().trimmed().isEmpty();
    }
    if (!lastEmpty)
        grapports_->insertRow(last + 1);
}

bool OfficialResultDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Keys typed into a cell's editor go to the editor: these are the table's own.
    if (watched == grapports_ && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste)) {
            bcollerClick();
            return true;
        }
        if (key->matches(QKeySequence::Delete)) {
            bsupprimerClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool OfficialResultDialog::pasteRapports(const QString &text)
{
    const RapportsRead read = readRapportsText(text.toUtf8());
    if (!read.ok()) {
        refuse(grapports_, QStringLiteral("Les rapports collés ne se lisent pas : %1").arg(read.error));
        return false;
    }
    if (read.rapports.empty()) {
        refuse(grapports_,
            QStringLiteral("Rien à coller : copiez des lignes de rapports, comme « Tierce ordre 7-13-2 120.50 »."));
        return false;
    }
    for (const Rapport &rapport : read.rapports)
        addRapportRow(gridLabel(rapport.category), combinationText(rapport.combination), amountText(rapport.amount));
    return true;
}

void OfficialResultDialog::bcollerClick()
{
    pasteRapports(QGuiApplication::clipboard()->text());
}

void OfficialResultDialog::bsupprimerClick()
{
    const int row = grapports_->currentRow();
    if (row < 0)
        return;
    grapports_->removeRow(row);
    keepOneEmptyRow();
    grapports_->setFocus(Qt::OtherFocusReason);
}

void OfficialResultDialog::refuse(QWidget *control, const QString &text)
{
    platform_.inform(text, kRefused);
    control->setFocus(Qt::OtherFocusReason);
}

std::optional<OfficialResult> OfficialResultDialog::readForm()
{
    OfficialResult result;
    const QString arrival = earrivee_->text().trimmed();
    const std::optional<std::vector<std::vector<int>>> places = readOfficialArrival(arrival);
    if (!places) {
        refuse(earrivee_,
            arrival.isEmpty()
                ? QStringLiteral("Entrez l'arrivée officielle, par exemple « 7 - 13 - 2 = 9 - 20 ».")
                : QStringLiteral("L'arrivée « %1 » ne se lit pas : des numéros de chevaux séparés par des tirets, "
                                 "« = » entre chevaux à égalité.")
                      .arg(arrival));
        return std::nullopt;
    }
    result.arrival = *places;
    const QString absent = enonpartants_->text().trimmed();
    const std::optional<std::vector<int>> nonRunners = readHorseList(absent);
    if (!nonRunners) {
        refuse(enonpartants_,
            QStringLiteral("Les non-partants « %1 » ne se lisent pas : des numéros de chevaux séparés par des "
                           "virgules.")
                .arg(absent));
        return std::nullopt;
    }
    result.nonRunners = *nonRunners;
    result.complement = ccomplement_->currentData().toInt();
    result.runners = spartants_->value();
    result.rapportsPerEuro = cbaserapports_->currentData().toBool();

    for (int row = 0; row < grapports_->rowCount(); ++row) {
        QStringList words;
        for (int column = 0; column < kRapportColumns; ++column) {
            const QTableWidgetItem *item = grapports_->item(row, column);
            const QString text = item ? item->text().simplified() : QString();
            if (!text.isEmpty())
                words << text;
        }
        if (words.isEmpty())
            continue;
        QString why;
        const std::optional<Rapport> rapport = parseRapportLine(words.join(QLatin1Char(' ')), &why);
        if (!rapport) {
            grapports_->setCurrentCell(row, kCategoryColumn);
            refuse(grapports_, QStringLiteral("Rapport de la ligne %1 : %2").arg(row + 1).arg(why));
            return std::nullopt;
        }
        result.rapports.push_back(*rapport);
    }
    if (result.rapports.size() > std::size_t(kMostKeptRapports)) {
        refuse(grapports_, QStringLiteral("Trop de rapports : au plus %1.").arg(kMostKeptRapports));
        return std::nullopt;
    }
    if (const QString problem = resultProblem(result); !problem.isEmpty()) {
        refuse(earrivee_, problem);
        return std::nullopt;
    }
    return result;
}

void OfficialResultDialog::bokClick()
{
    std::optional<OfficialResult> read = readForm();
    if (!read)
        return;
    result_ = std::make_shared<const OfficialResult>(std::move(*read));
    accept();
}

void OfficialResultDialog::beffacerClick()
{
    result_ = nullptr;
    accept();
}

} // namespace mvx
