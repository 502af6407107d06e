// The bank list and the Bank menu in the main window as the user sees them: the rows, the
// memory figures and gauge after each command, priorities edited in place, and the card's
// own state after each step.
#include "BankFileWriter.h"
#include "Commands.h"
#include "ContentsDlg.h"
#include "DialogBuilder.h"
#include "MenuBuilder.h"
#include "ScriptedFileDialog.h"
#include "TblCellArea.h"
#include "TblChildWindow.h"
#include "TblEditWnd.h"
#include "WindowTestBed.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <clocale>
#include <utility>

namespace {

constexpr uint32_t kMiB = 1024 * 1024;

QString StaticText(const QWidget* window, int id)
{
    const auto* label = qobject_cast<const QLabel*>(CDialogBuilder::GetDlgItem(window, id));
    return label ? label->text() : QStringLiteral("<no static %1>").arg(id);
}

QStringList Row(CBankGrid& grid, long row)
{
    QStringList texts;
    for (int col = 0; col < CBankGrid::ColumnCount; ++col) {
        QString text;
        grid.GetCellText(col, row, text);
        texts << text;
    }
    return texts;
}

const QStringList kEmptyRow = {"", "", "", ""};

QPoint CellCentre(CBankGrid& grid, int col, long row)
{
    QRect rect;
    return grid.VisibleCellRect(col, row, rect) ? rect.center() : QPoint(-1, -1);
}

// Chooses a command from the window's menu bar, as the user does.
void Choose(CKorvaneDlg& window, int command)
{
    QAction* action = CMenuBuilder::FindCommand(window.MenuBar(), command);
    QVERIFY2(action, qPrintable(QString::number(command)));
    action->trigger();
}

// A key pressed where the keyboard focus is, as a user without a mouse does.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
}

void Type(char ch)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, ch);
}

void DoubleClick(CBankGrid& grid, int col, long row)
{
    const QPoint at = CellCentre(grid, col, row);
    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid.GetCellArea(), Qt::LeftButton, {}, at);
}

} // namespace

class BankWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadedBanksFillTheirRowsAndTheFigures();
    void ninthLoadIsRefusedBeforeTheDialogOpens();
    void cancelledOrFailedLoadLeavesTheList();
    void unloadedBankLeavesAGapThatTheNextLoadFills();
    void unloadSelectedBankNeedsABankInTheCurrentRow();
    void deleteKeyUnloadsWhereverTheFocusIs_data();
    void deleteKeyUnloadsWhereverTheFocusIs();
    void deleteInThePriorityEditorOnlyEditsTheText();
    void listFollowsAnotherProgramAndDeleteUnloadsOnlyWhatWasSeen();
    void largeCardDarkThemeAndHeadingsLookWhole();
    void unloadAllEmptiesTheCardWithoutAsking();
    void doubleClickEditsOnlyTheLoadedPriority();
    void priorityEditorTakesDigitsAndHoldsAt127();
    void enterAndTabCarryTheEditOn();
    void keyboardAloneEditsAPriorityReachesTheButtonsAndQuits();
    void columnBordersAndHeadingCannotBeDragged();
    void cardWithoutMemoryShowsAnEmptyGauge();
    void contentsFollowTheCardAndAskForAuditions();
    void loadDialogSaysWhetherTheFileFits();

private:
    QString WriteBank(const QString& name, uint32_t size);
    void Load(CKorvaneDlg& window, const QString& path);
    // Starts the window and loads one bank per name, each of the given size.
    std::unique_ptr<CKorvaneDlg> StartWithBanks(const QStringList& names, uint32_t size = 4096);
    SynthStatus CardStatus();
    int32_t CardPriority(uint32_t id);

    std::unique_ptr<CWindowTestBed> m_bed;
    std::unique_ptr<CScriptedFileDialog> m_files;
};

void BankWindowTest::init()
{
    m_bed = std::make_unique<CWindowTestBed>();
    QVERIFY2(m_bed->Problem().isEmpty(), qPrintable(m_bed->Problem()));
    m_files = std::make_unique<CScriptedFileDialog>();
}

void BankWindowTest::cleanup()
{
    m_files.reset();
    m_bed.reset();
}

