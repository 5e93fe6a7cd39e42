#include "ui/Uimprime.h"

#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"
#include "ui/program_icon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <limits>
#include <vector>

namespace mvx {

namespace {

const QColor kBlue(0, 0, 255);
const QColor kTeal(0, 128, 128);

constexpr std::array<int, 7> kStakeMultipliers { 1, 2, 3, 4, 5, 10, 20 };

// The key filter of the range fields: only the digits "0".."9" are typed; every other
// character, backspace included, is discarded. Keys that type no character (Delete, the
// arrows) and shortcuts go through; the field's validator still refuses anything but digits.
class RangeKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::InputMethod) {
            const QString text = static_cast<QInputMethodEvent *>(event)->commitString();
            return std::any_of(
                text.begin(), text.end(), [](QChar c) { return c < QLatin1Char('0') || c > QLatin1Char('9'); });
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Backspace)
            return true;
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
            return false;
        // Delete types "\x7f" and the arrows nothing: keys that type no printable character edit.
        const QString text = key->text();
        if (text.isEmpty() || !text[0].isPrint())
            return false;
        return !(text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9'));
    }
};

// The whole number formed by the leading digits of a field; 0 when it starts with none.
std::int64_t leadingNumber(const QString &text)
{
    std::int64_t value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        if (value > (std::numeric_limits<std::int64_t>::max() - 9) / 10)
            break;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

int decimalDigits(std::int64_t n)
{
    int digits = 1;
    for (; n >= 10; n /= 10)
        ++digits;
    return digits;
}

// A group's caption in its colour; the controls inside it stay black. Groups nested in it
// get their own colour afterwards.
void colourCaption(QGroupBox *group, const QColor &colour)
{
    QPalette palette = group->palette();
    palette.setColor(QPalette::WindowText, colour);
    group->setPalette(palette);
    for (QWidget *child : group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QGroupBox *>(child))
            continue;
        QPalette black = child->palette();
        black.setColor(QPalette::WindowText, Qt::black);
        child->setPalette(black);
    }
}

QRadioButton *makeRadio(QWidget *parent, const QString &name, const QString &caption, const QRect &rect)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    return button;
}

QLineEdit *makeRangeField(QWidget *parent, const QString &name, const QString &hint, const QRect &rect)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setGeometry(rect);
    field->setToolTip(hint);
    field->setMaxLength(4);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    field->installEventFilter(new RangeKeyFilter(field));
    return field;
}

// A blank slip with a few boxes marked, for the top-left corner of the dialog.
QPixmap slipPicture()
{
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 80, 20), 1));
    painter.setBrush(QColor(255, 248, 225));
    painter.drawRoundedRect(QRectF(4.5, 1.5, 31, 37), 2, 2);
    painter.setBrush(QColor(230, 60, 60));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(5, 2, 30, 6));
    painter.setPen(QPen(QColor(200, 60, 60), 1));
    painter.setBrush(Qt::NoBrush);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            painter.drawRect(QRectF(8.5 + 6 * column, 12.5 + 6 * row, 4, 4));
    painter.setPen(QPen(Qt::black, 1.6));
    const int marked[][2] = { { 1, 0 }, { 3, 1 }, { 0, 2 }, { 2, 3 } };
    for (const auto &m : marked) {
        const QPointF at(8.5 + 6 * m[0], 12.5 + 6 * m[1]);
        painter.drawLine(at, at + QPointF(4, 4));
        painter.drawLine(at + QPointF(4, 0), at + QPointF(0, 4));
    }
    return pixmap;
}

// Lays the buttons of a group out in rows of `columns`, each at its own width.
void placeInRows(const std::vector<QRadioButton *> &buttons, int columns, int columnStep, int top)
{
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QRadioButton *button = buttons[i];
        button->ensurePolished();
        const int row = int(i) / columns;
        const int column = int(i) % columns;
        button->setGeometry(10 + columnStep * column, top + 20 * row, button->sizeHint().width(), 17);
    }
}

void uncheck(QRadioButton *button)
{
    // An exclusive radio button cannot be cleared on its own.
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

} // namespace

