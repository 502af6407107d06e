#include "PathElision.h"

#include <QFontMetrics>
#include <QLabel>
#include <QSize>

#include <climits>

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

bool Fits(const QString& text, const QFontMetrics& metrics, const QSize& box, bool wrap)
{
    if (!wrap)
        return metrics.horizontalAdvance(text) <= box.width();
    // The same wrapping as the label's own drawing: at spaces and after "/".
    const QRect used =
        metrics.boundingRect(QRect(0, 0, box.width(), INT_MAX / 2), Qt::TextWordWrap, text);
    return used.width() <= box.width() && used.height() <= box.height();
}

// head with only keep of its characters left, half from each end, joined by the ellipsis.
QString KeepEnds(const QString& head, qsizetype keep)
{
    return head.left(keep - keep / 2) + kEllipsis + head.right(keep / 2);
}

} // namespace

QString CPathElision::Elide(const QString& text, const QFontMetrics& metrics, const QSize& box,
                            bool wrap)
{
    if (Fits(text, metrics, box, wrap))
        return text;
    const qsizetype nameStart = text.lastIndexOf(u'/') + 1;
    const QString head = text.left(nameStart);
    const QString name = text.mid(nameStart);
    if (!Fits(kEllipsis + name, metrics, box, wrap))
        return metrics.elidedText(text, Qt::ElideMiddle, box.width());
    // The most of the head that still fits: fewer characters never take more room.
    qsizetype fits = 0;
    qsizetype tooMany = head.size();
    while (tooMany - fits > 1) {
        const qsizetype keep = (fits + tooMany) / 2;
        if (Fits(KeepEnds(head, keep) + name, metrics, box, wrap))
            fits = keep;
        else
            tooMany = keep;
    }
    return KeepEnds(head, fits) + name;
}

void CPathElision::Show(QLabel* label, const QString& text)
{
    label->setText(
        Elide(text, label->fontMetrics(), label->contentsRect().size(), label->wordWrap()));
    label->setToolTip(text);
}
