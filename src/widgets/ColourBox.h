#pragma once
// A colour swatch button; a click opens the colour picker.

#include <QColor>
#include <QPushButton>

namespace corvane {

class ColourBox : public QPushButton {
    Q_OBJECT
public:
    // `title` captions the colour picker.
    explicit ColourBox(const QString& title, QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);

    QSize sizeHint() const override { return {72, 22}; }

signals:
    void colourChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void pick();
    QString m_title;
    QColor m_colour = Qt::black;
};

} // namespace corvane
