#include "ui/Uparametre.h"

#include "combi/integer_text.h"
#include "ui/common_widgets.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace mvx {

namespace {

// The user types at most this many characters into an adjustment field; the program itself
// shows up to seven, so the limit is kept by the key filter rather than by the field.
constexpr int kTypedAdjustmentLength = 5;
constexpr int kShownAdjustmentLength = 7;

const QString kAdjustmentCharacters = QStringLiteral("-+0123456789");

QPixmap frenchFlag()
{
    QPixmap pixmap(30, 20);
    QPainter painter(&pixmap);
    painter.fillRect(0, 0, 10, 20, QColor(0, 85, 164));
    painter.fillRect(10, 0, 10, 20, Qt::white);
    painter.fillRect(20, 0, 10, 20, QColor(239, 65, 53));
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(0, 0, 29, 19);
    return pixmap;
}

QPixmap britishFlag()
{
    QPixmap pixmap(30, 20);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on the flag's own 60 x 30 grid.
    painter.scale(30.0 / 60.0, 20.0 / 30.0);
    painter.setClipRect(0, 0, 60, 30);
    painter.fillRect(0, 0, 60, 30, QColor(1, 33, 105));
    const QLineF diagonals[] = { { 0, 0, 60, 30 }, { 60, 0, 0, 30 } };
    painter.setPen(QPen(Qt::white, 6));
    painter.drawLines(diagonals, 2);
    painter.setPen(QPen(QColor(200, 16, 46), 2));
    painter.drawLines(diagonals, 2);
    painter.fillRect(25, 0, 10, 30, Qt::white);
    painter.fillRect(0, 10, 60, 10, Qt::white);
    painter.fillRect(27, 0, 6, 30, QColor(200, 16, 46));
    painter.fillRect(0, 12, 60, 6, QColor(200, 16, 46));
    return pixmap;
}

void drawArrow(QPainter &painter, const QPointF &from, const QPointF &to)
{
    painter.drawLine(from, to);
    const QLineF line(to, from);
    for (qreal turn : { 30.0, -30.0 }) {
        QLineF barb = line;
        barb.setLength(5);
        barb.setAngle(line.angle() + turn);
        painter.drawLine(barb);
    }
}

// The corner picture: a bet slip with one box marked, and the two directions it can be moved.
QPixmap adjustmentPicture()
{
    QPixmap pixmap(72, 72);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF slip(16, 4, 48, 54);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(slip, 3, 3);
    painter.fillRect(QRectF(slip.left() + 1, slip.top() + 1, slip.width() - 2, 9), QColor(229, 115, 115));
    painter.setPen(QPen(QColor(229, 115, 115), 1));
    painter.setBrush(Qt::NoBrush);
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 4; ++column)
            painter.drawRect(QRectF(22 + column * 10, 17 + row * 8, 6, 5));
    painter.setPen(QPen(Qt::black, 1.4));
    const QRectF marked(32, 33, 6, 5);
    painter.drawLine(marked.topLeft(), marked.bottomRight());
    painter.drawLine(marked.topRight(), marked.bottomLeft());

    painter.setPen(QPen(QColor(30, 90, 200), 2, Qt::SolidLine, Qt::RoundCap));
    drawArrow(painter, { 40, 65 }, { 66, 65 });
    drawArrow(painter, { 40, 65 }, { 14, 65 });
    drawArrow(painter, { 7, 31 }, { 7, 6 });
    drawArrow(painter, { 7, 31 }, { 7, 56 });
    return pixmap;
}

QLabel *makePicture(QWidget *parent, const QString &objectName, const QRect &rect, const QPixmap &picture)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setGeometry(rect);
    label->setPixmap(picture);
    return label;
}

QLineEdit *makeAdjustmentField(QWidget *parent, const QString &objectName, const QRect &rect)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setGeometry(rect);
    // Pasted or dropped text meets the same characters; seven keep the value within 32 bits.
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[-+0-9]{0,%1}").arg(kShownAdjustmentLength)), field));
    return field;
}

} // namespace