QString BankWindowTest::WriteBank(const QString& name, uint32_t size)
{
    const QString path = m_bed->Path(name + ".94b");
    CBankFileWriter bank(name.toStdString());
    bank.AddInstrument(0, 0);
    bank.SetSize(size);
    std::string error;
    if (!bank.Write(path.toStdString(), &error))
        qWarning("bank %s not written: %s", qPrintable(name), error.c_str());
    return path;
}

void BankWindowTest::Load(CKorvaneDlg& window, const QString& path)
{
    m_files->Script(path);
    Choose(window, Command::LoadBank);
}

std::unique_ptr<CKorvaneDlg> BankWindowTest::StartWithBanks(const QStringList& names, uint32_t size)
{
    auto window = m_bed->StartWindow();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the main window did not become active");
    for (const QString& name : names)
        Load(*window, WriteBank(name, size));
    return window;
}

// What the card itself holds, read through a library of its own.
SynthStatus BankWindowTest::CardStatus()
{
    CSharedSynthLibrary card{QStringLiteral(KORVANE_CARD_LIBRARY)};
    SynthStatus status{};
    if (card.SynthGetStatus(&status) != 0)
        status.bankCount = 0xFFFF;
    return status;
}

int32_t BankWindowTest::CardPriority(uint32_t id)
{
    const SynthStatus status = CardStatus();
    for (uint32_t i = 0; i < status.bankCount && i < MAX_BANKS; ++i) {
        if (status.banks[i].id == id)
            return status.banks[i].priority;
    }
    return -1;
}

