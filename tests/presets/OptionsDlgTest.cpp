// The Options dialog as the user works it: the check box that locks the preset box, Browse,
// OK that refuses a preset file it cannot read, Cancel, and what OK puts in the options.
#include "OptionsDlg.h"
#include "CardChoice.h"
#include "DialogBuilder.h"
#include "ExecutableDir.h"
#include "FlatButton.h"
#include "NativePath.h"
#include "Options.h"
#include "RecordingMessageBox.h"
#include "ScriptedFileDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_BROWSE = 3;
constexpr int IDC_TRAY_ICON = 1002;
constexpr int IDC_STANDARD_DISPLAY = 1005;
constexpr int IDC_LOAD_PRESET = 1028;
constexpr int IDC_PRESET_FILE = 1031;
constexpr int IDC_SIMULATED_CARD = 1050;
constexpr int IDC_FLUIDSYNTH_CARD = 1051;
constexpr int IDC_SERVER_ADDRESS = 1052;
constexpr int IDC_MEMORY_BUDGET = 1053;

template <typename Widget> Widget* Item(const QWidget* dialog, int id)
{
    return qobject_cast<Widget*>(CDialogBuilder::GetDlgItem(dialog, id));
}

COptions MakeOptions(const QString& startupPreset, uint32_t display)
{
    COptions options;
    options.SetStartupPreset(startupPreset);
    options.SetDisplay(display);
    return options;
}

} // namespace

class OptionsDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithTheOptionsInForce_data();
    void opensWithTheOptionsInForce();
    void clearingTheCheckBoxEmptiesAndLocksThePresetBox();
    void browseFillsTheBoxOnlyWhileTheCheckBoxIsSet();
    void okRefusesAPresetFileThatCannotBeRead_data();
    void okRefusesAPresetFileThatCannotBeRead();
    void okChecksThePathTypedLastAndKeepsItAbsolute();
    void okPutsTheChoicesInTheOptions();
    void okKeepsTheBytesOfANameThatIsNotUtf8();
    void cancelEndsWithoutTouchingTheOptions();
    void theSynthesizerChoiceIsCheckedThenKeptInTheSettings();

private:
    QString Preset(const QString& name) const;
    // A dialog filled from the options and on screen, as the main window opens it.
    std::unique_ptr<COptionsDlg> Open(const COptions& options);
    static void Click(const QWidget* dialog, int id);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CRecordingMessageBox> m_messages;
};

void OptionsDlgTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages = std::make_unique<CRecordingMessageBox>();
    // Options saved by a test go to the temporary directory.
    CExecutableDir::Override(m_dir->path());
    qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toLocal8Bit());
}

void OptionsDlgTest::cleanup()
{
    CExecutableDir::Override(QString());
    m_messages.reset();
    m_dir.reset();
}

QString OptionsDlgTest::Preset(const QString& name) const
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.exists()) {
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(16, '\0'));
    }
    return path;
}

std::unique_ptr<COptionsDlg> OptionsDlgTest::Open(const COptions& options)
{
    auto dialog = std::make_unique<COptionsDlg>();
    dialog->FromOptions(options);
    dialog->OnInitDialog();
    dialog->show();
    return dialog;
}

void OptionsDlgTest::Click(const QWidget* dialog, int id)
{
    auto* button = Item<QAbstractButton>(dialog, id);
    QVERIFY2(button, qPrintable(QString::number(id)));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

void OptionsDlgTest::opensWithTheOptionsInForce_data()
{
    QTest::addColumn<bool>("withPreset");
    QTest::addColumn<uint32_t>("display");
    QTest::newRow("no preset, window") << false << COptions::DisplayStandard;
    QTest::newRow("preset, tray icon") << true << COptions::DisplayTrayIcon;
}

void OptionsDlgTest::opensWithTheOptionsInForce()
{
    QFETCH(bool, withPreset);
    QFETCH(uint32_t, display);
    const QString preset = withPreset ? Preset("boot.pre") : QString();
    auto dialog = Open(MakeOptions(preset, display));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Options"));
    QCOMPARE(Item<QCheckBox>(dialog.get(), IDC_LOAD_PRESET)->isChecked(), withPreset);
    const auto* box = Item<QLineEdit>(dialog.get(), IDC_PRESET_FILE);
    QCOMPARE(box->text(), preset);
    QCOMPARE(box->isReadOnly(), !withPreset);
    const bool tray = display == COptions::DisplayTrayIcon;
    QCOMPARE(Item<QRadioButton>(dialog.get(), IDC_TRAY_ICON)->isChecked(), tray);
    QCOMPARE(Item<QRadioButton>(dialog.get(), IDC_STANDARD_DISPLAY)->isChecked(), !tray);
    const auto* browse = Item<CFlatButton>(dialog.get(), IDC_BROWSE);
    QVERIFY(browse);
    QVERIFY(browse->HasImage());
    QCOMPARE(browse->ImageSize(), QSize(19, 16));
}

void OptionsDlgTest::clearingTheCheckBoxEmptiesAndLocksThePresetBox()
{
    auto dialog = Open(MakeOptions(Preset("boot.pre"), COptions::DisplayStandard));
    auto* box = Item<QLineEdit>(dialog.get(), IDC_PRESET_FILE);
    const QColor editable = box->palette().color(QPalette::Base);
    Click(dialog.get(), IDC_LOAD_PRESET);
    QVERIFY(!Item<QCheckBox>(dialog.get(), IDC_LOAD_PRESET)->isChecked());
    QCOMPARE(box->text(), QString());
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->palette().color(QPalette::Base), dialog->palette().color(QPalette::Window));
    // Setting it again unlocks the box, still empty.
    Click(dialog.get(), IDC_LOAD_PRESET);
    QCOMPARE(box->text(), QString());
    QVERIFY(!box->isReadOnly());
    QCOMPARE(box->palette().color(QPalette::Base), editable);
    QTest::keyClicks(box, "typed.pre");
    QCOMPARE(box->text(), QStringLiteral("typed.pre"));
}

