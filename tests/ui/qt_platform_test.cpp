#include "model/system_reason.h"
#include "ui/cups_queue.h"
#include "ui/long_work.h"
#include "ui/qt_platform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <thread>
#include <tuple>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using mvx::Platform;
using mvx::QtPlatform;

namespace {

// Runs `act` on the modal window that shows up while `ask` runs, so that a real dialog can be
// inspected and answered without anybody at the keyboard. A file dialog may still be loading its
// folder and ignore the first answer, so the answer is given again while the window stays; a
// window that never goes away is rejected after a few seconds, so a test fails instead of hanging.
template <typename Result>
Result answering(const std::function<void(QWidget *)> &act, const std::function<Result()> &ask)
{
    QTimer poll;
    poll.setInterval(10);
    QElapsedTimer shown;
    QElapsedTimer sinceAnswer;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (!shown.isValid())
            shown.start();
        if (shown.elapsed() > 5000) {
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            return;
        }
        if (!sinceAnswer.isValid() || sinceAnswer.elapsed() > 200) {
            sinceAnswer.start();
            act(modal);
        }
    });
    poll.start();
    return ask();
}

} // namespace

class QtPlatformTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nameFiltersInQtForm();
    void messageBoxesAnswerWithTheButtonPressed();
    void fileDialogsTakeTheirSettings();
    void qtTextsAreFrench();
    void saveDialogRefusesAMissingFolderAndRemembersTheFolder();
    void longWorkBlocksInputAndStopsOnAnnuler();
    void aPrintServerThatNeverAnswersIsToldFromNone();
};

void QtPlatformTest::nameFiltersInQtForm()
{
    QCOMPARE(
        mvx::qtNameFilters(QStringLiteral("Fichier texte (*.txt)|*.txt")), QStringLiteral("Fichier texte (*.txt)"));
    QCOMPARE(mvx::qtNameFilters(QStringLiteral("Marovellix+ (*.mvx)|*.mvx")), QStringLiteral("Marovellix+ (*.mvx)"));
    QCOMPARE(mvx::qtNameFilters(QStringLiteral("Textes|*.txt;*.csv|Tous|*.*")),
        QStringLiteral("Textes (*.txt *.csv);;Tous (*.*)"));
    QCOMPARE(mvx::qtNameFilters(QStringLiteral("|*.txt")), QStringLiteral("*.txt"));
}

void QtPlatformTest::messageBoxesAnswerWithTheButtonPressed()
{
    QtPlatform platform;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    auto press = [&](QMessageBox::StandardButton which) {
        return [&, which](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(which)->click();
        };
    };

    Platform::Answer answer = answering<Platform::Answer>(press(QMessageBox::No), [&] {
        return platform.message(QStringLiteral("Continuer quand même ?"), QStringLiteral("Fichier existant !!"),
            Platform::Buttons::YesNo, Platform::Icon::Question);
    });
    QCOMPARE(answer, Platform::Answer::No);
    QCOMPARE(title, QStringLiteral("Fichier existant !!"));
    QCOMPARE(text, QStringLiteral("Continuer quand même ?"));
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);

    // The count question breaks its lines with LF and CR; on screen both are line breaks.
    answer = answering<Platform::Answer>(press(QMessageBox::Yes), [&] {
        return platform.message(QStringLiteral("Votre sélection va générer \n6 tickets \r Voulez vous continuer ?"),
            QStringLiteral("Veuillez confirmer"), Platform::Buttons::YesNo, Platform::Icon::Question);
    });
    QCOMPARE(answer, Platform::Answer::Yes);
    QCOMPARE(text, QStringLiteral("Votre sélection va générer \n6 tickets \n Voulez vous continuer ?"));

    answer = answering<Platform::Answer>(press(QMessageBox::Cancel), [&] {
        return platform.message(QStringLiteral("Imprimer ?"), QStringLiteral("Impression"), Platform::Buttons::OkCancel,
            Platform::Icon::Warning);
    });
    QCOMPARE(answer, Platform::Answer::Cancel);
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);

    answer = answering<Platform::Answer>(press(QMessageBox::Ok), [&] {
        platform.inform(
            QStringLiteral("Les numeros saisis ne sont pas corrects"), QStringLiteral("Opération Impossible"));
        return Platform::Answer::Ok;
    });
    QCOMPARE(title, QStringLiteral("Opération Impossible"));
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // Escape on a question is No.
    answer = answering<Platform::Answer>([](QWidget *modal) { QTest::keyClick(modal, Qt::Key_Escape); },
        [&] {
            return platform.message(
                QStringLiteral("?"), QStringLiteral("?"), Platform::Buttons::YesNo, Platform::Icon::Question);
        });
    QCOMPARE(answer, Platform::Answer::No);
}

