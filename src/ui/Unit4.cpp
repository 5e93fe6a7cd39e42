#include "ui/Unit4.h"

#include "model/outside_links.h"
#include "ui/common_widgets.h"
#include "ui/program_icon.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace mvx {

namespace {

QFont sansSerif(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

Tapropos::Tapropos(Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , platform_(platform)
{
    QFont system(QStringLiteral("System"));
    system.setPixelSize(13);
    ui::setUpWindow(this, QStringLiteral("apropos"), QSize(465, 279), system);
    setWindowTitle(QStringLiteral("A propos"));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setGeometry(8, 8, 449, 209);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(10, 10, 63, 59);
    ProgramIcon->setAlignment(Qt::AlignCenter);
    ProgramIcon->setPixmap(ui::programIcon().pixmap(QSize(56, 56)));

    ProductName = ui::makeLabel(Panel1, QStringLiteral("ProductName"), QStringLiteral("MAROVELLIX+"), 92, 18);
    ProductName->setFont(sansSerif(16, true));
    QPalette black = ProductName->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    ProductName->setPalette(black);
    ProductName->adjustSize();

    QLabel *versionCaption = ui::makeLabel(Panel1, QStringLiteral("Label1"), QStringLiteral("Version"), 92, 46);
    versionCaption->setFont(sansSerif(11, false));
    versionCaption->adjustSize();
    lversion = new QLabel(Panel1);
    lversion->setObjectName(QStringLiteral("lversion"));
    lversion->setFont(sansSerif(11, true));
    lversion->setGeometry(versionCaption->geometry().right() + 6, 46, 80, versionCaption->height());

    const QString site = programSiteAddress();
    const QString lines[] = {
        QStringLiteral("Marovellix+ : aide au jeu du tiercé, du quarté+, du quinté+ et du couplé"),
        QStringLiteral("Questions et suggestions : par la page de contact du site"),
        QStringLiteral("<a href=\"%1\">%1</a>").arg(site.toHtmlEscaped()),
    };
    int top = 100;
    for (int i = 0; i < 3; ++i) {
        auto *line = new QLabel(lines[i], Panel1);
        line->setObjectName(QStringLiteral("Comments%1").arg(i + 1));
        line->setAlignment(Qt::AlignHCenter);
        line->setGeometry(4, top, 441, 20);
        top += 26;
        if (i == 2) {
            line->setTextFormat(Qt::RichText);
            line->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
            connect(line, &QLabel::linkActivated, this, [this](const QString &link) { platform_.openInBrowser(link); });
        }
    }

    OKButton = ui::makeButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"), QRect(188, 232, 89, 33));
    QFont bold = OKButton->font();
    bold.setBold(true);
    OKButton->setFont(bold);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void Tapropos::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    FormShow();
}

void Tapropos::FormShow()
{
    lversion->setText(QStringLiteral("1.35"));
    // The box opens on "OK"; the site's link is the next Tab stop.
    OKButton->setFocus(Qt::OtherFocusReason);
}

} // namespace mvx