void OptionsDlgTest::browseFillsTheBoxOnlyWhileTheCheckBoxIsSet()
{
    auto dialog = Open(MakeOptions(QString(), COptions::DisplayStandard));
    auto* box = Item<QLineEdit>(dialog.get(), IDC_PRESET_FILE);
    CScriptedFileDialog files;
    const QString chosen = Preset("chosen.pre");
    files.Script(chosen);
    Click(dialog.get(), IDC_BROWSE);
    QVERIFY(files.Requests().empty());
    QCOMPARE(box->text(), QString());

    Click(dialog.get(), IDC_LOAD_PRESET);
    Click(dialog.get(), IDC_BROWSE);
    QCOMPARE(files.Requests().size(), size_t{1});
    const FileDialogRequest& request = files.Requests()[0];
    QVERIFY(request.open);
    QCOMPARE(request.defaultExt, QStringLiteral("*.pre"));
    QCOMPARE(request.filter, QStringLiteral("Korvane Presets (*.pre]|*.pre|"));
    QCOMPARE(request.fileName, QString());
    QVERIFY(request.parent == nullptr);
    QCOMPARE(box->text(), chosen);

    // Cancelling the file dialog keeps what the box holds.
    Click(dialog.get(), IDC_BROWSE);
    QCOMPARE(files.Requests().size(), size_t{2});
    QCOMPARE(box->text(), chosen);
}

void OptionsDlgTest::okRefusesAPresetFileThatCannotBeRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty box") << QString();
    QTest::newRow("missing file") << QStringLiteral("gone.pre");
    QTest::newRow("a directory") << QStringLiteral(".");
    // Opening it to read would wait for a writer: the dialog would hang.
    QTest::newRow("a FIFO") << QStringLiteral("fifo");
}

void OptionsDlgTest::okRefusesAPresetFileThatCannotBeRead()
{
    QFETCH(QString, name);
    if (name == QStringLiteral("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir->filePath(name)).constData(), 0600), 0);
    auto dialog = Open(MakeOptions(Preset("boot.pre"), COptions::DisplayStandard));
    auto* box = Item<QLineEdit>(dialog.get(), IDC_PRESET_FILE);
    box->setText(name.isEmpty() ? name : m_dir->filePath(name));
    Click(dialog.get(), IDOK);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(m_messages->Calls().size(), size_t{1});
    const CRecordingMessageBox::Call& message = m_messages->Calls()[0];
    QCOMPARE(message.text, QStringLiteral("Selected preset file can not be used."));
    QCOMPARE(message.caption, QStringLiteral("Korvane options"));
    QCOMPARE(message.type, 0u);
    QCOMPARE(message.owner, static_cast<QWidget*>(dialog.get()));
}

void OptionsDlgTest::okChecksThePathTypedLastAndKeepsItAbsolute()
{
    // The box held a readable file when the check box was last clicked; the path typed
    // afterwards is the one checked.
    auto dialog = Open(MakeOptions(QString(), COptions::DisplayStandard));
    Click(dialog.get(), IDC_LOAD_PRESET);
    auto* box = Item<QLineEdit>(dialog.get(), IDC_PRESET_FILE);
    box->setText(m_dir->filePath("typo.pre"));
    Click(dialog.get(), IDOK);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_messages->Calls().size(), size_t{1});

    // A name relative to the current directory is kept with that directory.
    const QString preset = Preset("relative.pre");
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    box->setText(QStringLiteral("relative.pre"));
    Click(dialog.get(), IDOK);
    QDir::setCurrent(previous);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->PresetFile(), QFileInfo(preset).absoluteFilePath());
    QCOMPARE(m_messages->Calls().size(), size_t{1});
}