void QtPlatformTest::fileDialogsTakeTheirSettings()
{
    QTemporaryDir folder;
    QtPlatform platform;
    Platform::FileDialog request;
    request.title = QStringLiteral("Indiquer le nom du fichier à enregistrer");
    request.filter = QStringLiteral("Fichier texte (*.txt)|*.txt");
    request.defaultExtension = QStringLiteral("txt");

    QStringList filters;
    QString suffix, title;
    bool confirms = true;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    auto choose = [&](const QString &name) {
        return [&, name](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            mode = dialog->acceptMode();
            fileMode = dialog->fileMode();
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(folder.path());
            // Typed as a user would: selectFile() leaves the name box alone once it has the focus.
            auto *nameBox = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(nameBox);
            nameBox->setText(name);
            static_cast<QDialog *>(dialog)->accept();
        };
    };

    // The default extension is added to a bare name, no overwrite question.
    QString chosen
        = answering<QString>(choose(QStringLiteral("tickets")), [&] { return platform.saveFileName(request); });
    QCOMPARE(QFileInfo(chosen).absoluteFilePath(), QDir(folder.path()).filePath(QStringLiteral("tickets.txt")));
    QCOMPARE(title, request.title);
    QCOMPARE(filters, QStringList { QStringLiteral("Fichier texte (*.txt)") });
    QCOMPARE(suffix, QStringLiteral("txt"));
    QVERIFY(!confirms);
    QCOMPARE(mode, QFileDialog::AcceptSave);

    // An open dialog for an existing file; cancelling gives an empty name.
    request.fileMustExist = true;
    chosen = answering<QString>(choose(QString()), [&] { return platform.openFileName(request); });
    QVERIFY(chosen.isEmpty());
    QCOMPARE(mode, QFileDialog::AcceptOpen);
    QCOMPARE(fileMode, QFileDialog::ExistingFile);

    // The wait cursor nests like the program's requests.
    platform.setWaitCursor(true);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    platform.setWaitCursor(false);
    QVERIFY(!QApplication::overrideCursor());
}