// Also run under a locale whose decimal separator is a comma (a test of its own in CMake):
// the sizes and figures keep their dot there too.
void BankWindowTest::loadedBanksFillTheirRowsAndTheFigures()
{
    if (qEnvironmentVariableIsSet("KORVANE_EXPECT_COMMA_LOCALE")) {
        QCOMPARE(QString(QLatin1Char(*std::localeconv()->decimal_point)), QStringLiteral(","));
        QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral(","));
    }
    auto window = m_bed->StartWindow();
    Load(*window, WriteBank("PIANO", kMiB));
    Load(*window, WriteBank("TINY", 512));
    QCOMPARE(m_files->Requests().size(), size_t{2});
    const FileDialogRequest& request = m_files->Requests()[0];
    QVERIFY(request.open);
    QCOMPARE(request.defaultExt, QStringLiteral("*.94b"));
    QCOMPARE(request.filter, QStringLiteral("Lumo Sound sound banks(*.94b)|*.94b|"));
    QVERIFY(request.fileName.isEmpty());

    CBankGrid& grid = window->BankGrid();
    QCOMPARE(Row(grid, 0), QStringList({"0", "PIANO", "0", "1024.0 Ko"}));
    QCOMPARE(Row(grid, 1), QStringList({"1", "TINY", "0", "  0.5 Ko"}));
    for (long row = 2; row < CBankGrid::RowCount; ++row)
        QCOMPARE(Row(grid, row), kEmptyRow);
    QCOMPARE(StaticText(window.get(), 1027), QStringLiteral("1024.5 Ko"));
    QCOMPARE(StaticText(window.get(), 1029), QStringLiteral("4096.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1024), QStringLiteral("3071.5 Ko"));
    QCOMPARE(StaticText(window.get(), 1025), QStringLiteral("75.0 %"));
    QCOMPARE(window->MemoryGauge()->value(), int(kMiB + 512));
    QCOMPARE(CardStatus().bankCount, 2u);
    QVERIFY(m_bed->Messages().Calls().empty());
}

void BankWindowTest::ninthLoadIsRefusedBeforeTheDialogOpens()
{
    auto window = StartWithBanks({"B0", "B1", "B2", "B3", "B4", "B5", "B6", "B7"});
    QCOMPARE(window->BankTable().Status().bankCount, 8u);
    QVERIFY(m_bed->Messages().Calls().empty());
    window->OnCommand(Command::LoadBank);
    QCOMPARE(m_files->Requests().size(), size_t{8});
    const auto& calls = m_bed->Messages().Calls();
    QCOMPARE(calls.size(), size_t{1});
    QCOMPARE(calls[0].text, QStringLiteral("Max count of banks was reached."));
    QCOMPARE(calls[0].caption, QStringLiteral("Error"));
    QCOMPARE(calls[0].type, unsigned(Mb::Ok | Mb::IconExclamation));
    QCOMPARE(calls[0].owner, static_cast<QWidget*>(window.get()));
}

void BankWindowTest::cancelledOrFailedLoadLeavesTheList()
{
    auto window = StartWithBanks({"KEEP"});
    window->OnCommand(Command::LoadBank); // cancelled: nothing scripted
    Load(*window, m_bed->Path("gone.94b"));
    const auto& calls = m_bed->Messages().Calls();
    QCOMPARE(calls.size(), size_t{1});
    QCOMPARE(calls[0].text, QStringLiteral("Synth Error: SYNTHERR_FILENOTFOUND "));
    QCOMPARE(calls[0].caption, QStringLiteral("Error"));
    QCOMPARE(Row(window->BankGrid(), 0), QStringList({"0", "KEEP", "0", "  4.0 Ko"}));
    QCOMPARE(Row(window->BankGrid(), 1), kEmptyRow);
}

void BankWindowTest::unloadedBankLeavesAGapThatTheNextLoadFills()
{
    auto window = StartWithBanks({"ZERO", "ONE", "TWO"});
    CBankGrid& grid = window->BankGrid();
    QCOMPARE(grid.MoveToCell(1, 1), 0);
    Choose(*window, Command::UnloadBank);
    QCOMPARE(Row(grid, 0).at(1), QStringLiteral("ZERO"));
    QCOMPARE(Row(grid, 1), kEmptyRow);
    QCOMPARE(Row(grid, 2).at(1), QStringLiteral("TWO"));
    QCOMPARE(StaticText(window.get(), 1027), QStringLiteral("  8.0 Ko"));
    QCOMPARE(CardStatus().bankCount, 2u);

    Load(*window, WriteBank("NEW", 4096));
    QCOMPARE(Row(grid, 1), QStringList({"1", "NEW", "0", "  4.0 Ko"}));
    QVERIFY(m_bed->Messages().Calls().empty());
}

void BankWindowTest::unloadSelectedBankNeedsABankInTheCurrentRow()
{
    auto window = StartWithBanks({});
    window->OnCommand(Command::UnloadBank); // no bank at all: not a word
    QVERIFY(m_bed->Messages().Calls().empty());

    Load(*window, WriteBank("ONLY", 4096));
    QCOMPARE(window->BankGrid().MoveToCell(3, 5), 0);
    window->OnCommand(Command::UnloadBank);
    const auto& calls = m_bed->Messages().Calls();
    QCOMPARE(calls.size(), size_t{1});
    QCOMPARE(calls[0].text, QStringLiteral("Please select a bank !"));
    QCOMPARE(calls[0].caption, QStringLiteral("Warning"));
    QCOMPARE(calls[0].type, unsigned(Mb::Ok | Mb::IconExclamation));
    QCOMPARE(CardStatus().bankCount, 1u);
}

void BankWindowTest::deleteKeyUnloadsWhereverTheFocusIs_data()
{
    QTest::addColumn<bool>("focusOnList");
    QTest::newRow("focus on the list") << true;
    QTest::newRow("focus on a button") << false;
}

void BankWindowTest::deleteKeyUnloadsWhereverTheFocusIs()
{
    QFETCH(bool, focusOnList);
    auto window = StartWithBanks({"ZERO", "ONE"});
    CBankGrid& grid = window->BankGrid();
    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {}, CellCentre(grid, 0, 1));
    QWidget* focus = grid.GetCellArea();
    if (!focusOnList)
        focus = CDialogBuilder::GetDlgItem(window.get(), Command::MidiMapping);
    focus->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(focus->hasFocus(), 5000);
    QTest::keyClick(focus, Qt::Key_Delete);
    QCOMPARE(Row(grid, 1), kEmptyRow);
    QCOMPARE(Row(grid, 0).at(1), QStringLiteral("ZERO"));
    QCOMPARE(CardStatus().bankCount, 1u);
    QVERIFY(m_bed->Messages().Calls().empty());
}