Tfimprime::Tfimprime(GameState &state, Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , state_(state)
    , platform_(platform)
{
    ui::setUpWindow(this, QStringLiteral("fimprime"), QSize(477, 351));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(8, 6, 40, 40);
    picture->setPixmap(slipPicture());

    Label4 = new QLabel(QStringLiteral("IMPRIMER LES TICKETS"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(ui::headingFont());
    Label4->setGeometry(56, 6, 413, 40);

    Label3 = ui::makeLabel(this, QStringLiteral("Label3"), QString(), 16, 58);
    ComboBox1 = ui::makePickList(this, QStringLiteral("ComboBox1"), QRect(16, 74, 300, 21));

    GroupBox3 = ui::makeGroup(this, QStringLiteral("GroupBox3"), QString(), QRect(16, 106, 221, 58));
    Label1 = ui::makeLabel(GroupBox3, QStringLiteral("Label1"), QString(), 8, 28);
    Gpremier = makeRangeField(GroupBox3, QStringLiteral("Gpremier"),
        QStringLiteral("Entrez le numero du premier ticket à imprimer"), QRect(50, 24, 58, 21));
    Label2 = ui::makeLabel(GroupBox3, QStringLiteral("Label2"), QString(), 114, 28);
    gdernier = makeRangeField(GroupBox3, QStringLiteral("gdernier"),
        QStringLiteral("Entrez le numero du dernier ticket à imprimer"), QRect(155, 24, 58, 21));

    GroupBox2 = ui::makeGroup(this, QStringLiteral("GroupBox2"), QString(), QRect(246, 106, 215, 58));
    bimptsbull = makeRadio(GroupBox2, QStringLiteral("bimptsbull"), QString(), QRect(10, 18, 200, 17));
    bimpunbull = makeRadio(GroupBox2, QStringLiteral("bimpunbull"), QString(), QRect(10, 36, 200, 17));
    bimptsbull->setChecked(true);

    grparasup = ui::makeGroup(
        this, QStringLiteral("grparasup"), QStringLiteral("Parametres supplémentaires"), QRect(16, 172, 445, 118));
    chcochecasefixe = new QCheckBox(QStringLiteral("Cocher les cases fixes"), grparasup);
    chcochecasefixe->setObjectName(QStringLiteral("chcochecasefixe"));
    chcochecasefixe->setLayoutDirection(Qt::RightToLeft); // the caption stands left of the box
    chcochecasefixe->adjustSize();
    chcochecasefixe->move(10, 20);

    grmise = ui::makeGroup(
        grparasup, QStringLiteral("grmise"), QStringLiteral("Nombre de fois la mise"), QRect(10, 44, 200, 66));
    for (std::size_t i = 0; i < kStakeMultipliers.size(); ++i) {
        const QString value = QString::number(kStakeMultipliers[i]);
        stakeButtons[i] = makeRadio(grmise, QStringLiteral("ram") + value, value, QRect());
        // Spoken with the group it belongs to, not as a bare number.
        stakeButtons[i]->setAccessibleName(QStringLiteral("Mise : ") + value);
    }
    placeInRows({ stakeButtons.begin(), stakeButtons.end() }, 4, 46, 22);
    // Slip type 1 asks for the bet type, slip type 2 for the meeting: never both, so the two
    // groups share their place.
    grreunion
        = ui::makeGroup(grparasup, QStringLiteral("grreunion"), QStringLiteral("La reunion"), QRect(220, 44, 215, 66));
    for (int m = 1; m <= 8; ++m) {
        const QString value = QString::number(m);
        meetingButtons[std::size_t(m - 1)] = makeRadio(grreunion, QStringLiteral("rar") + value, value, QRect());
        meetingButtons[std::size_t(m - 1)]->setAccessibleName(QStringLiteral("Réunion : ") + value);
    }
    placeInRows({ meetingButtons.begin(), meetingButtons.end() }, 4, 50, 22);
    grpari = ui::makeGroup(grparasup, QStringLiteral("grpari"), QStringLiteral("Le pari"), QRect(220, 44, 215, 66));
    betButtons[0] = makeRadio(grpari, QStringLiteral("ratierce"), QStringLiteral("Tierce"), QRect());
    betButtons[1] = makeRadio(grpari, QStringLiteral("raquarte"), QStringLiteral("Quarte+"), QRect());
    betButtons[2] = makeRadio(grpari, QStringLiteral("raquinte"), QStringLiteral("Quinte+"), QRect());
    placeInRows({ betButtons.begin(), betButtons.end() }, 3, 68, 32);

    boutlancer = ui::makeButton(this, QStringLiteral("boutlancer"), QString(), QRect(246, 298, 105, 44));
    boutlancer->setIcon(ui::buttonIcon(QStringLiteral("printer")));
    boutlancer->setIconSize(QSize(24, 24));
    boutlancer->setDefault(true);
    boutannule = ui::makeButton(this, QStringLiteral("boutannule"), QString(), QRect(356, 298, 105, 44));
    boutannule->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    colourCaption(GroupBox2, kBlue);
    colourCaption(GroupBox3, kBlue);
    colourCaption(grparasup, kBlue);
    colourCaption(grmise, kTeal);
    colourCaption(grreunion, kTeal);
    colourCaption(grpari, kTeal);

    connect(ComboBox1, &QComboBox::activated, this, &Tfimprime::ComboBox1Change);
    connect(boutlancer, &QPushButton::clicked, this, &Tfimprime::boutlancerClick);
    connect(boutannule, &QPushButton::clicked, this, &QDialog::reject);
    // A screen reader names each range field by the caption beside it.
    Label1->setBuddy(Gpremier);
    Label2->setBuddy(gdernier);

    FormCreate();
}

void Tfimprime::FormCreate()
{
    applyPrintDialogCaptions();
}

void Tfimprime::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    formshow();
    // The range is reset once per opening, as the dialog first becomes active: coming back to
    // it from the range message or from another program keeps what the user typed.
    FormActivate();
}

void Tfimprime::applyPrintDialogCaptions()
{
    const bool english = state_.settings.interfaceLanguage == 2;
    auto text = [english](const char *french, const char *inEnglish) {
        return QString::fromUtf8(english ? inEnglish : french);
    };
    setWindowTitle(text("Imprimer les Tickets", "Print"));
    Label3->setText(text("TYPE DE TICKETS", "TICKETS TYPE"));
    Label3->adjustSize();
    ui::nameBox(ComboBox1, Label3->text());
    GroupBox3->setTitle(text("Tickets à imprimer", "Tiket to print"));
    Label1->setText(text("Premier", "First"));
    Label1->adjustSize();
    Label2->setText(text("Dernier", "Last"));
    Label2->adjustSize();
    GroupBox2->setTitle(text("Type d impression", "Print Type"));
    bimptsbull->setText(text("Imprimer tous les tickets à la fois", "Print all the tickets"));
    bimpunbull->setText(text("Imprimer un ticket à la fois", "Stop after each ticket"));
    boutannule->setText(text("Annuler", "Cancel"));
    boutlancer->setText(text("Imprimer", "Print"));
}

// Each slip type shows the fixed boxes it has; a group keeps its own flag even while the
// extra-parameter group around it is hidden.
void Tfimprime::applySlipTypeOptions(int slipType)
{
    switch (slipType) {
    case 1:
        grparasup->setVisible(true);
        chcochecasefixe->setChecked(true);
        grmise->setVisible(true);
        grpari->setVisible(true);
        grreunion->setVisible(false);
        break;
    case 2:
        grparasup->setVisible(true);
        chcochecasefixe->setChecked(true);
        grmise->setVisible(true);
        grpari->setVisible(false);
        grreunion->setVisible(true);
        break;
    case 3:
        grparasup->setVisible(false);
        chcochecasefixe->setChecked(true);
        grmise->setVisible(false);
        grpari->setVisible(true);
        grreunion->setVisible(false);
        break;
    default:
        grparasup->setVisible(false);
        break;
    }
}

void Tfimprime::ComboBox1Change()
{
    applySlipTypeOptions(ComboBox1->currentIndex() + 1);
}

void Tfimprime::formshow()
{
    applyPrintDialogCaptions();
    ComboBox1->clear();
    for (const SlipLayout &layout : slipLayouts())
        ComboBox1->addItem(layout.name);
    ComboBox1->setCurrentIndex(0);
    for (QRadioButton *button : stakeButtons)
        uncheck(button);
    for (QRadioButton *button : meetingButtons)
        uncheck(button);
    for (QRadioButton *button : betButtons)
        uncheck(button);
    applySlipTypeOptions(1);
}

void Tfimprime::FormActivate()
{
    // The fields hold every digit of the last ticket's number, so a long list is never cut.
    const std::int64_t count = state_.tickets.count();
    const int length = std::max(4, decimalDigits(std::max<std::int64_t>(count, 0)));
    Gpremier->setMaxLength(length);
    gdernier->setMaxLength(length);
    Gpremier->setText(QStringLiteral("1"));
    gdernier->setText(QString::number(count));
}

SlipRun Tfimprime::chosenRun() const
{
    SlipRun run;
    run.slipType = ComboBox1->currentIndex() + 1;
    run.printMode = bimptsbull->isChecked() ? 1 : 2;
    run.firstTicket = leadingNumber(Gpremier->text());
    run.lastTicket = leadingNumber(gdernier->text());
    run.markFixedBoxes = chcochecasefixe->isChecked();
    if (!run.markFixedBoxes)
        return run;
    // A group's own visibility flag decides, whether or not the group around it is shown.
    if (!grmise->isHidden()) {
        for (std::size_t i = 0; i < stakeButtons.size(); ++i)
            if (stakeButtons[i]->isChecked())
                run.fixedBoxes.stakeMultiplier = kStakeMultipliers[i];
    }
    if (!grpari->isHidden()) {
        for (std::size_t i = 0; i < betButtons.size(); ++i)
            if (betButtons[i]->isChecked())
                run.fixedBoxes.betType = int(i) + 3;
    }
    if (!grreunion->isHidden()) {
        for (std::size_t i = 0; i < meetingButtons.size(); ++i)
            if (meetingButtons[i]->isChecked())
                run.fixedBoxes.meetingNumber = int(i) + 1;
    }
    return run;
}

void Tfimprime::boutlancerClick()
{
    if (ComboBox1->currentIndex() < 0)
        return;
    const SlipRun run = chosenRun();
    if (!slipRangeAccepted(run.firstTicket, run.lastTicket, state_.tickets.count())) {
        platform_.message(QStringLiteral("Numéros des tickets imprimer incorrect"), QStringLiteral("Problème !!"),
            Platform::Buttons::Ok, Platform::Icon::Warning);
        return;
    }
    printSlips(state_, run, platform_);
    accept();
}

} // namespace mvx
