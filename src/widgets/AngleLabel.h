#pragma once
// A label whose text is drawn at an angle, in steps of 45 degrees
// counter-clockwise; 270 reads downwards.

#include <QLabel>

namespace corvane {

class TantAngleLabel : public QLabel {
    Q_OBJECT
public:
    explicit TantAngleLabel(const QString& text = QString(), QWidget* parent = nullptr);

    int angle() const { return m_angle; }
    // Rounded to the nearest step of 45 and brought into 0..315.
    void setAngle(int degrees);
    static int normalisedAngle(int degrees);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_angle = 0;
};

} // namespace corvane
