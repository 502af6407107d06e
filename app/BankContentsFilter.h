// The bank contents as the window shows them: the rows of one bank or all, that the typed
// filter picks, sorted by the column the user chose.
#pragma once

#include <QSortFilterProxyModel>
#include <QString>

class CBankContentsModel;

class CBankContentsFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CBankContentsFilter(CBankContentsModel& model, QObject* parent = nullptr);

    // The text typed: see CBankContents::Matches.
    void SetText(const QString& text);
    // The bank whose rows are shown; -1 for every bank.
    void SetBank(int id);

    // The model's data, with the rows a bank searched first hides greyed.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    CBankContentsModel& m_model;
    QString m_text;
    int m_bank = -1;
};