// Another program swaps the bank in slot 1: the list shows it soon, by itself. A Delete
// pressed before the list has caught up shows the change and unloads nothing.
void BankWindowTest::listFollowsAnotherProgramAndDeleteUnloadsOnlyWhatWasSeen()
{
    auto window = StartWithBanks({"ZERO", "ONE"});
    CBankGrid& grid = window->BankGrid();
    CSharedSynthLibrary other{QStringLiteral(KORVANE_CARD_LIBRARY)};
    const QByteArray two = WriteBank(QStringLiteral("TWO"), 4096).toLocal8Bit();
    QCOMPARE(other.SynthUnloadBank(1), uint16_t{0});
    QCOMPARE(other.SynthLoadBank(two.constData()), uint16_t{1});
    QTRY_COMPARE_WITH_TIMEOUT(Row(grid, 1).at(1), QStringLiteral("TWO"), 5000);

    QTest::mouseClick(grid.GetCellArea(), Qt::LeftButton, {}, CellCentre(grid, 0, 1));
    const QByteArray three = WriteBank(QStringLiteral("THREE"), 4096).toLocal8Bit();
    QCOMPARE(other.SynthUnloadBank(1), uint16_t{0});
    QCOMPARE(other.SynthLoadBank(three.constData()), uint16_t{1});
    QTest::keyClick(grid.GetCellArea(), Qt::Key_Delete);
    QCOMPARE(Row(grid, 1).at(1), QStringLiteral("THREE"));
    QCOMPARE(CardStatus().bankCount, 2u);
    QTest::keyClick(grid.GetCellArea(), Qt::Key_Delete);
    QCOMPARE(CardStatus().bankCount, 1u);
}

// A 128 MiB card keeps the unit of its figures in sight; with a dark theme the list is dark
// below its rows too; no heading touches its column's borders.
void BankWindowTest::largeCardDarkThemeAndHeadingsLookWhole()
{
    qputenv("KORVANE_CARD_MEMORY", QByteArray::number(128 * kMiB));
    auto window = StartWithBanks({});
    const auto* total = qobject_cast<QLabel*>(CDialogBuilder::GetDlgItem(window.get(), 1029));
    QCOMPARE(total->text(), QStringLiteral("131072.0 Ko"));
    QVERIFY(total->width() >= total->sizeHint().width());

    CBankGrid& grid = window->BankGrid();
    for (int col = 0; col < CBankGrid::ColumnCount; ++col) {
        CTblCell cell;
        grid.ComposeCell(col, -1, cell);
        const QFont* font = cell.GetFont() ? cell.GetFont() : grid.GetSheet()->m_pDefaultFont;
        QVERIFY(font);
        const QString heading = Row(grid, -1).at(col);
        QVERIFY2(QFontMetrics(*font).horizontalAdvance(heading) + 4 <= grid.GetColumnWidth(col),
                 qPrintable(heading));
    }

    QPalette dark = grid.palette();
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xE0, 0xE0, 0xE0));
    grid.setPalette(dark);
    QWidget* cells = grid.GetCellArea();
    const int rowsEnd = CBankGrid::RowCount * grid.GetSheet()->RowSize(0);
    QVERIFY2(cells->height() > rowsEnd, "the list has no room below its rows");
    const QImage image = cells->grab().toImage();
    QCOMPARE(image.pixelColor(5, cells->height() - 1), QColor(0x20, 0x20, 0x20));
}