void QtPlatformTest::qtTextsAreFrench()
{
    QVERIFY(mvx::installQtFrenchTranslation(*QCoreApplication::instance()));
    QMessageBox question(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Oui"));
    QCOMPARE(question.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Non"));
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    QCOMPARE(files.findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text().remove(QLatin1Char('&')),
        QStringLiteral("Nom de fichier :"));
    // The reason Qt gives for a full disk; a text that is no system reason stays as it is.
    QCOMPARE(mvx::frenchSystemReason(QStringLiteral("No space left on device")),
        QStringLiteral("Aucun espace disponible sur le disque"));
    QCOMPARE(mvx::frenchSystemReason(QStringLiteral("Disque plein")), QStringLiteral("Disque plein"));
}

void QtPlatformTest::saveDialogRefusesAMissingFolderAndRemembersTheFolder()
{
    QTemporaryDir folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QtPlatform platform;
    Platform::FileDialog tickets;
    tickets.filter = QStringLiteral("Fichier texte (*.txt)|*.txt");
    tickets.defaultExtension = QStringLiteral("txt");

    // The first dialog starts in the documents; a name in a folder that does not exist is
    // refused, and the dialog comes back with the name as typed; then a name in the folder.
    QString firstFolder, warning, title, nameAgain;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    auto act = [&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            std::tie(warning, title, icon) = std::tuple(box->text(), box->windowTitle(), box->icon());
            box->button(QMessageBox::Ok)->click();
            return;
        }
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        auto *nameBox = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (firstFolder.isEmpty()) {
            firstFolder = dialog->directory().absolutePath();
            dialog->setDirectory(folder.path());
            nameBox->setText(QStringLiteral("absent/tickets"));
        } else if (!warning.isEmpty()) {
            if (nameAgain.isEmpty())
                nameAgain = nameBox->text();
            nameBox->setText(QStringLiteral("tickets"));
        }
        static_cast<QDialog *>(dialog)->accept();
    };
    const QString chosen = answering<QString>(act, [&] { return platform.saveFileName(tickets); });
    QCOMPARE(firstFolder, QDir(QFileInfo(documents).isDir() ? documents : QDir::homePath()).absolutePath());
    QCOMPARE(QFileInfo(chosen).absoluteFilePath(), QDir(folder.path()).filePath(QStringLiteral("tickets.txt")));
    QCOMPARE(title, QStringLiteral("Fichier non sauvegardé !!"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(warning,
        "Le dossier n'existe pas :\n"
            + QDir::toNativeSeparators(QDir(folder.path()).filePath(QStringLiteral("absent"))));
    QCOMPARE(nameAgain, QStringLiteral("absent/tickets"));

    // A folder becomes the next dialog's only once a file was written there: until then the
    // next dialog for ticket files starts where it did.
    QString start;
    auto whereItStarts = [&] {
        answering<QString>(
            [&](QWidget *modal) {
                start = qobject_cast<QFileDialog *>(modal)->directory().absolutePath();
                qobject_cast<QDialog *>(modal)->reject();
            },
            [&] { return platform.saveFileName(tickets); });
        return start;
    };
    QCOMPARE(whereItStarts(), firstFolder);
    platform.fileSaved(chosen);
    QCOMPARE(whereItStarts(), QDir(folder.path()).absolutePath());
}

// Long work that would run for ever: input to the window is swallowed from the first moment,
// the progress dialog comes after its delay, modal, and "Annuler" stops the work. An exception
// of the work comes out of the call.
void QtPlatformTest::longWorkBlocksInputAndStopsOnAnnuler()
{
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("Générer"), &window);
    int clicks = 0;
    connect(button, &QPushButton::clicked, [&] { ++clicks; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    mvx::WorkProgress progress(1000);
    bool hiddenAtFirst = false;
    bool shownModal = false;
    QTimer::singleShot(50, [&] {
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);
        const auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
        hiddenAtFirst = dialog && !dialog->isVisible();
    });
    QTimer::singleShot(400, [&] {
        auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
        shownModal = dialog && dialog->isVisible() && dialog->windowModality() == Qt::ApplicationModal
            && dialog->labelText() == QStringLiteral("Génération des tickets...");
        if (auto *annuler = dialog ? dialog->findChild<QPushButton *>() : nullptr) {
            QCOMPARE(annuler->text(), QStringLiteral("Annuler"));
            QTest::mouseClick(annuler, Qt::LeftButton);
        }
    });
    QElapsedTimer clock;
    clock.start();
    mvx::ui::runWithProgress(
        &window, QStringLiteral("Génération des tickets..."), progress,
        [&] {
            for (std::uint64_t done = 0; !progress.stopRequested() && clock.elapsed() < 5000; ++done) {
                progress.setDone(done % 1000);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        },
        200);
    QVERIFY(progress.stopRequested());
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY(hiddenAtFirst);
    QVERIFY(shownModal);
    QCOMPARE(clicks, 0);
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    mvx::WorkProgress failing(1);
    bool thrown = false;
    try {
        mvx::ui::runWithProgress(&window, QStringLiteral("x"), failing, [] { throw std::bad_alloc(); });
    } catch (const std::bad_alloc &) {
        thrown = true;
    }
    QVERIFY(thrown);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 1);
}

// A print server that takes the connection and never answers is "silent", one that is not
// there "absent", and neither holds the caller beyond the wait it was given. The print system
// reads where its server is once per thread, so each question is asked on a thread of its own.
void QtPlatformTest::aPrintServerThatNeverAnswersIsToldFromNone()
{
    // The kernel completes the connections to a listening socket; nothing ever reads them.
    const int hung = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(hung, reinterpret_cast<sockaddr *>(&address), length) == 0 && ::listen(hung, 16) == 0);
    QVERIFY(::getsockname(hung, reinterpret_cast<sockaddr *>(&address), &length) == 0);
    const int port = ntohs(address.sin_port);
    const QByteArray previous = qgetenv("CUPS_SERVER");
    auto askOnAThread = [](auto question) {
        decltype(question()) answer {};
        std::thread([&] { answer = question(); }).join();
        return answer;
    };
    qputenv("CUPS_SERVER", "127.0.0.1:" + QByteArray::number(port));
    const mvx::cups::Printers printers = askOnAThread([] { return mvx::cups::listPrinters(600); });
    QCOMPARE(printers.answer, mvx::cups::Answer::Silent);
    QVERIFY(printers.names.isEmpty());
    QCOMPARE(askOnAThread([] { return mvx::cups::queueState(QStringLiteral("pdf"), 600); }).answer,
        mvx::cups::Answer::Silent);
    QCOMPARE(askOnAThread([] { return mvx::cups::findJob(QStringLiteral("pdf"), 0, {}, 600); }).answer,
        mvx::cups::Answer::Silent);
    // "Annuler" ends a wait of a minute long before its end.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(askOnAThread([] { return mvx::cups::listPrinters(60000, [] { return true; }); }).answer,
        mvx::cups::Answer::Silent);
    QVERIFY(clock.elapsed() < 30000);

    ::close(hung);
    QCOMPARE(askOnAThread([] { return mvx::cups::listPrinters(600); }).answer, mvx::cups::Answer::Absent);
    QCOMPARE(mvx::cups::queueName(QStringLiteral("pdf/brouillon")), QStringLiteral("pdf"));
    if (previous.isNull())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", previous);
}

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
