#include "ContentsDlg.h"

#include "AuditionRequest.h"
#include "BankTable.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

CContentsDlg::CContentsDlg(const CBankTable& bankTable, QWidget* parent)
    : QDialog(parent), m_bankTable(bankTable)
{
    setWindowTitle(QStringLiteral("Bank contents"));
    BuildControls();
}

void CContentsDlg::BuildControls()
{
    m_filterField = new QLineEdit(this);
    m_filterField->setPlaceholderText(QStringLiteral("Name, program or variation:program"));
    m_filterField->setClearButtonEnabled(true);
    m_bankChoice = new QComboBox(this);
    auto* choices = new QFormLayout;
    choices->addRow(QStringLiteral("&Filter:"), m_filterField);
    choices->addRow(QStringLiteral("&Bank:"), m_bankChoice);

    m_view = new QTableView(this);
    m_view->setModel(&m_filter);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    // Every row is one line high: the view never measures rows one by one.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setStretchLastSection(true);
    // The rows come in the report's order until the user sorts them.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);
    m_view->setAccessibleName(QStringLiteral("Programs"));

    m_channel = new QSpinBox(this);
    m_channel->setRange(1, AuditionRequest::kChannels);
    m_channel->setValue(AuditionRequest::kDefaultChannel);
    m_play = new QPushButton(QStringLiteral("&Play"), this);
    m_play->setAutoDefault(false);
    m_auditionStatus = new QLabel(this);
    auto* channelLabel = new QLabel(QStringLiteral("&Channel:"), this);
    channelLabel->setBuddy(m_channel);
    auto* audition = new QHBoxLayout;
    audition->addWidget(channelLabel);
    audition->addWidget(m_channel);
    audition->addWidget(m_play);
    audition->addWidget(m_auditionStatus, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_view, 1);
    layout->addLayout(audition);
    resize(760, 480);

    connect(m_filterField, &QLineEdit::textChanged, &m_filter, &CBankContentsFilter::SetText);
    connect(m_bankChoice, &QComboBox::activated, this, &CContentsDlg::OnBankChosen);
    connect(m_play, &QPushButton::clicked, this, &CContentsDlg::RequestAudition);
    m_view->installEventFilter(this);
}

void CContentsDlg::ShowCard()
{
    if (!isVisible())
        return;
    m_model.Read(m_bankTable);
    FillBankChoice();
}

void CContentsDlg::ChooseBank(int id)
{
    m_chosenBank = id;
    FillBankChoice();
    m_filter.SetBank(m_bankChoice->currentData().toInt());
}

// "All banks", then each bank of the card; a chosen bank that has left the card gives way
// to all banks.
void CContentsDlg::FillBankChoice()
{
    m_bankChoice->clear();
    m_bankChoice->addItem(QStringLiteral("All banks"), -1);
    const SynthStatus& status = m_bankTable.Status();
    for (uint32_t position = 0; position < std::min<uint32_t>(status.bankCount, MAX_BANKS);
         ++position) {
        const auto id = static_cast<uint16_t>(status.banks[position].id);
        m_bankChoice->addItem(m_model.BankTitle(id), id);
    }
    const int chosen = m_bankChoice->findData(m_chosenBank);
    m_bankChoice->setCurrentIndex(std::max(chosen, 0));
    m_filter.SetBank(m_bankChoice->currentData().toInt());
}

void CContentsDlg::OnBankChosen()
{
    m_chosenBank = m_bankChoice->currentData().toInt();
    m_filter.SetBank(m_chosenBank);
}

void CContentsDlg::RequestAudition()
{
    const QModelIndex current = m_filter.mapToSource(m_view->currentIndex());
    if (!current.isValid())
        return;
    const CBankContents::Row& row =
        m_model.Contents().Rows()[static_cast<std::size_t>(current.row())];
    emit AuditionRequested(row.bankId, row.SynthBank(), row.program.program, row.drumKit,
                           m_channel->value());
}

void CContentsDlg::SetAuditionStatus(const QString& text)
{
    m_auditionStatus->setText(text);
}

// Space, Enter and Return on a row play it; they are taken before the table (which would
// select with Space) and the dialog (which would press a default button with Enter).
bool CContentsDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plays = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
    if (!plays || (key->key() != Qt::Key_Space && key->key() != Qt::Key_Return &&
                   key->key() != Qt::Key_Enter))
        return QDialog::eventFilter(watched, event);
    RequestAudition();
    return true;
}

void CContentsDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_model.Read(m_bankTable);
    FillBankChoice();
}

void CContentsDlg::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit Hidden();
}
