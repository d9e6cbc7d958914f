#pragma once

#include <QLabel>

namespace tarvik {

// A label of a fixed number of lines whose size never follows its text: the text wraps at word
// ends and what does not fit is cut with "...", so a long message cannot make the window grow
// or move its controls. The full text stays available through text().
class FittedLabel : public QLabel {
    Q_OBJECT
public:
    explicit FittedLabel(int lines, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The text as drawn at the label's present width, lines joined by "\n".
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList FittedLines(int width) const;

    int lines_;
};

} // namespace tarvik