void BankWindowTest::deleteInThePriorityEditorOnlyEditsTheText()
{
    auto window = StartWithBanks({"KEEP"});
    CBankGrid& grid = window->BankGrid();
    DoubleClick(grid, CBankGrid::ColPriority, 0);
    QVERIFY(grid.IsEditing());
    CTblEditWnd* editor = grid.GetEditWnd();
    QTRY_VERIFY_WITH_TIMEOUT(editor->hasFocus(), 5000);
    QTest::keyClicks(editor, "45");
    QTest::keyClick(editor, Qt::Key_Home);
    QTest::keyClick(editor, Qt::Key_Delete);
    QCOMPARE(editor->Text(), QStringLiteral("5"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing(), 5000);
    QCOMPARE(CardStatus().bankCount, 1u);
    QVERIFY(m_bed->Messages().Calls().empty());
}

void BankWindowTest::unloadAllEmptiesTheCardWithoutAsking()
{
    auto window = StartWithBanks({"ZERO", "ONE", "TWO"});
    Choose(*window, Command::UnloadAllBanks);
    for (long row = 0; row < CBankGrid::RowCount; ++row)
        QCOMPARE(Row(window->BankGrid(), row), kEmptyRow);
    QCOMPARE(StaticText(window.get(), 1024), QStringLiteral("4096.0 Ko"));
    QCOMPARE(window->MemoryGauge()->value(), 0);
    QCOMPARE(CardStatus().bankCount, 0u);
    window->OnCommand(Command::UnloadAllBanks);
    QVERIFY(m_bed->Messages().Calls().empty());
}

void BankWindowTest::doubleClickEditsOnlyTheLoadedPriority()
{
    auto window = StartWithBanks({"ZERO"});
    CBankGrid& grid = window->BankGrid();
    for (int col : {CBankGrid::ColNumber, CBankGrid::ColName, CBankGrid::ColSize}) {
        DoubleClick(grid, col, 0);
        QVERIFY2(!grid.IsEditing(), qPrintable(QString::number(col)));
    }
    DoubleClick(grid, CBankGrid::ColPriority, 3);
    QVERIFY(!grid.IsEditing());
    QCOMPARE(grid.GetCurRow(), 3L);
    DoubleClick(grid, CBankGrid::ColPriority, 0);
    QVERIFY(grid.IsEditing());
    QCOMPARE(grid.GetEditCol(), int(CBankGrid::ColPriority));
    QCOMPARE(grid.GetEditRow(), 0L);
    QCOMPARE(grid.GetEditWnd()->Text(), QStringLiteral("0"));
}

void BankWindowTest::priorityEditorTakesDigitsAndHoldsAt127()
{
    auto window = StartWithBanks({"ZERO", "ONE"});
    CBankGrid& grid = window->BankGrid();
    CTblEditWnd* editor = grid.GetEditWnd();
    QCOMPARE(grid.BeginEditAt(CBankGrid::ColPriority, 0, 0), 0);
    QTest::keyClicks(editor, "12a3");
    QCOMPARE(editor->Text(), QStringLiteral("123"));
    QTest::keyClick(editor, Qt::Key_Backspace);
    QCOMPARE(editor->Text(), QStringLiteral("12"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing(), 5000);
    QCOMPARE(Row(grid, 0).at(2), QStringLiteral("0"));

    QCOMPARE(grid.BeginEditAt(CBankGrid::ColPriority, 1, 0), 0);
    QTest::keyClicks(editor, "300");
    QTest::keyClick(editor, Qt::Key_Tab);
    QTRY_COMPARE_WITH_TIMEOUT(CardPriority(1), 127, 5000);
    QCOMPARE(Row(grid, 1).at(2), QStringLiteral("127"));
    QCOMPARE(window->BankTable().Status().banks[1].priority, 127);
    QCOMPARE(CardPriority(0), 0);
}

void BankWindowTest::enterAndTabCarryTheEditOn()
{
    auto window = StartWithBanks({"ZERO", "ONE"});
    CBankGrid& grid = window->BankGrid();
    CTblEditWnd* editor = grid.GetEditWnd();
    QCOMPARE(grid.BeginEditAt(CBankGrid::ColPriority, 0, 0), 0);
    QTest::keyClicks(editor, "7");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(grid.GetEditRow(), 1L, 5000);
    QCOMPARE(grid.GetEditCol(), int(CBankGrid::ColPriority));
    QTRY_COMPARE_WITH_TIMEOUT(CardPriority(0), 7, 5000);
    // Row 2 holds no bank: the edit ends there.
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing(), 5000);
    QCOMPARE(grid.GetCurCol(), int(CBankGrid::ColPriority));
    QCOMPARE(grid.GetCurRow(), 2L);

    // Tab goes on to the size, where digits typed change nothing in the card: the cell
    // shows the card's size again.
    QCOMPARE(grid.BeginEditAt(CBankGrid::ColPriority, 1, 0), 0);
    QTest::keyClicks(editor, "9");
    QTest::keyClick(editor, Qt::Key_Tab);
    QTRY_COMPARE_WITH_TIMEOUT(grid.GetEditCol(), int(CBankGrid::ColSize), 5000);
    QCOMPARE(grid.GetEditRow(), 1L);
    QTest::keyClicks(editor, "5x5");
    QCOMPARE(editor->Text(), QStringLiteral("55"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(grid.GetEditRow(), 2L, 5000);
    QTest::keyClicks(editor, "6");
    QTest::keyClick(editor, Qt::Key_Tab);
    QTRY_COMPARE_WITH_TIMEOUT(grid.GetEditCol(), int(CBankGrid::ColNumber), 5000);
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(Row(grid, 1), QStringList({"1", "ONE", "9", "  4.0 Ko"}), 5000);
    QCOMPARE(CardPriority(1), 9);
    QCOMPARE(Row(grid, 2), kEmptyRow);

    // From the name column editing goes down that column, from the last row to the first.
    QCOMPARE(grid.BeginEditAt(CBankGrid::ColName, CBankGrid::RowCount - 1, 0), 0);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTRY_COMPARE_WITH_TIMEOUT(grid.GetEditRow(), 0L, 5000);
    QCOMPARE(grid.GetEditCol(), int(CBankGrid::ColName));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing(), 5000);
}

// Without a mouse: a bank loaded, its priority edited by F2, by a typed digit and after
// Enter, Tab out of the list at its last cell and Shift+Tab at its first, every button
// reached, a MIDI file chosen by its access key, and Escape answered.
void BankWindowTest::keyboardAloneEditsAPriorityReachesTheButtonsAndQuits()
{
    auto window = StartWithBanks({});
    CBankGrid& grid = window->BankGrid();
    grid.GetCellArea()->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(grid.GetCellArea()->hasFocus(), 5000);
    // A new preset, which the bank then changes.
    Press(Qt::Key_N, Qt::ControlModifier);
    m_files->Script(WriteBank(QStringLiteral("ZERO"), 4096));
    Press(Qt::Key_L, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(CardStatus().bankCount, 1u, 5000);

    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_Home);
    Press(Qt::Key_Right);
    Press(Qt::Key_Right);
    QCOMPARE(grid.GetCurCol(), int(CBankGrid::ColPriority));
    Press(Qt::Key_F2);
    QVERIFY(grid.IsEditing());
    Type('5');
    Press(Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(CardPriority(0), 5, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing() && grid.GetCellArea()->hasFocus(), 5000);
    Press(Qt::Key_Up);
    Type('4');
    QVERIFY(grid.IsEditing());
    QCOMPARE(grid.GetEditWnd()->Text(), QStringLiteral("4"));
    Press(Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing() && grid.GetCellArea()->hasFocus(), 5000);
    Press(Qt::Key_Return);
    QVERIFY(grid.IsEditing());
    Type('4');
    Press(Qt::Key_Tab);
    QTRY_COMPARE_WITH_TIMEOUT(CardPriority(0), 4, 5000);
    Press(Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!grid.IsEditing() && grid.GetCellArea()->hasFocus(), 5000);

    // Tab inside the list keeps moving over its cells; at the last one it leaves.
    Press(Qt::Key_Home, Qt::ControlModifier);
    Press(Qt::Key_Home);
    Press(Qt::Key_Tab);
    QVERIFY(grid.GetCellArea()->hasFocus());
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(grid.GetCurCol(), 0);
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(!grid.isAncestorOf(QApplication::focusWidget()));
    grid.GetCellArea()->setFocus();
    Press(Qt::Key_End, Qt::ControlModifier);
    Press(Qt::Key_End);
    Press(Qt::Key_Tab);
    QSet<int> reached;
    for (int tab = 0; tab < 12 && !grid.isAncestorOf(QApplication::focusWidget()); ++tab) {
        reached << QApplication::focusWidget()->property(CDialogBuilder::ControlIdProperty).toInt();
        Press(Qt::Key_Tab);
    }
    for (int button : {Command::MidiMapping, Command::BrowseMidi, Command::PlayMidi})
        QVERIFY2(reached.contains(button), qPrintable(QString::number(button)));

    const QString midi = m_bed->Path(QStringLiteral(
        "a folder with a long name/and another one below it/and a third/Overture in D.mid"));
    m_files->Script(midi);
    Press(Qt::Key_R, Qt::AltModifier);
    const auto* midiLabel = qobject_cast<QLabel*>(CDialogBuilder::GetDlgItem(window.get(), 1023));
    // The access key clicks the button as a click does, pressed and released.
    QTRY_VERIFY_WITH_TIMEOUT(midiLabel->text().endsWith(QStringLiteral("/Overture in D.mid")),
                             5000);
    QVERIFY(midiLabel->text().contains(QStringLiteral("\u2026")));
    QCOMPARE(midiLabel->toolTip(), midi);

    QSignalSpy finished(window.get(), &QDialog::finished);
    m_bed->Messages().Script(Id::No);
    Press(Qt::Key_Escape);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
    QCOMPARE(m_bed->Messages().Calls().size(), size_t{1});
    QCOMPARE(CardPriority(0), 4);
}

void BankWindowTest::columnBordersAndHeadingCannotBeDragged()
{
    auto window = StartWithBanks({});
    CBankGrid& grid = window->BankGrid();
    QCOMPARE(grid.geometry(), CDialogBuilder::GetDlgItem(window.get(), 1021)->geometry());
    QWidget* header = grid.GetChildWindow(CTblCtrl::SectionColHeader)->Widget();
    const int border = grid.GetColumnWidth(0);
    const int headingHeight = grid.GetSheet()->m_nColHeaderHeight;
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(border, 5));
    QTest::mouseMove(header, QPoint(border + 30, 5));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(border + 30, 5));
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(40, headingHeight - 1));
    QTest::mouseMove(header, QPoint(40, headingHeight + 20));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(40, headingHeight + 20));
    QCOMPARE(grid.GetColumnWidth(0), border);
    QCOMPARE(grid.GetSheet()->m_nColHeaderHeight, headingHeight);

    // The fit to a cell area of 187 pixels gives the proportions themselves.
    QWidget host;
    auto* placeholder = new QLabel(&host);
    placeholder->setProperty(CTblCtrl::ControlIdProperty, 1021);
    placeholder->setGeometry(0, 0, 187 + 2, 200);
    auto* list = new CBankGrid;
    QCOMPARE(list->AttachToDlgItem(&host, 1021), 0);
    QCOMPARE(list->GetSheet()->m_nCellAreaWidth, 187);
    QList<int> widths;
    for (int col = 0; col < CBankGrid::ColumnCount; ++col)
        widths << list->GetColumnWidth(col);
    QCOMPARE(widths, QList<int>({12, 70, 30, 75}));
    QStringList headings;
    for (int col = 0; col < CBankGrid::ColumnCount; ++col) {
        QString text;
        list->GetCellText(col, -1, text);
        headings << text;
    }
    QCOMPARE(headings, QStringList({"N°", "Name", "Priority", "RAM Size"}));
}

