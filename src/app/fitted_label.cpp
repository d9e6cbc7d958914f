#include "app/fitted_label.h"

#include <QPainter>
#include <QTextLayout>

namespace tarvik {

FittedLabel::FittedLabel(int lines, QWidget* parent) : QLabel(parent), lines_(lines) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(minimumSizeHint().height());
}

QSize FittedLabel::sizeHint() const {
    return minimumSizeHint();
}

QSize FittedLabel::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    return QSize(fontMetrics().averageCharWidth() * 10 + margins.left() + margins.right(),
                 fontMetrics().lineSpacing() * lines_ + margins.top() + margins.bottom());
}

QStringList FittedLabel::FittedLines(int width) const {
    QStringList shown;
    QString flat = text();
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (flat.isEmpty() || width <= 0)
        return shown;
    QTextLayout layout(flat, font());
    layout.beginLayout();
    while (shown.size() < lines_) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const QString part = flat.mid(line.textStart(), line.textLength());
        if (shown.size() == lines_ - 1) {
            // The last line takes the rest of the text, cut where the width ends.
            shown << fontMetrics().elidedText(flat.mid(line.textStart()), Qt::ElideRight, width);
            break;
        }
        shown << part.trimmed();
    }
    layout.endLayout();
    return shown;
}

QString FittedLabel::ShownText() const {
    return FittedLines(contentsRect().width()).join(QLatin1Char('\n'));
}

void FittedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    const QRect area = contentsRect();
    const int lineHeight = fontMetrics().lineSpacing();
    int top = area.top();
    for (const QString& line : FittedLines(area.width())) {
        painter.drawText(QRect(area.left(), top, area.width(), lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, line);
        top += lineHeight;
    }
}

} // namespace tarvik
