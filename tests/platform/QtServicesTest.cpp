#include "QtServicesTest.h"

#include "MessageBoxService.h"
#include "QtFileDialog.h"
#include "QtMessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
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

// Types name into the dialog's file name box in directory dir and presses the accepting
// button. (selectFile() leaves the box alone while it has the focus.)
void ChooseFile(QFileDialog* dialog, const QString& dir, const QString& name)
{
    dialog->setDirectory(dir);
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->setText(name);
    // Through QDialog, where accept() is public; it runs the file dialog's own checks.
    static_cast<QDialog*>(dialog)->accept();
}

const QString PresetFilter = QStringLiteral("Korvane Presets (*.pre]|*.pre|");
} // namespace

void QtServicesTest::messageBoxShowsTypeAndReturnsAnswer_data()
{
    QTest::addColumn<unsigned>("type");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("answer");

    const int okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    QTest::newRow("error") << (Mb::Ok | Mb::IconHand) << int(QMessageBox::Critical)
                           << int(QMessageBox::Ok) << int(QMessageBox::Ok) << Id::Ok;
    QTest::newRow("warning") << (Mb::Ok | Mb::IconExclamation) << int(QMessageBox::Warning)
                             << int(QMessageBox::Ok) << int(QMessageBox::Ok) << Id::Ok;
    QTest::newRow("no icon") << Mb::Ok << int(QMessageBox::NoIcon) << int(QMessageBox::Ok)
                             << int(QMessageBox::Ok) << Id::Ok;
    QTest::newRow("question yes") << (Mb::YesNo | Mb::IconQuestion) << int(QMessageBox::Question)
                                  << yesNo << int(QMessageBox::Yes) << Id::Yes;
    QTest::newRow("question no") << (Mb::YesNo | Mb::IconQuestion) << int(QMessageBox::Question)
                                 << yesNo << int(QMessageBox::No) << Id::No;
    QTest::newRow("ok cancel") << (Mb::OkCancel | Mb::IconAsterisk) << int(QMessageBox::Information)
                               << okCancel << int(QMessageBox::Cancel) << Id::Cancel;
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
    for (const char* name : {"a.pre", "b.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    bool opening = false;
    QStringList patterns;
    QString shownFilter;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        opening = dialog->acceptMode() == QFileDialog::AcceptOpen;
        if (const auto* model = dialog->findChild<QFileSystemModel*>())
            patterns = model->nameFilters();
        if (const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            shownFilter = types->currentText();
        ChooseFile(dialog, dir.path(), QStringLiteral("a.pre"));
    });
    CQtFileDialog service;
    const QString path = service.Run({true, QStringLiteral("*.pre"), {}, PresetFilter, nullptr});

    QVERIFY(opening);
    QCOMPARE(patterns, QStringList{QStringLiteral("*.pre")});
    QCOMPARE(shownFilter, QStringLiteral("Korvane Presets (*.pre]"));
    QCOMPARE(path, dir.filePath(QStringLiteral("a.pre")));
}

void QtServicesTest::saveDialogAddsDefaultExtension()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    bool saving = false;
    QString proposed;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        saving = dialog->acceptMode() == QFileDialog::AcceptSave;
        if (const auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            proposed = name->text();
        ChooseFile(dialog, dir.path(), QStringLiteral("MyBanks"));
    });
    CQtFileDialog service;
    const QString path = service.Run({false, QStringLiteral("*.htm"), QStringLiteral("Untitled"),
                                      QStringLiteral("HTML files (*.htm)|*.htm|"), nullptr});

    QVERIFY(saving);
    QCOMPARE(proposed, QStringLiteral("Untitled"));
    QCOMPARE(path, dir.filePath(QStringLiteral("MyBanks.htm")));
}

void QtServicesTest::cancelledDialogReturnsNothing()
{
    bool shown = false;
    WhenModalOpens([&](QWidget* modal) {
        shown = qobject_cast<QFileDialog*>(modal) != nullptr;
        modal->close();
    });
    CQtFileDialog service;
    QCOMPARE(service.Run({true,
                          QStringLiteral("*.mid"),
                          {},
                          QStringLiteral("MIDI files (*.mid)|*.mid|"),
                          nullptr}),
             QString());
    QVERIFY(shown);
}