// A card whose status cannot be read counts as one without memory.
void BankWindowTest::cardWithoutMemoryShowsAnEmptyGauge()
{
    QFile notADirectory(m_bed->Path("file"));
    QVERIFY(notADirectory.open(QIODevice::WriteOnly));
    notADirectory.close();
    qputenv("KORVANE_CARD_STATE", m_bed->Path("file/card.state").toLocal8Bit());
    auto window = m_bed->StartWindow();
    QVERIFY(!m_bed->Messages().Calls().empty());
    QCOMPARE(window->BankTable().Status().totalMemory, 0u);
    QCOMPARE(StaticText(window.get(), 1029), QStringLiteral("  0.0 Ko"));
    QCOMPARE(StaticText(window.get(), 1025), QStringLiteral("0.0 %"));
    const QProgressBar* gauge = window->MemoryGauge();
    QVERIFY(gauge->maximum() > gauge->minimum());
    QCOMPARE(gauge->value(), 0);
    for (long row = 0; row < CBankGrid::RowCount; ++row)
        QCOMPARE(Row(window->BankGrid(), row), kEmptyRow);
}

// Two banks hold the same program: the lower ID answers at equal priorities; the window
// follows a load, filters, narrows to the bank double-clicked in the list, and asks for an
// audition of the row on the chosen channel with Space, Enter and Play.
void BankWindowTest::contentsFollowTheCardAndAskForAuditions()
{
    auto window = StartWithBanks({"ALPHA", "BRAVO"});
    Choose(*window, Command::BankContents);
    CContentsDlg& contents = window->ContentsWindow();
    QVERIFY(contents.isVisible());
    QAbstractItemModel* rows = contents.View()->model();
    QCOMPARE(rows->rowCount(), 2);
    const auto text = [&](int row, int column) {
        return rows->index(row, column).data().toString();
    };
    QCOMPARE(text(0, CBankContentsModel::ColAnsweredBy), QStringLiteral("this bank"));
    QCOMPARE(text(1, CBankContentsModel::ColAnsweredBy), QStringLiteral("0 ALPHA"));
    QVERIFY(!rows->index(0, 0).data(Qt::ForegroundRole).isValid());
    QVERIFY(rows->index(1, 0).data(Qt::ForegroundRole).isValid());

    Load(*window, WriteBank("CHARLIE", 4096));
    QCOMPARE(rows->rowCount(), 3);
    QTest::keyClicks(contents.FilterField(), "5");
    QCOMPARE(rows->rowCount(), 0);
    contents.FilterField()->setText("1");
    QCOMPARE(rows->rowCount(), 3);

    DoubleClick(window->BankGrid(), CBankGrid::ColName, 1);
    QCOMPARE(contents.BankChoice()->currentText(), QStringLiteral("1 BRAVO"));
    QCOMPARE(rows->rowCount(), 1);

    QSignalSpy auditions(&contents, &CContentsDlg::AuditionRequested);
    contents.findChild<QSpinBox*>()->setValue(3);
    contents.View()->setCurrentIndex(rows->index(0, 0));
    contents.View()->setFocus();
    QTest::keyClick(contents.View(), Qt::Key_Space);
    QTest::keyClick(contents.View(), Qt::Key_Return);
    for (QPushButton* button : contents.findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("&Play"))
            button->click();
    }
    QCOMPARE(auditions.size(), 3);
    QCOMPARE(auditions.at(2), (QVariantList{1, 0, 0, false, 3}));
    contents.SetAuditionStatus(QStringLiteral("Playing 1 BRAVO"));
    bool statusShown = false;
    for (const QLabel* label : contents.findChildren<QLabel*>())
        statusShown = statusShown || label->text() == QStringLiteral("Playing 1 BRAVO");
    QVERIFY(statusShown);

    // What plays stops with the window.
    QSignalSpy hidden(&contents, &CContentsDlg::Hidden);
    contents.close();
    QCOMPARE(hidden.size(), 1);
}

// The Load dialog is given the line it shows for a selected file: its size in the card
// beside the free memory, with a warning when it is larger.
void BankWindowTest::loadDialogSaysWhetherTheFileFits()
{
    auto window = StartWithBanks({});
    m_files->Script(QString());
    Choose(*window, Command::LoadBank);
    QCOMPARE(m_files->Requests().size(), size_t{1});
    const auto describe = m_files->Requests().back().describeFile;
    QVERIFY(describe);
    QCOMPARE(describe(WriteBank("SMALL", 4096)),
             QStringLiteral("Size in the card: 4.0 Ko. Free memory: 4096.0 Ko."));
    QCOMPARE(describe(WriteBank("LARGE", 5 * kMiB)),
             QStringLiteral("Size in the card: 5120.0 Ko. Free memory: 4096.0 Ko. It will not "
                            "fit: unload a bank first."));
    QCOMPARE(describe(m_bed->Path("missing.94b")), QString());
}

QTEST_MAIN(BankWindowTest)
#include "BankWindowTest.moc"
