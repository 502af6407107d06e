#include "QtServicesTest.h"

#include "MessageBoxService.h"
#include "QtFileDialog.h"
#include "QtMessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
// Runs act on the first modal dialog that opens within five seconds. act must close it;
// checks go into variables that the test looks at after the dialog has returned.
void WhenModalOpens(const std::function<void(QWidget*)>& act)
{
    auto* timer = new QTimer;
    auto* deadline = new QElapsedTimer;
    deadline->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && deadline->elapsed() < 5000)
            return;
        timer->stop();
        timer->deleteLater();
        delete deadline;
        if (modal)
            act(modal);
    });
    timer->start(20);
}

// What a file dialog showed before the test typed a name into it.
struct SeenFileDialog
{
    bool shown = false;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList patterns;
    QString filterText;
    QString proposedName;
    // What the line under the dialog said once name was the dialog's current file.
    QString description;
};

// Runs the Qt file dialog service on request, types name into the dialog's file name box
// in directory dir and presses the accepting button. (selectFile() would leave the box
// alone while it has the focus.)
QString RunFileDialog(const FileDialogRequest& request, const QString& dir, const QString& name,
                      SeenFileDialog& seen)
{
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!dialog || !edit) {
            modal->close();
            return;
        }
        seen.shown = true;
        seen.mode = dialog->acceptMode();
        if (const auto* model = dialog->findChild<QFileSystemModel*>())
            seen.patterns = model->nameFilters();
        if (const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            seen.filterText = types->currentText();
        seen.proposedName = edit->text();
        dialog->setDirectory(dir);
        edit->setText(name);
        emit dialog->currentChanged(QDir(dir).filePath(name));
        if (const auto* line = dialog->findChild<QLabel*>(QStringLiteral("fileDescription")))
            seen.description = line->text();
        // Through QDialog, where accept() is public; it runs the file dialog's own checks.
        static_cast<QDialog*>(dialog)->accept();
    });
    CQtFileDialog service;
    return service.Run(request);
}
} // namespace

void QtServicesTest::messageBoxShowsTypeAndReturnsAnswer_data()
{
    QTest::addColumn<unsigned>("type");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("answer");

    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    QTest::newRow("error") << (Mb::Ok | Mb::IconHand) << int(QMessageBox::Critical)
                           << int(QMessageBox::Ok) << int(QMessageBox::Ok) << Id::Ok;
    QTest::newRow("no icon") << Mb::Ok << int(QMessageBox::NoIcon) << int(QMessageBox::Ok)
                             << int(QMessageBox::Ok) << Id::Ok;
    QTest::newRow("question no") << (Mb::YesNo | Mb::IconQuestion) << int(QMessageBox::Question)
                                 << yesNo << int(QMessageBox::No) << Id::No;
}

void QtServicesTest::messageBoxShowsTypeAndReturnsAnswer()
{
    QFETCH(unsigned, type);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, click);
    QFETCH(int, answer);

    QString title, text;
    int shownIcon = -1, shownButtons = 0;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        title = box->windowTitle();
        text = box->text();
        shownIcon = box->icon();
        shownButtons = int(box->standardButtons());
        if (QAbstractButton* button = box->button(QMessageBox::StandardButton(click)))
            button->click();
        else
            box->reject();
    });
    CQtMessageBox service;
    const int result = service.Show(nullptr, QStringLiteral("Please select a bank !"),
                                    QStringLiteral("Warning"), type);

    QCOMPARE(title, QStringLiteral("Warning"));
    QCOMPARE(text, QStringLiteral("Please select a bank !"));
    QCOMPARE(shownIcon, icon);
    QCOMPARE(shownButtons, buttons);
    QCOMPARE(result, answer);
}

void QtServicesTest::openDialogFiltersByPatternAndReturnsFullPath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("a.pre")));
    QVERIFY(file.open(QIODevice::WriteOnly));

    SeenFileDialog seen;
    const QString path = RunFileDialog({true,
                                        QStringLiteral("*.pre"),
                                        {},
                                        QStringLiteral("Korvane Presets (*.pre]|*.pre|"),
                                        nullptr},
                                       dir.path(), QStringLiteral("a.pre"), seen);
    QVERIFY(seen.shown);
    QCOMPARE(seen.mode, QFileDialog::AcceptOpen);
    QCOMPARE(seen.patterns, QStringList{QStringLiteral("*.pre")});
    QCOMPARE(seen.filterText, QStringLiteral("Korvane Presets (*.pre]"));
    QCOMPARE(path, file.fileName());
    QCOMPARE(seen.description, QString());
}

// The line the request describes a file with follows the dialog's current file.
void QtServicesTest::openDialogDescribesTheCurrentFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("a.pre")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    FileDialogRequest request;
    request.describeFile = [](const QString& path) { return QFileInfo(path).fileName() + " fits"; };
    SeenFileDialog seen;
    RunFileDialog(request, dir.path(), QStringLiteral("a.pre"), seen);
    QCOMPARE(seen.description, QStringLiteral("a.pre fits"));
}

void QtServicesTest::saveDialogAddsDefaultExtension()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SeenFileDialog seen;
    const QString path = RunFileDialog({false, QStringLiteral("*.htm"), QStringLiteral("Untitled"),
                                        QStringLiteral("HTML files (*.htm)|*.htm|"), nullptr},
                                       dir.path(), QStringLiteral("MyBanks"), seen);
    QCOMPARE(seen.mode, QFileDialog::AcceptSave);
    QCOMPARE(seen.proposedName, QStringLiteral("Untitled"));
    QCOMPARE(path, dir.filePath(QStringLiteral("MyBanks.htm")));
}