Tfparametre::Tfparametre(SettingsRecord &settings, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , settings_(settings)
{
    ui::setUpWindow(this, QStringLiteral("fparametre"), QSize(455, 288));

    makePicture(this, QStringLiteral("Image3"), QRect(8, 8, 72, 72), adjustmentPicture());

    GroupBox1 = ui::makeGroup(this, QStringLiteral("GroupBox1"), QString(), QRect(96, 40, 345, 105));
    ldecalh = ui::makeLabel(GroupBox1, QStringLiteral("ldecalh"), QString(), 16, 34);
    edech = makeAdjustmentField(GroupBox1, QStringLiteral("edech"), QRect(168, 30, 65, 21));
    ui::makeLabel(GroupBox1, QStringLiteral("Label4"), QStringLiteral("mm"), 240, 34);
    ldecalv = ui::makeLabel(GroupBox1, QStringLiteral("ldecalv"), QString(), 16, 70);
    edecv = makeAdjustmentField(GroupBox1, QStringLiteral("edecv"), QRect(168, 66, 65, 21));
    ui::makeLabel(GroupBox1, QStringLiteral("Label3"), QStringLiteral("mm"), 240, 70);
    edech->installEventFilter(this);
    ldecalh->setBuddy(edech);
    ldecalv->setBuddy(edecv);
    edecv->installEventFilter(this);

    // The language is kept in the settings file only: nothing shows this group.
    glangue = ui::makeGroup(this, QStringLiteral("glangue"), QString(), QRect(96, 152, 345, 80));
    Image1 = makePicture(glangue, QStringLiteral("Image1"), QRect(16, 22, 30, 20), frenchFlag());
    lfrancais = new QRadioButton(QStringLiteral("Français"), glangue);
    lfrancais->setObjectName(QStringLiteral("lfrancais"));
    lfrancais->adjustSize();
    lfrancais->move(56, 24);
    Image2 = makePicture(glangue, QStringLiteral("Image2"), QRect(16, 52, 30, 20), britishFlag());
    langlais = new QRadioButton(QStringLiteral("English"), glangue);
    langlais->setObjectName(QStringLiteral("langlais"));
    langlais->adjustSize();
    langlais->move(56, 54);
    Image1->installEventFilter(this);
    Image2->installEventFilter(this);
    glangue->hide();

    // The stakes have a dialog of their own, kept beside the settings.
    bmises = ui::makeButton(this, QStringLiteral("bmises"), QString(), QRect(96, 160, 160, 33));
    connect(bmises, &QPushButton::clicked, this, [this] {
        if (stakesDialog_)
            stakesDialog_->exec();
    });

    bok = ui::makeButton(this, QStringLiteral("bok"), QStringLiteral("OK"), QRect(183, 242, 89, 33));
    QFont bold = bok->font();
    bold.setBold(true);
    bok->setFont(bold);
    bok->setDefault(true);
    connect(bok, &QPushButton::clicked, this, &Tfparametre::bokClick);

    FormCreate();
}

void Tfparametre::FormCreate()
{
    edech->setText(QString::number(settings_.horizontalAdjustment).left(kShownAdjustmentLength));
    edecv->setText(QString::number(settings_.verticalAdjustment).left(kShownAdjustmentLength));
    if (settings_.interfaceLanguage == 1)
        lfrancais->setChecked(true);
    else if (settings_.interfaceLanguage == 2)
        langlais->setChecked(true);
    applyLanguageTexts();
}

void Tfparametre::applyLanguageTexts()
{
    const bool english = settings_.interfaceLanguage == 2;
    setWindowTitle(english ? QStringLiteral("Parameters") : QStringLiteral("Paramètres"));
    GroupBox1->setTitle(english ? QStringLiteral("Printer") : QStringLiteral("Imprimante"));
    ldecalh->setText(english ? QStringLiteral("horizontal adj.") : QStringLiteral("ajustement horizontal"));
    ldecalv->setText(english ? QStringLiteral("vertical adj.") : QStringLiteral("ajustement vertical"));
    glangue->setTitle(english ? QStringLiteral("Language") : QStringLiteral("Langue"));
    bmises->setText(english ? QStringLiteral("Stakes...") : QStringLiteral("Mises..."));
    ldecalh->adjustSize();
    ldecalv->adjustSize();
}

// The fields are not reloaded: they show what was left in them, applied or not.
void Tfparametre::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    applyLanguageTexts();
}

void Tfparametre::bokClick()
{
    settings_.horizontalAdjustment = leadingIntegerValue(edech->text());
    settings_.verticalAdjustment = leadingIntegerValue(edecv->text());
    // With neither button checked (a language other than 1 or 2 in the file) the stored value
    // is kept.
    if (lfrancais->isChecked())
        settings_.interfaceLanguage = 1;
    else if (langlais->isChecked())
        settings_.interfaceLanguage = 2;
    accept();
}

bool Tfparametre::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == Image1)
            lfrancais->setChecked(true);
        else if (watched == Image2)
            langlais->setChecked(true);
    } else if (event->type() == QEvent::KeyPress && (watched == edech || watched == edecv)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Backspace)
            return true;
        // Keys that type nothing (Delete, arrows, Enter, Escape) and shortcuts go through;
        // what a paste brings still meets the field's validator.
        const QString typed = key->text();
        const bool control = typed.isEmpty() || typed.front().category() == QChar::Other_Control;
        if (control || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
            return false;
        return !adjustmentKeyAllowed(static_cast<const QLineEdit *>(watched), typed);
    }
    return QDialog::eventFilter(watched, event);
}

// A sign or a digit, while the field (its selection typed over) holds fewer than five characters.
bool Tfparametre::adjustmentKeyAllowed(const QLineEdit *field, const QString &typed) const
{
    if (typed.size() != 1 || !kAdjustmentCharacters.contains(typed.front()))
        return false;
    return field->text().size() - field->selectedText().size() < kTypedAdjustmentLength;
}

} // namespace mvx