void OptionsDlgTest::okKeepsTheBytesOfANameThatIsNotUtf8()
{
    const QByteArray native = QFile::encodeName(m_dir->path()) + "/odd copy\xff.pre";
    QFile file;
    QVERIFY(file.open(::creat(native.constData(), 0600), QIODevice::WriteOnly,
                      QFileDevice::AutoCloseHandle));
    file.close();
    auto dialog = Open(MakeOptions(CNativePath::Decode(native), COptions::DisplayStandard));
    Click(dialog.get(), IDOK);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(CNativePath::Encode(dialog->PresetFile()), native);
    QVERIFY(m_messages->Calls().empty());
}

void OptionsDlgTest::okPutsTheChoicesInTheOptions()
{
    const QString preset = Preset("boot.pre");
    COptions options = MakeOptions(preset, COptions::DisplayStandard);
    QVERIFY(options.Save());
    QVERIFY(!options.IsChanged());
    // OK without a change still marks the options changed.
    auto unchanged = Open(options);
    Click(unchanged.get(), IDOK);
    QCOMPARE(unchanged->result(), int(QDialog::Accepted));
    unchanged->ToOptions(options);
    QVERIFY(options.IsChanged());
    QCOMPARE(options.GetStartupPreset(), preset);
    QCOMPARE(options.GetDisplay(), COptions::DisplayStandard);

    // A clear check box drops the preset whatever the box held; the tray icon is chosen.
    auto changed = Open(options);
    Click(changed.get(), IDC_LOAD_PRESET);
    Click(changed.get(), IDC_TRAY_ICON);
    Click(changed.get(), IDOK);
    QCOMPARE(changed->result(), int(QDialog::Accepted));
    QVERIFY(m_messages->Calls().empty());
    changed->ToOptions(options);
    QCOMPARE(options.GetStartupPreset(), QString());
    QCOMPARE(options.GetDisplay(), COptions::DisplayTrayIcon);
}

void OptionsDlgTest::cancelEndsWithoutTouchingTheOptions()
{
    const QString preset = Preset("boot.pre");
    auto dialog = Open(MakeOptions(preset, COptions::DisplayStandard));
    CScriptedFileDialog files;
    files.Script(Preset("other.pre"));
    Click(dialog.get(), IDC_BROWSE);
    Click(dialog.get(), IDC_TRAY_ICON);
    Click(dialog.get(), IDCANCEL);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(m_messages->Calls().empty());
}

void OptionsDlgTest::theSynthesizerChoiceIsCheckedThenKeptInTheSettings()
{
    CCardChoice choice(m_dir->filePath("korvane.conf"));
    auto dialog = std::make_unique<COptionsDlg>();
    dialog->FromOptions(MakeOptions(QString(), COptions::DisplayStandard));
    dialog->FromCardChoice(choice);
    dialog->OnInitDialog();
    dialog->show();
    auto* address = Item<QLineEdit>(dialog.get(), IDC_SERVER_ADDRESS);
    auto* budget = Item<QLineEdit>(dialog.get(), IDC_MEMORY_BUDGET);
    QVERIFY(Item<QRadioButton>(dialog.get(), IDC_SIMULATED_CARD)->isChecked());
    QCOMPARE(address->text(), QStringLiteral("127.0.0.1:9800"));
    QCOMPARE(budget->text(), QStringLiteral("1024"));
    QVERIFY(!address->isEnabled());

    Click(dialog.get(), IDC_FLUIDSYNTH_CARD);
    QVERIFY(address->isEnabled() && budget->isEnabled());
    address->setText(QStringLiteral("synth.local"));
    Click(dialog.get(), IDOK);
    budget->setText(QStringLiteral("4096"));
    address->setText(QStringLiteral(" synth.local:9900 "));
    Click(dialog.get(), IDOK);
    QVERIFY(dialog->isVisible());
    QCOMPARE(m_messages->Calls().size(), size_t{2});
    QCOMPARE(m_messages->Calls()[0].text,
             QStringLiteral("The FluidSynth server's address must be host:port, with a port from "
                            "1 to 65535."));
    QCOMPARE(m_messages->Calls()[1].text,
             QStringLiteral("The memory budget must be a whole number of megabytes from 1 to "
                            "4095."));

    budget->setText(QStringLiteral("512"));
    Click(dialog.get(), IDOK);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(dialog->ToCardChoice(choice));
    QCOMPARE(choice.CardKind(), CCardChoice::Kind::FluidSynth);
    QCOMPARE(choice.ServerAddress(), QStringLiteral("synth.local:9900"));
    QCOMPARE(choice.MemoryBudget(), 512u * 1024 * 1024);
    QVERIFY2(!dialog->ToCardChoice(choice), "the same choice again is no change");
}

QTEST_MAIN(OptionsDlgTest)
#include "OptionsDlgTest.moc"
